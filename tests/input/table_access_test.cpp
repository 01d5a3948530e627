#include "core/errors.h"
#include "input/import_wizard.h"
#include "input/table_access.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace qel;
using qel::test::thrownBy;
using qel::test::writeBytes;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(QEL_TEST_DATA "/input/") + QLatin1String(name);
}

TableCell num(double v)
{
    return TableCell::number(v);
}
TableCell txt(const char *t)
{
    return TableCell::text(QString::fromUtf8(t));
}

// The wells and levels every fixture holds (tests/data/input/make_fixtures.sh).
const std::vector<std::vector<TableCell>> wells = {
    { num(101), num(512034.25), num(4201876.5) },
    { num(102), num(512190.1), num(4201790.75) },
    { num(103), txt("n/a"), num(4201655.0) },
    { txt("MW-4"), num(511987.3), num(4201702.125) },
};
const QStringList levelNames = { "date", "101", "102", "103", "MW-4" };
const std::vector<std::vector<TableCell>> levels = {
    { {}, num(101.25), num(100.9), num(99.8), num(100.1) },
    { {}, num(101.0), {}, num(99.55), num(-9999) },
    { {}, num(100.75), num(100.5), num(99.3), num(99.95) },
};
const QDate dates[] = { QDate(2019, 3, 15), QDate(2019, 6, 17), QDate(2019, 9, 16) };

struct Source {
    const char *driver;
    const char *wellsFile;
    const char *wellsTable;
    const char *levelsFile;
    const char *levelsTable;
};

const Source sources[] = {
    { "Excel 8.0", "sites.xls", "Wells", "sites.xls", "Levels" },
    { "Excel 5.0", "sites5.xls", "Wells", "sites5.xls", "Levels" },
    { "Excel 4.0", "wells4.xls", "Worksheet", "levels4.xls", "Worksheet" }, // a worksheet per file
    { "Lotus WK3", "sites.wk3", "Sheet1", "sites.wk3", "Sheet2" },
    { "Lotus WK4", "sites.wk4", "Sheet1", "sites.wk4", "Sheet2" },
    { "Excel 12.0 Xml", "sites.xlsx", "Wells", "sites.xlsx", "Levels" },
    { "OpenDocument", "sites.ods", "Wells", "sites.ods", "Levels" },
    { "Text", "wells.csv", "wells", "levels.csv", "levels" },
    { "dBASE IV", "wells.dbf", "wells", "levels.dbf", "levels" },
    { "", "sites.xlsx", "Wells", "sites.xlsx", "Levels" }, // the extension chooses
};

// The date of a date cell; Lotus keeps dates as serial day numbers, csv as ISO text.
QDate dateOf(const TableCell &cell)
{
    if (cell.kind() == TableCell::Kind::Number)
        return QDate(1899, 12, 30).addDays(qint64(cell.toNumber()));
    if (cell.kind() == TableCell::Kind::Text)
        return QDate::fromString(cell.toText(), Qt::ISODate);
    return cell.toDate();
}

} // namespace

TEST(TableAccess, EveryFormatReadsTheSameWellsAndLevels)
{
    for (const auto &s : sources) {
        SCOPED_TRACE(std::string(s.driver) + " " + s.wellsFile);
        // A workbook lists its sheets in their order in the file.
        const QStringList sheets
            = s.wellsFile == s.levelsFile ? QStringList { s.wellsTable, s.levelsTable } : QStringList { s.wellsTable };
        EXPECT_EQ(tableNames(fixture(s.wellsFile), QLatin1String(s.driver)), sheets);
        Table w = openTable(fixture(s.wellsFile), s.driver, s.wellsTable);
        EXPECT_EQ(w.fieldNames(), QStringList({ "id", "x", "y" }));
        ASSERT_EQ(w.recordCount(), int(wells.size()));
        // Workbooks give numbers their shortest text; csv keeps the text as written (4201655.0).
        const bool written = QLatin1String(s.wellsFile).endsWith(u".csv");
        for (size_t r = 0; r < wells.size(); ++r, w.moveNext())
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(w.field(c), wells[r][c]) << r << "," << c << " " << w.field(c).toText().toStdString();
                if (!written) {
                    EXPECT_EQ(w.field(c).toText(), wells[r][c].toText()) << r << "," << c;
                }
            }
        EXPECT_TRUE(w.eof());

        Table l = openTable(fixture(s.levelsFile), s.driver, s.levelsTable);
        EXPECT_EQ(l.fieldNames(), levelNames);
        ASSERT_EQ(l.recordCount(), int(levels.size()));
        for (size_t r = 0; r < levels.size(); ++r, l.moveNext()) {
            EXPECT_EQ(dateOf(l.field(u"DATE")), dates[r]);
            for (int c = 1; c < 5; ++c)
                EXPECT_EQ(l.field(c), levels[r][c]) << r << "," << c << " " << l.field(c).toText().toStdString();
        }
    }
}

