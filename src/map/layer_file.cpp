#include "map/layer_file.h"

#include "core/errors.h"
#include "core/whole_file.h"
#include "core/worker_pool.h"
#include "map/color_table.h"
#include "map/json_text.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <vector>

namespace qel {

namespace {

constexpr int FormatVersion = 1;
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

// Reads one file and says exactly where it is wrong.
class Reader {
public:
    explicit Reader(QString source)
        : m_source(std::move(source))
    {
    }

    [[noreturn]] void fail(const QString &what) const
    {
        QString where = m_context.isEmpty() ? QString() : m_context + QStringLiteral(": ");
        throw QelError(ErrTypeMismatch,
            QStringLiteral("Type mismatch: %1 is not a readable layer file: %2%3").arg(m_source, where, what),
            m_source);
    }

    void setContext(const QString &context) { m_context = context; }

    QJsonObject object(const QJsonValue &v, const QString &name) const
    {
        if (!v.isObject())
            fail(QStringLiteral("\"%1\" must be an object").arg(name));
        return v.toObject();
    }
    QJsonArray array(const QJsonValue &v, const QString &name) const
    {
        if (!v.isArray())
            fail(QStringLiteral("\"%1\" must be a list").arg(name));
        return v.toArray();
    }
    double number(const QJsonObject &o, const QString &key, double fallback, bool required = false) const
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined() || v.isNull()) {
            if (required)
                fail(QStringLiteral("\"%1\" is missing").arg(key));
            return fallback;
        }
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            fail(QStringLiteral("\"%1\" must be a number").arg(key));
        return v.toDouble();
    }
    int integer(const QJsonObject &o, const QString &key, int fallback, int lo, int hi) const
    {
        const double d = number(o, key, fallback);
        if (d != std::trunc(d) || d < lo || d > hi)
            fail(QStringLiteral("\"%1\" must be a whole number from %2 to %3").arg(key).arg(lo).arg(hi));
        return int(d);
    }
    QString text(const QJsonObject &o, const QString &key, const QString &fallback) const
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined() || v.isNull())
            return fallback;
        if (!v.isString())
            fail(QStringLiteral("\"%1\" must be a text").arg(key));
        return v.toString();
    }
    QPointF point(const QJsonValue &v, const QString &name) const
    {
        if (!v.isArray() || v.toArray().size() < 2)
            fail(QStringLiteral("\"%1\" must be a position [x, y]").arg(name));
        const QJsonArray a = v.toArray();
        for (const QJsonValue &c : a) {
            if (!c.isDouble() || !std::isfinite(c.toDouble()))
                fail(QStringLiteral("\"%1\" holds a coordinate that is not a number").arg(name));
        }
        return { a[0].toDouble(), a[1].toDouble() };
    }
    std::vector<QPointF> points(const QJsonValue &v, const QString &name, qsizetype atLeast) const
    {
        const QJsonArray a = array(v, name);
        if (a.size() < atLeast)
            fail(QStringLiteral("\"%1\" needs at least %2 positions").arg(name).arg(atLeast));
        std::vector<QPointF> out;
        out.reserve(std::size_t(a.size()));
        for (const QJsonValue &p : a)
            out.push_back(point(p, name));
        return out;
    }

private:
    QString m_source;
    QString m_context;
};

void readStyleProperties(const Reader &r, const QJsonObject &p, Entity &e)
{
    e.tag = r.text(p, QStringLiteral("tag"), QString());
    e.layer = r.text(p, QStringLiteral("layer"), QStringLiteral("0"));
    e.color = r.integer(p, QStringLiteral("color"), 0, 0, LastColorIndex);
    e.lineWidth = r.number(p, QStringLiteral("lineWidth"), 0);
    if (e.lineWidth < 0)
        r.fail(QStringLiteral("\"lineWidth\" must not be negative"));
    const QString rgb = r.text(p, QStringLiteral("rgb"), QString());
    if (!rgb.isEmpty()) {
        const QColor c = QColor::fromString(rgb);
        if (!c.isValid())
            r.fail(QStringLiteral("\"rgb\" must be a colour such as \"#ff8000\""));
        e.rgb = c.rgb() & 0xFFFFFFu;
    }
}

