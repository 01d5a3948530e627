#include "core/reporting.h"
#include "support/test_session.h"
#include "support/write_limit.h"
#include "views/grid_export.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <optional>

using namespace qel;
using namespace qel::test;

namespace {

// A 3 x 2 model grid; rows listed north (row 1) to south.
void setGrid(ProjectModel &m, ExportedGrid grid, std::initializer_list<std::initializer_list<double>> rows)
{
    auto &values = grid == ExportedGrid::MinDist ? m.MinDistGrid : m.WOLFGrid;
    m.PCNumY = qint16(rows.size());
    int r = 0;
    for (const auto &row : rows) {
        ++r;
        m.PCNumX = qint16(row.size());
        int c = 0;
        for (const double v : row)
            values(++c, r) = v;
    }
}

struct ExportFixture : TestSession {
    ExportFixture()
    {
        m.ProjectDir = home();
        s.FormTag = QStringLiteral("MinDist");
        s.app.EditorPath = QStandardPaths::findExecutable(QStringLiteral("true"));
        setGrid(m, ExportedGrid::MinDist, { { 12.5, 0, 1 }, { 2, 3, 4 } });
    }
    Session &s = *session;
    ProjectModel &m = session->model;
};

const QByteArray MinDistBytes = "     12.50      0.00      1.00\r\n      2.00      3.00      4.00\r\n";

} // namespace

TEST(GridExport, FixedWidthFieldsRowByRow)
{
    const struct {
        ExportedGrid grid;
        std::initializer_list<std::initializer_list<double>> rows;
        QByteArray bytes;
    } cases[] = {
        // Ordinary values row by row are the example's golden grids; here the widest that fit and
        // the small negatives that must not print as -0.
        { ExportedGrid::MinDist, { { 9999999.994, -0.001 } }, "9999999.99      0.00\r\n" },
        { ExportedGrid::Wolf, { { 99999999.94, -0.04 } }, "99999999.9       0.0\r\n" },
        { ExportedGrid::MinDist, { { 1.005 } }, "      1.00\r\n" }, // 1.005 lies just below the half
        { ExportedGrid::Wolf, { { -12.25, 1e-9 } }, "     -12.3       0.0\r\n" }, // an exact half: away from 0
        // Too wide for the fixed decimals: the exponent form, as many digits as fit in 10 characters.
        { ExportedGrid::MinDist, { { 10000000, -123456789.5, 9999999.996 } }, "1.0000E+07-1.235E+081.0000E+07\r\n" },
        { ExportedGrid::Wolf, { { 123456789, 99999999.96, 1e100, -1e100 } },
            "1.2346E+081.0000E+081.000E+100-1.00E+100\r\n" },
    };
    for (const auto &c : cases) {
        ProjectModel m;
        setGrid(m, c.grid, c.rows);
        EXPECT_EQ(gridExportBytes(m, c.grid), c.bytes);
    }
}

// A value that is no number, a cancelled dialog, a full disk or a batch export without the
// analytical run leaves the old file and its path.
TEST(GridExport, NoNumberACancelOrAFullDiskKeepsTheOldFile)
{
    const struct {
        const char *what;
        void (*spoil)(ExportFixture &);
        const char *error; // "" for none
        bool fullDisk = false, batch = false;
    } cases[] = {
        { "infinity", [](ExportFixture &f) { f.m.MinDistGrid(2, 1) = std::numeric_limits<double>::infinity(); },
            "QEL(MinDist:ExportMinDistGrid): 6: \nOverflow: the value inf of node 2, 1" },
        { "no model grid", [](ExportFixture &f) { f.m.PCNumX = 0; },
            "QEL(MinDist:ExportMinDistGrid): 5: \nThere is no model grid to export" },
        { "cancelled", [](ExportFixture &f) { f.frontend.queueCancelledFile(); }, "" },
        { "full disk", [](ExportFixture &) {}, "QEL(MinDist:ExportMinDistGrid): 75: \n", true },
        // The analytical run computes both grids; a drawn view is no stand-in for it.
        { "batch export without the run", [](ExportFixture &f) { f.m.MDDone = true; },
            "QEL(MinDist:ExportMinDistGrid): 5: \nThere is no minimum-distance grid to export", false, true },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ExportFixture f;
        f.frontend.expectErrors = *c.error != '\0';
        const QString path = f.writeFile(QStringLiteral("MinDistGrid.txt"), "old\r\n");
        f.m.MDExportFile = path;
        c.spoil(f);
        f.frontend.queueFile(path); // behind a cancelled dialog, never asked for
        if (*c.error && !c.batch)
            f.frontend.answers.push_back(MsgAnswer::Yes); // to replacing the old file
        std::optional<WriteLimit> full;
        if (c.fullDisk)
            full.emplace(40); // the grid is 64 bytes
        if (c.batch)
            EXPECT_FALSE(writeGridExport(f.s, ExportedGrid::MinDist, path));
        else
            mdExportClicked(f.s);
        full.reset();
        EXPECT_EQ(readBytes(path), "old\r\n");
        EXPECT_EQ(f.m.MDExportFile, path);
        const QStringList errors = f.frontend.boxTexts(MsgIcon::Error);
        EXPECT_EQ(errors.size(), *c.error ? 1 : 0) << "a cancelled dialog says nothing";
        EXPECT_EQ(f.s.ErrorText.left(qsizetype(std::strlen(c.error))), QLatin1String(c.error));
    }
}

// Without an editor set, the desktop's default application or else the workbench's viewer shows
// the file; an editor that is not there is an error, and the file is written all the same.
TEST(GridExport, AnEditorThatIsNotThereIsReported)
{
    ExportFixture f;
    f.frontend.expectErrors = true;
    f.s.app.EditorPath = f.home() + QStringLiteral("no-such-editor");
    f.m.MDExportFile = f.home() + QStringLiteral("grid.txt");
    EXPECT_FALSE(ExportMinDistGrid(f.s));
    EXPECT_EQ(readBytes(f.m.MDExportFile), MinDistBytes);
    EXPECT_EQ(
        f.s.ErrorText, QStringLiteral("QEL(MinDist:ExportMinDistGrid): 53: \nFile not found: ") + f.s.app.EditorPath);
}
