#include "support/gdal_raster.h"
#include "support/qel_process.h"
#include "support/test_session.h"
#include "views/gis_export.h"

#include <QDir>
#include <QFileInfo>

// GDAL's headers are not on the tests' include path; their own includes are relative to them.
#include <gdal/gdal_priv.h>
#include <gdal/ogr_spatialref.h>
#include <gdal/ogrsf_frmts.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

using namespace qel;
using namespace qel::test;

namespace {

constexpr int NX = 4, NY = 3;
constexpr double Left = 100, Top = 500, Spacing = 10, Cell = Spacing * Spacing;
// Node (1, 1) at (100, 500): cell centres on nodes put the raster's corner half a cell out.
const std::array<double, 6> ExpectedTransform = { 95, 10, 0, 505, 0, -10 };

// The values of each grid at node (ix, iy); node (1, 1) is on a well.
const auto dateValue = [](int s, int ix, int iy) { return s * 100 + iy * 10 + ix + 0.125; };
const auto averageValue = [](int ix, int iy) { return 200.0 + iy * 10 + ix; };
const auto minDistValue = [](int ix, int iy) { return ix == 1 && iy == 1 ? 0.0 : 1000 + iy * 10 + ix; };
const auto wolfValue = [](int ix, int iy) { return ix == 1 && iy == 1 ? 0 : 0.5 * (iy * 10 + ix); };

struct Closer {
    void operator()(GDALDataset *d) const { GDALClose(d); }
};
using Dataset = std::unique_ptr<GDALDataset, Closer>;

OGRSpatialReference *utm33()
{
    static OGRSpatialReference *const utm = [] {
        auto *srs = new OGRSpatialReference;
        srs->importFromEPSG(32633);
        return srs;
    }();
    return utm;
}

Dataset create(const char *driver, const QString &path, int size, GDALDataType type)
{
    GDALAllRegister();
    return Dataset(GetGDALDriverManager()->GetDriverByName(driver)->Create(
        path.toUtf8().constData(), size, size, size ? 1 : 0, type, nullptr));
}

// A 2 x 2 GeoTIFF, in UTM zone 33N or in none, as the base map.
void makeBaseMap(const QString &path, bool withCrs)
{
    Dataset d = create("GTiff", path, 2, GDT_Byte);
    double gt[6] = { 90, 50, 0, 510, 0, -50 };
    d->SetGeoTransform(gt);
    if (withCrs)
        d->SetSpatialRef(utm33());
}

// A GeoJSON drawing of one point, in site coordinates, as the base map.
void makeGeoJsonMap(const QString &path)
{
    Dataset d = create("GeoJSON", path, 0, GDT_Unknown);
    OGRLayer *layer = d->CreateLayer("plan", nullptr, wkbPoint, nullptr);
    OGRFeature feature(layer->GetLayerDefn());
    OGRPoint point(120, 490);
    feature.SetGeometry(&point);
    ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
}

// Three dates, the first two on the same day, on a 4 x 3 grid; a value that is not a number on
// date 3 at node (2, 3). Two wells, a source, plot limits and contour levels.
QString fillRun(TestSession &t, bool baseMapCrs = true)
{
    ProjectModel &m = t.session->model;
    t.makeProjectFolder();
    makeBaseMap(m.ProjectDir + QStringLiteral("base.tif"), baseMapCrs);
    m.BaseMapType = QStringLiteral("raster"), m.BaseMapFile = QStringLiteral("base.tif");
    m.DistUnits = QStringLiteral("m"), m.ConcUnits = QStringLiteral("ug/L");
    m.NumSamples = 3;
    m.SampleDate(1) = QDate(2023, 3, 15), m.SampleDate(2) = QDate(2023, 3, 15), m.SampleDate(3) = QDate(2023, 10, 4);
    m.PCLeft = Left, m.PCTop = Top, m.PCGridSpacing = Spacing, m.PCNumX = NX, m.PCNumY = NY;
    m.PCRight = Left + 30, m.PCBottom = Top - 20;
    m.PLLeft = 0, m.PLRight = 200, m.PLBottom = 400, m.PLTop = 600;
    m.Conc.allocate(NX + 20, NY + 20, 5);
    for (int iy = 1; iy <= NY; ++iy) {
        for (int ix = 1; ix <= NX; ++ix) {
            for (int s = 1; s <= 3; ++s)
                m.Conc(ix, iy, s) = dateValue(s, ix, iy);
            m.Conc(ix, iy, 4) = averageValue(ix, iy);
            m.MinDistGrid(ix, iy) = minDistValue(ix, iy);
            m.WOLFGrid(ix, iy) = wolfValue(ix, iy);
        }
    }
    m.Conc(2, 3, 3) = std::nan("");
    m.NumWells = 2;
    m.WellID(1) = QStringLiteral("MW-1"), m.WellX(1) = 100, m.WellY(1) = 500;
    m.WellID(2) = QStringLiteral("MW-2"), m.WellX(2) = 150, m.WellY(2) = 450;
    m.SLDone = true, m.Xsource = 90, m.Ysource = 495, m.Swidth = 5, m.C0 = 1000;
    // Plume: 222 belongs to level 1 (upper bound inclusive), not to level 2 (lower bound exclusive);
    // level 3 covers everything but comes last, so it gets nothing.
    m.PC.NumLevels = 3;
    m.PC.CMin(1) = 0, m.PC.CMax(1) = 222, m.PC.CColor(1) = 1;
    m.PC.CMin(2) = 222, m.PC.CMax(2) = 300, m.PC.CColor(2) = 4;
    m.PC.CMin(3) = 0, m.PC.CMax(3) = 1000, m.PC.CColor(3) = 5;
    // A distance of 0 is never banded, a WOLF value of 0 is.
    m.MD.NumLevels = 1, m.MD.CMin(1) = -1, m.MD.CMax(1) = 1012, m.MD.CColor(1) = 3;
    m.WF.NumLevels = 1, m.WF.CMin(1) = -1, m.WF.CMax(1) = 5, m.WF.CColor(1) = 14;
    // Water-level contours of date 1 on the map: h = 0.02 x + 0.01 y - 4, levels 2 and 3.
    m.RGDone = true, m.WCMapIndex = 1, m.Xcoeff(1) = 0.02, m.Ycoeff(1) = 0.01, m.Const(1) = -4;
    m.WLMin = 2, m.WLInt = 1, m.WLMax = 4;
    m.ANDone = true;
    return t.home() + QStringLiteral("gis");
}

bool inUtm33(const Raster &r)
{
    return r.srs && r.srs->IsSame(utm33());
}

using Extents = std::map<int, std::array<double, 4>>; // left, bottom, right, top by level
using Points = std::vector<std::pair<double, double>>;

struct LayerContent {
    int features = 0;
    bool utm33 = false;
    bool undefinedCartesian = false; // the package's srs_id -1, site coordinates of no known system
    std::map<int, double> areaByLevel; // band and contour-line layers
    Extents extentByLevel;
    std::map<int, QString> colourByLevel;
    std::map<int, std::pair<double, double>> boundsByLevel;
    QStringList ids; // wells
    Points points;
    double area = 0; // rectangles
};

std::map<QString, LayerContent> readPackage(const QString &path)
{
    GDALAllRegister();
    std::map<QString, LayerContent> layers;
    Dataset d(GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!d)
        return layers;
    for (OGRLayer *layer : d->GetLayers()) {
        LayerContent &c = layers[QString::fromUtf8(layer->GetName())];
        const OGRSpatialReference *srs = layer->GetSpatialRef();
        c.utm33 = srs && srs->IsSame(utm33());
        c.undefinedCartesian
            = srs && srs->IsLocal() && QString::fromUtf8(srs->GetName()) == QLatin1String("Undefined Cartesian SRS");
        const bool bands = layer->GetLayerDefn()->GetFieldIndex("level") >= 0;
        for (auto &f : *layer) {
            ++c.features;
            const OGRGeometry *g = f->GetGeometryRef();
            const OGRwkbGeometryType type = g ? wkbFlatten(g->getGeometryType()) : wkbNone;
            const double area = type == wkbPolygon ? g->toPolygon()->get_Area() : 0;
            if (type == wkbPoint)
                c.points.emplace_back(g->toPoint()->getX(), g->toPoint()->getY());
            if (layer->GetLayerDefn()->GetFieldIndex("id") >= 0)
                c.ids << QString::fromUtf8(f->GetFieldAsString("id"));
            if (!bands) {
                c.area += area;
                continue;
            }
            const int k = f->GetFieldAsInteger("level");
            OGREnvelope e;
            g->getEnvelope(&e);
            c.areaByLevel[k] += area;
            c.extentByLevel[k] = { e.MinX, e.MinY, e.MaxX, e.MaxY };
            if (layer->GetLayerDefn()->GetFieldIndex("colour") < 0)
                continue; // contour lines
            c.colourByLevel[k] = QString::fromUtf8(f->GetFieldAsString("colour"));
            c.boundsByLevel[k] = { f->GetFieldAsDouble("lower"), f->GetFieldAsDouble("upper") };
        }
    }
    return layers;
}

} // namespace

