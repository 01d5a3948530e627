#include "project_file_test_models.h"

#include "core/clear_all.h"
#include "core/paths.h"
#include "core/project_file.h"

#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>

namespace qel::test {

namespace {

void setFlags(ProjectModel &m, bool un, bool bm, bool ms, bool we, bool wl, bool wc, bool pl, bool td, bool sl, bool pc,
    bool md, bool wf, bool rg, bool an, bool er)
{
    m.UNDone = un, m.BMDone = bm, m.MSDone = ms, m.WEDone = we, m.WLDone = wl, m.WCDone = wc, m.PLDone = pl;
    m.TDDone = td, m.SLDone = sl, m.PCDone = pc, m.MDDone = md, m.WFDone = wf, m.RGDone = rg, m.ANDone = an;
    m.ERDone = er;
}

void setMapState(ProjectModel &m, bool we, bool pl, bool sl, int16 wc, int16 pc, int16 md, int16 wf)
{
    m.WEmapped = we, m.PLmapped = pl, m.SLmapped = sl;
    m.WCMapIndex = wc, m.PCMapIndex = pc, m.MDMapIndex = md, m.WFMapIndex = wf;
}

void setMap(ProjectModel &m, const QString &units, const QString &title, const QString &type, const QString &format,
    const QString &file)
{
    const QStringList u = units.split(u' ');
    m.DistUnits = u[0], m.TimeUnits = u[1], m.ConcUnits = u[2];
    m.MapTitle = title, m.BaseMapType = type, m.BaseMapFormat = format, m.BaseMapFile = file;
}

void setLevel(ContourView &v, int i, double lo, double hi, Colour colour)
{
    v.CMin(i) = lo;
    v.CMax(i) = hi;
    v.CColor(i) = colour;
}

void setView(
    ContourView &v, double min, double max, int16 levels, int16 width, bool useLog, bool legend, double x, double y)
{
    v.Min = min, v.Max = max, v.NumLevels = levels, v.LineWidth = width, v.UseLog = useLog;
    v.Legend = legend, v.LegendX = x, v.LegendY = y;
}

void setLimits(ProjectModel &m, double left, double right, double bottom, double top)
{
    m.MapLeft = m.PLLeft = m.PCLeft = left;
    m.MapRight = m.PLRight = m.PCRight = right;
    m.MapBottom = m.PLBottom = m.PCBottom = bottom;
    m.MapTop = m.PLTop = m.PCTop = top;
}

} // namespace

void fillFullRaster(ProjectModel &m)
{
    setFlags(m, true, true, true, true, true, true, true, true, true, true, true, true, true, true, true);
    setMapState(m, true, true, true, 3, 1, 1, -1);
    setMap(m, QStringLiteral("m d ug/L"), QStringLiteral("Alpha Site \u2013 North Plume"), QStringLiteral("raster"),
        QStringLiteral("bmp"), QStringLiteral("maps/site.bmp"));
    m.RasterScaleSet = true;
    m.CalibrationType = 0;
    m.RasterPointX(3) = 120, m.RasterPointY(3) = 45.5;
    m.VectorPointX(3) = 512300.25, m.VectorPointY(3) = 4187650.75;
    m.RasterPointX(4) = 980, m.RasterPointY(4) = 610;
    m.VectorPointX(4) = 512950, m.VectorPointY(4) = 4187100;
    m.WEDataFormat = QStringLiteral("Excel 8.0;"), m.WEFileExt = QStringLiteral("xls");
    m.WEDataFile = QStringLiteral("wells.xls"), m.WEDataTable = QStringLiteral("Sheet1$");
    m.WEDataPath = QStringLiteral("data/");
    m.WellIDField = QStringLiteral("WellID"), m.XField = QStringLiteral("Easting"),
    m.YField = QStringLiteral("Northing");
    m.WLDataFormat = QStringLiteral("Excel 8.0;"), m.WLFileExt = QStringLiteral("xls");
    m.WLDataFile = QStringLiteral("levels.xls"), m.WLDataTable = QStringLiteral("Levels");
    m.WLDataPath = QStringLiteral("data/");
    m.WLMin = 101.25, m.WLMax = 108.5, m.WLInt = 0.25, m.WLLineWidth = 2;
    setLimits(m, 512100, 513400, 4186900, 4187900);
    m.MapLeft = 512000, m.MapRight = 513500, m.MapBottom = 4186800, m.MapTop = 4188000;
    m.SameLimits = false;
    m.PCGridSpacing = 10, m.PCNumX = 131, m.PCNumY = 101;
    m.K = 1.5, m.Porosity = 0.3, m.AlphaX = 10, m.AlphaY = 1, m.RetFactor = 1.2;
    m.Decay = true, m.HalfLife = 365.25;
    m.Time = 3650, m.Swidth = 25, m.C0 = 1000, m.Xsource = 512400.5, m.Ysource = 4187500.125, m.RoundXY = 0.01;
    setView(m.PC, 1e-5, 1000, 5, 1, true, true, 513000, 4187800);
    setLevel(m.PC, 1, 1e-5, 0.001, 255);
    setLevel(m.PC, 2, 0.001, 0.1, 65535);
    setLevel(m.PC, 3, 0.1, 10, 65280);
    setLevel(m.PC, 4, 10, 100, 16711680);
    setLevel(m.PC, 5, 100, 1000, 16711935);
    setView(m.MD, 0, 250, 2, 2, false, false, -12.5, 0);
    setLevel(m.MD, 1, 0, 125, 12632256);
    setLevel(m.MD, 2, 125, 250, 8421504);
    setView(m.WF, 1.5e-300, 2.5e16, 1, 3, false, true, -1e15, -0.000123);
    setLevel(m.WF, 1, 1.5e-300, 2.5e16, 0);
}

void fillScaleCalibration(ProjectModel &m)
{
    setFlags(m, true, true, true, false, false, false, true, true, false, false, false, false, false, false, false);
    setMapState(m, false, true, false, 0, 0, 0, 0);
    setMap(m, QStringLiteral("ft yr mg/L"), QStringLiteral("Scale calibration"), QStringLiteral("raster"),
        QStringLiteral("tif"), QStringLiteral("scan.tif"));
    m.RasterScaleSet = true;
    m.CalibrationType = 1;
    m.RasterPointX(0) = 10, m.RasterPointY(0) = 20;
    m.RasterPointX(1) = 310.5, m.RasterPointY(1) = 20;
    m.RasterPointX(2) = -4.75, m.RasterPointY(2) = -8;
    m.RasterScaleDistance = 500, m.RasterScale = 1.66112956810631;
    setLimits(m, -2500, 2500, -1000.5, 1000.5);
    m.PCGridSpacing = 50, m.PCNumX = 101, m.PCNumY = 41;
    m.K = 0.0001, m.Porosity = 0.25, m.AlphaX = 32.8, m.AlphaY = 3.28, m.RetFactor = 1;
    m.Decay = false, m.HalfLife = 0;
    m.Time = 20, m.Swidth = 82, m.C0 = 5, m.Xsource = -1200, m.Ysource = 0, m.RoundXY = 1;
}

static void fillVectorMap(ProjectModel &m)
{
    setFlags(m, true, true, true, false, false, false, false, true, true, false, false, false, false, false, false);
    setMapState(m, false, false, false, 0, 0, 0, 0);
    setMap(m, QStringLiteral("m yr mg/L"), QStringLiteral("Vector drawing"), QStringLiteral("vector"),
        QStringLiteral("dxf"), QStringLiteral("site.dxf"));
    m.K = 123456789012345.0, m.Porosity = 0.35, m.AlphaX = 5, m.AlphaY = 0.5, m.RetFactor = 1;
    m.Decay = true, m.HalfLife = 1e-5;
    m.Time = 1, m.Swidth = 10, m.C0 = 0.5, m.Xsource = 0, m.Ysource = 0, m.RoundXY = 0.001;
    setView(m.PC, 0.001, 0.5, 1, 2, false, false, 0, 0);
    setLevel(m.PC, 1, 0.001, 0.5, 8388608);
}

static void fillRasterUnset(ProjectModel &m)
{
    fillScaleCalibration(m);
    m.MSDone = false;
    m.MapTitle = QStringLiteral("Not yet calibrated");
    m.RasterScaleSet = false;
    m.CalibrationType = 0;
    for (int i = 0; i <= 4; ++i)
        m.RasterPointX(i) = m.RasterPointY(i) = 0;
    m.RasterScaleDistance = m.RasterScale = 0;
}

const std::vector<GoldenCase> &goldenCases()
{
    static const std::vector<GoldenCase> cases = {
        { "full-raster.prj", fillFullRaster },
        { "scale-calibration.prj", fillScaleCalibration },
        { "vector-map.prj", fillVectorMap },
        { "raster-unset.prj", fillRasterUnset },
    };
    return cases;
}

QByteArray goldenBytes(const QString &name)
{
    const QByteArray bytes = readBytes(QStringLiteral(QEL_TEST_DATA "/project/") + name);
    EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
    return bytes;
}

QByteArray edited(QByteArray bytes, const QList<QPair<QByteArray, QByteArray>> &replacements)
{
    for (const auto &[from, to] : replacements) {
        EXPECT_TRUE(bytes.contains(from)) << from.toStdString();
        bytes.replace(from, to);
    }
    return bytes;
}

QString projectFolder(const TestSession &t)
{
    const QString folder = t.home() + QStringLiteral("site/");
    for (const char *file : { "maps/site.bmp", "scan.tif", "site.dxf" })
        if (!QFileInfo::exists(folder + QLatin1String(file)))
            t.writeFile(QStringLiteral("site/") + QLatin1String(file), "map");
    return folder;
}

QString placeProject(const TestSession &t, const QString &name, const QByteArray &bytes)
{
    projectFolder(t);
    return t.writeFile(QStringLiteral("site/") + name, bytes);
}

bool readProject(TestSession &t, QString path)
{
    Session &s = *t.session;
    ClearAll(s);
    s.model.ProjectFile = path;
    s.model.ProjectDir = PathToDirectory(path);
    s.model.ProjectDirAssigned = true;
    return ReadProjectFile(s);
}

} // namespace qel::test