TEST(TableAccess, WriteFieldChangesOnlyTheMemoryCopy)
{
    const QByteArray before = qel::test::readBytes(fixture("sites.xlsx"));
    Table t = openTable(fixture("sites.xlsx"), "Excel 12.0 Xml", "Wells");
    t.moveNext();
    t.moveNext();
    t.setField(u"X", TableCell::number(0));
    EXPECT_EQ(std::tuple(t.cell(2, 1), qel::test::readBytes(fixture("sites.xlsx"))), std::tuple(num(0), before));
}

TEST(TableAccess, CursorAndFieldFailures)
{
    Table t = openTable(fixture("wells.csv"), "Text", "wells");
    while (!t.eof())
        t.moveNext();
    EXPECT_EQ(thrownBy([&] { t.field(0); }).number(), ErrNoCurrentRecord);
    EXPECT_EQ(thrownBy([&] { t.moveNext(); }).number(), ErrNoCurrentRecord);
    t.moveFirst();
    EXPECT_EQ(t.field(0), TableCell::number(101));
}

TEST(TableAccess, MalformedFilesRaiseClearErrors)
{
    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &bytes) { return writeBytes(dir.filePath(name), bytes); };
    const QByteArray text = "id,x,y\r\n1,2,3\r\n";
    const struct {
        QString path;
        const char *driver;
        const char *table;
        int number;
        const char *mentions;
    } cases[] = {
        { dir.filePath("missing.xls"), "Excel 8.0", "Wells", ErrFileNotFound, "missing.xls" },
        { write("wells.xlsx", text), "Excel 12.0 Xml", "wells", ErrTableFormat, "xlsx or csv" },
        { write("wells.xls", text), "Excel 8.0", "wells", ErrTableFormat, "Excel 97/2000/2002" },
        { write("wells.wk3", text), "Lotus WK3", "wells", ErrTableFormat, "Lotus WK3" },
        { write("empty.csv", ""), "Text", "empty", ErrTableFormat, "empty" },
        { write("header.csv", "id,x,y\r\n"), "Text", "header", ErrTableFormat, "no records" },
        { write("nonames.csv", ",,\r\n1,2,3\r\n"), "Text", "nonames", ErrTableFormat, "no field names" },
        { fixture("malformed.xlsx"), "Excel 12.0 Xml", "Empty", ErrTableFormat, "empty" },
        // No reader here reads Excel 4.0's bound workbooks (FreeXL lists no sheets in them), whichever
        // xls format is chosen: they are refused by kind, with the way out.
        { fixture("workbook4.xls"), "Excel 4.0", "Sheet1", ErrTableFormat,
            "is an Excel 4.0 workbook (several sheets bound in one file)" },
        { fixture("workbook4.xls"), "Excel 8.0", "Sheet1", ErrTableFormat,
            "save it as Excel 97-2003 (.xls) or Excel (.xlsx)" },
        { fixture("workbook4.xls"), "", "Sheet1", ErrTableFormat, "Excel 4.0 workbook" },
        { dir.filePath("wells.txt"), "", "wells", ErrTableFormat, "no known table format" },
    };
    // Sheets that cannot be opened as tables are still listed.
    EXPECT_EQ(tableNames(fixture("malformed.xlsx"), {}), QStringList({ "Empty", "HeaderOnly", "MergedHeader" }));
    EXPECT_EQ(thrownBy([&] { tableNames(fixture("workbook4.xls"), "Excel 4.0"); }).number(), ErrTableFormat);
    for (const auto &c : cases) {
        const QelError e = thrownBy([&] { openTable(c.path, c.driver, c.table); });
        EXPECT_EQ(e.number(), c.number) << c.path.toStdString();
        EXPECT_TRUE(e.description().contains(QLatin1String(c.mentions))) << e.description().toStdString();
    }
}

