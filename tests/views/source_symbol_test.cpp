#include "map/layer_file.h"
#include "map/map_session.h"
#include "support/test_session.h"
#include "views/source_symbol.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

TEST(SourceSymbol, SizeFollowsTheMapAndTheSourceWidth)
{
    const struct {
        double width, height, swidth, half;
    } cases[] = {
        { 2000, 1000, 0, 12.5 },
        { 2000, 1000, 40, 20 },
        { 2000, 1000, 60, 12.5 },
        { 2000, 1000, 10, 12.5 },
        { 1000, 2000, 12.5, 6.25 },
    };
    for (const auto &c : cases) {
        ProjectModel m;
        m.MapRight = c.width, m.MapTop = c.height, m.Swidth = c.swidth;
        EXPECT_DOUBLE_EQ(sourceSymbolHalfSize(m), c.half) << c.width << " " << c.swidth;
    }
}

TEST(SourceSymbol, ACrossInACircleInTheSourceLayerFile)
{
    TestSession t;
    ProjectModel &m = t.session->model;
    m.ProjectDir = t.home() + QStringLiteral("site/");
    QDir().mkpath(m.ProjectDir);
    m.MapRight = 2000, m.MapTop = 1000, m.Xsource = 300, m.Ysource = 400;
    MapSource(*t.session);
    ASSERT_TRUE(m.SLmapped) << t.session->ErrorText.toStdString();
    const Drawing d = readLayerFile(m.ProjectDir + QStringLiteral("Temp/source.geojson"));
    ASSERT_EQ(d.entities.size(), 3u);
    EXPECT_EQ(d.entities[0].points.front(), QPointF(300, 387.5));
    EXPECT_EQ(d.entities[1].points.back(), QPointF(312.5, 400));
    EXPECT_EQ(d.entities[2].kind, EntityKind::Circle);
    EXPECT_EQ(d.entities[2].radius, 12.5);
    EXPECT_EQ(t.session->layers.node(LayerKey::Source).state, CheckState::All);
    EXPECT_TRUE(drawingOf(*t.session).isShown(SourceDrawing)) << "the map shows it after the redraw";
}