// File > Export grids for GIS; a cancelled folder dialog exports nothing.
TEST(GisExport, EveryGridAsGeoTiffAndAsciiGridOnTheModelNodes)
{
    TestSession t;
    const QString out = fillRun(t);
    t.frontend.queueCancelledFile();
    EXPECT_FALSE(exportGisClicked(*t.session));
    t.frontend.queueFile(out);
    ASSERT_TRUE(exportGisClicked(*t.session));
    EXPECT_TRUE(t.frontend.panelStatus.startsWith(QStringLiteral("Saved "))) << t.frontend.panelStatus.toStdString();

    const struct {
        const char *stem;
        std::function<double(int, int)> value;
    } grids[] = {
        { "plume_2023-03-15", [](int ix, int iy) { return dateValue(1, ix, iy); } },
        { "plume_2023-03-15_2", [](int ix, int iy) { return dateValue(2, ix, iy); } },
        { "plume_2023-10-04", [](int ix, int iy) { return ix == 2 && iy == 3 ? GisNoData : dateValue(3, ix, iy); } },
        { "plume_average", averageValue },
        { "mindist", minDistValue },
        { "wolf", wolfValue },
    };
    QStringList expectedFiles { QStringLiteral("results.gpkg") };
    for (const auto &grid : grids) {
        std::vector<double> values; // row by row from the top
        for (int iy = 1; iy <= NY; ++iy)
            for (int ix = 1; ix <= NX; ++ix)
                values.push_back(grid.value(ix, iy));
        const QString stem = out + u'/' + QLatin1String(grid.stem);
        for (const char *extension : { ".tif", ".asc" }) {
            SCOPED_TRACE(grid.stem + std::string(extension));
            expectedFiles << QLatin1String(grid.stem) + QLatin1String(extension);
            const Raster r = readRaster(stem + QLatin1String(extension));
            EXPECT_EQ(std::pair(r.nx, r.ny), std::pair(NX, NY));
            EXPECT_EQ(r.transform, ExpectedTransform);
            EXPECT_EQ(r.noData, GisNoData);
            EXPECT_TRUE(inUtm33(r));
            EXPECT_EQ(r.values, values);
        }
        expectedFiles << QLatin1String(grid.stem) + QStringLiteral(".prj");
    }
    expectedFiles.sort();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name), expectedFiles)
        << "nothing else: no temporary or side files";
}

