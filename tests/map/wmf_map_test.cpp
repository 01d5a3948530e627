// Windows metafiles as base maps: each record kind gives the entities a metafile viewer shows,
// and every damaged file is refused with its reason.
#include "map/base_map.h"
#include "map/map_display.h"
#include "map/map_session.h"
#include "map/map_test_util.h"
#include "map/wmf_records.h"
#include "map/wmf_writer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

QString number(double v)
{
    return QString::number(std::round(v * 100) / 100, 'g', 10);
}

QString pointText(QPointF p)
{
    return QStringLiteral("(%1,%2)").arg(number(p.x()), number(p.y()));
}

// One line per entity: kind, colour and points (curves by their ends, count and box), texts with
// their size, turn and justification.
QStringList summary(const Drawing &d)
{
    QStringList out;
    for (const Entity &e : d.entities) {
        const QString rgb = e.rgb ? QStringLiteral("%1").arg(*e.rgb, 6, 16, QLatin1Char('0')) : QStringLiteral("-");
        if (e.kind == EntityKind::Text) {
            out << QStringLiteral("text %1 '%2' %3 h=%4 r=%5 %6")
                       .arg(rgb, e.text, pointText(e.points[0]), number(e.height), number(e.rotation),
                           e.justification.code());
            continue;
        }
        QString s = (e.kind == EntityKind::Point ? QStringLiteral("point ") : QStringLiteral("line ")) + rgb;
        if (e.points.size() <= 6) {
            for (QPointF p : e.points)
                s += u' ' + pointText(p);
        } else {
            const QRectF b = e.bounds();
            s += QStringLiteral(" n=%1 %2..%3 box %4 %5")
                     .arg(e.points.size())
                     .arg(pointText(e.points.front()), pointText(e.points.back()), pointText(b.topLeft()),
                         pointText(b.bottomRight()));
        }
        if (e.lineWidth > 0)
            s += QStringLiteral(" w=") + number(e.lineWidth);
        out << s;
    }
    return out;
}

const std::vector<QPoint> Triangle { { 0, 0 }, { 100, 0 }, { 100, 50 } };

} // namespace

