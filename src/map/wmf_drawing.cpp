#include "map/wmf_drawing.h"

#include "core/progress.h"
#include "map/base_map_checks.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace qel {

namespace {

constexpr int PenNull = 5;
constexpr int BrushNull = 1;
constexpr int TextUpdateCP = 0x0001;
constexpr std::size_t MaxSavedStates = 4096;
// Segments of a whole ellipse; an arc gets its share.
constexpr int EllipseSegments = 64;

struct Pen {
    bool null = false;
    unsigned rgb = 0x000000;
    int width = 0;
};

struct Brush {
    bool null = false;
    unsigned rgb = 0xFFFFFF; // the device context starts with the white brush
};

struct Font {
    int height = 0;
    int escapement = 0;
};

struct Object {
    enum class Kind { None, Pen, Brush, Font, Other } kind = Kind::None;
    Pen pen;
    Brush brush;
    Font font;
};

// Logical units to device units: device = (logical - window origin) * scale + viewport origin.
struct Transform {
    QPointF windowOrg { 0, 0 }, windowExt { 1, 1 }, viewportOrg { 0, 0 }, viewportExt { 1, 1 };
    bool fixedYUp = false; // the metric and English mapping modes: y grows upward, extents unused

    QPointF scale() const
    {
        if (fixedYUp)
            return { 1, -1 };
        return { viewportExt.x() / windowExt.x(), viewportExt.y() / windowExt.y() };
    }
    QPointF toDevice(QPointF p) const
    {
        const QPointF s = scale();
        return { (p.x() - windowOrg.x()) * s.x() + viewportOrg.x(), (p.y() - windowOrg.y()) * s.y() + viewportOrg.y() };
    }
};

struct State {
    Pen pen;
    Brush brush;
    Font font;
    unsigned textRgb = 0x000000;
    int textAlign = 0;
    Transform transform;
    QPointF position;
};

class Builder {
public:
    Builder(const QString &path, const WmfFile &file)
        : m_path(path)
        , m_file(file)
        , m_table(std::size_t(file.header.objects))
    {
        m_drawing.layers.push_back({ QStringLiteral("0"), 7, 1 });
    }

    void record(const WmfRecord &r)
    {
        m_record = &r;
        Transform &t = m_state.transform;
        const QPointF p = r.points.empty() ? QPointF() : QPointF(r.points[0]);
        bool joinsLine = false;
        switch (r.op) {
        case WmfOp::SetWindowOrg: t.windowOrg = p; break;
        case WmfOp::OffsetWindowOrg: t.windowOrg += p; break;
        case WmfOp::SetViewportOrg: t.viewportOrg = p; break;
        case WmfOp::OffsetViewportOrg: t.viewportOrg += p; break;
        // A zero extent would make every point infinite; Windows refuses it and keeps the old one.
        case WmfOp::SetWindowExt:
            if (p.x() != 0 && p.y() != 0)
                t.windowExt = p;
            break;
        case WmfOp::SetViewportExt:
            if (p.x() != 0 && p.y() != 0)
                t.viewportExt = p;
            break;
        case WmfOp::SetMapMode: t.fixedYUp = r.value >= 2 && r.value <= 6; break;
        case WmfOp::SaveDC:
            if (m_saved.size() >= MaxSavedStates)
                damaged(QStringLiteral("saves the drawing state more than %1 times without restoring it")
                            .arg(MaxSavedStates));
            m_saved.push_back(m_state);
            break;
        case WmfOp::RestoreDC: restore(r.value); break;
        case WmfOp::CreatePen: {
            Object o;
            o.kind = Object::Kind::Pen;
            o.pen = { (r.value & 0x0F) == PenNull, r.rgb, r.width };
            create(o);
            break;
        }
        case WmfOp::CreateBrush: {
            Object o;
            o.kind = Object::Kind::Brush;
            o.brush = { r.value == BrushNull, r.rgb };
            create(o);
            break;
        }
        case WmfOp::CreatePatternBrush: {
            // Its colours are those of a bitmap, which is not read: its outlines are black.
            Object o;
            o.kind = Object::Kind::Brush;
            o.brush = { false, 0x000000 };
            create(o);
            break;
        }
        case WmfOp::CreateFont: {
            Object o;
            o.kind = Object::Kind::Font;
            o.font = { r.width, r.angle };
            create(o);
            break;
        }
        case WmfOp::CreateOther: create(Object::Kind::Other); break;
        case WmfOp::SelectObject: select(r.value); break;
        case WmfOp::DeleteObject: object(r.value) = Object {}; break;
        case WmfOp::MoveTo: m_state.position = p; break;
        case WmfOp::LineTo:
            joinsLine = lineTo(p);
            m_state.position = p;
            break;
        case WmfOp::Polyline: line(r.points.begin(), r.points.end(), false, penRgb()); break;
        case WmfOp::Polygon: line(r.points.begin(), r.points.end(), true, outlineRgb()); break;
        case WmfOp::PolyPolygon: {
            auto begin = r.points.begin();
            for (int count : r.counts) {
                line(begin, begin + count, true, outlineRgb());
                begin += count;
            }
            break;
        }
        case WmfOp::Rectangle: {
            const QPoint a = r.points[0], b = r.points[1];
            const std::vector<QPoint> corners { a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y()) };
            line(corners.begin(), corners.end(), true, outlineRgb());
            break;
        }
        case WmfOp::Ellipse: arc(r, WmfOp::Ellipse, outlineRgb()); break;
        case WmfOp::Arc: arc(r, WmfOp::Arc, penRgb()); break;
        case WmfOp::Pie:
        case WmfOp::Chord: arc(r, r.op, outlineRgb()); break;
        case WmfOp::SetPixel: {
            Entity e = entity(r.rgb);
            e.kind = EntityKind::Point;
            e.lineWidth = 0;
            e.points = { toMap(p) };
            add(std::move(e));
            break;
        }
        case WmfOp::Text: text(r); break;
        case WmfOp::SetTextAlign: m_state.textAlign = r.value; break;
        case WmfOp::SetTextColor: m_state.textRgb = r.rgb; break;
        }
        m_lineToOpen = joinsLine;
    }

