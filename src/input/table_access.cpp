#include "input/table_access.h"

#include "input/sheet_readers.h"

#include "core/errors.h"
#include "core/number_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cpl_conv.h>
#include <gdal.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <optional>

namespace qel {

namespace {

const TableFormat formats[] = {
    { "Excel 4", "Excel 4.0", "xls" },
    { "Excel 5", "Excel 5.0", "xls" },
    { "Excel 97/2000/2002", "Excel 8.0", "xls" },
    { "Lotus WK3", "Lotus WK3", "wk3" },
    { "Lotus WK4", "Lotus WK4", "wk4" },
    { "Excel 2007+ (xlsx)", "Excel 12.0 Xml", "xlsx" },
    { "OpenDocument spreadsheet (ods)", "OpenDocument", "ods" },
    { "Comma-separated values (csv)", "Text", "csv" },
    { "dBASE (dbf)", "dBASE IV", "dbf" },
    { "Shapefile (shp)", "ESRI Shapefile", "shp" },
    { "GeoPackage (gpkg)", "GPKG", "gpkg" },
    { "GeoJSON (geojson)", "GeoJSON", "geojson" },
};

[[noreturn]] void fail(int number, const QString &description)
{
    throw QelError(number, description);
}

const TableFormat &formatFor(const QString &path, const QString &driver)
{
    const int index = tableFormatIndex(driver);
    if (index >= 0)
        return formats[index];
    const QString extension = QFileInfo(path).suffix().toLower();
    for (const auto &format : formats) {
        if (extension == QLatin1String(format.extension))
            return format;
    }
    fail(ErrTableFormat,
        QStringLiteral("The file %1 is of no known table format (%2). Save the sheet as xlsx or csv.")
            .arg(QFileInfo(path).fileName(), driver.isEmpty() ? QStringLiteral("no format given") : driver));
}

QString formatName(const TableFormat &format)
{
    return QStringLiteral("%1 (%2)").arg(QLatin1String(format.caption), QLatin1String(format.driver));
}

} // namespace

void notOfFormat(const QString &path, const TableFormat &format, const QString &why)
{
    fail(ErrTableFormat,
        QStringLiteral("The file %1 cannot be read as %2%3. Save the sheet as xlsx or csv and "
                       "choose that format.")
            .arg(QFileInfo(path).fileName(), formatName(format), why.isEmpty() ? QString() : u": "_qs + why));
}

TableCell numberCell(double value)
{
    return std::isfinite(value) ? TableCell::number(value) : TableCell::text(QString::number(value));
}

namespace {

void checkReadable(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        fail(ErrFileNotFound, QStringLiteral("File not found: %1").arg(path));
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        fail(ErrPathFileAccess, QStringLiteral("The file %1 cannot be read.").arg(path));
    if (file.size() == 0)
        fail(ErrTableFormat, QStringLiteral("The file %1 is empty.").arg(info.fileName()));
}

// Text cells that hold numbers become numbers again, keeping their text. A spreadsheet gives the
// numeric cells of a mixed column as text in its own rendering (ods: 4201876.5000000000000000):
// those take their shortest text, while a number written otherwise (007, +5) keeps its text.
// GDAL writes date cells of such columns as yyyy/mm/dd (xls: yyyy-mm-dd).
TableCell cellFromText(const QString &text, bool spreadsheet)
{
    static const QRegularExpression rendered(QStringLiteral("^-?(0|[1-9]\\d*)(\\.\\d+)?([eE][-+]?\\d+)?$"));
    if (const auto number = strictNumber(text))
        return TableCell::number(*number, spreadsheet && rendered.match(text).hasMatch() ? QString() : text);
    if (spreadsheet) {
        static const QRegularExpression gdalDate(
            QStringLiteral("^(\\d{4})([/-])(\\d{2})\\2(\\d{2})( \\d{2}:\\d{2}:\\d{2})?$"));
        const auto match = gdalDate.match(text);
        if (match.hasMatch()) {
            const QDate date(match.captured(1).toInt(), match.captured(3).toInt(), match.captured(4).toInt());
            if (date.isValid())
                return TableCell::date(date);
        }
    }
    return TableCell::text(text);
}

// Sets a GDAL configuration option for the life of a read (layers are parsed lazily).
class ConfigOption {
public:
    ConfigOption(const char *key, const char *value)
        : m_key(key)
        , m_old(CPLGetThreadLocalConfigOption(key, nullptr) ? CPLGetThreadLocalConfigOption(key, nullptr) : "")
        , m_hadOld(CPLGetThreadLocalConfigOption(key, nullptr) != nullptr)
    {
        CPLSetThreadLocalConfigOption(key, value);
    }
    ~ConfigOption() { CPLSetThreadLocalConfigOption(m_key, m_hadOld ? m_old.constData() : nullptr); }

private:
    const char *m_key;
    QByteArray m_old;
    bool m_hadOld;
};

TableCell gdalCell(OGRFeature &feature, int i, bool spreadsheet)
{
    if (!feature.IsFieldSetAndNotNull(i))
        return {};
    switch (feature.GetFieldDefnRef(i)->GetType()) {
    case OFTInteger:
    case OFTInteger64:
    case OFTReal: return numberCell(feature.GetFieldAsDouble(i));
    case OFTDate:
    case OFTDateTime: {
        int y = 0, m = 0, d = 0, hh = 0, mm = 0, tz = 0;
        float ss = 0;
        feature.GetFieldAsDateTime(i, &y, &m, &d, &hh, &mm, &ss, &tz);
        // A dBASE date field is passed on as written, so it may name no day (month 13): it
        // stays the text it was, which the readers then refuse as a date.
        const QDate date(y, m, d);
        return date.isValid() ? TableCell::date(date) : TableCell::text(decodedText(feature.GetFieldAsString(i)));
    }
    default: {
        const QString text = decodedText(feature.GetFieldAsString(i));
        return text.isEmpty() ? TableCell() : cellFromText(text, spreadsheet);
    }
    }
}

// The x and y of a feature's point; a multipoint of one point counts as that point.
std::pair<TableCell, TableCell> pointCells(OGRFeature &feature)
{
    const OGRGeometry *geometry = feature.GetGeometryRef();
    if (geometry && !geometry->IsEmpty() && wkbFlatten(geometry->getGeometryType()) == wkbMultiPoint) {
        const auto *points = geometry->toMultiPoint();
        geometry = points->getNumGeometries() == 1 ? points->getGeometryRef(0) : nullptr;
    }
    if (!geometry || geometry->IsEmpty() || wkbFlatten(geometry->getGeometryType()) != wkbPoint)
        return {};
    const auto *point = geometry->toPoint();
    return { numberCell(point->getX()), numberCell(point->getY()) };
}

const char *gdalDriverOf(const QString &extension)
{
    const std::pair<const char *, const char *> drivers[] = { { "xls", "XLS" }, { "xlsx", "XLSX" }, { "ods", "ODS" },
        { "csv", "CSV" }, { "gpkg", "GPKG" }, { "geojson", "GeoJSON" } };
    for (const auto &[ext, driver] : drivers)
        if (extension == QLatin1String(ext))
            return driver;
    return "ESRI Shapefile"; // dbf and shp
}

// GDAL's csv reader refuses a file without a separator, which is a table of one column: each
// line is a cell, a quoted one without its quotes. Empty lines are passed over, as GDAL does.
std::optional<Sheet> oneColumnCsv(const QString &path, bool withRows)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.contains(',') || bytes.contains(';') || bytes.contains('\t') || bytes.contains('\0'))
        return std::nullopt;
    Sheet sheet { QFileInfo(path).completeBaseName(), {} };
    if (!withRows)
        return sheet;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        QString text = decodedText(line);
        if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
            text = text.mid(1, text.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        sheet.rows.push_back({ text.isEmpty() ? TableCell() : cellFromText(text, false) });
    }
    return sheet;
}

