#pragma once

#include <QString>

namespace qel {

// What is checked of a base map file before GDAL sees it, each a QelError naming the file.

// The base map cannot be opened, and why: error 75 "Cannot open the base map PATH: WHY".
[[noreturn]] void cannotOpen(const QString &path, const QString &why);
// The file exists and can be read.
void checkReadable(const QString &path);
// GDAL's reader of text DXF can loop without end on a damaged file holding NUL bytes, which
// never stand in a text drawing; such a file is refused before GDAL sees it.
void checkTextDrawing(const QString &path);
// GDAL's DWG reader (libopencad) reads the drawings of AutoCAD R2000 only and answers any other
// version with a message about its own library. A DWG names its version in its first six bytes,
// so the file is refused before GDAL sees it with the release it is of and the way out. A file
// of another name that holds a DWG is checked too: its reader would only call it damaged.
void checkDrawingVersion(const QString &path);

} // namespace qel
