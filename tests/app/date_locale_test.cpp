// The example's water levels with their dates written in other ways, read by the real program
// under the locales users have: the regression gets the same input as from the ISO dates, so a
// column's order never depends on the machine.
#include "support/qel_process.h"
#include "support/test_session.h"

#include <QDate>
#include <QLocale>

#include <functional>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

struct LocaleCase {
    const char *name;
    bool monthFirst; // the order of its short date form
};
const LocaleCase Locales[] = { { "C.UTF-8", false }, { "en_US.UTF-8", true }, { "de_DE.UTF-8", false } };

// The example's levels.csv with the date of each record (1-based) written as the function says
// (quoted when it holds a comma).
QByteArray levelsWith(const std::function<QString(QDate, int)> &dateText)
{
    QList<QByteArray> lines = readBytes(ExampleDir + "levels.csv").split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const int comma = int(lines[i].indexOf(','));
        if (comma < 0)
            continue;
        const QDate date = QDate::fromString(QString::fromLatin1(lines[i].left(comma)), Qt::ISODate);
        const QByteArray text = dateText(date, i).toUtf8();
        lines[i] = (text.contains(',') ? '"' + text + '"' : text) + lines[i].mid(comma);
    }
    return lines.join('\n');
}

struct SiteRun {
    QelRun run;
    QByteArray regressInput;
    QString log; // what the run added to the session log
};

// The example with its levels.csv replaced, replayed under the locale in a folder of its own.
SiteRun runSite(const TestSession &t, const QString &folder, const QByteArray &levels, const char *locale)
{
    const QString site = copyExample(t.home(), folder, VectorExampleFiles);
    writeBytes(site + "levels.csv", levels);
    QProcessEnvironment env;
    for (const char *name : { "LANG", "LC_ALL", "LC_TIME" })
        env.insert(QLatin1String(name), QLatin1String(locale));
    const qsizetype logBefore = readBytes(t.home() + "QEL.LOG").size();
    SiteRun r { runQel(t.home(), { "--batch", site + "alpha-site.prj" }, env), readBytes(site + "regress_input.dat"),
        {} };
    r.log = QString::fromUtf8(readBytes(t.home() + "QEL.LOG").mid(logBefore));
    return r;
}

QString english(QDate date, const char *format)
{
    return QLocale(QLocale::English).toString(date, QLatin1String(format));
}

} // namespace

TEST(DateLocales, EveryWayOfWritingTheDatesGivesTheRegressionTheSameInput)
{
    const struct {
        const char *name;
        std::function<QString(QDate, int)> text;
        bool germanOnly = false;
    } forms[] = {
        { "m/d/yyyy", [](QDate d, int) { return d.toString("M/d/yyyy"); } },
        { "d/m/yyyy", [](QDate d, int) { return d.toString("d/M/yyyy"); } },
        { "dd.mm.yy", [](QDate d, int) { return d.toString("dd.MM.yy"); } },
        { "English month names",
            [](QDate d, int i) {
                const char *formats[] = { "d-MMM-yyyy", "MMMM d, yyyy", "d MMMM yyyy", "MMM d yyyy" };
                return english(d, formats[i % 4]);
            } },
        { "German month names", [](QDate d, int) { return QLocale(QLocale::German).toString(d, "d. MMMM yyyy"); },
            true },
    };
    const TestSession t;
    for (const LocaleCase &locale : Locales) {
        SCOPED_TRACE(locale.name);
        const SiteRun iso = runSite(t, QStringLiteral("iso"), readBytes(ExampleDir + "levels.csv"), locale.name);
        ASSERT_EQ(iso.run.status, 0) << iso.run.err.toStdString();
        ASSERT_FALSE(iso.regressInput.isEmpty());
        for (const auto &form : forms) {
            if (form.germanOnly && QByteArray(locale.name) != "de_DE.UTF-8")
                continue;
            SCOPED_TRACE(form.name);
            const SiteRun r = runSite(t, QStringLiteral("other"), levelsWith(form.text), locale.name);
            EXPECT_EQ(r.run.status, 0) << r.run.err.toStdString();
            EXPECT_TRUE(r.regressInput == iso.regressInput) << r.regressInput.left(300).constData();
        }
    }
}

// Days and months all 12 or less: the system's order is taken, and the log says which.
TEST(DateLocales, AnUndecidedColumnFollowsTheSystemAndSaysSo)
{
    const TestSession t;
    for (const LocaleCase &locale : Locales) {
        SCOPED_TRACE(locale.name);
        const auto written = [](QDate, int i) { return QStringLiteral("%1/%2/2023").arg(i).arg(i + 1); };
        const auto meant = [&](QDate, int i) {
            return (locale.monthFirst ? QDate(2023, i, i + 1) : QDate(2023, i + 1, i)).toString(Qt::ISODate);
        };
        const SiteRun iso = runSite(t, QStringLiteral("iso"), levelsWith(meant), locale.name);
        const SiteRun r = runSite(t, QStringLiteral("undecided"), levelsWith(written), locale.name);
        ASSERT_EQ(std::tuple(iso.run.status, r.run.status), std::tuple(0, 0)) << r.run.err.toStdString();
        EXPECT_TRUE(r.regressInput == iso.regressInput);
        const QString order = locale.monthFirst ? QStringLiteral("month first") : QStringLiteral("day first");
        EXPECT_TRUE(r.log.contains("Wldata: Dates read " + order + " as the system's short form ("))
            << r.log.toStdString();
        EXPECT_FALSE(iso.log.contains("Wldata: Dates read ")) << "ISO dates have no order to tell";
    }
}

TEST(DateLocales, AColumnOfBothOrdersIsRefusedAtItsCell)
{
    const TestSession t;
    const auto mixed = [](QDate d, int i) { return d.toString(i == 5 ? "d/M/yyyy" : "M/d/yyyy"); };
    const SiteRun r = runSite(t, QStringLiteral("mixed"), levelsWith(mixed), "de_DE.UTF-8");
    EXPECT_EQ(r.run.status, 1);
    EXPECT_TRUE(r.run.err.contains("The date cell A6 (record 5 of levels) reads \"13/3/2024\" day first, but A2 "
                                   "\"3/15/2023\" above it reads month first."))
        << r.run.err.toStdString();
}