TEST(GisExport, NothingToExportOrAFileThatCannotBeWrittenSaysWhy)
{
    const struct {
        const char *name;
        std::function<void(ProjectModel &, const QString &out)> change;
        const char *message;
    } cases[] = {
        { "no run", [](ProjectModel &m, auto &) { m.ANDone = false; }, "Run the analytical solution first." },
        { "no grids", [](ProjectModel &m, auto &) { m.Conc.clear(); }, "left no result grids" },
        // A folder where a file should go.
        { "wolf.tif cannot be written", [](ProjectModel &, const QString &out) { QDir().mkpath(out + "/wolf.tif"); },
            "QEL(GIS:exportGridsForGis): 75: \nCannot write " },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestSession t;
        t.frontend.expectErrors = true;
        const QString out = fillRun(t);
        c.change(t.session->model, out);
        t.frontend.expectErrors = true;
        EXPECT_FALSE(exportGridsForGis(*t.session, out));
        const QStringList errors = t.frontend.boxTexts(MsgIcon::Error);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(QLatin1String(c.message))) << errors[0].toStdString();
        EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/results.gpkg"))) << "the export stopped at the failure";
    }
}

// The layers lie where the grids' nodes and the wells are, so that they line up in a GIS with
// the map the workbench draws, in the base map's coordinate system.
TEST(GisExport, GeoPackageLayersAndBandsOfTheClassifiedNodes)
{
    TestSession t;
    const QString out = fillRun(t);
    t.session->model.PCMapIndex = -1; // no plume on the map: the average
    ASSERT_TRUE(exportGridsForGis(*t.session, out));
    std::map<QString, LayerContent> layers = readPackage(out + QStringLiteral("/results.gpkg"));

    std::map<QString, int> counts;
    for (const auto &[name, content] : layers) {
        counts[name] = content.features;
        EXPECT_TRUE(content.utm33) << name.toStdString();
    }
    // One band polygon per level: each level's nodes touch.
    const std::map<QString, int> expectedCounts = { { "bands_mindist", 1 }, { "bands_plume", 2 }, { "bands_wolf", 1 },
        { "model_grid", 1 }, { "plot_limits", 1 }, { "source", 1 }, { "wells", 2 }, { "wl_contours", 2 } };
    EXPECT_EQ(counts, expectedCounts);
    EXPECT_EQ(layers["wells"].ids, QStringList({ "MW-1", "MW-2" }));
    EXPECT_EQ(layers["wells"].points, (Points { { 100, 500 }, { 150, 450 } }));
    EXPECT_EQ(layers["source"].points, (Points { { 90, 495 } }));
    EXPECT_EQ(layers["plot_limits"].area, 200.0 * 200.0);
    EXPECT_EQ(layers["model_grid"].area, 30.0 * 20.0); // through the outer nodes
    EXPECT_EQ(
        layers["wl_contours"].extentByLevel, (Extents { { 2, { 0, 400, 100, 600 } }, { 3, { 50, 400, 150, 600 } } }));

    // Average 211..234: level 1 takes 211-214, 221, 222 (the top row, the left of the second);
    // level 2 takes 223, 224, 231-234.
    const LayerContent &plume = layers["bands_plume"];
    EXPECT_EQ(plume.areaByLevel, (std::map<int, double> { { 1, 6 * Cell }, { 2, 6 * Cell } }));
    EXPECT_EQ(plume.extentByLevel, (Extents { { 1, { 95, 485, 135, 505 } }, { 2, { 95, 475, 135, 495 } } }));
    EXPECT_EQ(plume.colourByLevel.at(1), QStringLiteral("#FF8080"));
    EXPECT_EQ(plume.boundsByLevel.at(1), std::make_pair(0.0, 222.0));
    // The node on a well (distance 0) is not banded; 1012 at node (2, 1) is, alone. WOLF 0 at
    // node (1, 1) is banded, and its white level is kept for the GIS to style.
    EXPECT_EQ(layers["bands_mindist"].extentByLevel, (Extents { { 1, { 105, 495, 115, 505 } } }));
    EXPECT_EQ(layers["bands_wolf"].extentByLevel, (Extents { { 1, { 95, 495, 105, 505 } } }));

    t.session->model.PCMapIndex = 1; // date 1 is 111.125..134.125, all within level 1
    t.frontend.answers.push_back(MsgAnswer::Yes); // the folder holds the first export's files
    ASSERT_TRUE(exportGridsForGis(*t.session, out));
    ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Question).size(), 1);
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Question)[0].contains(QStringLiteral("\r\nplume_2023-03-15.tif\r\n")));
    EXPECT_EQ(readPackage(out + QStringLiteral("/results.gpkg"))["bands_plume"].areaByLevel,
        (std::map<int, double> { { 1, 12 * Cell } }));
}

