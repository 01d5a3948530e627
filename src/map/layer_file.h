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
// The version the "qel" member states; a reader refuses a later one.
inline constexpr int LayerFileFormatVersion = 1;

// The file a drawing named by path is stored in: path with ".geojson" added unless present.
QString layerFilePath(const QString &path);

// The file's bytes, and whether reading them gives back exactly this drawing (every entity's
// content, the layers and the text styles; not the handles, which each load gives afresh). It is
// false for what the file cannot hold as it is, such as a negative zero or a lone surrogate, and
// for what the reader would refuse.
struct LayerFileText {
    QByteArray bytes;
    bool readsBack = false;
};
LayerFileText layerFileText(const Drawing &drawing);
QByteArray layerFileBytes(const Drawing &drawing);
// Writes the drawing atomically: a failed write leaves any older file whole. Error 75 on failure.
// writeLayerFileText gives the text written as well.
void writeLayerFile(const QString &path, const Drawing &drawing);
LayerFileText writeLayerFileText(const QString &path, const Drawing &drawing);

// Error 53 for a missing file, 75 for one that cannot be read, 13 with the place of the fault
// for one that is not a layer file. Features written by other programs without the "entity"
// property are taken from their geometry (points, lines, polygon rings).
Drawing readLayerFile(const QString &path);
// The file's bytes, with the errors of readLayerFile for a missing or unreadable file.
QByteArray readLayerFileBytes(const QString &path);
// The same, telling whether the file holds exactly the bytes known (then they are returned).
QByteArray readLayerFileBytes(const QString &path, const QByteArray &known, bool &isKnown);
Drawing parseLayerFile(const QByteArray &bytes, const QString &source);

} // namespace qel
