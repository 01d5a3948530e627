#include "support/gdal_raster.h"

// GDAL's headers are not on the tests' include path; their own includes are relative to them.
#include <gdal/gdal_priv.h>
#include <gdal/ogr_spatialref.h>

#include <gtest/gtest.h>

namespace qel::test {

Raster readRaster(const QString &path)
{
    GDALAllRegister();
    // An ASCII grid of whole numbers would otherwise read as integers.
    const char *asDouble[] = { "DATATYPE=Float64", nullptr };
    const std::unique_ptr<GDALDataset> d(GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_RASTER | GDAL_OF_READONLY,
        nullptr, path.endsWith(QLatin1String(".asc")) ? asDouble : nullptr));
    Raster r;
    if (!d) {
        ADD_FAILURE() << "GDAL cannot read " << path.toStdString();
        return r;
    }
    r.nx = d->GetRasterXSize(), r.ny = d->GetRasterYSize();
    d->GetGeoTransform(r.transform.data());
    r.crs = d->GetProjectionRef();
    if (const OGRSpatialReference *srs = d->GetSpatialRef())
        r.srs.reset(srs->Clone());
    GDALRasterBand *band = d->GetRasterBand(1);
    int has = 0;
    if (const double noData = band->GetNoDataValue(&has); has)
        r.noData = noData;
    r.values.resize(std::size_t(r.nx) * std::size_t(r.ny));
    EXPECT_EQ(
        band->RasterIO(GF_Read, 0, 0, r.nx, r.ny, r.values.data(), r.nx, r.ny, GDT_Float64, 0, 0, nullptr), CE_None);
    return r;
}

} // namespace qel::test
