// Lotus WK3/WK4 tables, read through libwps and librevenge's spreadsheet interface.
#include "input/sheet_readers.h"

#include <QFile>

#include <optional>

#include <librevenge-stream/librevenge-stream.h>
#include <librevenge/librevenge.h>
#include <libwps/libwps.h>

namespace qel {

namespace {

// Collects the cells of a Lotus file as libwps reports them, with their exact values.
class LotusCollector : public librevenge::RVNGSpreadsheetInterface {
public:
    std::vector<Sheet> sheets;

    void openSheet(const librevenge::RVNGPropertyList &p) override
    {
        Sheet sheet;
        const auto *name = p["librevenge:sheet-name"];
        sheet.name = name ? QString::fromUtf8(name->getStr().cstr()) : QStringLiteral("Sheet%1").arg(sheets.size() + 1);
        sheets.push_back(std::move(sheet));
    }
    void openSheetCell(const librevenge::RVNGPropertyList &p) override
    {
        m_inCell = !sheets.empty() && p["librevenge:row"] && p["librevenge:column"];
        if (!m_inCell)
            return;
        m_row = p["librevenge:row"]->getInt();
        m_column = p["librevenge:column"]->getInt();
        m_text.clear();
        m_value = {};
        const auto *type = p["librevenge:value-type"];
        const auto *value = p["librevenge:value"];
        if (type && value && QByteArray(type->getStr().cstr()) != "string")
            m_value = numberCell(value->getDouble());
        // A date that names no day keeps its serial number, which the readers check as such.
        if (type && QByteArray(type->getStr().cstr()) == "date" && p["librevenge:year"] && p["librevenge:month"]
            && p["librevenge:day"]) {
            const QDate date(
                p["librevenge:year"]->getInt(), p["librevenge:month"]->getInt(), p["librevenge:day"]->getInt());
            if (date.isValid())
                m_value = TableCell::date(date);
        }
    }
    void closeSheetCell() override
    {
        if (!m_inCell || m_row < 0 || m_column < 0 || m_row > 100000 || m_column > 10000)
            return;
        auto &rows = sheets.back().rows;
        if (int(rows.size()) <= m_row)
            rows.resize(m_row + 1);
        auto &row = rows[m_row];
        if (int(row.size()) <= m_column)
            row.resize(m_column + 1);
        row[m_column] = !m_value.isNull() ? m_value : m_text.isEmpty() ? TableCell() : TableCell::text(m_text);
        m_inCell = false;
    }
    void insertText(const librevenge::RVNGString &text) override
    {
        if (m_inCell)
            m_text += QString::fromUtf8(text.cstr());
    }
    void insertSpace() override
    {
        if (m_inCell)
            m_text += u' ';
    }
    void insertTab() override
    {
        if (m_inCell)
            m_text += u'\t';
    }

