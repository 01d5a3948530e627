#pragma once

#include "map/drawing.h"

#include <QByteArray>
#include <QString>

namespace qel {

// Layer files are GeoJSON feature collections, so that any GIS opens them. Each entity is one
// feature whose properties carry what the map needs to draw it again ("entity", "layer",
// "color", "lineWidth", the text's fields, a circle's centre and radius) next to the common
// "stroke" / "stroke-width" style keys; the drawing's layers and text styles sit in the
// collection's "qel" member.
inline constexpr const char *LayerFileExtension = ".geojson";

// The file a drawing named by path is stored in: path with ".geojson" added unless present.
QString layerFilePath(const QString &path);

QByteArray layerFileBytes(const Drawing &drawing);
// Writes the drawing atomically: a failed write leaves any older file whole. Error 75 on failure.
void writeLayerFile(const QString &path, const Drawing &drawing);

// Error 53 for a missing file, 75 for one that cannot be read, 13 with the place of the fault
// for one that is not a layer file. Features written by other programs without the "entity"
// property are taken from their geometry (points, lines, polygon rings).
Drawing readLayerFile(const QString &path);
Drawing parseLayerFile(const QByteArray &bytes, const QString &source);

} // namespace qel
