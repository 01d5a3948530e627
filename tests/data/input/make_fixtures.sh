#!/usr/bin/env bash
# Regenerates the table fixtures from one set of wells and water levels, in every format the
# table reader knows. The generated files are committed; the tests never run this script.
# Needs python3 with python3-openpyxl and python3-xlwt (make_biff.py needs neither), and ogr2ogr (gdal-bin).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

/usr/bin/python3 - <<'PY'
import csv, datetime, math, struct
import openpyxl, xlwt

# The one source of truth. None is an empty cell; well 101..103 have numeric names, so the
# water-level sheet has numeric header cells. "n/a" turns the x column into a mixed column.
WELL_HEADER = ["id", "x", "y"]
WELLS = [
    [101, 512034.25, 4201876.5],
    [102, 512190.1, 4201790.75],
    [103, "n/a", 4201655.0],
    ["MW-4", 511987.3, 4201702.125],
]
LEVEL_HEADER = ["date", 101, 102, 103, "MW-4"]
LEVELS = [
    [datetime.date(2019, 3, 15), 101.25, 100.9, 99.8, 100.1],
    [datetime.date(2019, 6, 17), 101.0, None, 99.55, -9999],
    [datetime.date(2019, 9, 16), 100.75, 100.5, 99.3, 99.95],
]
SHEETS = [("Wells", WELL_HEADER, WELLS), ("Levels", LEVEL_HEADER, LEVELS)]

def text(v):
    if v is None:
        return ""
    if isinstance(v, datetime.date):
        return v.isoformat()
    return repr(v) if isinstance(v, float) else str(v)

# csv by hand: dates in ISO form, empty cells empty.
for name, header, rows in SHEETS:
    with open(name.lower() + ".csv", "w", newline="") as f:
        w = csv.writer(f, lineterminator="\r\n")
        for row in [header] + rows:
            w.writerow([text(v) for v in row])

# xlsx: date cells with a date format, numeric header cells as numbers.
book = openpyxl.Workbook()
book.remove(book.active)
for name, header, rows in SHEETS:
    sheet = book.create_sheet(name)
    for r, row in enumerate([header] + rows, start=1):
        for c, v in enumerate(row, start=1):
            if v is not None:
                cell = sheet.cell(row=r, column=c, value=v)
                if isinstance(v, datetime.date):
                    cell.number_format = "yyyy-mm-dd"
book.save("sites.xlsx")

# xls (Excel 97/2000/2002 workbook).
book = xlwt.Workbook()
date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
for name, header, rows in SHEETS:
    sheet = book.add_sheet(name)
    for r, row in enumerate([header] + rows):
        for c, v in enumerate(row):
            if isinstance(v, datetime.date):
                sheet.write(r, c, v, date_style)
            elif v is not None:
                sheet.write(r, c, v)
book.save("sites.xls")

# Lotus WK3 and WK4 (make_lotus.py writes them record by record): one sheet per table, every
# number a floating one, dates as Lotus serial day numbers. make_lotus.py itself writes the
# shapes.wk* files of every cell kind and Lotus generation.
import sys
sys.path.insert(0, ".")
import make_lotus
def lotus_cell(v):
    if isinstance(v, datetime.date):
        v = (v - datetime.date(1899, 12, 30)).days
    return float(v) if isinstance(v, (int, float)) else v
lotus_sheets = [[[lotus_cell(v) for v in row] for row in [header] + rows] for _, header, rows in SHEETS]
make_lotus.write("sites.wk3", make_lotus.wk3(0x1000, lotus_sheets))
make_lotus.write("sites.wk4", make_lotus.wk3(0x1002, lotus_sheets))

# Malformed inputs that need a binary writer.
book = openpyxl.Workbook()
book.active.title = "Empty"
book.create_sheet("HeaderOnly").append(["id", "x", "y"])
# A two-row header as people lay them out: "Coordinates" merged over the x and y columns.
merged = book.create_sheet("MergedHeader")
merged.append(["Well", "Coordinates", None])
merged.append(["ID", "X", "Y"])
merged.append(["MW-1", 512034.25, 4201876.5])
merged.merge_cells("B1:C1")
book.save("malformed.xlsx")

# Excel 5 and Excel 4.0 files, written record by record (make_biff.py): an Excel 5 workbook of
# both sheets, Excel 4.0 worksheets of one table each, and an Excel 4.0 bound workbook, which the
# xls reader cannot read.
import make_biff
make_biff.write("sites5.xls", make_biff.compound_file("Book", make_biff.biff5_book(SHEETS)))
make_biff.write("wells4.xls", make_biff.biff4_worksheet([WELL_HEADER] + WELLS))
make_biff.write("levels4.xls", make_biff.biff4_worksheet([LEVEL_HEADER] + LEVELS))
make_biff.write("workbook4.xls", make_biff.biff4_workbook([WELL_HEADER] + WELLS))

# Wells whose names were saved in Latin-1 (Windows-1252), as older spreadsheet programs save
# csv: two of them differ only by their accents, two only by letter case.
with open("wells-latin1.csv", "wb") as f:
    f.write("id,x,y\r\nPuits-\u00e9,1,2\r\nPuits-\u00e8,3,4\r\nBrunnen-\u00c4,5,6\r\nbrunnen-\u00e4,7,8\r\n".encode("cp1252"))

# Two dBASE levels tables with cells GDAL passes on as written, though they hold no day and no
# level: a date of month 13, and levels that overflow or are no number (ogr2ogr refuses to write
# them, so the files are written byte by byte).
def dbase_levels(path, records):
    fields = [(b"DATE", b"D", 8, 0), (b"MW1", b"N", 10, 2)]
    header = struct.pack("<BBBBIHH20x", 3, 123, 1, 1, len(records), 32 + 32 * len(fields) + 1, 19)
    for name, kind, length, decimals in fields:
        header += struct.pack("<11sc4xBB14x", name, kind, length, decimals)
    with open(path, "wb") as f:
        f.write(header + b"\r" + b"".join(b" " + date + level.rjust(10) for date, level in records) + b"\x1a")

dbase_levels("levels-bad-date.dbf", [(b"20230315", b"101.50"), (b"20231345", b"100.00")])
dbase_levels("levels-inf.dbf", [(b"20230315", b"1e999"), (b"20230415", b"nan")])
PY
/usr/bin/python3 make_lotus.py

# ods and dbf through GDAL, from the csv files (dates and numbers typed by the csv reader).
rm -f sites.ods wells.dbf levels.dbf
ogr2ogr -f ODS sites.ods wells.csv -nln Wells -oo HEADERS=YES -oo AUTODETECT_TYPE=YES -oo EMPTY_STRING_AS_NULL=YES
ogr2ogr -update -f ODS sites.ods levels.csv -nln Levels -oo HEADERS=YES -oo AUTODETECT_TYPE=YES -oo EMPTY_STRING_AS_NULL=YES
ogr2ogr -f "ESRI Shapefile" wells.dbf wells.csv -oo HEADERS=YES -oo AUTODETECT_TYPE=YES -oo EMPTY_STRING_AS_NULL=YES
ogr2ogr -f "ESRI Shapefile" levels.dbf levels.csv -oo HEADERS=YES -oo AUTODETECT_TYPE=YES -oo EMPTY_STRING_AS_NULL=YES
