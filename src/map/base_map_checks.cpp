#include "map/base_map_checks.h"

#include "core/errors.h"

#include <QFile>
#include <QFileInfo>

#include <array>

namespace qel {

[[noreturn]] void cannotOpen(const QString &path, const QString &why)
{
    throw QelError(ErrPathFileAccess, QStringLiteral("Cannot open the base map %1: %2").arg(path, why), path);
}

void checkReadable(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw QelError(ErrFileNotFound, QStringLiteral("File not found: %1").arg(path), path);
    if (!info.isFile() || !info.isReadable())
        cannotOpen(path, QStringLiteral("it is not a readable file"));
}

// GDAL's reader of text DXF can loop without end on a damaged file holding NUL bytes, which
// never stand in a text drawing; such a file is refused before GDAL sees it.
void checkTextDrawing(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QStringLiteral("dxf"), Qt::CaseInsensitive) != 0)
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        cannotOpen(path, QStringLiteral("it is not a readable file"));
    if (file.peek(18) == "AutoCAD Binary DXF")
        return;
    while (!file.atEnd()) {
        if (file.read(1 << 20).contains('\0'))
            cannotOpen(path,
                QStringLiteral("it holds NUL bytes, which a text DXF drawing never does, so it is damaged; "
                               "save the drawing again as DXF from the CAD program"));
    }
}

namespace {

// The version code of the one DWG release GDAL's reader takes.
constexpr const char *DwgReadableCode = "AC1015";

struct DwgRelease {
    const char *code;
    const char *release;
};

// The releases of the other version codes (R2000 is the readable one).
constexpr DwgRelease dwgReleases[] = {
    { "AC1.50", "R2.05" },
    { "AC2.10", "R2.10" },
    { "AC1001", "R2.5" },
    { "AC1002", "R2.6" },
    { "AC1003", "R9" },
    { "AC1004", "R10" },
    { "AC1006", "R10" },
    { "AC1009", "R11/R12" },
    { "AC1012", "R13" },
    { "AC1014", "R14" },
    { "AC1018", "R2004" },
    { "AC1021", "R2007" },
    { "AC1024", "R2010" },
    { "AC1027", "R2013" },
    { "AC1032", "R2018" },
};

} // namespace

void checkDrawingVersion(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        cannotOpen(path, QStringLiteral("it is not a readable file"));
    const QByteArray head = file.read(6);
    const bool dwgName = QFileInfo(path).suffix().compare(QStringLiteral("dwg"), Qt::CaseInsensitive) == 0;
    const bool versionCode = head.size() == 6 && head.startsWith("AC")
        && std::all_of(head.begin() + 2, head.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
    if (!versionCode) {
        if (dwgName)
            cannotOpen(path,
                QStringLiteral("it is no AutoCAD drawing: a DWG file begins with its version code (AC1015 for "
                               "R2000), and this one does not"));
        return;
    }
    if (head == DwgReadableCode) {
        if (!dwgName)
            cannotOpen(path,
                QStringLiteral("it is an AutoCAD R2000 drawing (DWG) under another name; name it .dwg and open it "
                               "as an AutoCAD drawing file"));
        return;
    }
    const QString code = QString::fromLatin1(head);
    const auto known = std::find_if(
        std::begin(dwgReleases), std::end(dwgReleases), [&](const DwgRelease &r) { return head == r.code; });
    const QString release = known != std::end(dwgReleases)
        ? QStringLiteral("an AutoCAD %1 drawing (DWG version %2)").arg(QLatin1String(known->release), code)
        : QStringLiteral("a DWG drawing of version %1, which is no AutoCAD release this program knows").arg(code);
    cannotOpen(path,
        QStringLiteral("it is %1, and only AutoCAD R2000 drawings (AC1015) can be read as DWG; save it as DXF from "
                       "the CAD program and open that")
            .arg(release));
}

} // namespace qel
