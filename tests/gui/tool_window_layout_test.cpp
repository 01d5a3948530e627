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
        { "roomy area", { QRect(0, 0, 1200, 800), 300 }, QRect(0, 0, 300, 496), QRect(0, 496, 300, 304),
            QRect(680, 600, 520, 200) },
        { "a long caption takes at most 45 %", { QRect(0, 0, 600, 500), 900 }, QRect(0, 0, 270, 310),
            QRect(0, 310, 270, 190), QRect(320, 350, 280, 150) },
        { "a short area keeps both tree windows usable", { QRect(0, 0, 800, 300), 100 }, QRect(0, 0, 200, 200),
            QRect(0, 200, 200, 120), QRect(440, 180, 360, 120) },
        { "the layers follow where the outline was left", { QRect(0, 0, 1200, 800), 300, true, 250 },
            QRect(0, 0, 300, 496), QRect(0, 250, 300, 550), QRect(680, 600, 520, 200) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ToolWindowGeometry g = toolWindowLayout(c.input);
        EXPECT_EQ(g.outline, c.outline);
        EXPECT_EQ(g.layers, c.layers);
        EXPECT_EQ(g.message, c.message);
    }
    EXPECT_TRUE(toolWindowLayout({ QRect(0, 0, 40, 600) }).outline.isEmpty()) << "an area being created";
}

TEST(PlacementStore, KeepsThePlacementUnderTheApplicationFolder)
{
    QTemporaryDir home;
    qputenv("QEL_HOME", home.path().toUtf8());
    {
        PlacementStore store;
        EXPECT_FALSE(store.load()) << "nothing before the first session ends";
        store.save({ 2000, 1500, 12000, 9000 });
    }
    qunsetenv("QEL_HOME");
    ASSERT_TRUE(QFile::exists(home.filePath("QEL-window.ini")));
    QSettings file(home.filePath("QEL-window.ini"), QSettings::IniFormat);
    const std::optional<WindowPlacement> p = PlacementStore(&file).load();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->left, 2000);
    EXPECT_EQ(p->height, 9000);
}
