#include "gui/workbench/tool_window_layout.h"

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
