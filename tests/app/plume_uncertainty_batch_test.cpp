// `qel --batch alpha-site.prj --uncertainty DIR` with the real program: the files, their
// reproducibility from the seed, and the refusal to replace them without --overwrite.
#include "support/qel_process.h"
#include "support/test_session.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace qel::test;

namespace {

const QStringList OutputFiles
    = { "exceedance.tif", "p05.tif", "p50.tif", "p95.tif", "detection-wells.csv", "redundant-wells.csv" };

// The example site with ranges of three parameters and the gradient drawn from its intervals.
QString exampleWithRanges(const QString &home)
{
    const QString site = copyExample(home, QStringLiteral("site"), VectorExampleFiles);
    QFile project(site + "alpha-site.prj");
    EXPECT_TRUE(project.open(QIODevice::Append));
    project.write("\r\n[Uncertainty]\r\nK=loguniform 2 12\r\nAlphaY=triangular 0.5 1 2\r\nC0=uniform 800 1200\r\n"
                  "Gradient=fitted\r\n");
    return site;
}

QStringList lines(const QString &path)
{
    QString text = QString::fromUtf8(readBytes(path));
    EXPECT_TRUE(text.endsWith("\r\n"));
    text.chop(2);
    return text.split("\r\n");
}

} // namespace

TEST(PlumeUncertaintyBatch, TheSameSeedWritesTheSameFiles)
{
    const TestSession t;
    const QString site = exampleWithRanges(t.home());
    const QStringList job = { "--batch", site + "alpha-site.prj", "--runs", "40", "--seed", "3", "--uncertainty" };
    for (const char *out : { "first", "second" }) {
        const QelRun run = runQel(t.home(), job + QStringList { site + out });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains("Plume uncertainty: 40 parameter sets (seed 3) of 8 sample dates on 201 x 161 "
                                     "nodes; threshold 1 ug/L"))
            << run.out.toStdString();
        EXPECT_TRUE(run.out.contains("Plume uncertainty threshold 1 (the lowest level of the plume contours)"));
    }
    for (const QString &name : OutputFiles) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray first = readBytes(site + "first/" + name);
        EXPECT_FALSE(first.isEmpty());
        EXPECT_EQ(first, readBytes(site + "second/" + name));
    }
    QStringList sorted = OutputFiles;
    sorted.sort();
    EXPECT_EQ(QDir(site + "first").entryList(QDir::Files, QDir::Name), sorted) << "nothing beside the six files";

    const QStringList detection = lines(site + "first/detection-wells.csv");
    EXPECT_EQ(detection[0], "rank,x,y,probability,nearest_well_distance");
    ASSERT_GE(detection.size(), 2);
    EXPECT_LE(detection.size(), 11);
    double previous = 1;
    for (qsizetype i = 1; i < detection.size(); ++i) {
        const QStringList f = detection[i].split(',');
        ASSERT_EQ(f.size(), 5);
        EXPECT_EQ(f[0], QString::number(i));
        const double p = f[3].toDouble();
        EXPECT_GT(p, 0);
        EXPECT_LE(p, previous) << "the highest probability first";
        previous = p;
        EXPECT_GE(f[4].toDouble(), 25) << "at least the top of the lowest minimum-distance level from every well";
    }
    const QStringList redundant = lines(site + "first/redundant-wells.csv");
    EXPECT_EQ(redundant[0], "well,probability_without,loss");
    EXPECT_EQ(redundant.size(), 1 + 25) << "every well of the example";
    for (qsizetype i = 2; i < redundant.size(); ++i)
        EXPECT_LE(redundant[i - 1].section(',', 2).toDouble(), redundant[i].section(',', 2).toDouble());

    // Another seed gives other sets.
    const QelRun other = runQel(t.home(),
        { "--batch", site + "alpha-site.prj", "--runs", "40", "--seed", "4", "--uncertainty", site + "other" });
    ASSERT_EQ(other.status, 0) << other.err.toStdString();
    EXPECT_NE(readBytes(site + "other/p50.tif"), readBytes(site + "first/p50.tif"));
}

TEST(PlumeUncertaintyBatch, ExistingFilesAreReplacedOnlyWithOverwrite)
{
    const TestSession t;
    const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
    const QString out = site + "out/";
    QDir().mkpath(out);
    writeBytes(out + "p50.tif", "an older file");
    const QStringList job = { "--batch", site + "alpha-site.prj", "--uncertainty", out, "--runs", "2" };
    const QelRun refused = runQel(t.home(), job);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("--uncertainty wrote nothing: the folder " + out
        + " already holds files the study would replace (p50.tif). Give --overwrite to replace them."))
        << refused.err.toStdString();
    EXPECT_EQ(readBytes(out + "p50.tif"), "an older file");
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList { "p50.tif" });

    const QelRun replaced = runQel(t.home(), job + QStringList { "--overwrite" });
    ASSERT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_NE(readBytes(out + "p50.tif"), "an older file");
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 6);
}
