#include "core/errors.h"
#include "input/sheet_readers.h"
#include "input/table_access.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <random>

using namespace qel;
using qel::test::readBytes;
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

const TableFormat &lotusWk3()
{
    return tableFormats()[tableFormatIndex(u"Lotus WK3")];
}

} // namespace

// The cells of tests/data/input/make_lotus.py in each Lotus generation: labels of every alignment
// without their prefix, integer cells, numbers, and formulas by the value they were saved with.
TEST(LotusSheets, EveryGenerationGivesEveryKindOfCell)
{
    const std::vector<std::vector<TableCell>> wells = {
        { txt("MW-1"), num(512034.25), num(4201876.5) },
        { num(102), num(512190.125), num(4201790.75) }, // x: 512190 + 0.125
        { txt("MW 3"), num(-0.5), {} },
        { {}, num(0), num(7) },
    };
    const std::vector<std::vector<TableCell>> levels = { { num(43539), num(101.25) }, { num(43633), num(100.5) } };
    const struct {
        const char *file;
        const char *driver;
        QStringList sheets;
    } cases[] = {
        { "shapes.wk1", "Lotus WK3", { "Sheet1" } }, // Release 2: the list has no entry, the reader reads it
        { "shapes.wk3", "Lotus WK3", { "Sheet1", "Sheet2" } },
        { "shapes.wk4", "Lotus WK4", { "Sheet1", "Sheet2" } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(tableNames(fixture(c.file), QLatin1String(c.driver)), c.sheets);
        const Table w = openTable(fixture(c.file), c.driver, "Sheet1");
        EXPECT_EQ(w.fieldNames(), QStringList({ "id", "x", "y" }));
        ASSERT_EQ(w.recordCount(), int(wells.size()));
        for (int r = 0; r < w.recordCount(); ++r)
            for (int col = 0; col < 3; ++col)
                EXPECT_EQ(w.cell(r, col), wells[r][col])
                    << r << "," << col << " " << w.cell(r, col).toText().toStdString();
        if (c.sheets.size() < 2)
            continue;
        const Table l = openTable(fixture(c.file), c.driver, "Sheet2");
        EXPECT_EQ(l.fieldNames(), QStringList({ "date", "MW-1" }));
        ASSERT_EQ(l.recordCount(), 2);
        for (int r = 0; r < 2; ++r)
            EXPECT_EQ(std::tuple(l.cell(r, 0), l.cell(r, 1)), std::tuple(levels[r][0], levels[r][1])) << r;
    }
}

// libwps reads a Lotus file cut short as far as it goes and reports success; such a file, and
// one whose records run past its end, is refused by name instead of losing its last records.
// Bytes after the closing record are left alone (Release 4 keeps its formats there).
TEST(LotusSheets, DamagedFilesAreRefusedWithTheirDamage)
{
    QTemporaryDir dir;
    for (const char *name : { "shapes.wk1", "sites.wk3", "sites.wk4" }) {
        SCOPED_TRACE(name);
        const QByteArray good = readBytes(fixture(name));
        const qsizetype bof = 4 + qsizetype(uchar(good[2]));
        QByteArray longRecord = good;
        longRecord[bof + 2] = char(0xFF);
        longRecord[bof + 3] = char(0xFF);
        std::mt19937 random(20240611);
        QByteArray noise = good.left(bof);
        for (int i = 0; i < 3000; ++i)
            noise += char(random() & 0xFF);
        const struct {
            const char *what;
            QByteArray bytes;
            const char *mentions;
        } cases[] = {
            { "empty", "", "is empty" },
            { "one byte", good.left(1), "cannot be read as Lotus WK3" },
            { "inside the first header", good.left(3), "inside the header of the record at byte 0" },
            { "inside the first record", good.left(bof - 1), "the record at byte 0 claims" },
            { "after the first record", good.left(bof), "without the record that closes" },
            { "in the middle", good.left(good.size() / 2), "cut short or damaged" },
            { "before the closing record", good.left(good.size() - 4), "without the record that closes" },
            { "inside the closing record", good.left(good.size() - 1), "inside the header of the record" },
            { "a record longer than the file", longRecord, "claims 65535 bytes" },
            { "noise after a good header", noise, "cut short or damaged" },
        };
        for (const auto &c : cases) {
            const QString path = writeBytes(dir.filePath(QStringLiteral("damaged.wk3")), c.bytes);
            for (const bool listing : { true, false }) {
                const QelError e = thrownBy([&] {
                    if (listing)
                        tableNames(path, "Lotus WK3");
                    else
                        openTable(path, "Lotus WK3", "Sheet1");
                });
                EXPECT_EQ(e.number(), ErrTableFormat) << c.what;
                EXPECT_TRUE(e.description().contains(QLatin1String(c.mentions)))
                    << c.what << ": " << e.description().toStdString();
            }
        }
        const QString trailed = writeBytes(dir.filePath(QStringLiteral("trailed.wk3")), good + noise);
        EXPECT_EQ(readLotusSheets(trailed, lotusWk3()).size(), readLotusSheets(fixture(name), lotusWk3()).size());
    }
}
