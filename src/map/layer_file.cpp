#include "map/layer_file.h"

#include "core/errors.h"
#include "map/color_table.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace qel {

namespace {

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
        const int version = r.integer(meta, QStringLiteral("version"), LayerFileFormatVersion, 1, 1000);
        if (version > LayerFileFormatVersion)
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
