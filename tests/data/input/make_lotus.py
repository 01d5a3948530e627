"""Lotus 1-2-3 files written record by record, as no writer exists here: WK1 (Release 2, one
sheet) and WK3 / WK4 (Releases 3 and 4, several sheets). Run by make_fixtures.sh, which also
writes sites.wk3 and sites.wk4 with it; needs only the standard library.

A cell is None (empty), str (a label), int (an integer cell), float (a number) or a Formula
(the cached value a formula cell carries, with its code)."""
import math, struct
from collections import namedtuple

Formula = namedtuple("Formula", "value wk1_code wk3_code")

def record(op, data):
    return struct.pack("<HH", op, len(data)) + data

def extended(x):
    """The 80-bit extended float of WK3/WK4 numbers."""
    if x == 0:
        return bytes(10)
    m, e = math.frexp(abs(x))
    return struct.pack("<QH", int(m * (1 << 64)), (0x8000 if x < 0 else 0) | (e - 1 + 16383))

def label(v):
    """A label keeps its alignment prefix (' left, " right, ^ centre); plain text is left-aligned."""
    return (v if v[:1] in ("'", '"', "^") else "'" + v).encode("cp1252") + b"\0"

def sum_of(a, b):
    """The formula a+b of two constants, as both generations code it, with its value."""
    wk1 = b"\x00" + struct.pack("<d", a) + b"\x00" + struct.pack("<d", b) + b"\x09\x03"
    wk3 = b"\x00" + extended(a) + b"\x00" + extended(b) + b"\x09\x03"
    return Formula(a + b, wk1, wk3)

def wk1(rows):
    """BOF (Release 2), the used range, one record per cell, EOF."""
    out = record(0x00, struct.pack("<H", 0x0406))
    out += record(0x06, struct.pack("<HHHH", 0, 0, max(map(len, rows)) - 1, len(rows) - 1))
    for r, row in enumerate(rows):
        for c, v in enumerate(row):
            where = struct.pack("<BHH", 0xFF, c, r)
            if v is None:
                continue
            if isinstance(v, str):
                out += record(0x0F, where + label(v))
            elif isinstance(v, Formula):
                out += record(0x10, where + struct.pack("<dH", v.value, len(v.wk1_code)) + v.wk1_code)
            elif isinstance(v, int):
                out += record(0x0D, where + struct.pack("<h", v))
            else:
                out += record(0x0E, where + struct.pack("<d", v))
    return out + record(0x01, b"")

def wk3(version, sheets):
    """BOF (0x1000 for WK3, 0x1002 for WK4) with the last row, sheet and column, the cells of
    every sheet, EOF. Integers go as small numbers (the value shifted left by one)."""
    last_row = max(len(rows) for rows in sheets) - 1
    last_col = max(len(row) for rows in sheets for row in rows) - 1
    out = record(0x00, struct.pack("<HHHBBHBB", version, 0x0404, 0, 0, 0, last_row, len(sheets) - 1, last_col)
                 + bytes(14))
    for s, rows in enumerate(sheets):
        for r, row in enumerate(rows):
            for c, v in enumerate(row):
                where = struct.pack("<HBB", r, s, c)
                if v is None:
                    continue
                if isinstance(v, str):
                    out += record(0x16, where + label(v))
                elif isinstance(v, Formula):
                    out += record(0x19, where + extended(v.value) + v.wk3_code)
                elif isinstance(v, int):
                    out += record(0x18, where + struct.pack("<h", v << 1))
                else:
                    out += record(0x17, where + extended(v))
    return out + record(0x01, b"")

def write(path, data):
    with open(path, "wb") as f:
        f.write(data)

# Every kind of cell in every generation: tests/input/lotus_sheets_test.cpp expects these values.
WELLS = [
    ["id", '"x', "^y"],
    ["MW-1", 512034.25, 4201876.5],
    [102, sum_of(512190.0, 0.125), 4201790.75],
    ["MW 3", -0.5, None],
    [None, 0.0, 7],
]
LEVELS = [["date", "MW-1"], [43539.0, sum_of(101.0, 0.25)], [43633.0, 100.5]]

if __name__ == "__main__":
    write("shapes.wk1", wk1(WELLS))
    write("shapes.wk3", wk3(0x1000, [WELLS, LEVELS]))
    write("shapes.wk4", wk3(0x1002, [WELLS, LEVELS]))
