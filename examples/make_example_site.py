#!/usr/bin/env python3
"""Makes the files of the Alpha Site example: the site plan as a DXF drawing and as a PNG image
(2 pixels per metre, 20 pixels of margin), and the well and water-level tables as csv and as one
xlsx workbook with the sheets "Wells" and "Levels". Standard library only, except that the
workbook is converted from the csv files by GDAL's ogr2ogr (gdal-bin); run from anywhere, the
files are written beside this script and committed.

The site: a 500 m x 400 m industrial lot north of a creek, groundwater flowing south-east
towards the creek, a former solvent store (the source) beside the main building.
"""
import math
import os
import random
import shutil
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


class Dxf:
    """A small DXF writer: lines, closed polylines and text, each on a layer with a colour."""

    def __init__(self):
        self.out = []
        self.shapes = []  # the same entities for the raster plan


    def _pair(self, code, value):
        self.out.append("%d\n%s\n" % (code, value))

    def line(self, layer, color, x1, y1, x2, y2):
        self.shapes.append(("line", color, [(x1, y1), (x2, y2)]))
        for code, value in ((0, "LINE"), (8, layer), (62, color), (10, x1), (20, y1), (30, 0),
                            (11, x2), (21, y2), (31, 0)):
            self._pair(code, value)

    def polyline(self, layer, color, points, closed=False):
        self.shapes.append(("line", color, list(points) + ([points[0]] if closed else [])))
        self._pair(0, "LWPOLYLINE")
        self._pair(8, layer)
        self._pair(62, color)
        self._pair(90, len(points))
        self._pair(70, 1 if closed else 0)
        for x, y in points:
            self._pair(10, "%.2f" % x)
            self._pair(20, "%.2f" % y)

    def text(self, layer, color, x, y, height, value):
        self.shapes.append(("text", color, [(x, y)], height, value))
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
    Raster(d.shapes).write(os.path.join(HERE, "site-plan.png"))


# The raster plan: 2 pixels per metre with a margin of 20 pixels, rows counting downwards, so
# pixel (20, 20) is the lot's north-west corner (0, 400) and pixel (1020, 820) its south-east
# corner (500, 0): the two calibration points of alpha-site-raster.prj.
PIXELS_PER_METRE = 2
MARGIN = 20
COLORS = {1: (200, 30, 30), 4: (40, 150, 220), 5: (30, 60, 190), 7: (0, 0, 0), 8: (120, 120, 120)}

# Capitals and digits of a 5 x 7 plotter font, enough for the plan's labels.
FONT = {
    "A": "01110100011000111111100011000110001", "C": "01110100011000010000100001000101110",
    "D": "11110100011000110001100011000111110", "E": "11111100001000011110100001000011111",
    "F": "11111100001000011110100001000010000", "H": "10001100011000111111100011000110001",
    "I": "01110001000010000100001000010001110", "K": "10001100101010011000101001001010001",
    "L": "10000100001000010000100001000011111", "M": "10001110111010110101100011000110001",
    "N": "10001110011010110011100011000110001", "O": "01110100011000110001100011000101110",
    "R": "11110100011000111110101001001010001", "S": "01111100001000001110000010000111110",
    "T": "11111001000010000100001000010000100", "U": "10001100011000110001100011000101110",
    "V": "10001100011000110001100010101000100", "W": "10001100011000110101101011010101010",
    "0": "01110100011001110101110011000101110", "1": "00100011000010000100001000010001110",
    " ": "0" * 35,
}


class Raster:
    def __init__(self, shapes):
        self.width = 500 * PIXELS_PER_METRE + 2 * MARGIN
        self.height = 400 * PIXELS_PER_METRE + 2 * MARGIN
        self.pixels = bytearray(b"\xff" * (self.width * self.height * 3))
        for shape in shapes:
            color = COLORS.get(shape[1], (0, 0, 0))
            if shape[0] == "line":
                points = [self.pixel(x, y) for x, y in shape[2]]
                for a, b in zip(points, points[1:]):
                    self.segment(a, b, color)
            else:
                self.label(shape[2][0], shape[3], shape[4], color)

    def pixel(self, x, y):
        return (MARGIN + x * PIXELS_PER_METRE, MARGIN + (400 - y) * PIXELS_PER_METRE)

    def dot(self, px, py, color, size=2):
        for dy in range(size):
            for dx in range(size):
                x, y = int(px) + dx, int(py) + dy
                if 0 <= x < self.width and 0 <= y < self.height:
                    i = (y * self.width + x) * 3
                    self.pixels[i:i + 3] = bytes(color)

    def segment(self, a, b, color):
        steps = int(max(abs(b[0] - a[0]), abs(b[1] - a[1]))) + 1
        for k in range(steps + 1):
            t = k / steps
            self.dot(a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), color)

    def label(self, at, height, text, color):
        # The text's baseline starts at the insertion point, as in the drawing.
        cell = max(1, round(height * PIXELS_PER_METRE / 7))
        px, py = self.pixel(*at)
        top = py - 7 * cell
        for n, char in enumerate(text.upper()):
            glyph = FONT.get(char, FONT[" "])
            for bit, on in enumerate(glyph):
                if on == "1":
                    self.dot(px + (n * 6 + bit % 5) * cell, top + (bit // 5) * cell, color, cell)

    def write(self, path):
        rows = b"".join(b"\x00" + bytes(self.pixels[y * self.width * 3:(y + 1) * self.width * 3])
                        for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            f.write(chunk(b"IDAT", zlib.compress(rows, 9)))
            f.write(chunk(b"IEND", b""))


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
    # A plane falling towards the creek in the south-east, a little noise, and the seasons: the
    # water table rises in spring, and the creek's stage turns and steepens the slope with it.
    phase = 2 * math.pi * date_index / 4.0
    season = 0.35 * math.sin(phase)
    gx = -0.006 * (1 + 0.25 * math.cos(phase))
    gy = 0.011 * (1 - 0.12 * math.sin(phase))
    return 98.0 + gx * x + gy * y + season + rng.uniform(-0.03, 0.03)


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


def workbook():
    """The two tables as sheets of one workbook, typed: numbers as numbers, dates as dates."""
    path = os.path.join(HERE, "site-data.xlsx")
    with tempfile.TemporaryDirectory() as scratch:
        target = os.path.join(scratch, "site-data.xlsx")
        for sheet, table, update in (("Wells", "wells.csv", []), ("Levels", "levels.csv", ["-update"])):
            subprocess.run(["ogr2ogr", "-f", "XLSX"] + update + [target, os.path.join(HERE, table), "-nln", sheet,
                            "-oo", "AUTODETECT_TYPE=YES"], check=True)
        shutil.copyfile(target, path)


if __name__ == "__main__":
    site_plan()
    tables()
    workbook()