    void setDocumentMetaData(const librevenge::RVNGPropertyList &) override { }
    void startDocument(const librevenge::RVNGPropertyList &) override { }
    void endDocument() override { }
    void definePageStyle(const librevenge::RVNGPropertyList &) override { }
    void defineEmbeddedFont(const librevenge::RVNGPropertyList &) override { }
    void openPageSpan(const librevenge::RVNGPropertyList &) override { }
    void closePageSpan() override { }
    void openHeader(const librevenge::RVNGPropertyList &) override { }
    void closeHeader() override { }
    void openFooter(const librevenge::RVNGPropertyList &) override { }
    void closeFooter() override { }
    void defineSheetNumberingStyle(const librevenge::RVNGPropertyList &) override { }
    void closeSheet() override { }
    void openSheetRow(const librevenge::RVNGPropertyList &) override { }
    void closeSheetRow() override { }
    void defineChartStyle(const librevenge::RVNGPropertyList &) override { }
    void openChart(const librevenge::RVNGPropertyList &) override { }
    void closeChart() override { }
    void openChartTextObject(const librevenge::RVNGPropertyList &) override { }
    void closeChartTextObject() override { }
    void openChartPlotArea(const librevenge::RVNGPropertyList &) override { }
    void closeChartPlotArea() override { }
    void insertChartAxis(const librevenge::RVNGPropertyList &) override { }
    void openChartSerie(const librevenge::RVNGPropertyList &) override { }
    void closeChartSerie() override { }
    void defineParagraphStyle(const librevenge::RVNGPropertyList &) override { }
    void openParagraph(const librevenge::RVNGPropertyList &) override { }
    void closeParagraph() override { }
    void defineCharacterStyle(const librevenge::RVNGPropertyList &) override { }
    void openSpan(const librevenge::RVNGPropertyList &) override { }
    void closeSpan() override { }
    void openLink(const librevenge::RVNGPropertyList &) override { }
    void closeLink() override { }
    void defineSectionStyle(const librevenge::RVNGPropertyList &) override { }
    void openSection(const librevenge::RVNGPropertyList &) override { }
    void closeSection() override { }
    void insertLineBreak() override { }
    void insertField(const librevenge::RVNGPropertyList &) override { }
    void openOrderedListLevel(const librevenge::RVNGPropertyList &) override { }
    void openUnorderedListLevel(const librevenge::RVNGPropertyList &) override { }
    void closeOrderedListLevel() override { }
    void closeUnorderedListLevel() override { }
    void openListElement(const librevenge::RVNGPropertyList &) override { }
    void closeListElement() override { }
    void openFootnote(const librevenge::RVNGPropertyList &) override { }
    void closeFootnote() override { }
    void openComment(const librevenge::RVNGPropertyList &) override { }
    void closeComment() override { }
    void openFrame(const librevenge::RVNGPropertyList &) override { }
    void closeFrame() override { }
    void insertBinaryObject(const librevenge::RVNGPropertyList &) override { }
    void openTextBox(const librevenge::RVNGPropertyList &) override { }
    void closeTextBox() override { }
    void openTable(const librevenge::RVNGPropertyList &) override { }
    void openTableRow(const librevenge::RVNGPropertyList &) override { }
    void closeTableRow() override { }
    void openTableCell(const librevenge::RVNGPropertyList &) override { }
    void closeTableCell() override { }
    void insertCoveredTableCell(const librevenge::RVNGPropertyList &) override { }
    void closeTable() override { }
    void openGroup(const librevenge::RVNGPropertyList &) override { }
    void closeGroup() override { }
    void defineGraphicStyle(const librevenge::RVNGPropertyList &) override { }
    void drawRectangle(const librevenge::RVNGPropertyList &) override { }
    void drawEllipse(const librevenge::RVNGPropertyList &) override { }
    void drawPolygon(const librevenge::RVNGPropertyList &) override { }
    void drawPolyline(const librevenge::RVNGPropertyList &) override { }
    void drawPath(const librevenge::RVNGPropertyList &) override { }
    void drawConnector(const librevenge::RVNGPropertyList &) override { }
    void insertEquation(const librevenge::RVNGPropertyList &) override { }

private:
    bool m_inCell = false;
    int m_row = -1;
    int m_column = -1;
    QString m_text;
    TableCell m_value;
};

// Where the record chain of a Lotus file breaks before its end-of-file record, if it does: a
// record's header or data running past the end of the file. libwps reads a file cut short as
// far as it goes and reports success, so the records lost would be lost without a word.
std::optional<QString> brokenRecordChain(const QByteArray &bytes)
{
    constexpr unsigned EndOfFile = 0x0001;
    const auto word = [&](qsizetype at) { return unsigned(uchar(bytes[at])) | unsigned(uchar(bytes[at + 1])) << 8; };
    qsizetype at = 0;
    while (true) {
        if (at == bytes.size())
            return QStringLiteral("it ends after %1 bytes without the record that closes a Lotus file").arg(at);
        if (at + 4 > bytes.size())
            return QStringLiteral("it ends inside the header of the record at byte %1").arg(at);
        const qsizetype length = word(at + 2);
        if (length > bytes.size() - at - 4)
            return QStringLiteral("the record at byte %1 claims %2 bytes, and only %3 follow it")
                .arg(at)
                .arg(length)
                .arg(bytes.size() - at - 4);
        if (word(at) == EndOfFile)
            return std::nullopt;
        at += 4 + length;
    }
}

} // namespace

std::vector<Sheet> readLotusSheets(const QString &path, const TableFormat &format)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        notOfFormat(path, format);
    const QByteArray bytes = file.readAll();
    // Every Lotus file begins with its BOF record (type 0); other files are left to libwps to judge.
    if (bytes.startsWith(QByteArray(2, '\0'))) {
        if (const auto broken = brokenRecordChain(bytes))
            notOfFormat(path, format, QStringLiteral("it is cut short or damaged: %1").arg(*broken));
    }
    librevenge::RVNGStringStream input(
        reinterpret_cast<const unsigned char *>(bytes.constData()), unsigned(bytes.size()));
    libwps::WPSKind kind = libwps::WPS_TEXT;
    libwps::WPSCreator creator = libwps::WPS_MSWORKS;
    bool needEncoding = false;
    if (libwps::WPSDocument::isFileFormatSupported(&input, kind, creator, needEncoding) == libwps::WPS_CONFIDENCE_NONE
        || kind != libwps::WPS_SPREADSHEET || creator != libwps::WPS_LOTUS)
        notOfFormat(path, format);
    LotusCollector collector;
    if (libwps::WPSDocument::parse(&input, &collector, "", needEncoding ? "CP1252" : "") != libwps::WPS_OK)
        notOfFormat(path, format);
    return collector.sheets;
}

} // namespace qel
