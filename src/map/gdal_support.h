#pragma once

#include <QString>

#include <cpl_error.h>
#include <gdal_priv.h>

#include <memory>
#include <mutex>

namespace qel {

// GDAL's drivers, registered once for the program.
inline void registerGdalDrivers()
{
    static std::once_flag once;
    std::call_once(once, [] { GDALAllRegister(); });
}

struct GdalDatasetCloser {
    void operator()(GDALDataset *d) const { GDALClose(d); }
};
using GdalDatasetPtr = std::unique_ptr<GDALDataset, GdalDatasetCloser>;

// GDAL's own messages go into our failure texts rather than to stderr.
class QuietGdalErrors {
public:
    QuietGdalErrors()
    {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietGdalErrors() { CPLPopErrorHandler(); }
    QuietGdalErrors(const QuietGdalErrors &) = delete;
    QuietGdalErrors &operator=(const QuietGdalErrors &) = delete;
    // " (GDAL's last message)", or "" when it gave none.
    static QString last()
    {
        const QString m = QString::fromUtf8(CPLGetLastErrorMsg()).trimmed();
        return m.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m);
    }
};

} // namespace qel