TEST(GisExport, WhatIsAbsentHasNoValueOrNoLayer)
{
    TestSession t;
    const QString out = fillRun(t, false);
    ProjectModel &m = t.session->model;
    m.NumWells = 0; // no wells: no distances, so nothing to band in them either
    m.SLDone = false;
    m.PLRight = m.PLLeft;
    m.PC.NumLevels = 0;
    m.WCMapIndex = 0; // water-level contours cleared from the map
    ASSERT_TRUE(exportGridsForGis(*t.session, out));
    for (const char *name : { "mindist.tif", "mindist.asc", "wolf.tif", "wolf.asc" })
        EXPECT_EQ(readRaster(out + u'/' + QLatin1String(name)).values, std::vector<double>(NX * NY, GisNoData)) << name;
    QStringList names;
    for (const auto &[name, content] : readPackage(out + QStringLiteral("/results.gpkg")))
        names << name;
    EXPECT_EQ(names, QStringList({ "model_grid" }));
}

// The batch option writes the folder, or says why it cannot and writes nothing there: without
// results, or when the folder holds files of the export's names (the GIS user's own mindist.tif)
// and --overwrite was not given. The example's drawing has no coordinate system, so the export
// writes no .prj and the user's wolf.prj stays whatever the option.
TEST(GisExport, BatchOptionWritesTheFolderOrSaysWhyNot)
{
    const struct {
        bool results;
        bool overwrite;
        int status;
        const char *says; // on standard error, "" for nothing
    } cases[] = {
        { true, true, 0, "" },
        { true, false, 1, "already holds files the export would replace (mindist.tif). Give --overwrite" },
        { false, false, 1, "There are no analytical results to export for GIS." },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.results ? "results" : "no results") + (c.overwrite ? ", --overwrite" : ""));
        TestSession t(false);
        const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
        QByteArray project = readBytes(site + QStringLiteral("alpha-site.prj"));
        if (!c.results)
            project.replace("ANDone=True", "ANDone=False");
        const QString out = t.home() + QStringLiteral("gis");
        const QString prj = t.writeFile(QStringLiteral("gis/wolf.prj"), "the user's own coordinate system");
        const QString tif = t.writeFile(QStringLiteral("gis/mindist.tif"), "the user's own grid");
        QStringList arguments { "--batch", t.writeFile(QStringLiteral("site/site.prj"), project), "--export-gis", out };
        if (c.overwrite)
            arguments << QStringLiteral("--overwrite");
        const QelRun run = runQel(t.home(), arguments);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.says))) << run.err.toStdString();
        EXPECT_EQ(readBytes(prj), "the user's own coordinate system");
        if (c.status == 0) {
            EXPECT_EQ(readRaster(out + QStringLiteral("/plume_average.tif")).nx, 201);
            EXPECT_EQ(readRaster(tif).nx, 201);
        } else {
            EXPECT_EQ(readBytes(tif), "the user's own grid");
            EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList({ "mindist.tif", "wolf.prj" }));
        }
    }
}

