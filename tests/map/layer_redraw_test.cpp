#include "map/map_session.h"
#include "support/test_session.h"
#include "views/layer_redraw.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// Every layer of the tree drawn into its file under the project's Temp folder, drawing n with
// n lines so that a loaded drawing tells which file it came from, and ticked; a line on the base
// drawing, which a redraw keeps.
void drawEveryLayer(TestSession &t)
{
    Session &s = *t.session;
    QDir().mkpath(t.makeProjectFolder() + QStringLiteral("Temp"));
    DrawingComponent &map = drawingOf(s);
    map.AddLine(QString(), 0, 0, 1, 1);
    for (const LayerNode &node : s.layers.nodes()) {
        map.SelectDrawing(node.drawing);
        map.NewDrawingFile(layerFilePath(s, node.drawing), 24);
        map.SetUpdate(0);
        for (int i = 0; i < node.drawing; ++i)
            map.AddLine(QString(), i, 0, i, 1);
        map.SelectDrawing(BaseDrawing);
        map.SetUpdate(1);
        s.layers.tick(node.key);
    }
}

} // namespace

TEST(Redraw, LoadsTheTickedLayersFromTheirFilesAndStopsAtAMissingOne)
{
    TestSession t;
    t.frontend.expectErrors = true;
    drawEveryLayer(t);
    const DrawingComponent &map = drawingOf(*t.session);
    // The drawings shown after a redraw, each of which must have come from its own file.
    const auto redraw = [&](int except) {
        Redraw(*t.session, except);
        std::vector<int> shown;
        for (const Drawing *d : map.shownOverlays()) {
            shown.push_back(d->number);
            EXPECT_EQ(int(d->entities.size()), d->number);
        }
        EXPECT_EQ(map.drawing(BaseDrawing).entities.size(), 1u);
        return shown;
    };
    EXPECT_EQ(redraw(6), (std::vector<int> { 8, 7, 11, 12, 10, 4, 5, 3, 9 }));
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error).isEmpty());

    // The layers after the missing one in the order stay hidden.
    ASSERT_TRUE(QFile::remove(t.session->model.ProjectDir + QStringLiteral("Temp/wlcont.geojson")));
    EXPECT_EQ(redraw(0), (std::vector<int> { 8, 7, 6, 11, 12, 10 }));
    const QStringList errors = t.frontend.boxTexts(MsgIcon::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("QEL(Layers:Redraw): 53: \n"))) << errors[0].toStdString();
}
