#include "map/layer_file.h"
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
    const struct {
        int except;
        const char *missing;
        std::vector<int> shown;
        const char *error;
    } cases[] = {
        { 6, nullptr, { 8, 7, 4, 5, 3, 9 }, nullptr },
        // The layers after the missing one in the order stay hidden.
        { 0, "wlcont", { 8, 7, 6 }, "QEL(Layers:Redraw): 53: \n" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.except);
        TestSession t;
        drawEveryLayer(t);
        if (c.missing) {
            const QString file = t.session->model.ProjectDir + QStringLiteral("Temp/") + QLatin1String(c.missing);
            ASSERT_TRUE(QFile::remove(qel::layerFilePath(file)));
        }

        Redraw(*t.session, c.except);
        const DrawingComponent &map = drawingOf(*t.session);
        std::vector<int> shown;
        for (const Drawing *d : map.shownOverlays()) {
            shown.push_back(d->number);
            EXPECT_EQ(int(d->entities.size()), d->number);
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(map.drawing(BaseDrawing).entities.size(), 1u);
        const QStringList errors = t.frontend.boxTexts(MsgIcon::Error);
        if (c.error) {
            ASSERT_EQ(errors.size(), 1);
            EXPECT_TRUE(errors[0].startsWith(QLatin1String(c.error))) << errors[0].toStdString();
        } else {
            EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        }
    }
}