// Without a coordinate system from the base map, every layer is in site coordinates, never
// longitude and latitude, and the message says why.
TEST(GisExport, WithoutTheBaseMapsCoordinateSystemTheSiteCoordinatesAreKept)
{
    const struct {
        const char *file;
        const char *note;
    } cases[] = {
        // GDAL reads every GeoJSON as longitude and latitude, even a site plan in metres.
        { "map.geojson", "do not fit the model grid" },
        { "gone.dxf", "could not be read" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        TestSession t;
        const QString out = fillRun(t);
        ProjectModel &m = t.session->model;
        m.BaseMapType = QStringLiteral("vector");
        m.BaseMapFile = QLatin1String(c.file);
        makeGeoJsonMap(m.ProjectDir + QStringLiteral("map.geojson"));
        ASSERT_TRUE(exportGridsForGis(*t.session, out));
        EXPECT_FALSE(inUtm33(readRaster(out + QStringLiteral("/plume_average.asc"))));
        for (const auto &[name, layer] : readPackage(out + QStringLiteral("/results.gpkg")))
            EXPECT_TRUE(layer.undefinedCartesian && !layer.utm33) << name.toStdString();
        ASSERT_FALSE(t.frontend.messageLines.isEmpty());
        EXPECT_TRUE(t.frontend.messageLines.last().contains(QLatin1String(c.note)))
            << t.frontend.messageLines.last().toStdString();
    }
}

// A folder holding a GIS user's own wolf.prj and mindist.tif. The workbench asks once, naming the
// files it would replace, and No goes back to the choice of folder; with no coordinate system the
// export writes no .prj and so leaves wolf.prj alone, and says so. In every case the folder holds
// exactly what the export writes and the two files.
TEST(GisExport, TheWorkbenchReplacesFilesInTheFolderOnlyAfterAYes)
{
    const struct {
        const char *what;
        bool baseMapCrs;
        MsgAnswer answer;
        const char *asked; // the end of the question: the names it lists
    } cases[] = {
        { "No", true, MsgAnswer::No, "\r\n\r\nmindist.tif\r\nwolf.prj" },
        { "Yes with a coordinate system", true, MsgAnswer::Yes, "\r\n\r\nmindist.tif\r\nwolf.prj" },
        { "Yes without one", false, MsgAnswer::Yes, "/gis/mindist.tif" }, // one file: its whole path
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestSession t;
        const QString out = fillRun(t, c.baseMapCrs);
        const QString prj = t.writeFile(QStringLiteral("gis/wolf.prj"), "the user's own coordinate system");
        const QString tif = t.writeFile(QStringLiteral("gis/mindist.tif"), "the user's own grid");
        EXPECT_EQ(existingGisFiles(t.session->model, out).join(u' '),
            c.baseMapCrs ? QStringLiteral("mindist.tif wolf.prj") : QStringLiteral("mindist.tif"));

        t.frontend.queueFile(out);
        t.frontend.answers.push_back(c.answer);
        if (c.answer == MsgAnswer::No)
            t.frontend.queueCancelledFile();
        EXPECT_EQ(exportGisClicked(*t.session), c.answer == MsgAnswer::Yes);
        const QStringList asked = t.frontend.boxTexts(MsgIcon::Question);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].contains(out)) << asked[0].toStdString();
        EXPECT_TRUE(asked[0].endsWith(QLatin1String(c.asked))) << asked[0].toStdString();

        const bool prjReplaced = c.answer == MsgAnswer::Yes && c.baseMapCrs;
        EXPECT_EQ(readBytes(prj) == "the user's own coordinate system", !prjReplaced);
        EXPECT_EQ(readBytes(tif) == "the user's own grid", c.answer == MsgAnswer::No);
        const QStringList inFolder = QDir(out).entryList(QDir::Files, QDir::Name);
        if (c.answer == MsgAnswer::No) {
            EXPECT_EQ(inFolder, QStringList({ "mindist.tif", "wolf.prj" }));
            EXPECT_EQ(t.frontend.fileRequests.back().initialDir, out);
            continue;
        }
        EXPECT_EQ(readRaster(tif).values.size(), std::size_t(NX * NY));
        // The export's own names are those it lists: the two files are among them, or left.
        QStringList expected = existingGisFiles(t.session->model, out);
        if (!expected.contains(QStringLiteral("wolf.prj")))
            expected << QStringLiteral("wolf.prj");
        expected.sort();
        EXPECT_EQ(inFolder, expected) << "nothing else, and nothing deleted";
        EXPECT_EQ(t.frontend.messageLines.last().contains(
                      QStringLiteral("Left as they were in ") + out + QStringLiteral(": wolf.prj")),
            !c.baseMapCrs);
    }
}