// Features without our "entity" property, as another program may add them.
void readForeignGeometry(const Reader &r, const QJsonObject &g, const Entity &style, std::vector<Entity> &out)
{
    const QString type = r.text(g, QStringLiteral("type"), QString());
    const QJsonValue c = g.value(u"coordinates");
    auto line = [&](const std::vector<QPointF> &pts) {
        Entity e = style;
        e.kind = EntityKind::Line;
        e.points = pts;
        out.push_back(std::move(e));
    };
    auto point = [&](QPointF p) {
        Entity e = style;
        e.kind = EntityKind::Point;
        e.points = { p };
        out.push_back(std::move(e));
    };
    if (type == u"Point") {
        point(r.point(c, QStringLiteral("coordinates")));
    } else if (type == u"MultiPoint") {
        for (const QPointF &p : r.points(c, QStringLiteral("coordinates"), 0))
            point(p);
    } else if (type == u"LineString") {
        line(r.points(c, QStringLiteral("coordinates"), 2));
    } else if (type == u"MultiLineString" || type == u"Polygon") {
        for (const QJsonValue &part : r.array(c, QStringLiteral("coordinates")))
            line(r.points(part, QStringLiteral("coordinates"), 2));
    } else if (type == u"MultiPolygon") {
        for (const QJsonValue &polygon : r.array(c, QStringLiteral("coordinates"))) {
            for (const QJsonValue &ring : r.array(polygon, QStringLiteral("coordinates")))
                line(r.points(ring, QStringLiteral("coordinates"), 2));
        }
    } else if (type == u"GeometryCollection") {
        for (const QJsonValue &member : r.array(g.value(u"geometries"), QStringLiteral("geometries")))
            readForeignGeometry(r, r.object(member, QStringLiteral("geometries")), style, out);
    } else {
        r.fail(QStringLiteral("geometry type \"%1\" is not known").arg(type));
    }
}

void readFeature(const Reader &r, const QJsonObject &f, std::vector<Entity> &out)
{
    if (f.value(u"type") != QStringLiteral("Feature"))
        r.fail(QStringLiteral("\"type\" must be \"Feature\""));
    const QJsonValue gv = f.value(u"geometry");
    const QJsonObject p = f.value(u"properties").isNull()
        ? QJsonObject()
        : r.object(f.value(u"properties"), QStringLiteral("properties"));
    Entity e;
    readStyleProperties(r, p, e);
    const QString kind = r.text(p, QStringLiteral("entity"), QString());
    if (kind.isEmpty()) {
        if (gv.isNull())
            return; // a feature without geometry draws nothing, in any GIS
        readForeignGeometry(r, r.object(gv, QStringLiteral("geometry")), e, out);
        return;
    }
    const QJsonObject g = r.object(gv, QStringLiteral("geometry"));
    const QString type = r.text(g, QStringLiteral("type"), QString());
    const QJsonValue c = g.value(u"coordinates");
    if (kind == u"line") {
        if (type != u"LineString")
            r.fail(QStringLiteral("a line needs a LineString geometry"));
        e.kind = EntityKind::Line;
        e.points = r.points(c, QStringLiteral("coordinates"), 2);
    } else if (kind == u"point") {
        if (type != u"Point")
            r.fail(QStringLiteral("a point needs a Point geometry"));
        e.kind = EntityKind::Point;
        e.points = { r.point(c, QStringLiteral("coordinates")) };
    } else if (kind == u"circle") {
        e.kind = EntityKind::Circle;
        e.points = { r.point(p.value(u"center"), QStringLiteral("center")) };
        e.radius = r.number(p, QStringLiteral("radius"), 0, true);
        if (e.radius < 0)
            r.fail(QStringLiteral("\"radius\" must not be negative"));
    } else if (kind == u"text") {
        if (type != u"Point")
            r.fail(QStringLiteral("a text needs a Point geometry"));
        e.kind = EntityKind::Text;
        e.points = { r.point(c, QStringLiteral("coordinates")) };
        if (!p.value(u"text").isString())
            r.fail(QStringLiteral("\"text\" must be a text"));
        e.text = p.value(u"text").toString();
        const auto j = Justification::parse(r.text(p, QStringLiteral("justification"), QStringLiteral("L")));
        if (!j)
            r.fail(QStringLiteral("\"justification\" must be a code such as \"LM\" or \"CM\""));
        e.justification = *j;
        e.height = r.number(p, QStringLiteral("height"), 1);
        e.widthFactor = r.number(p, QStringLiteral("widthFactor"), 1);
        e.rotation = r.number(p, QStringLiteral("rotation"), 0);
        e.style = r.text(p, QStringLiteral("style"), QStringLiteral("STANDARD"));
        if (e.height < 0 || e.widthFactor <= 0)
            r.fail(QStringLiteral("a text needs a height of 0 or more and a width factor above 0"));
    } else {
        r.fail(QStringLiteral("entity \"%1\" is not known").arg(kind));
    }
    out.push_back(std::move(e));
}

} // namespace

