#!/usr/bin/env python3
"""Makes the files of the Alpha Site example: the site plan as a DXF drawing and the well and
water-level tables as csv. Standard library only; run from anywhere, the files are written
beside this script and committed.

The site: a 500 m x 400 m industrial lot north of a creek, groundwater flowing south-east
towards the creek, a former solvent store (the source) beside the main building.
"""
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))


class Dxf:
    """A small DXF writer: lines, closed polylines and text, each on a layer with a colour."""

    def __init__(self):
        self.out = []

    def _pair(self, code, value):
        self.out.append("%d\n%s\n" % (code, value))

    def line(self, layer, color, x1, y1, x2, y2):
        for code, value in ((0, "LINE"), (8, layer), (62, color), (10, x1), (20, y1), (30, 0),
                            (11, x2), (21, y2), (31, 0)):
            self._pair(code, value)

    def polyline(self, layer, color, points, closed=False):
        self._pair(0, "LWPOLYLINE")
        self._pair(8, layer)
        self._pair(62, color)
        self._pair(90, len(points))
        self._pair(70, 1 if closed else 0)
        for x, y in points:
            self._pair(10, "%.2f" % x)
            self._pair(20, "%.2f" % y)

    def text(self, layer, color, x, y, height, value):
        for code, v in ((0, "TEXT"), (8, layer), (62, color), (10, x), (20, y), (30, 0), (40, height),
                        (1, value)):
            self._pair(code, v)

    def write(self, path):
        with open(path, "w", newline="\r\n") as f:
            f.write("0\nSECTION\n2\nENTITIES\n")
            f.write("".join(self.out))
            f.write("0\nENDSEC\n0\nEOF\n")


def rectangle(x, y, w, h):
    return [(x, y), (x + w, y), (x + w, y + h), (x, y + h)]


def site_plan():
    d = Dxf()
    # The lot boundary and the fence.
    d.polyline("BOUNDARY", 8, rectangle(0, 0, 500, 400), closed=True)
    # Buildings: the main hall, the solvent store (the source), offices, a warehouse.
    d.polyline("BUILDINGS", 5, rectangle(60, 250, 140, 90), closed=True)
    d.text("LABELS", 5, 95, 292, 8, "Main hall")
    d.polyline("BUILDINGS", 1, rectangle(205, 300, 30, 25), closed=True)
    d.text("LABELS", 1, 196, 330, 6, "Former solvent store")
    d.polyline("BUILDINGS", 5, rectangle(300, 320, 80, 50), closed=True)
    d.text("LABELS", 5, 318, 342, 8, "Offices")
    d.polyline("BUILDINGS", 5, rectangle(330, 180, 110, 70), closed=True)
    d.text("LABELS", 5, 355, 212, 8, "Warehouse")
    # Roads: the access road from the west and the yard road.
    d.polyline("ROADS", 8, [(0, 215), (260, 215), (260, 400)])
    d.polyline("ROADS", 8, [(0, 200), (275, 200), (275, 400)])
    d.polyline("ROADS", 8, [(275, 160), (460, 160), (460, 400)])
    d.polyline("ROADS", 8, [(275, 145), (475, 145), (475, 400)])
    d.text("LABELS", 8, 20, 204, 7, "Mill Road")
    # The creek along the south edge, meandering, flowing east.
    creek = [(x, 40 + 14 * math.sin(x / 55.0) + 0.03 * x) for x in range(0, 501, 10)]
    d.polyline("CREEK", 4, creek)
    d.polyline("CREEK", 4, [(x, y - 6) for x, y in creek])
    d.text("LABELS", 4, 380, 20, 8, "Alder Creek")
    # Scale bar of 100 m in 25 m steps, and a north arrow.
    for i in range(5):
        d.line("SCALE", 7, 20 + 25 * i, 360, 20 + 25 * i, 366)
    d.line("SCALE", 7, 20, 360, 120, 360)
    d.text("SCALE", 7, 20, 370, 6, "0")
    d.text("SCALE", 7, 105, 370, 6, "100 m")
    d.polyline("SCALE", 7, [(470, 360), (478, 340), (470, 345), (462, 340)], closed=True)
    d.text("SCALE", 7, 466, 366, 8, "N")
    d.write(os.path.join(HERE, "site-plan.dxf"))


# Wells: identifiers, x, y. Upgradient, around the source, downgradient towards the creek.
def wells():
    rng = random.Random(20241)
    points = [
        ("MW-1", 40, 370), ("MW-2", 150, 375), ("MW-3", 240, 345), ("MW-4", 190, 280),
        ("MW-5", 250, 285), ("MW-6", 220, 240), ("MW-7", 290, 260), ("MW-8", 320, 230),
        ("MW-9", 260, 190), ("MW-10", 300, 170), ("MW-11", 350, 150), ("MW-12", 240, 130),
        ("MW-13", 330, 110), ("MW-14", 390, 120), ("MW-15", 420, 90), ("MW-16", 280, 80),
        ("MW-17", 370, 70), ("MW-18", 460, 70), ("MW-19", 120, 150), ("MW-20", 60, 90),
        ("MW-21", 180, 70), ("MW-22", 480, 200), ("MW-23", 420, 300), ("MW-24", 100, 230),
        ("MW-25", 350, 40),
    ]
    return [(name, x + rng.uniform(-2, 2), y + rng.uniform(-2, 2)) for name, x, y in points]


DATES = ["2023-03-15", "2023-06-14", "2023-09-13", "2023-12-13", "2024-03-13", "2024-06-12",
         "2024-09-11", "2024-12-11"]


def level(x, y, date_index, rng):
    # A plane falling towards the creek in the south-east, a seasonal swing, a little noise.
    season = 0.35 * math.sin(2 * math.pi * date_index / 4.0)
    return 98.0 - 0.006 * x + 0.011 * y + season + rng.uniform(-0.03, 0.03)


def tables():
    rng = random.Random(7)
    ws = wells()
    with open(os.path.join(HERE, "wells.csv"), "w", newline="\r\n") as f:
        f.write("WellID,X,Y\n")
        for name, x, y in ws:
            f.write("%s,%.2f,%.2f\n" % (name, x, y))
    missing = {("MW-7", 2), ("MW-18", 5), ("MW-25", 0)}  # dry or inaccessible on those dates
    with open(os.path.join(HERE, "levels.csv"), "w", newline="\r\n") as f:
        f.write("Date," + ",".join(name for name, _, _ in ws) + "\n")
        for i, date in enumerate(DATES):
            values = []
            for name, x, y in ws:
                values.append("-9999" if (name, i) in missing else "%.2f" % level(x, y, i, rng))
            f.write(date + "," + ",".join(values) + "\n")


if __name__ == "__main__":
    site_plan()
    tables()