TEST(WmfMap, EveryRecordKindGivesWhatAViewerShows)
{
    const struct {
        const char *what;
        std::function<void(WmfWriter &)> draw;
        QStringList want;
        std::optional<Box> placeable = std::nullopt;
    } cases[] = {
        // The device context starts with a black pen and a white brush; metafile y grows downward.
        { "polyline with the first pen", [](WmfWriter &w) { w.polyline(Triangle); },
            { "line 000000 (0,0) (100,0) (100,-50)" } },
        { "pen of a colour", [](WmfWriter &w) { w.pen(0, 0, 0xFF0000).select(0).polyline(Triangle); },
            { "line ff0000 (0,0) (100,0) (100,-50)" } },
        { "polygon closed", [](WmfWriter &w) { w.polygon(Triangle); },
            { "line 000000 (0,0) (100,0) (100,-50) (0,0)" } },
        { "null pen: the outline in the brush's colour",
            [](WmfWriter &w) { w.pen(5, 0, 0).select(0).brush(0, 0x0000FF).select(1).polygon(Triangle); },
            { "line 0000ff (0,0) (100,0) (100,-50) (0,0)" } },
        { "null pen and null brush draw nothing",
            [](WmfWriter &w) {
                w.pen(5, 0, 0).select(0).brush(1, 0).select(1).polygon(Triangle).rectangle({ 0, 0, 9, 9 });
            },
            {} },
        { "null pen draws no line", [](WmfWriter &w) { w.pen(5, 0, 0).select(0).polyline(Triangle); }, {} },
        { "rectangle",
            [](WmfWriter &w) {
                w.rectangle({ 10, 20, 110, 70 });
            },
            { "line 000000 (10,-20) (110,-20) (110,-70) (10,-70) (10,-20)" } },
        { "poly-polygon",
            [](WmfWriter &w) {
                w.polyPolygon({ Triangle, { { 0, 0 }, { 5, 5 } } });
            },
            { "line 000000 (0,0) (100,0) (100,-50) (0,0)", "line 000000 (0,0) (5,-5) (0,0)" } },
        { "move and line to: one polyline",
            [](WmfWriter &w) {
                w.moveTo({ 0, 0 }).lineTo({ 10, 0 }).lineTo({ 10, 10 }).moveTo({ 50, 50 }).lineTo({ 60, 50 });
            },
            { "line 000000 (0,0) (10,0) (10,-10)", "line 000000 (50,-50) (60,-50)" } },
        { "ellipse",
            [](WmfWriter &w) {
                w.ellipse({ 0, 0, 200, 100 });
            },
            { "line 000000 n=65 (200,-50)..(200,-50) box (0,-100) (200,0)" } },
        // Counter-clockwise as shown: from the right end to the top.
        { "quarter arc",
            [](WmfWriter &w) {
                w.arc({ 0, 0, 100, 100 }, { 100, 50 }, { 50, 0 });
            },
            { "line 000000 n=17 (100,-50)..(50,0) box (50,-50) (100,0)" } },
        { "three-quarter arc",
            [](WmfWriter &w) {
                w.arc({ 0, 0, 100, 100 }, { 50, 0 }, { 100, 50 });
            },
            { "line 000000 n=49 (50,0)..(100,-50) box (0,-100) (100,0)" } },
        { "pie: from the centre and back",
            [](WmfWriter &w) {
                w.pie({ 0, 0, 100, 100 }, { 100, 50 }, { 50, 0 });
            },
            { "line 000000 n=19 (50,-50)..(50,-50) box (50,-50) (100,0)" } },
        { "chord: closed by a straight line",
            [](WmfWriter &w) {
                w.chord({ 0, 0, 100, 100 }, { 100, 50 }, { 50, 0 });
            },
            { "line 000000 n=18 (100,-50)..(100,-50) box (50,-50) (100,0)" } },
        { "pixel",
            [](WmfWriter &w) {
                w.pixel({ 3, 7 }, 0xFF0000);
            },
            { "point ff0000 (3,-7)" } },
        { "text with its font, colour and alignment",
            [](WmfWriter &w) {
                w.font(-100, 900).select(0).textColor(0x00FF00).textAlign(6 | 24).textOut({ 10, 20 }, "Well");
            },
            { "text 00ff00 'Well' (10,-20) h=70 r=90 C" } },
        { "text aligned right and bottom, clipped",
            [](WmfWriter &w) {
                w.font(50, 0).select(0).textAlign(2 | 8).extTextOut({ 10, 20 }, "Lot 7", true);
            },
            { "text 000000 'Lot 7' (10,-20) h=35 r=0 RB" } },
        { "text at the current position",
            [](WmfWriter &w) {
                w.font(-10, 0).select(0).textAlign(1).moveTo({ 4, 5 }).extTextOut({ 99, 99 }, "A");
            },
            { "text 000000 'A' (4,-5) h=7 r=0 LT" } },
        // A window whose y extent is negative grows upward: its y is the map's.
        { "window growing upward",
            [](WmfWriter &w) {
                w.windowOrg({ 0, 100 }).windowExt({ 1000, -1000 }).viewportExt({ 1000, 1000 }).polyline(Triangle);
            },
            { "line 000000 (0,0) (100,0) (100,50)" } },
        // The viewport stretches y twice as much as x: the map keeps the picture's proportions.
        { "anisotropic viewport",
            [](WmfWriter &w) {
                w.mapMode(8).windowExt({ 100, 100 }).viewportExt({ 100, 200 }).polyline(Triangle);
            },
            { "line 000000 (0,0) (100,0) (100,-100)" } },
        { "metric mapping mode grows upward", [](WmfWriter &w) { w.mapMode(2).polyline(Triangle); },
            { "line 000000 (0,0) (100,0) (100,50)" } },
        // A window moved after the first shape moves the later ones as the viewer shows them.
        { "window origin moved part way",
            [](WmfWriter &w) {
                w.windowOrg({ 10, 10 }).polyline({ { 10, 10 }, { 20, 10 } });
                w.windowOrg({ 0, 0 }).polyline({ { 10, 10 }, { 20, 10 } });
            },
            { "line 000000 (10,-10) (20,-10)", "line 000000 (20,-20) (30,-20)" } },
        { "saved and restored state",
            [](WmfWriter &w) {
                w.pen(0, 0, 0xFF0000).saveDC().select(0).polyline(Triangle).restoreDC(-1).polyline(Triangle);
                w.restoreDC(-3).polyline({ { 0, 0 }, { 1, 1 } }); // never saved: nothing changes
            },
            { "line ff0000 (0,0) (100,0) (100,-50)", "line 000000 (0,0) (100,0) (100,-50)",
                "line 000000 (0,0) (1,-1)" } },
        // A deleted object's entry is taken by the next one created; the selection stays.
        { "deleted objects free their entry",
            [](WmfWriter &w) {
                w.pen(0, 0, 0xFF0000).pen(0, 0, 0x00FF00).select(1).remove(0).pen(0, 0, 0x0000FF).polyline(Triangle);
                w.select(0).polyline({ { 0, 0 }, { 1, 1 } });
            },
            { "line 00ff00 (0,0) (100,0) (100,-50)", "line 0000ff (0,0) (1,-1)" } },
        { "palettes, regions and pattern brushes take entries",
            [](WmfWriter &w) {
                w.record(wmf::CreatePalette, { 0x0300, 0 }).record(wmf::CreatePatternBrush, { 0 });
                w.pen(5, 0, 0).select(2).select(1).polygon(Triangle);
            },
            { "line 000000 (0,0) (100,0) (100,-50) (0,0)" } },
        { "unknown records are skipped",
            [](WmfWriter &w) {
                w.record(0x0102, { 1 }).record(0x0B41, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 }).polyline(Triangle);
            },
            { "line 000000 (0,0) (100,0) (100,-50)" } },
        // Line widths: logical units at the placeable header's units per inch, in pixels at 96 dpi.
        { "thick pen of a placeable file", [](WmfWriter &w) { w.pen(0, 30, 0).select(0).polyline(Triangle); },
            { "line 000000 (0,0) (100,0) (100,-50) w=2" }, Box { 0, 0, 100, 50 } },
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        WmfWriter w(c.placeable);
        c.draw(w);
        // Two pixels far off keep every drawing open, also those that draw nothing above.
        w.pixel({ 1000, 1000 }, 0x123456).pixel({ 2000, 1000 }, 0x123456);
        const BaseMap map = openVectorBaseMap(writeBytes(dir.filePath("plan.wmf"), w.bytes()));
        EXPECT_EQ(map.kind, BaseMap::Kind::Vector);
        QStringList got = summary(map.drawing);
        ASSERT_GE(got.size(), 2);
        for (int i = 0; i < 2; ++i)
            EXPECT_TRUE(got.takeLast().startsWith("point 123456 "));
        EXPECT_EQ(got.join(u'\n').toStdString(), c.want.join(u'\n').toStdString());
    }
}

