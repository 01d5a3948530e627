// The metafile reader checked against an independent renderer: libwmf's wmf2svg (installed by
// scripts/qel setup) draws the generated site plan, and its shapes must lie where the reader put
// them, up to the one scale and offset of the picture, in the same colours.
#include "map/base_map.h"
#include "map/wmf_writer.h"
#include "support/test_session.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

using namespace qel;
using namespace qel::test;

namespace {

struct SvgShape {
    QString tag;
    std::vector<QPointF> points; // rect: two corners; ellipse: the centre; text: the anchor
    QSizeF radii;
    QString stroke, fill, text;
};

std::vector<QPointF> numberPairs(const QString &text)
{
    static const QRegularExpression number(QStringLiteral(R"(-?\d+(?:\.\d+)?)"));
    std::vector<double> values;
    for (const auto &m : number.globalMatch(text))
        values.push_back(m.captured().toDouble());
    std::vector<QPointF> points;
    for (std::size_t i = 0; i + 1 < values.size(); i += 2)
        points.emplace_back(values[i], values[i + 1]);
    return points;
}

std::vector<SvgShape> readSvg(const QByteArray &svg)
{
    std::vector<SvgShape> shapes;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() == u"svg" || xml.name() == u"desc")
            continue;
        const auto a = xml.attributes();
        const auto value = [&](const char *name) { return a.value(QLatin1String(name)).toDouble(); };
        SvgShape s;
        s.tag = xml.name().toString();
        for (const QString &part : a.value(QLatin1String("style")).toString().split(u';')) {
            const QString p = part.trimmed();
            if (p.startsWith(u"stroke:"))
                s.stroke = p.mid(7);
            else if (p.startsWith(u"fill:"))
                s.fill = p.mid(5);
        }
        if (s.tag == u"polyline" || s.tag == u"polygon") {
            s.points = numberPairs(a.value(QLatin1String("points")).toString());
        } else if (s.tag == u"path") {
            if (a.value(QLatin1String("d")).contains(u'A'))
                continue; // libwmf's arcs are drawn from points of its own
            s.points = numberPairs(a.value(QLatin1String("d")).toString());
        } else if (s.tag == u"line") {
            s.points = { { value("x1"), value("y1") }, { value("x2"), value("y2") } };
        } else if (s.tag == u"rect") {
            const QRectF r = QRectF(value("x"), value("y"), value("width"), value("height")).normalized();
            s.points = { r.topLeft(), r.bottomRight() };
        } else if (s.tag == u"ellipse") {
            s.points = { { value("cx"), value("cy") } };
            s.radii = QSizeF(std::abs(value("rx")), std::abs(value("ry")));
        } else if (s.tag == u"text") {
            const std::vector<QPointF> m = numberPairs(a.value(QLatin1String("transform")).toString());
            if (m.size() == 3)
                s.points = { m[2] };
            s.text = xml.readElementText().trimmed();
        }
        shapes.push_back(std::move(s));
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return shapes;
}

// The svg's names of the plan's colours.
unsigned rgbOfName(const QString &name)
{
    static const std::map<QString, unsigned> names { { "darkorange", 0xFF8C00 }, { "red", 0xFF0000 },
        { "lime", 0x00FF00 }, { "blue", 0x0000FF }, { "navy", 0x000080 }, { "aqua", 0x00FFFF }, { "black", 0x000000 } };
    const auto i = names.find(name);
    return i == names.end() ? 0xFFFFFFFF : i->second;
}

// Map to svg: the picture's scale and offset per axis, fitted on the lot boundary.
struct Fit {
    double ax, bx, ay, by;
    QPointF operator()(QPointF p) const { return { ax * p.x() + bx, ay * p.y() + by }; }
};

} // namespace

