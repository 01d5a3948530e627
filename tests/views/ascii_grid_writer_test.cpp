#include "core/errors.h"
#include "views/ascii_grid_writer.h"

// GDAL's headers are not on the tests' include path; their own includes are relative to them.
#include <gdal/cpl_conv.h>
#include <gdal/cpl_string.h>
#include <gdal/cpl_vsi.h>
#include <gdal/gdal_priv.h>
#include <gdal/ogr_spatialref.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <random>

using namespace qel;

namespace {

using Transform = std::array<double, 6>;
using Files = std::map<std::string, QByteArray>;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

struct Closer {
    void operator()(GDALDataset *d) const { GDALClose(d); }
};

// Every file GDAL's AAIGrid driver writes for the grid, by name.
Files gdalFiles(int nx, int ny, const Transform &transform, std::optional<double> noData,
    const std::vector<double> &values, const OGRSpatialReference *srs = nullptr)
{
    GDALAllRegister();
    static int counter = 0;
    const std::string dir = "/vsimem/ascii-grid-test-" + std::to_string(++counter);
    VSIMkdir(dir.c_str(), 0755);
    {
        std::unique_ptr<GDALDataset, Closer> mem(
            GetGDALDriverManager()->GetDriverByName("MEM")->Create("", nx, ny, 1, GDT_Float64, nullptr));
        Transform gt = transform;
        mem->SetGeoTransform(gt.data());
        if (srs)
            mem->SetSpatialRef(srs);
        GDALRasterBand *band = mem->GetRasterBand(1);
        if (noData)
            band->SetNoDataValue(*noData);
        EXPECT_EQ(band->RasterIO(
                      GF_Write, 0, 0, nx, ny, const_cast<double *>(values.data()), nx, ny, GDT_Float64, 0, 0, nullptr),
            CE_None);
        const char *options[] = { "SIGNIFICANT_DIGITS=17", nullptr };
        CPLConfigOptionSetter noSideFile("GDAL_PAM_ENABLED", "NO", true);
        std::unique_ptr<GDALDataset, Closer> out(GetGDALDriverManager()->GetDriverByName("AAIGrid")->CreateCopy(
            (dir + "/grid.asc").c_str(), mem.get(), TRUE, const_cast<char **>(options), nullptr, nullptr));
        EXPECT_TRUE(out);
    }
    Files files;
    char **names = VSIReadDir(dir.c_str());
    for (int i = 0; names && names[i]; ++i) {
        const std::string path = dir + "/" + names[i];
        vsi_l_offset length = 0;
        const GByte *data = VSIGetMemFileBuffer(path.c_str(), &length, FALSE);
        files[names[i]] = QByteArray(reinterpret_cast<const char *>(data), qsizetype(length));
    }
    CSLDestroy(names);
    VSIRmdirRecursive(dir.c_str());
    return files;
}

// Doubles of every kind: any bit pattern (sub-normal numbers, NaNs of either sign, huge and tiny
// exponents), and plume-like values of up to 17 significant digits.
std::vector<double> randomValues(std::size_t count, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::vector<double> values(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        values[i] = i % 3 == 0 ? v : std::ldexp(double(bits >> 11) / 9007199254740992.0, int(bits % 40) - 20);
    }
    return values;
}

struct GridCase {
    const char *name;
    int nx, ny;
    Transform transform;
    std::optional<double> noData;
    std::vector<double> values;
};

const Transform Site = { 95, 10, 0, 505, 0, -10 };

// The text of each grid, against what GDAL's own driver writes for it.
TEST(AsciiGridWriter, WritesTheBytesGdalWrites)
{
    const std::vector<GridCase> cases = {
        { "one node, an integer", 1, 1, Site, -9999, { 7 } },
        { "one node, zero", 1, 1, Site, -9999, { 0.0 } },
        { "one node, negative zero", 1, 1, Site, -9999, { -0.0 } },
        { "one node, a decimal", 1, 1, Site, std::nullopt, { 0.1 } },
        { "one row of integers", 5, 1, Site, -9999, { 1, -2, 300000, 1e16, 123456789012345678.0 } },
        { "one column of awkward numbers", 1, 19, Site, -9999,
            { 0.1, 1.0 / 3, 2.0 / 3, 1e-300, std::numeric_limits<double>::denorm_min(), DBL_MAX, -DBL_MIN, 1e-5, 1e-4,
                0.0001234, 123456.789, 1e17, 1e21, 9.999999999999999e22, 0.1 + 0.2, 100, 1e100, -0.0, 0.5 } },
        { "values that are not finite before the first number", 3, 2, Site, -9999, { NaN, Inf, -Inf, 5, 6.5, -9999 } },
        { "no finite value at all", 3, 1, Site, -9999, { NaN, -NaN, Inf } },
        { "no-data zero", 2, 2, Site, 0.0, { 0, 1, 2, 3 } },
        { "no-data not a number", 2, 2, Site, NaN, { NaN, 1.5, 2, 3 } },
        { "no-data a fraction", 2, 1, Site, -0.1, { -0.1, 4 } },
        { "the largest project's corner", 3, 2, { -0.625, 1.25, 0, 399.375, 0, -1.25 }, -9999, { 0, 0, 1, 2, 3, 4 } },
        { "a corner far out", 2, 2, { 1e7 + 0.1, 0.3, 0, -5e6 - 0.7, 0, -0.3 }, -9999, { 1, 2, 3, 4 } },
        { "a corner at negative zero", 1, 1, { -0.0, 1e-7, 0, -0.0, 0, -1e-7 }, -9999, { 1 } },
        { "a huge corner", 1, 1, { 1e300, 1e290, 0, -DBL_MAX / 2, 0, -1e290 }, -9999, { 1 } },
        { "random values over many rows", 37, 41, Site, -9999, randomValues(37 * 41, 1) },
        { "random values on a long row", 1500, 2, Site, -9999, randomValues(3000, 2) },
    };
    for (const GridCase &c : cases) {
        SCOPED_TRACE(c.name);
        const Files gdal = gdalFiles(c.nx, c.ny, c.transform, c.noData, c.values);
        ASSERT_EQ(gdal.size(), 1u); // the grid alone: no side file without a coordinate system
        const QByteArray ours = asciiGridText(c.nx, c.ny, c.transform, c.noData, c.values);
        EXPECT_EQ(ours, gdal.at("grid.asc"));
    }
}

// The .prj beside the grid, in coordinate systems of several kinds, and no other file.
TEST(AsciiGridWriter, WritesTheProjectionGdalWrites)
{
    const auto epsg = [](int code) {
        OGRSpatialReference srs;
        EXPECT_EQ(srs.importFromEPSG(code), OGRERR_NONE);
        return srs;
    };
    OGRSpatialReference local;
    local.SetLocalCS("Undefined cartesian SRS");
    local.SetLinearUnits(SRS_UL_METER, 1.0);
    const std::pair<const char *, OGRSpatialReference> cases[] = {
        { "UTM zone 33N", epsg(32633) },
        { "longitude and latitude", epsg(4326) },
        { "British National Grid", epsg(27700) },
        { "Swiss LV95", epsg(2056) },
        { "web Mercator", epsg(3857) },
        { "US feet", epsg(2227) },
        { "a local system", local },
    };
    for (const auto &[name, srs] : cases) {
        SCOPED_TRACE(name);
        const std::vector<double> values = { 1.5, 2 };
        const Files gdal = gdalFiles(2, 1, Site, -9999, values, &srs);
        ASSERT_EQ(gdal.size(), 2u);
        EXPECT_EQ(asciiGridText(2, 1, Site, -9999, values), gdal.at("grid.asc"));
        EXPECT_EQ(esriProjectionText(srs), gdal.at("grid.prj"));
    }
}

// Grids GDAL would write differently, and values that do not fill the grid, are refused.
TEST(AsciiGridWriter, RefusesGridsItCannotWriteAsGdalDoes)
{
    const struct {
        const char *name;
        int nx, ny;
        Transform transform;
        std::size_t values;
    } cases[] = {
        { "oblong cells", 2, 2, { 0, 1, 0, 10, 0, -2 }, 4 },
        { "south up", 2, 2, { 0, 1, 0, 10, 0, 1 }, 4 },
        { "rotated", 2, 2, { 0, 1, 0.1, 10, 0, -1 }, 4 },
        { "too few values", 2, 2, Site, 3 },
        { "too many values", 2, 2, Site, 5 },
        { "no nodes", 0, 0, Site, 0 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> values(c.values, 1.0);
        try {
            asciiGridText(c.nx, c.ny, c.transform, -9999, values);
            ADD_FAILURE() << "no error";
        } catch (const QelError &e) {
            EXPECT_EQ(e.number(), ErrInvalidCall);
        }
    }
}

} // namespace