TEST(WmfMap, ExtentsAndLabelsFollowTheDrawing)
{
    QTemporaryDir dir;
    WmfWriter w(Box { 0, 0, 500, 400 }, 100);
    w.rectangle({ 0, 0, 500, 400 }).textOut({ 10, 10 }, "Site");
    const BaseMap map = openVectorBaseMap(writeBytes(dir.filePath("PLAN.WMF"), w.bytes()));
    EXPECT_EQ(map.extents, (MapExtents { 0, -400, 500, 0 }));
    // The default font has no height: the label gets the map's own label height, as a DXF's does.
    ASSERT_EQ(map.drawing.entities.size(), 2u);
    EXPECT_GT(map.drawing.entities[1].height, 0);
}

TEST(WmfMap, DamagedFilesAreRefusedWithTheirReason)
{
    const QByteArray good = WmfWriter().polyline(Triangle).bytes();
    QByteArray badChecksum = WmfWriter(Box { 0, 0, 10, 10 }).polyline(Triangle).bytes();
    badChecksum[20] = char(badChecksum[20] ^ 1);
    QByteArray emf(80, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");
    const struct {
        const char *what;
        QByteArray bytes;
        const char *mentions;
    } cases[] = {
        { "empty file", "", "too short for the metafile header" },
        { "text", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n", "not a Windows metafile" },
        { "enhanced metafile", emf, "enhanced metafile (EMF)" },
        { "placeable header alone", QByteArray("\xD7\xCD\xC6\x9A", 4) + QByteArray(18, '\0'),
            "cut short within its headers" },
        { "bad checksum", badChecksum, "checksum of its placeable header" },
        { "cut short: no end record", WmfWriter().polyline(Triangle).bytesWithoutEnd(),
            "without the record that ends a metafile" },
        { "cut inside a record", good.left(good.size() - 10), "past the end of the file" },
        { "record longer than the file", WmfWriter().record(wmf::Polyline, { 1, 0, 0 }, 1000000).bytes(),
            "past the end of the file" },
        { "record of a size beyond any file", WmfWriter().record(wmf::Polyline, { 1, 0, 0 }, 0xFFFFFFFF).bytes(),
            "past the end of the file" },
        { "zero-size record", WmfWriter().record(wmf::Polyline, {}, 0).bytes(), "size of 0 words" },
        { "points beyond the record", WmfWriter().record(wmf::Polyline, { 1000, 0, 0, 5, 5 }).bytes(),
            "too short for its points" },
        { "negative point count", WmfWriter().record(wmf::Polygon, { 0xFFFF, 0, 0 }).bytes(), "gives -1 points" },
        { "polygon counts beyond the record", WmfWriter().record(wmf::PolyPolygon, { 3, 2, 2 }).bytes(),
            "too short for its point counts" },
        { "polygon points beyond the record", WmfWriter().record(wmf::PolyPolygon, { 1, 9, 0, 0 }).bytes(),
            "too short for its points" },
        { "text beyond the record", WmfWriter().record(wmf::TextOut, { 40, 0x4141, 0, 0 }).bytes(),
            "too short for its text" },
        { "short pen", WmfWriter().record(wmf::CreatePenIndirect, { 0, 1 }).bytes(), "too short for its colour" },
        { "object index beyond the table", WmfWriter({}, 0, 2).select(5).polyline(Triangle).bytes(),
            "names object 5 of a table of 2 objects" },
        { "selecting an object never made", WmfWriter().select(0).polyline(Triangle).bytes(),
            "selects object 0, which it has not created" },
        { "table full", WmfWriter({}, 0, 1).pen(0, 0, 0).pen(0, 0, 0).polyline(Triangle).bytes(),
            "its table of 1 objects is full" },
        { "nothing drawn", WmfWriter().pen(0, 0, 0).bytes(), "no drawing with a width" },
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = writeBytes(dir.filePath("plan.wmf"), c.bytes);
        const QelError e = thrownBy([&] { openVectorBaseMap(path); });
        EXPECT_EQ(e.number(), ErrPathFileAccess);
        EXPECT_TRUE(e.description().startsWith("Cannot open the base map " + path + ": "))
            << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QString::fromLatin1(c.mentions))) << e.description().toStdString();
    }
}