// xls, xlsx, ods, csv, dbf and the GIS layers through GDAL; every sheet is read with its header
// row as data so that numeric header cells keep their names. With onlyNames the rows are not read.
std::vector<Sheet> readGdal(const QString &path, const TableFormat &format, const QString &wanted, bool onlyNames)
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    const QString extension = QLatin1String(format.extension);
    const bool spreadsheet = extension == u"xls" || extension == u"xlsx" || extension == u"ods";
    const bool gisLayer = extension == u"shp" || extension == u"gpkg" || extension == u"geojson";
    const char *gdalDriver = gdalDriverOf(extension);
    ConfigOption xls("OGR_XLS_HEADERS", "DISABLE"), xlsx("OGR_XLSX_HEADERS", "DISABLE"),
        ods("OGR_ODS_HEADERS", "DISABLE");
    const char *drivers[] = { gdalDriver, nullptr };
    const char *csvOptions[] = { "HEADERS=NO", "EMPTY_STRING_AS_NULL=YES", nullptr };
    CPLPushErrorHandler(CPLQuietErrorHandler);
    std::unique_ptr<GDALDataset> dataset(GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
        drivers, extension == u"csv" ? csvOptions : nullptr));
    CPLPopErrorHandler();
    const auto rowsWanted
        = [&](const QString &name) { return !onlyNames && name.compare(wanted, Qt::CaseInsensitive) == 0; };
    if (!dataset && extension == u"csv") {
        if (auto sheet = oneColumnCsv(path, rowsWanted(QFileInfo(path).completeBaseName())))
            return { std::move(*sheet) };
    }
    if (!dataset)
        notOfFormat(path, format);
    std::vector<Sheet> sheets;
    for (int l = 0; l < dataset->GetLayerCount(); ++l) {
        OGRLayer *layer = dataset->GetLayer(l);
        Sheet sheet;
        const bool oneTablePerFile = extension == u"csv" || extension == u"dbf" || extension == u"shp";
        sheet.name = oneTablePerFile ? QFileInfo(path).completeBaseName() : decodedText(layer->GetName());
        if (rowsWanted(sheet.name)) {
            OGRFeatureDefn *definition = layer->GetLayerDefn();
            const bool points = gisLayer && definition->GetGeomType() != wkbNone;
            if (!spreadsheet && extension != u"csv") {
                std::vector<TableCell> header;
                for (int i = 0; i < definition->GetFieldCount(); ++i)
                    header.push_back(TableCell::text(decodedText(definition->GetFieldDefn(i)->GetNameRef())));
                if (points) {
                    header.push_back(TableCell::text(GeometryXField));
                    header.push_back(TableCell::text(GeometryYField));
                }
                sheet.rows.push_back(std::move(header));
            }
            layer->ResetReading();
            while (std::unique_ptr<OGRFeature> feature { layer->GetNextFeature() }) {
                std::vector<TableCell> row;
                for (int i = 0; i < definition->GetFieldCount(); ++i)
                    row.push_back(gdalCell(*feature, i, spreadsheet));
                if (points) {
                    auto [x, y] = pointCells(*feature);
                    row.push_back(std::move(x));
                    row.push_back(std::move(y));
                }
                sheet.rows.push_back(std::move(row));
            }
        }
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

// Excel 2.x-4.0 worksheets are bare BIFF streams, which the xls reader (FreeXL) reads; the bound
// workbooks of Excel 4.0 (a BOF of the workbook kind, 0x0100) it opens as holding no sheets, so
// they are refused by name rather than listed as empty.
bool isExcel4Workbook(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(8);
    return head.size() == 8 && uchar(head[0]) == 0x09 && uchar(head[1]) <= 0x04 && uchar(head[6]) == 0x00
        && uchar(head[7]) == 0x01;
}

std::vector<Sheet> readSheets(const QString &path, const QString &driver, const QString &table, bool onlyNames)
{
    const TableFormat &format = formatFor(path, driver);
    const QString extension = QLatin1String(format.extension);
    QString file = path;
    // A folder stands for its csv or dbf files, one table each.
    if (QFileInfo(path).isDir() && (extension == u"csv" || extension == u"dbf")) {
        if (onlyNames) {
            std::vector<Sheet> sheets;
            for (const QFileInfo &info : QDir(path).entryInfoList({ u"*."_qs + extension }, QDir::Files, QDir::Name))
                sheets.push_back({ info.completeBaseName(), {} });
            return sheets;
        }
        file = QDir(path).filePath(table + u'.' + extension);
    }
    checkReadable(file);
    if (extension == u"xls" && isExcel4Workbook(file))
        fail(ErrTableFormat,
            QStringLiteral("The file %1 is an Excel 4.0 workbook (several sheets bound in one file), which this "
                           "program cannot read. Open it in a spreadsheet program and save it as Excel 97-2003 (.xls) "
                           "or Excel (.xlsx).")
                .arg(QFileInfo(file).fileName()));
    if (extension == u"wk3" || extension == u"wk4")
        return readLotusSheets(file, format);
    return readGdal(file, format, table, onlyNames);
}

bool blankRow(const std::vector<TableCell> &row)
{
    return std::all_of(row.begin(), row.end(), [](const TableCell &c) { return c.isNull(); });
}

} // namespace