TEST(WmfSvgCheck, AnIndependentRendererDrawsTheSamePlan)
{
    const QString wmf2svg = QStandardPaths::findExecutable(QStringLiteral("wmf2svg"));
    ASSERT_FALSE(wmf2svg.isEmpty()) << "wmf2svg (Debian libwmf-bin) is missing: run scripts/qel setup";
    QTemporaryDir dir;
    // svg tag, its n-th shape of that tag, the reader's entities it matches, and whether the
    // svg's colour is the fill (a shape without a pen, which the map outlines in its brush)
    const struct {
        const char *tag;
        int nth;
        std::vector<int> entities;
        bool byFill = false;
    } checks[] = {
        { "polyline", 0, { 1 } }, // road
        { "polygon", 0, { 2 }, true }, // building, null pen
        { "path", 0, { 3, 4 } }, // sheds
        { "ellipse", 0, { 5 } }, // tank
        { "line", 0, { 9 } }, // fence, two line-to records
        { "rect", 1, { 10 }, true }, // pixel
    };
    for (const bool upward : { true, false }) {
        SCOPED_TRACE(upward ? "window growing upward" : "metafile y downward");
        const QString path = writeBytes(dir.filePath("plan.wmf"), sitePlanWmf({ upward, false }));
        const QString svgPath = dir.filePath("plan.svg");
        ASSERT_EQ(QProcess::execute(wmf2svg, { "-o", svgPath, path }), 0);
        const std::vector<SvgShape> svg = readSvg(readBytes(svgPath));
        const std::vector<Entity> &entities = openVectorBaseMap(path).drawing.entities;
        ASSERT_EQ(entities.size(), 13u);
        const auto nth = [&](const char *tag, int n) -> const SvgShape & {
            for (const SvgShape &s : svg)
                if (s.tag == QLatin1String(tag) && n-- == 0)
                    return s;
            ADD_FAILURE() << "wmf2svg drew no " << tag;
            static const SvgShape none;
            return none;
        };

        const SvgShape &lot = nth("rect", 0);
        ASSERT_EQ(lot.points.size(), 2u);
        EXPECT_EQ(rgbOfName(lot.stroke), entities[0].rgb);
        const QRectF b = entities[0].bounds();
        Fit fit;
        fit.ax = (lot.points[1].x() - lot.points[0].x()) / b.width();
        fit.bx = lot.points[0].x() - fit.ax * b.left();
        fit.ay = (lot.points[1].y() - lot.points[0].y()) / -b.height();
        fit.by = lot.points[0].y() - fit.ay * b.bottom();
        // The same orientation and proportions: svg y grows downward, map y upward.
        EXPECT_GT(fit.ax, 0);
        EXPECT_LT(fit.ay, 0);
        EXPECT_NEAR(-fit.ay / fit.ax, 1, 0.01);
        const double tolerance = 0.01 * fit.ax * 500;

        for (const auto &c : checks) {
            SCOPED_TRACE(c.tag);
            const SvgShape &s = nth(c.tag, c.nth);
            std::vector<QPointF> want;
            for (int i : c.entities) {
                const Entity &e = entities[std::size_t(i)];
                EXPECT_EQ(rgbOfName(c.byFill ? s.fill : s.stroke), e.rgb);
                std::vector<QPointF> points = e.points;
                if (s.tag == u"ellipse") {
                    const QRectF r = e.bounds();
                    points = { r.center() };
                    EXPECT_NEAR(s.radii.width(), fit.ax * r.width() / 2, tolerance);
                    EXPECT_NEAR(s.radii.height(), -fit.ay * r.height() / 2, tolerance);
                } else if (s.tag == u"rect") {
                    points = { e.points[0], e.points[0] };
                } else if (points.size() > 2 && points.front() == points.back() && s.tag != u"line") {
                    points.pop_back(); // svg polygons close themselves
                }
                want.insert(want.end(), points.begin(), points.end());
            }
            std::vector<QPointF> got = s.points;
            if (s.tag == u"line") // consecutive lines share their joints
                got.insert(got.end(), nth("line", 1).points.begin() + 1, nth("line", 1).points.end());
            ASSERT_EQ(got.size(), want.size());
            for (std::size_t i = 0; i < got.size(); ++i) {
                const QPointF expected = fit(want[i]);
                EXPECT_NEAR(got[i].x(), expected.x(), s.tag == u"rect" ? 2 * tolerance : tolerance) << i;
                EXPECT_NEAR(got[i].y(), expected.y(), s.tag == u"rect" ? 2 * tolerance : tolerance) << i;
            }
        }

        // Texts: their words and colour; the left-aligned one starts where the reader put it, a
        // font height at most from its baseline.
        const SvgShape &title = nth("text", 0), &label = nth("text", 1);
        EXPECT_EQ(title.text, entities[11].text);
        EXPECT_EQ(label.text, entities[12].text);
        EXPECT_EQ(rgbOfName(title.fill), entities[11].rgb);
        ASSERT_EQ(title.points.size(), 1u);
        EXPECT_NEAR(title.points[0].x(), fit(entities[11].points[0]).x(), tolerance);
        EXPECT_NEAR(title.points[0].y(), fit(entities[11].points[0]).y(), -fit.ay * 12 + tolerance);
    }
}
