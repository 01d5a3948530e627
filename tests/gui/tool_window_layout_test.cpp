#include "gui/workbench/placement_store.h"
#include "gui/workbench/tool_window_layout.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qel::gui;

TEST(ToolWindowLayout, FollowsTheAreaAndKeepsEveryWindowUsable)
{
    const struct {
        const char *name;
        ToolWindowInput input;
        QRect outline, layers, message;
    } cases[] = {
        { "roomy area", { QRect(0, 0, 1200, 800), 300, {} }, QRect(0, 0, 300, 496), QRect(0, 496, 300, 304),
            QRect(680, 600, 520, 200) },
        { "a long caption takes at most 45 %", { QRect(0, 0, 600, 500), 900, {} }, QRect(0, 0, 270, 310),
            QRect(0, 310, 270, 190), QRect(320, 350, 280, 150) },
        { "a short area leaves the layer window its height", { QRect(0, 0, 800, 300), 100, {} }, QRect(0, 0, 200, 180),
            QRect(0, 180, 200, 120), QRect(440, 180, 360, 120) },
        { "a narrow area gives each side half", { QRect(0, 0, 360, 400), 260, {} }, QRect(0, 0, 180, 248),
            QRect(0, 248, 180, 152), QRect(180, 280, 180, 120) },
        { "the layers follow where the outline was left", { QRect(0, 0, 1200, 800), 300, QRect(0, 0, 300, 250) },
            QRect(0, 0, 300, 250), QRect(0, 250, 300, 550), QRect(680, 600, 520, 200) },
        { "an outline left taller than the area shrinks", { QRect(0, 0, 1200, 400), 300, QRect(0, 0, 300, 700) },
            QRect(0, 0, 300, 280), QRect(0, 280, 300, 120), QRect(680, 280, 520, 120) },
        { "an outline left past the edges comes back", { QRect(0, 0, 700, 500), 300, QRect(900, 450, 280, 200) },
            QRect(420, 180, 280, 200), QRect(0, 380, 300, 120), QRect(385, 350, 315, 150) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ToolWindowGeometry g = toolWindowLayout(c.input);
        EXPECT_EQ(g.outline, c.outline);
        EXPECT_EQ(g.layers, c.layers);
        EXPECT_EQ(g.message, c.message);
    }
    EXPECT_TRUE(toolWindowLayout({ QRect(0, 0, 40, 600), 260, {} }).outline.isEmpty()) << "an area being created";
}

// Every window inside the area, none empty, and the message window clear of the left column,
// from the smallest area laid out to a large screen, with the outline left anywhere.
TEST(ToolWindowLayout, NoWindowLeavesTheAreaAtAnySize)
{
    const std::optional<QRect> outlines[]
        = { std::nullopt, QRect(0, 0, 300, 1400), QRect(50, 900, 250, 400), QRect(-30, -30, 2000, 120) };
    for (int width = 50; width <= 2000; width += 37) {
        for (int height = 50; height <= 1400; height += 29) {
            for (const std::optional<QRect> &outline : outlines) {
                const QRect area(0, 0, width, height);
                const ToolWindowGeometry g = toolWindowLayout({ area, 320, outline });
                SCOPED_TRACE(testing::Message() << width << " x " << height << (outline ? " placed" : ""));
                for (const QRect &r : { g.outline, g.layers, g.message }) {
                    ASSERT_FALSE(r.isEmpty());
                    ASSERT_TRUE(area.contains(r)) << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
                }
                ASSERT_FALSE(g.outline.intersects(g.layers));
                ASSERT_FALSE(g.layers.intersects(g.message));
                ASSERT_GE(g.layers.height(), std::min(120, height * 2 / 5));
            }
        }
    }
}

TEST(PlacementStore, KeepsThePlacementUnderTheApplicationFolder)
{
    QTemporaryDir home;
    qputenv("QEL_HOME", home.path().toUtf8());
    {
        PlacementStore store;
        EXPECT_FALSE(store.load()) << "nothing before the first session ends";
        store.save({ 2000, 1500, 12000, 9000, true });
    }
    qunsetenv("QEL_HOME");
    ASSERT_TRUE(QFile::exists(home.filePath("QEL-window.ini")));
    QSettings file(home.filePath("QEL-window.ini"), QSettings::IniFormat);
    const std::optional<WindowPlacement> p = PlacementStore(&file).load();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->left, 2000);
    EXPECT_EQ(p->height, 9000);
    EXPECT_TRUE(p->maximised);
    EXPECT_EQ(file.value("Settings/MainState").toInt(), 2);
    file.setValue("Settings/MainState", 0);
    EXPECT_FALSE(PlacementStore(&file).load()->maximised);
}
