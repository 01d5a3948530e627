#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace qel {

// Failures of the table reader, numbered as users of desktop databases know them.
enum TableErrorNumber : int {
    ErrTableNotFound = 3011,
    ErrNoCurrentRecord = 3021,
    ErrFieldNotFound = 3265,
    ErrTableFormat = 3274,
};

// One entry of the wizards' format list.
struct TableFormat {
    const char *caption;
    const char *driver; // the stored driver string
    const char *extension;
};

// The formats in list order: the five classic ones first, then the modern ones, then the GIS
// layers.
std::span<const TableFormat> tableFormats();
// Index of the format whose caption or driver string equals text ignoring case, -1 when none.
int tableFormatIndex(QStringView text);

// The two fields a GIS layer adds after its attributes: the x and y of each feature's point
// (null for a feature without one).
inline const QString GeometryXField = QStringLiteral("(geometry x)");
inline const QString GeometryYField = QStringLiteral("(geometry y)");

// A cell as the wizards read it: null, text, number or date.
class TableCell {
public:
    enum class Kind { Null, Text, Number, Date };
    TableCell() = default;
    static TableCell text(QString value);
    // A number, with the text it was written as when it came from text (an identifier "007"
    // stays "007").
    static TableCell number(double value, QString writtenAs = {});
    static TableCell date(QDate value);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool isNumber() const { return m_kind == Kind::Number; }
    double toNumber() const { return m_number; }
    QDate toDate() const { return m_date; }
    // The cell as text: numbers as written, or in their default text when they came as numbers,
    // dates as yyyy-mm-dd, null as "".
    QString toText() const;
    // Numbers are equal by value, whatever text they were written as.
    bool operator==(const TableCell &other) const;

private:
    Kind m_kind = Kind::Null;
    QString m_text;
    double m_number = 0;
    QDate m_date;
};

// One table read into memory with a current record. Changes stay in memory: the user's file is
// never written.
class Table {
public:
    Table(QString name, QStringList fieldNames, std::vector<std::vector<TableCell>> records);

    const QString &name() const { return m_name; }
    int recordCount() const { return int(m_records.size()); }
    const QStringList &fieldNames() const { return m_fieldNames; }
    // Column of a field by name ignoring case (the first of equal names); unknown is error 3265.
    int fieldIndex(QStringView name) const;

    void moveFirst() { m_current = 0; }
    void moveNext();
    bool eof() const { return m_current >= recordCount(); }
    int currentRecord() const { return m_current; }

    // Fields of the current record; no current record is error 3021.
    const TableCell &field(int column) const;
    const TableCell &field(QStringView name) const { return field(fieldIndex(name)); }
    void setField(int column, TableCell value);
    void setField(QStringView name, TableCell value) { setField(fieldIndex(name), std::move(value)); }

    const TableCell &cell(int record, int column) const;
    // A grid edit of any record; the same errors as cell().
    void setCell(int record, int column, TableCell value);

private:
    QString m_name;
    QStringList m_fieldNames;
    std::vector<std::vector<TableCell>> m_records;
    int m_current = 0;
};

// Table names of a file in the file's order. driver is a stored driver string; when it is empty
// or unknown the file's extension chooses the reader. For csv and dbf the path may be a folder,
// whose files are its tables. A shapefile holds one table named after the file, a GeoPackage or
// GeoJSON file one per layer.
QStringList tableNames(const QString &path, const QString &driver);

// Text of a file that names no encoding: UTF-8 when the bytes are valid UTF-8, otherwise
// Windows-1252 (Latin-1 with its printable 0x80-0x9f), as Western spreadsheet programs save text.
QString decodedText(QByteArrayView bytes);

// Reads one table; the first row holds the field names. A missing file is error 53, an
// unreadable one 75, a file that is not of its format, an empty table or one with no records
// error 3274, an unknown table 3011.
Table openTable(const QString &path, const QString &driver, const QString &table);

} // namespace qel
