// `qel --batch P --exact-plume DIR [--overwrite]` on the example: both grids written as the GIS
// export writes its grids, and a folder holding either file left alone without --overwrite.
#include "support/gdal_raster.h"
#include "support/qel_process.h"
#include "support/test_session.h"

#include <QDir>

#include <gtest/gtest.h>

#include <array>
#include <tuple>

using namespace qel::test;

TEST(ExactPlumeBatch, WritesBothGridsOnTheGisExportsGridAndRefusesToReplaceThem)
{
    TestSession t(false);
    const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
    const QString project = site + QStringLiteral("alpha-site.prj"), out = t.home() + QStringLiteral("exact");
    const QString gis = t.home() + QStringLiteral("gis");

    const QelRun first = runQel(t.home(), { "--batch", project, "--exact-plume", out, "--export-gis", gis });
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.contains(QLatin1String("the largest under-prediction of Domenico on the centreline")))
        << first.out.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
        QStringList({ "exact_average.tif", "exact_minus_domenico.tif" }));
    const Raster exact = readRaster(out + QStringLiteral("/exact_average.tif"));
    const Raster difference = readRaster(out + QStringLiteral("/exact_minus_domenico.tif"));
    const Raster domenico = readRaster(gis + QStringLiteral("/plume_average.tif"));
    // Node (1, 1) at (0, 400) with 2.5 spacing: the cell's corner half a cell out.
    const std::array<double, 6> transform = { -1.25, 2.5, 0, 401.25, 0, -2.5 };
    for (const Raster *r : { &exact, &difference }) {
        EXPECT_EQ(std::tuple(r->nx, r->ny), std::tuple(201, 161));
        EXPECT_EQ(r->transform, transform);
        EXPECT_EQ(r->transform, domenico.transform);
        EXPECT_EQ(r->crs, domenico.crs);
    }
    ASSERT_EQ(exact.values.size(), domenico.values.size());
    int plume = 0;
    for (std::size_t n = 0; n < exact.values.size(); ++n) {
        EXPECT_EQ(difference.values[n], exact.values[n] - domenico.values[n]) << n;
        plume += exact.values[n] > 1;
    }
    EXPECT_GT(plume, 500);

    const QByteArray written = readBytes(out + QStringLiteral("/exact_minus_domenico.tif"));
    writeBytes(out + QStringLiteral("/exact_average.tif"), "the user's own grid");
    const QelRun refused = runQel(t.home(), { "--batch", project, "--exact-plume", out });
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(QLatin1String("--exact-plume wrote nothing: the folder")));
    EXPECT_TRUE(refused.err.contains(QLatin1String("(exact_average.tif, exact_minus_domenico.tif)")))
        << refused.err.toStdString();
    EXPECT_EQ(readBytes(out + QStringLiteral("/exact_average.tif")), "the user's own grid");
    EXPECT_EQ(readBytes(out + QStringLiteral("/exact_minus_domenico.tif")), written);

    const QelRun replaced = runQel(t.home(), { "--batch", project, "--exact-plume", out, "--overwrite" });
    EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_EQ(readRaster(out + QStringLiteral("/exact_average.tif")).values, exact.values);
}

TEST(ExactPlumeBatch, NeedsTheAnalyticalResults)
{
    TestSession t(false);
    const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
    QByteArray project = readBytes(site + QStringLiteral("alpha-site.prj"));
    project.replace("ANDone=True", "ANDone=False");
    const QString out = t.home() + QStringLiteral("exact");
    const QelRun run
        = runQel(t.home(), { "--batch", t.writeFile(QStringLiteral("site/site.prj"), project), "--exact-plume", out });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("--exact-plume wrote nothing: the project has no analytical results")))
        << run.err.toStdString();
    EXPECT_FALSE(QDir(out).exists());
}
