// The bundled example replayed headless as `scripts/qel demo` runs it: every output is compared
// with the committed golden files, so any change to what a user gets from the example shows up
// here. QEL_UPDATE_GOLDEN=1 rewrites the golden files from the current program instead.
#include "support/qel_process.h"
#include "support/test_session.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QImage>
#include <QLocale>
#include <QProcess>

#include <cstdlib>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

const QString GoldenDir = QStringLiteral(QEL_TEST_DATA "/example/");

const bool UpdatingGolden = qEnvironmentVariableIntValue("QEL_UPDATE_GOLDEN") == 1;

// What differs from run to run: the folder the example was copied to (the summary names it in
// lower case) and today's date.
QByteArray masked(QByteArray bytes, const QString &projectDir)
{
    bytes.replace(projectDir.toUtf8(), "<PROJECT>/");
    bytes.replace(projectDir.toLower().toUtf8(), "<PROJECT>/");
    const QString today = QLocale(QLocale::English).toString(QDate::currentDate(), QStringLiteral("dd-MMM-yyyy"));
    bytes.replace(today.toUtf8(), "<TODAY>");
    return bytes;
}

// The first line where two texts differ, for a readable failure.
std::string firstDifference(const QByteArray &got, const QByteArray &want)
{
    const QList<QByteArray> a = got.split('\n'), b = want.split('\n');
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const QByteArray x = i < a.size() ? a[i] : "<end>", y = i < b.size() ? b[i] : "<end>";
        if (x != y)
            return "line " + std::to_string(i + 1) + ":\n  got  " + x.toStdString() + "\n  want " + y.toStdString();
    }
    return "same lines, different bytes";
}

// Share of pixels whose colour differs by more than a rounding step of anti-aliasing.
double differingPixelShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 1;
    qint64 differing = 0;
    for (int row = 0; row < a.height(); ++row) {
        for (int col = 0; col < a.width(); ++col) {
            const QRgb p = a.pixel(col, row), q = b.pixel(col, row);
            differing
                += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 48;
        }
    }
    return double(differing) / (double(a.width()) * a.height());
}

// The map's texts ask for Arial, which fontconfig maps to whatever fonts the machine has (Nimbus
// Sans once ghostscript's fonts are there); the golden map is drawn with DejaVu Sans, from
// fonts-dejavu-core, which setup installs. The machine's own settings stay, its other fonts go.
QProcessEnvironment dejaVuFontsOnly(const TestSession &t)
{
    QByteArray rejected;
    const QDir fonts(QStringLiteral("/usr/share/fonts"));
    for (const QString &top : fonts.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir inner(fonts.filePath(top));
        for (const QString &family : inner.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (!(top == QStringLiteral("truetype") && family == QStringLiteral("dejavu")))
                rejected += "<glob>" + inner.filePath(family).toUtf8() + "/*</glob>";
    }
    const QString config = t.writeFile(QStringLiteral("fonts.conf"),
        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
        "<include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
        "<selectfont><rejectfont>"
            + rejected + "<glob>/usr/local/share/fonts/*</glob></rejectfont></selectfont>\n</fontconfig>\n");
    QProcessEnvironment env;
    env.insert(QStringLiteral("FONTCONFIG_FILE"), config);
    return env;
}

} // namespace

TEST(ExampleReplay, OutputsMatchTheGoldenFiles)
{
    const TestSession t;
    const QString project = copyExample(t.home(), QStringLiteral("site"));
    const QString out = t.home() + QStringLiteral("out/");
    QDir().mkpath(out);

    const QelRun run = runQel(t.home(),
        { "--batch", project + "alpha-site.prj", "--summary", out + "summary.rtf", "--map", out + "map.png",
            "--results", out + "results-report.out", "--export-mindist", out + "mindist.txt", "--export-wolf",
            out + "wolf.txt", "--new-wells", out + "new-wells.csv", "--save-as", project + "alpha-site.prj" },
        dejaVuFontsOnly(t));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("QEL("))) << run.err.toStdString();
    EXPECT_EQ(readBytes(project + "alpha-site.prj"), readBytes(ExampleDir + "alpha-site.prj")) << "saved unchanged";

    // Small text outputs are kept whole; the large grids and the report by their digest, beside
    // their opening lines, which say what a difference is about.
    const QStringList whole = { project + "regress_input.dat", project + "regress.out", project + "final.out",
        project + "results.out", out + "summary.rtf", out + "new-wells.csv" };
    const QStringList digested = { out + "results-report.out", out + "mindist.txt", out + "wolf.txt" };
    for (const QString &file : whole + digested) {
        const bool isWhole = whole.contains(file);
        const QString name = QFileInfo(file).fileName();
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = masked(readBytes(file), project);
        ASSERT_FALSE(bytes.isEmpty());
        const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + '\n';
        const QByteArray compared = isWhole ? bytes : bytes.left(bytes.indexOf('\n', 0) < 0 ? bytes.size() : 2000);
        if (UpdatingGolden) {
            writeBytes(GoldenDir + name, compared);
            if (!isWhole)
                writeBytes(GoldenDir + name + ".sha256", digest);
            continue;
        }
        const QByteArray want = readBytes(GoldenDir + name);
        EXPECT_TRUE(compared == want) << firstDifference(compared, want);
        if (!isWhole) {
            EXPECT_EQ(digest, readBytes(GoldenDir + name + ".sha256"));
        }
    }

    const QImage map(out + "map.png");
    ASSERT_FALSE(map.isNull());
    if (UpdatingGolden) {
        map.save(GoldenDir + "map.png");
        return;
    }
    const QImage want(GoldenDir + "map.png");
    ASSERT_FALSE(want.isNull());
    EXPECT_LT(differingPixelShare(map, want), 0.002);
}

// The wells from a GeoPackage point layer, located by their points, give the same plane fits.
TEST(ExampleReplay, WellsFromAGisPointLayerGiveTheSameFits)
{
    const TestSession t;
    const QString project = copyExample(t.home(), QStringLiteral("gis"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("ogr2ogr"),
                  { "-oo", "X_POSSIBLE_NAMES=X", "-oo", "Y_POSSIBLE_NAMES=Y", "-sql", "SELECT WellID FROM wells",
                      project + "wells.gpkg", project + "wells.csv" }),
        0);
    QByteArray prj = readBytes(project + "alpha-site.prj");
    prj.replace("DataFormat=Text\r\nFileExt=csv\r\nDataFile=wells.csv\r\nDataTable=wells\r\n",
        "DataFormat=GPKG\r\nFileExt=gpkg\r\nDataFile=wells.gpkg\r\nDataTable=wells\r\n");
    prj.replace("XField=X\r\nYField=Y\r\n", "XField=(geometry x)\r\nYField=(geometry y)\r\n");
    ASSERT_TRUE(prj.contains("DataFile=wells.gpkg") && prj.contains("XField=(geometry x)"));
    t.writeFile(QStringLiteral("gis/gis.prj"), prj);
    const QelRun run = runQel(t.home(), { "--batch", project + "gis.prj", "--save-as", project + "saved.prj" });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(readBytes(project + "saved.prj"), prj);
    EXPECT_EQ(readBytes(project + "regress.out"), readBytes(GoldenDir + "regress.out"));
}