QString layerFilePath(const QString &path)
{
    const QString extension = QString::fromLatin1(LayerFileExtension);
    return path.endsWith(extension, Qt::CaseInsensitive) ? path : path + extension;
}

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

LayerFileText layerFileText(const Drawing &drawing)
{
    // A band layer holds up to a few hundred thousand entities: their text is made in pieces on
    // every core and joined in order.
    constexpr std::size_t EntitiesPerPiece = 4096;
    const std::size_t count = drawing.entities.size();
    const int pieceCount = int((count + EntitiesPerPiece - 1) / EntitiesPerPiece);
    std::vector<std::optional<JsonText>> pieces(std::size_t(std::max(pieceCount, 0)));
    std::vector<char> pieceReadsBack(pieces.size(), 1);
    forEachItem(pieceCount, [&](int k) {
        const std::size_t begin = std::size_t(k) * EntitiesPerPiece, end = std::min(count, begin + EntitiesPerPiece);
        pieces[std::size_t(k)].emplace(featuresText(drawing, begin, end));
        for (std::size_t i = begin; i < end; ++i)
            pieceReadsBack[std::size_t(k)] = pieceReadsBack[std::size_t(k)] && readsBack(drawing.entities[i]);
    });
    qsizetype featureBytes = 0;
    for (const std::optional<JsonText> &piece : pieces)
        featureBytes += piece->size();
    JsonText json(4096 + featureBytes);
    json.beginObject();
    json.key("features");
    json.beginArray();
    bool exact = readsBack(drawing);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        exact = exact && pieceReadsBack[k];
        json.append(std::move(*pieces[k]));
        pieces[k].reset();
    }
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
    json.number(FormatVersion);
    json.endObject();
    json.key("type");
    json.string("FeatureCollection");
    json.endObject();
    exact = exact && json.exact();
    return { json.finish(), exact };
}

QByteArray layerFileBytes(const Drawing &drawing)
{
    return layerFileText(drawing).bytes;
}

void writeLayerFile(const QString &path, const Drawing &drawing)
{
    writeLayerFileBytes(path, layerFileBytes(drawing));
}

void writeLayerFileBytes(const QString &path, const QByteArray &bytes)
{
    const WriteOutcome outcome = writeWholeFile(path, bytes);
    if (!outcome.written)
        throw QelError(ErrPathFileAccess,
            QStringLiteral("Path/File access error: cannot write the layer file %1 (%2)").arg(path, outcome.problem),
            path);
}

QByteArray readLayerFileBytes(const QString &path, const QByteArray &known, bool &isKnown)
{
    isKnown = false;
    QFile file(path);
    if (!file.exists())
        throw QelError(ErrFileNotFound, QStringLiteral("File not found: %1").arg(path), path);
    if (!file.open(QIODevice::ReadOnly))
        throw QelError(ErrPathFileAccess,
            QStringLiteral("Path/File access error: cannot read the layer file %1 (%2)").arg(path, file.errorString()),
            path);
    // Compared where it lies, the file need not be copied when it holds what is known.
    if (!known.isNull() && file.size() == known.size()) {
        if (const uchar *mapped = file.map(0, file.size())) {
            isKnown = std::memcmp(mapped, known.constData(), std::size_t(known.size())) == 0;
            file.unmap(const_cast<uchar *>(mapped));
            if (isKnown)
                return known;
        }
    }
    return file.readAll();
}