// A cancel at any point of the writing leaves the folder as the export before left it, to the
// byte, with no file of the cancelled one; a folder the export made for itself goes again.
TEST(GisExport, ACancelledExportLeavesTheFolderAsItWas)
{
    TestSession t;
    const QString out = fillRun(t);
    ASSERT_TRUE(exportGridsForGis(*t.session, out));
    const auto contents = [](const QString &dir) {
        std::map<QString, QByteArray> files;
        for (const QString &name : QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            files[name] = readBytes(QDir(dir).filePath(name));
        return files;
    };
    const std::map<QString, QByteArray> before = contents(out);
    t.session->model.Conc(1, 1, 1) += 1; // what a finished export would write differs
    t.session->model.SampleDate(3) = QDate(2024, 1, 2); // and so do its file names
    for (int cancelAfter : { 0, 3, 6 }) { // the first grid, a later one, the package
        SCOPED_TRACE(cancelAfter);
        t.frontend.cancelPolls = 0, t.frontend.cancelAfterPolls = cancelAfter;
        t.frontend.messageLines.clear();
        EXPECT_FALSE(exportGridsForGis(*t.session, out, ExistingGisFiles::Replace));
        EXPECT_EQ(t.frontend.cancelPolls, cancelAfter + 1);
        EXPECT_TRUE(contents(out) == before);
        EXPECT_EQ(t.frontend.messageLines,
            QStringList { QStringLiteral("GIS export cancelled; the files in %1 are as they were.").arg(out) });
    }
    const QString fresh = out + QStringLiteral("/new");
    t.frontend.cancelPolls = 0, t.frontend.cancelAfterPolls = 1;
    EXPECT_FALSE(exportGridsForGis(*t.session, fresh));
    EXPECT_FALSE(QFileInfo::exists(fresh));
    EXPECT_TRUE(t.frontend.boxes.empty());
}