// A header merged over two columns names only the first of them; the row below it is a record.
// No column is taken for x or y then, so the wizard leaves the choice to the person.
TEST(TableAccess, MergedHeaderCellsNameTheirFirstColumnOnly)
{
    const Table table
        = openTable(fixture("malformed.xlsx"), QStringLiteral("Excel 12.0 Xml"), QStringLiteral("MergedHeader"));
    EXPECT_EQ(table.fieldNames(), QStringList({ "Well", "Coordinates", "" }));
    ASSERT_EQ(table.recordCount(), 2);
    EXPECT_EQ(std::tuple(table.cell(0, 1), table.cell(1, 2)), std::tuple(txt("X"), num(4201876.5)));
}

// Wells as GIS point layers: the attributes, then the point's x and y, a multipoint's first; a
// feature without a point gets null coordinates. Every layer format goes through the same OGR
// read; a GeoPackage one is read end to end in tests/app/example_replay_test.cpp.
TEST(TableAccess, GisPointLayersGiveTheirCoordinates)
{
    QTemporaryDir dir;
    const QString geojson
        = writeBytes(dir.filePath(QStringLiteral("wells.geojson")), R"({"type": "FeatureCollection", "name": "wells",
"crs": {"type": "name", "properties": {"name": "urn:ogc:def:crs:EPSG::32633"}},
"features": [
{"type": "Feature", "properties": {"WellID": "MW-1", "Depth": 12.5}, "geometry": {"type": "Point", "coordinates": [512034.25, 4201876.5]}},
{"type": "Feature", "properties": {"WellID": "MW-2", "Depth": null}, "geometry": {"type": "MultiPoint", "coordinates": [[512190.1, 4201790.75]]}},
{"type": "Feature", "properties": {"WellID": "MW-3", "Depth": 9}, "geometry": null}
]})");
    EXPECT_EQ(tableNames(geojson, QStringLiteral("GeoJSON")), QStringList { "wells" });
    const Table table = openTable(geojson, QStringLiteral("GeoJSON"), QStringLiteral("wells"));
    EXPECT_EQ(table.fieldNames(), QStringList({ "WellID", "Depth", GeometryXField, GeometryYField }));
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(std::tuple(table.cell(0, 2), table.cell(0, 3), table.cell(1, 2)),
        std::tuple(num(512034.25), num(4201876.5), num(512190.1)));
    EXPECT_TRUE(table.cell(2, 2).isNull() && table.cell(2, 3).isNull());
}

// Numbers written as text keep that text and are equal by value (that "007" and "7" stay apart is
// checked through the well reader); text that is not UTF-8 is Windows-1252. GDAL's csv reader
// refuses a file without a separator: such a file is a table of one column.
TEST(TableAccess, TextCellsKeepTheirText)
{
    QTemporaryDir dir;
    const QString path
        = writeBytes(dir.filePath(QStringLiteral("dates.csv")), "Date\r\n\"15 Mar\"\r\n\r\n007\n\xe9t\xe9\r\n");
    const Table table = openTable(path, "Text", "dates");
    EXPECT_EQ(table.fieldNames(), QStringList { QStringLiteral("Date") });
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(
        std::tuple(table.cell(0, 0).toText(), table.cell(1, 0).toText(), table.cell(1, 0), table.cell(2, 0).toText()),
        std::tuple(QStringLiteral("15 Mar"), QStringLiteral("007"), num(7), QStringLiteral("\u00e9t\u00e9")));
    EXPECT_EQ(decodedText("caf\xc3\xa9"), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(decodedText("\x80 \x9f \xff"), QStringLiteral("\u20ac \u0178 \u00ff"));
}