std::span<const TableFormat> tableFormats()
{
    return formats;
}

int tableFormatIndex(QStringView text)
{
    for (int i = 0; i < int(std::size(formats)); ++i) {
        if (text.compare(QLatin1String(formats[i].caption), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String(formats[i].driver), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

TableCell TableCell::text(QString value)
{
    TableCell c;
    c.m_kind = Kind::Text;
    c.m_text = std::move(value);
    return c;
}

TableCell TableCell::number(double value, QString writtenAs)
{
    TableCell c;
    c.m_kind = Kind::Number;
    c.m_number = value;
    c.m_text = std::move(writtenAs);
    return c;
}

TableCell TableCell::date(QDate value)
{
    TableCell c;
    c.m_kind = Kind::Date;
    c.m_date = value;
    return c;
}

QString TableCell::toText() const
{
    switch (m_kind) {
    case Kind::Text: return m_text;
    case Kind::Number: return m_text.isEmpty() ? numberText(m_number) : m_text;
    case Kind::Date: return m_date.toString(Qt::ISODate);
    case Kind::Null: break;
    }
    return {};
}

bool TableCell::operator==(const TableCell &other) const
{
    return m_kind == other.m_kind && m_number == other.m_number && m_date == other.m_date
        && (m_kind == Kind::Number || m_text == other.m_text);
}

QString decodedText(QByteArrayView bytes)
{
    // Most cells are plain ASCII, which is the same text in every encoding.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    static const char16_t high[32] = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
        0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };
    text.clear();
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = uchar(byte);
        text += QChar(b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b));
    }
    return text;
}

Table::Table(QString name, QStringList fieldNames, std::vector<std::vector<TableCell>> records)
    : m_name(std::move(name))
    , m_fieldNames(std::move(fieldNames))
    , m_records(std::move(records))
{
    for (auto &record : m_records)
        record.resize(m_fieldNames.size());
}

int Table::fieldIndex(QStringView name) const
{
    for (int i = 0; i < m_fieldNames.size(); ++i) {
        if (name.compare(m_fieldNames[i], Qt::CaseInsensitive) == 0)
            return i;
    }
    fail(ErrFieldNotFound, QStringLiteral("The table %1 has no field %2.").arg(m_name, name.toString()));
}

void Table::moveNext()
{
    if (eof())
        fail(ErrNoCurrentRecord, QStringLiteral("No current record."));
    ++m_current;
}

const TableCell &Table::field(int column) const
{
    return cell(m_current, column);
}

void Table::setField(int column, TableCell value)
{
    cell(m_current, column);
    m_records[m_current][column] = std::move(value);
}

void Table::setCell(int record, int column, TableCell value)
{
    cell(record, column);
    m_records[std::size_t(record)][std::size_t(column)] = std::move(value);
}

const TableCell &Table::cell(int record, int column) const
{
    if (record < 0 || record >= recordCount())
        fail(ErrNoCurrentRecord, QStringLiteral("No current record."));
    if (column < 0 || column >= m_fieldNames.size())
        fail(ErrFieldNotFound, QStringLiteral("The table %1 has no field number %2.").arg(m_name).arg(column));
    return m_records[record][column];
}

QStringList tableNames(const QString &path, const QString &driver)
{
    QStringList names;
    for (const auto &sheet : readSheets(path, driver, {}, true))
        names << sheet.name;
    return names;
}

Table openTable(const QString &path, const QString &driver, const QString &table)
{
    auto sheets = readSheets(path, driver, table, false);
    auto sheet = std::find_if(
        sheets.begin(), sheets.end(), [&](const Sheet &s) { return s.name.compare(table, Qt::CaseInsensitive) == 0; });
    if (sheet == sheets.end())
        fail(ErrTableNotFound, QStringLiteral("The file %1 holds no table %2.").arg(QFileInfo(path).fileName(), table));
    auto &rows = sheet->rows;
    // Blank rows after the data are not records.
    while (!rows.empty() && blankRow(rows.back()))
        rows.pop_back();
    if (rows.empty())
        fail(ErrTableFormat, QStringLiteral("The table %1 is empty.").arg(sheet->name));
    std::vector<TableCell> header = std::move(rows.front());
    rows.erase(rows.begin());
    size_t width = header.size();
    for (const auto &row : rows)
        width = std::max(width, row.size());
    header.resize(width);
    // Unnamed columns without data at the right are not fields.
    while (!header.empty() && header.back().isNull() && std::all_of(rows.begin(), rows.end(), [&](const auto &r) {
        return r.size() < header.size() || r[header.size() - 1].isNull();
    }))
        header.pop_back();
    if (blankRow(header))
        fail(ErrTableFormat, QStringLiteral("The first row of table %1 holds no field names.").arg(sheet->name));
    if (rows.empty())
        fail(ErrTableFormat, QStringLiteral("The table %1 holds field names but no records.").arg(sheet->name));
    QStringList names;
    for (const auto &cell : header)
        names << cell.toText().trimmed();
    return Table(sheet->name, names, std::move(rows));
}

} // namespace qel
