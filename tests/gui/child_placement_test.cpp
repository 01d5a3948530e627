#include "gui/workbench/child_placement.h"

#include <gtest/gtest.h>

using namespace qel::gui;

TEST(ChildPlacement, FitInsideKeepsTheWholeFrameInTheBounds)
{
    const QRect bounds(10, 20, 600, 400);
    const struct {
        const char *name;
        QRect frame, fitted;
    } cases[] = {
        { "inside stays", QRect(50, 60, 200, 100), QRect(50, 60, 200, 100) },
        { "past the right and bottom", QRect(500, 380, 200, 100), QRect(410, 320, 200, 100) },
        { "above and left", QRect(-300, -50, 200, 100), QRect(10, 20, 200, 100) },
        { "far away", QRect(90000, 90000, 200, 100), QRect(410, 320, 200, 100) },
        { "larger than the bounds: its top-left part", QRect(300, 300, 900, 700), QRect(10, 20, 600, 400) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fitInside(c.frame, bounds), c.fitted);
    }
}

TEST(ChildPlacement, DocumentsCascadeInsideTheAreaAndWrapAround)
{
    const QRect area(0, 0, 1000, 700);
    const QRect free(260, 0, 740, 500);
    const struct {
        const char *name;
        int index;
        QSize size;
        QPoint at;
        bool wrapped;
    } cases[] = {
        { "first at the free area's corner", 0, QSize(600, 400), QPoint(260, 0), false },
        { "one step down the cascade", 1, QSize(600, 400), QPoint(280, 20), false },
        { "pushed back left, still stepping down", 10, QSize(600, 400), QPoint(400, 200), false },
        { "no room either way: back to the start", 16, QSize(600, 400), QPoint(260, 0), true },
        { "too wide for the free area: moved left", 0, QSize(900, 400), QPoint(100, 0), false },
        { "as large as the area: never past it", 2, QSize(1000, 700), QPoint(0, 0), true },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CascadePlace place = cascadePlace(c.index, c.size, free, area, 20);
        EXPECT_EQ(place.topLeft, c.at);
        EXPECT_EQ(place.wrapped, c.wrapped);
        EXPECT_TRUE(area.contains(QRect(place.topLeft, c.size)));
    }
}

TEST(ChildPlacement, ADialogOpensWhereThePersonLeftIt)
{
    const QRect area(0, 0, 800, 600);
    DialogPlaces places;
    EXPECT_EQ(places.open("frmUnits", QSize(400, 200), area, area), QPoint(200, 200)) << "centred at first";
    places.closed("frmUnits", QPoint(200, 200));
    EXPECT_FALSE(places.left("frmUnits")) << "not moved: still centred, over the area as it is then";
    EXPECT_EQ(places.open("frmUnits", QSize(400, 200), QRect(0, 0, 1000, 600), area), QPoint(300, 200));

    places.closed("frmUnits", QPoint(20, 30));
    EXPECT_EQ(places.open("frmUnits", QSize(400, 200), area, area), QPoint(20, 30));
    places.closed("frmUnits", QPoint(20, 30)); // left alone this time: it stays remembered
    EXPECT_EQ(places.open("frmUnits", QSize(400, 200), area, area), QPoint(20, 30));

    places.closed("frmUnits", QPoint(5000, -400)); // dragged off the screen
    EXPECT_EQ(places.open("frmUnits", QSize(400, 200), area, area), QPoint(400, 0));
    EXPECT_EQ(places.open("frmSource", QSize(400, 200), area, area), QPoint(200, 200)) << "each dialog its own";
    places.closed("frmNeverOpened", QPoint(1, 1));
    EXPECT_FALSE(places.left("frmNeverOpened"));
}