// The fuzz target's seeds are the generated plans (and one cut short), kept as the generator
// writes them now; QEL_UPDATE_GOLDEN=1 writes them afresh.
TEST(WmfMap, TheFuzzSeedsAreTheGeneratedPlans)
{
    const QString corpus = QStringLiteral(QEL_SOURCE_DIR "/fuzz/corpus/wmf_map/");
    const QByteArray upward = sitePlanWmf();
    const struct {
        const char *name;
        QByteArray bytes;
    } seeds[] = {
        { "site-plan.wmf", upward },
        { "site-plan-y-down.wmf", sitePlanWmf({ false, false }) },
        { "cut-short.wmf", upward.left(upward.size() / 2) },
    };
    for (const auto &s : seeds) {
        SCOPED_TRACE(s.name);
        if (qEnvironmentVariableIntValue("QEL_UPDATE_GOLDEN") == 1)
            writeBytes(corpus + s.name, s.bytes);
        EXPECT_TRUE(readBytes(corpus + s.name) == s.bytes);
    }
}

// Chosen under its own entry of File > Open Base Map, a metafile is a vector map like a DXF: the
// project names it so, its coordinates are real, and the dialog offers the entry again.
TEST(WmfMap, OpensFromTheDialogAsAVectorMap)
{
    TestSession t;
    ProjectModel &m = t.session->model;
    const QString path = t.makeProjectFolder() + "Site-Plan.WMF";
    writeBytes(path, sitePlanWmf());
    m.ProjectDirAssigned = true;
    m.DistUnits = QStringLiteral("m");
    const QStringList entries = baseMapFilter().split(u'|');
    const int wmfEntry = int(entries.indexOf(QStringLiteral("WMF file (*.wmf)")) / 2) + 1;
    t.frontend.queueFile(path, wmfEntry);
    ASSERT_TRUE(fileOpenBaseMap(*t.session));
    EXPECT_EQ(std::tuple(m.BaseMapFile, m.BaseMapType, m.BaseMapFormat),
        std::tuple(QStringLiteral("Site-Plan.WMF"), QStringLiteral("vector"), QStringLiteral("wmf")));
    EXPECT_TRUE(m.BMDone && m.MapReady && m.MSDone);
    EXPECT_EQ(t.frontend.panelStatus, QStringLiteral("Vector map loaded. Coordinates = m"));
    EXPECT_EQ(
        std::tuple(m.BaseMapLeft, m.BaseMapBottom, m.BaseMapRight, m.BaseMapTop), std::tuple(0.0, 10.0, 500.0, 390.0));
    EXPECT_EQ(drawingOf(*t.session).drawing(BaseDrawing).entities.size(), 13u);
    EXPECT_EQ(baseMapFilterEntry(m), wmfEntry);
}

// Records of other kinds (bitmaps, background mode) are counted as skipped, not read.
TEST(WmfMap, RecordsOfOtherKindsAreCountedAsSkipped)
{
    const WmfFile file = readWmfRecords(QStringLiteral("plan.wmf"),
        WmfWriter().record(0x0102, { 1 }).record(0x0B41, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 }).polyline(Triangle).bytes());
    EXPECT_EQ(file.skipped, 2);
    ASSERT_EQ(file.records.size(), 1u);
    EXPECT_EQ(file.records[0].op, WmfOp::Polyline);
    EXPECT_EQ(file.records[0].offset, 18 + 8 + 26);
}