    Drawing take() { return std::move(m_drawing); }

private:
    [[noreturn]] void damaged(const QString &what) const
    {
        cannotOpen(
            m_path, QStringLiteral("its record at byte %1 %2, so the file is damaged").arg(m_record->offset).arg(what));
    }

    void restore(int which)
    {
        // Windows plays a restore of a state never saved as nothing; so does this reader.
        const qint64 keep = which < 0 ? qint64(m_saved.size()) + which : qint64(which) - 1;
        if (which == 0 || keep < 0 || keep >= qint64(m_saved.size()))
            return;
        m_state = m_saved[std::size_t(keep)];
        m_saved.resize(std::size_t(keep));
    }

    Object &object(int index)
    {
        if (index < 0 || std::size_t(index) >= m_table.size())
            damaged(QStringLiteral("names object %1 of a table of %2 objects").arg(index).arg(m_table.size()));
        return m_table[std::size_t(index)];
    }

    void create(Object::Kind kind)
    {
        Object o;
        o.kind = kind;
        create(o);
    }

    void create(const Object &o)
    {
        const auto free = std::find_if(
            m_table.begin(), m_table.end(), [](const Object &e) { return e.kind == Object::Kind::None; });
        if (free == m_table.end())
            damaged(QStringLiteral("creates an object, but its table of %1 objects is full").arg(m_table.size()));
        *free = o;
    }

    void select(int index)
    {
        const Object &o = object(index);
        switch (o.kind) {
        case Object::Kind::None: damaged(QStringLiteral("selects object %1, which it has not created").arg(index));
        case Object::Kind::Pen: m_state.pen = o.pen; break;
        case Object::Kind::Brush: m_state.brush = o.brush; break;
        case Object::Kind::Font: m_state.font = o.font; break;
        case Object::Kind::Other: break;
        }
    }

    std::optional<unsigned> penRgb() const { return m_state.pen.null ? std::nullopt : std::optional(m_state.pen.rgb); }

    // A filled shape is drawn as its outline: in the pen's colour, else in the brush's.
    std::optional<unsigned> outlineRgb() const
    {
        if (!m_state.pen.null)
            return m_state.pen.rgb;
        return m_state.brush.null ? std::nullopt : std::optional(m_state.brush.rgb);
    }

    // The map frame is that of the first shape: logical units of its window, turned as its device
    // shows them. A later change of window or viewport moves the later shapes as the device would.
    QPointF toMap(QPointF logical)
    {
        if (!m_reference)
            m_reference = m_state.transform;
        const Transform &ref = *m_reference;
        const QPointF d = m_state.transform.toDevice(logical);
        const QPointF s = ref.scale();
        const double ux = (d.x() - ref.viewportOrg.x()) / s.x() + ref.windowOrg.x();
        const double uy = (d.y() - ref.viewportOrg.y()) / s.y() + ref.windowOrg.y();
        return { ux * (s.x() < 0 ? -1 : 1), -uy * s.y() / std::abs(s.x()) };
    }

    // Map units per logical unit of the current transform, along y (text heights).
    double yScale()
    {
        toMap({});
        return std::abs(m_state.transform.scale().y() / m_reference->scale().x());
    }

    Entity entity(unsigned rgb) const
    {
        Entity e;
        e.rgb = rgb;
        e.layer = QStringLiteral("0");
        const int inch = m_file.header.unitsPerInch;
        if (m_state.pen.width > 1 && inch > 0)
            e.lineWidth = std::min(10.0, m_state.pen.width * 96.0 / inch);
        return e;
    }

    void add(Entity e) { m_drawing.entities.push_back(std::move(e)); }

    void addLine(std::vector<QPointF> points, bool closed, std::optional<unsigned> rgb)
    {
        if (!rgb || points.size() < 2)
            return;
        if (closed && points.front() != points.back())
            points.push_back(points.front());
        Entity e = entity(*rgb);
        e.points = std::move(points);
        add(std::move(e));
    }

