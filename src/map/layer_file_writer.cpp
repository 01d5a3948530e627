#include "map/layer_file.h"

#include "core/errors.h"
#include "core/whole_file.h"
#include "map/color_table.h"
#include "map/json_text.h"
#include "parallel/worker_pool.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <vector>

// The writing half of the layer files: their text, made on every core for a large drawing, and
// the atomic write. The reading half is layer_file.cpp.
namespace qel {

namespace {
constexpr int CircleSegments = 72;

const char *kindName(EntityKind kind)
{
    switch (kind) {
    case EntityKind::Line: return "line";
    case EntityKind::Point: return "point";
    case EntityKind::Circle: return "circle";
    case EntityKind::Text: return "text";
    }
    return "";
}

// "#rrggbb" of a colour.
QLatin1StringView hexColor(unsigned rgb, char (&buffer)[8])
{
    static const char digits[] = "0123456789abcdef";
    buffer[0] = '#';
    for (int i = 0; i < 6; ++i)
        buffer[1 + i] = digits[(rgb >> (20 - 4 * i)) & 15];
    buffer[7] = 0;
    return QLatin1StringView(buffer, 7);
}

// Whether the reader gives this entity back as it is: the fields its kind does not write keep
// their defaults, and every value passes the reader's checks.
bool readsBack(const Entity &e)
{
    static const Entity plain;
    const bool textFieldsPlain = e.text.isEmpty() && e.justification == plain.justification && e.height == plain.height
        && e.widthFactor == plain.widthFactor && e.rotation == plain.rotation && e.style == plain.style;
    if (e.color < 0 || e.color > LastColorIndex || !(e.lineWidth >= 0) || (e.rgb && *e.rgb > 0xFFFFFFu))
        return false;
    switch (e.kind) {
    case EntityKind::Line: return e.points.size() >= 2 && e.radius == 0 && textFieldsPlain;
    case EntityKind::Point: return e.points.size() == 1 && e.radius == 0 && textFieldsPlain;
    case EntityKind::Circle: return e.points.size() == 1 && e.radius >= 0 && textFieldsPlain;
    case EntityKind::Text: return e.points.size() == 1 && e.radius == 0 && e.height >= 0 && e.widthFactor > 0;
    }
    return false;
}

bool readsBack(const Drawing &d)
{
    if (d.number < 0 || d.number > ExactDifferenceDrawing || d.mode < 0 || d.mode > 32767)
        return false;
    for (const DrawingLayer &l : d.layers)
        if (l.name.isEmpty() || l.color < 0 || l.color > LastColorIndex || l.flag < -32768 || l.flag > 32767)
            return false;
    for (const TextStyle &s : d.textStyles)
        if (s.weight < 0 || s.weight > 1000 || !(s.widthFactor > 0))
            return false;
    return true;
}

void writeGeometry(JsonText &json, const Entity &e)
{
    json.beginObject();
    json.key("coordinates");
    switch (e.kind) {
    case EntityKind::Line:
        json.beginArray();
        for (const QPointF &p : e.points)
            json.position(p);
        json.endArray();
        json.key("type");
        json.string("LineString");
        break;
    case EntityKind::Circle:
        // A GIS shows the ring; the map reads the centre and radius back from the properties.
        json.beginArray();
        json.beginArray();
        for (int i = 0; i <= CircleSegments; ++i) {
            const double a = 2 * std::numbers::pi * (i % CircleSegments) / CircleSegments;
            json.position(e.points[0] + QPointF(e.radius * std::cos(a), e.radius * std::sin(a)));
        }
        json.endArray();
        json.endArray();
        json.key("type");
        json.string("Polygon");
        break;
    case EntityKind::Point:
    case EntityKind::Text:
        json.position(e.points[0]);
        json.key("type");
        json.string("Point");
        break;
    }
    json.endObject();
}

// One feature; the properties in the order of their keys.
void writeFeature(JsonText &json, const Entity &e, QLatin1StringView shown)
{
    json.beginObject();
    json.key("geometry");
    writeGeometry(json, e);
    json.key("properties");
    json.beginObject();
    if (e.kind == EntityKind::Circle) {
        json.key("center");
        json.position(e.points[0]);
    }
    json.key("color");
    json.number(e.color);
    json.key("entity");
    json.string(kindName(e.kind));
    if (e.kind == EntityKind::Circle) {
        json.key("fill-opacity");
        json.number(0);
    }
    if (e.kind == EntityKind::Text) {
        json.key("height");
        json.number(e.height);
        json.key("justification");
        json.string(e.justification.code());
    }
    json.key("layer");
    json.string(e.layer);
    json.key("lineWidth");
    json.number(e.lineWidth);
    if (e.kind == EntityKind::Point || e.kind == EntityKind::Text) {
        json.key("marker-color");
        json.string(shown);
    }
    if (e.kind == EntityKind::Circle) {
        json.key("radius");
        json.number(e.radius);
    }
    if (e.rgb) {
        char buffer[8];
        json.key("rgb");
        json.string(hexColor(*e.rgb & 0xFFFFFFu, buffer));
    }
    if (e.kind == EntityKind::Text) {
        json.key("rotation");
        json.number(e.rotation);
    }
    json.key("stroke");
    json.string(shown);
    json.key("stroke-width");
    json.number(std::max(1.0, e.lineWidth));
    if (e.kind == EntityKind::Text) {
        json.key("style");
        json.string(e.style);
    }
    if (!e.tag.isEmpty()) {
        json.key("tag");
        json.string(e.tag);
    }
    if (e.kind == EntityKind::Text) {
        json.key("text");
        json.string(e.text);
        json.key("widthFactor");
        json.number(e.widthFactor);
    }
    json.endObject();
    json.key("type");
    json.string("Feature");
    json.endObject();
}

} // namespace

namespace {

// About the size of a band line's feature, so that a large drawing is not copied as it grows.
constexpr qsizetype BytesPerEntity = 640;

// The features of entities [begin, end) as the document's array holds them, the first of the
// array when begin is 0.
JsonText featuresText(const Drawing &drawing, std::size_t begin, std::size_t end)
{
    JsonText json(BytesPerEntity * qsizetype(end - begin), 2, begin > 0);
    // Colour index to "#rrggbb", worked out once per index.
    char indexColors[LastColorIndex + 2][8];
    bool known[LastColorIndex + 2] = {};
    for (std::size_t i = begin; i < end; ++i) {
        const Entity &e = drawing.entities[i];
        char own[8];
        QLatin1StringView shown;
        if (e.rgb) {
            shown = hexColor(*e.rgb & 0xFFFFFFu, own);
        } else {
            const int index = drawing.colorIndexOf(e);
            if (index >= 0 && index <= LastColorIndex) {
                if (!known[index])
                    hexColor(colorOfIndex(index).rgb() & 0xFFFFFFu, indexColors[index]);
                known[index] = true;
                shown = QLatin1StringView(indexColors[index], 7);
            } else {
                shown = hexColor(colorOfIndex(index).rgb() & 0xFFFFFFu, own);
            }
        }
        writeFeature(json, e, shown);
    }
    return json;
}

} // namespace

namespace {

// The text, handed to sink as it is made when there is one: a piece at a time, in order.
LayerFileText layerFileTextTo(const Drawing &drawing, const std::function<void(const char *, qsizetype)> &sink)
{
    // A band layer holds up to a few hundred thousand entities: their text is made in pieces on
    // every core, each joined to the document as soon as those before it are there.
    constexpr std::size_t EntitiesPerPiece = 4096;
    const std::size_t count = drawing.entities.size();
    const int pieceCount = int((count + EntitiesPerPiece - 1) / EntitiesPerPiece);
    std::vector<std::optional<JsonText>> pieces(std::size_t(std::max(pieceCount, 0)));
    std::vector<char> pieceReadsBack(pieces.size(), 1);
    // Room to spare: the pages not written are never taken, and a document that outgrew its
    // buffer would be copied.
    JsonText json(4096 + 2 * BytesPerEntity * qsizetype(count));
    json.beginObject();
    json.key("features");
    json.beginArray();
    bool exact = readsBack(drawing);
    const auto make = [&](int k) {
        const std::size_t begin = std::size_t(k) * EntitiesPerPiece, end = std::min(count, begin + EntitiesPerPiece);
        pieces[std::size_t(k)].emplace(featuresText(drawing, begin, end));
        for (std::size_t i = begin; i < end; ++i)
            pieceReadsBack[std::size_t(k)] = pieceReadsBack[std::size_t(k)] && readsBack(drawing.entities[i]);
    };
    qsizetype sent = 0;
    const auto send = [&](const char *text, qsizetype size) {
        if (sink)
            sink(text + sent, size - sent);
        sent = size;
    };
    const auto put = [&](int k) {
        exact = exact && pieceReadsBack[std::size_t(k)];
        json.append(std::move(*pieces[std::size_t(k)]));
        pieces[std::size_t(k)].reset();
        send(json.data(), json.size());
    };
    forEachItemInOrder(pieceCount, make, put);
    json.endArray();
    json.key("name");
    json.string(QFileInfo(drawing.file).completeBaseName());
    json.key("qel");
    json.beginObject();
    json.key("drawing");
    json.number(drawing.number);
    json.key("layers");
    json.beginArray();
    for (const DrawingLayer &l : drawing.layers) {
        json.beginObject();
        json.key("color");
        json.number(l.color);
        json.key("flag");
        json.number(l.flag);
        json.key("name");
        json.string(l.name);
        json.endObject();
    }
    json.endArray();
    json.key("mode");
    json.number(drawing.mode);
    json.key("textStyles");
    json.beginArray();
    for (const TextStyle &s : drawing.textStyles) {
        json.beginObject();
        json.key("font");
        json.string(s.font);
        json.key("name");
        json.string(s.name);
        json.key("size");
        json.number(s.size);
        json.key("weight");
        json.number(s.weight);
        json.key("widthFactor");
        json.number(s.widthFactor);
        json.endObject();
    }
    json.endArray();
    json.key("version");
    json.number(LayerFileFormatVersion);
    json.endObject();
    json.key("type");
    json.string("FeatureCollection");
    json.endObject();
    exact = exact && json.exact();
    LayerFileText text { json.finish(), exact };
    send(text.bytes.constData(), text.bytes.size());
    return text;
}

void raiseUnlessWritten(const WriteOutcome &outcome, const QString &path)
{
    if (!outcome.written)
        throw QelError(ErrPathFileAccess,
            QStringLiteral("Path/File access error: cannot write the layer file %1 (%2)").arg(path, outcome.problem),
            path);
}

} // namespace

LayerFileText layerFileText(const Drawing &drawing)
{
    return layerFileTextTo(drawing, {});
}

QByteArray layerFileBytes(const Drawing &drawing)
{
    return layerFileText(drawing).bytes;
}

LayerFileText writeLayerFileText(const QString &path, const Drawing &drawing)
{
    // The text goes to the file as its pieces are joined, so that the flush before the rename has
    // little left to do.
    LayerFileText text;
    raiseUnlessWritten(writeWholeFileThrough(path,
                           [&](QIODevice &file) {
                               WritingBack out(file);
                               bool failed = false;
                               text = layerFileTextTo(drawing,
                                   [&](const char *bytes, qsizetype size) { failed = !out.write(bytes, size); });
                               return failed ? -1 : out.written();
                           }),
        path);
    return text;
}

void writeLayerFile(const QString &path, const Drawing &drawing)
{
    writeLayerFileText(path, drawing);
}

} // namespace qel