QByteArray readLayerFileBytes(const QString &path)
{
    bool isKnown = false;
    return readLayerFileBytes(path, {}, isKnown);
}

Drawing readLayerFile(const QString &path)
{
    Drawing d = parseLayerFile(readLayerFileBytes(path), path);
    d.file = path;
    return d;
}

Drawing parseLayerFile(const QByteArray &bytes, const QString &source)
{
    Reader r(source);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        r.fail(QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset));
    if (!doc.isObject())
        r.fail(QStringLiteral("the file must hold one GeoJSON object"));
    const QJsonObject root = doc.object();
    if (root.value(u"type") != QStringLiteral("FeatureCollection"))
        r.fail(QStringLiteral("\"type\" must be \"FeatureCollection\""));

    Drawing d;
    d.file = source;
    if (root.contains(u"qel")) {
        const QJsonObject meta = r.object(root.value(u"qel"), QStringLiteral("qel"));
        r.setContext(QStringLiteral("\"qel\""));
        const int version = r.integer(meta, QStringLiteral("version"), FormatVersion, 1, 1000);
        if (version > FormatVersion)
            r.fail(QStringLiteral("it was written by a newer version of this program (format %1)").arg(version));
        d.number = r.integer(meta, QStringLiteral("drawing"), 0, 0, ExactDifferenceDrawing);
        d.mode = r.integer(meta, QStringLiteral("mode"), 24, 0, 32767);
        int i = 0;
        for (const QJsonValue &v : r.array(meta.value(u"layers").isUndefined() ? QJsonArray() : meta.value(u"layers"),
                 QStringLiteral("layers"))) {
            r.setContext(QStringLiteral("layer %1").arg(++i));
            const QJsonObject o = r.object(v, QStringLiteral("layers"));
            DrawingLayer l;
            l.name = r.text(o, QStringLiteral("name"), QString());
            if (l.name.isEmpty())
                r.fail(QStringLiteral("\"name\" is missing"));
            l.color = r.integer(o, QStringLiteral("color"), BlackColorIndex, 0, LastColorIndex);
            l.flag = r.integer(o, QStringLiteral("flag"), 1, -32768, 32767);
            d.layers.push_back(l);
        }
        i = 0;
        const QJsonValue stylesValue = meta.value(u"textStyles");
        for (const QJsonValue &v :
            r.array(stylesValue.isUndefined() ? QJsonArray() : stylesValue, QStringLiteral("textStyles"))) {
            r.setContext(QStringLiteral("text style %1").arg(++i));
            const QJsonObject o = r.object(v, QStringLiteral("textStyles"));
            TextStyle s;
            s.name = r.text(o, QStringLiteral("name"), s.name);
            s.font = r.text(o, QStringLiteral("font"), s.font);
            s.weight = r.integer(o, QStringLiteral("weight"), s.weight, 0, 1000);
            s.size = r.number(o, QStringLiteral("size"), s.size);
            s.widthFactor = r.number(o, QStringLiteral("widthFactor"), s.widthFactor);
            if (s.widthFactor <= 0)
                r.fail(QStringLiteral("\"widthFactor\" must be above 0"));
            d.textStyles.push_back(s);
        }
    }
    r.setContext(QString());
    const QJsonArray features = r.array(root.value(u"features"), QStringLiteral("features"));
    d.entities.reserve(std::size_t(features.size()));
    int i = 0;
    for (const QJsonValue &v : features) {
        r.setContext(QStringLiteral("feature %1").arg(++i));
        readFeature(r, r.object(v, QStringLiteral("features")), d.entities);
    }
    return d;
}

} // namespace qel