    void line(std::vector<QPoint>::const_iterator begin, std::vector<QPoint>::const_iterator end, bool closed,
        std::optional<unsigned> rgb)
    {
        std::vector<QPointF> points;
        points.reserve(std::size_t(end - begin) + 1);
        for (auto i = begin; i != end; ++i)
            points.push_back(toMap(*i));
        addLine(std::move(points), closed, rgb);
    }

    // A line from the current position; consecutive ones of a pen make one polyline.
    bool lineTo(QPointF to)
    {
        const std::optional<unsigned> rgb = penRgb();
        if (!rgb)
            return false;
        const QPointF from = toMap(m_state.position), end = toMap(to);
        if (m_lineToOpen && !m_drawing.entities.empty()) {
            Entity &last = m_drawing.entities.back();
            if (last.rgb == rgb && last.points.back() == from) {
                last.points.push_back(end);
                return true;
            }
        }
        addLine({ from, end }, false, rgb);
        return true;
    }

    // Ellipses, arcs, pies and chords, counter-clockwise as the device shows them.
    void arc(const WmfRecord &r, WmfOp kind, std::optional<unsigned> rgb)
    {
        if (!rgb)
            return;
        const QPointF a = toMap(r.points[0]), b = toMap(r.points[1]);
        const QPointF c = (a + b) / 2;
        const double rx = std::abs(b.x() - a.x()) / 2, ry = std::abs(b.y() - a.y()) / 2;
        // The angle on the ellipse of the ray from the centre through a point.
        const auto angleOf = [&](QPointF p) { return std::atan2((p.y() - c.y()) * rx, (p.x() - c.x()) * ry); };
        double from = 0, sweep = 2 * std::numbers::pi;
        if (kind != WmfOp::Ellipse) {
            from = angleOf(toMap(r.points[2]));
            sweep = angleOf(toMap(r.points[3])) - from;
            if (sweep <= 0)
                sweep += 2 * std::numbers::pi;
        }
        const int n = std::max(2, int(std::ceil(EllipseSegments * sweep / (2 * std::numbers::pi))));
        std::vector<QPointF> points;
        points.reserve(std::size_t(n) + 3);
        if (kind == WmfOp::Pie)
            points.push_back(c);
        // A whole ellipse is closed by its first point; an arc ends on its own end.
        const int last = kind == WmfOp::Ellipse ? n - 1 : n;
        for (int i = 0; i <= last; ++i) {
            const double t = from + sweep * i / n;
            points.emplace_back(c.x() + rx * std::cos(t), c.y() + ry * std::sin(t));
        }
        addLine(std::move(points), kind != WmfOp::Arc, rgb);
    }

    void text(const WmfRecord &r)
    {
        QByteArray bytes = r.text;
        while (bytes.endsWith('\0'))
            bytes.chop(1);
        if (bytes.isEmpty())
            return;
        const int align = m_state.textAlign;
        Entity e = entity(m_state.textRgb);
        e.lineWidth = 0;
        e.kind = EntityKind::Text;
        e.text = QString::fromLatin1(bytes);
        e.points = { toMap((align & TextUpdateCP) ? m_state.position : QPointF(r.points[0])) };
        // The font height is that of its characters (negative) or of their cell: capitals are
        // about 0.7 of it. No height is the default font, which the map gives its label height.
        e.height = std::abs(m_state.font.height) * 0.7 * yScale();
        e.rotation = m_state.font.escapement / 10.0;
        switch (align & 0x0006) {
        case 0x0002: e.justification.horizontal = Justification::H::Right; break;
        case 0x0006: e.justification.horizontal = Justification::H::Centre; break;
        default: e.justification.horizontal = Justification::H::Left; break;
        }
        switch (align & 0x0018) {
        case 0x0008: e.justification.vertical = Justification::V::Bottom; break;
        case 0x0018: e.justification.vertical = Justification::V::Baseline; break;
        default: e.justification.vertical = Justification::V::Top; break;
        }
        add(std::move(e));
    }

    const QString &m_path;
    const WmfFile &m_file;
    std::vector<Object> m_table;
    State m_state;
    std::vector<State> m_saved;
    std::optional<Transform> m_reference;
    const WmfRecord *m_record = nullptr;
    bool m_lineToOpen = false;
    Drawing m_drawing;
};

} // namespace

Drawing wmfDrawing(const QString &path, const WmfFile &file, Progress *progress)
{
    Builder builder(path, file);
    std::size_t done = 0;
    for (const WmfRecord &r : file.records) {
        if (progress && ++done % 4096 == 0) {
            progress->breathe();
            progress->throwIfCancelled();
        }
        builder.record(r);
    }
    return builder.take();
}

Drawing readWmfDrawing(const QString &path, Progress *progress)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        cannotOpen(path, QStringLiteral("it is not a readable file"));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        cannotOpen(path, QStringLiteral("it cannot be read: %1").arg(f.errorString()));
    return wmfDrawing(path, readWmfRecords(path, bytes), progress);
}

} // namespace qel
