#!/usr/bin/env python3
"""The largest project's tables in every format the reading benchmark reads: wells.csv and
levels.csv as the largest project has them, tables.xlsx with the sheets "Wells" and "Levels"
(openpyxl), and tables.xls (xlwt) with "Wells" and the levels with one row per well
("LevelsByWell"), since an Excel 97-2003 sheet ends at column 256: the same 60000 level cells.

usage: bench/reading_inputs.py FOLDER
"""
import datetime
import os
import sys

import openpyxl
import xlwt

import largest_project


def read_csv(path):
    with open(path, newline="") as f:
        return [line.rstrip("\r\n").split(",") for line in f]


def typed(rows):
    """Numbers as numbers and ISO dates as dates, as a spreadsheet holds them."""
    out = [rows[0]]
    for row in rows[1:]:
        cells = []
        for cell in row:
            try:
                cells.append(datetime.date.fromisoformat(cell))
            except ValueError:
                try:
                    cells.append(float(cell))
                except ValueError:
                    cells.append(cell)
        out.append(cells)
    return out


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = os.path.abspath(sys.argv[1])
    os.makedirs(folder, exist_ok=True)
    largest_project.write_tables(folder)
    wells = typed(read_csv(os.path.join(folder, "wells.csv")))
    levels = typed(read_csv(os.path.join(folder, "levels.csv")))

    book = openpyxl.Workbook()
    book.remove(book.active)
    for name, rows in (("Wells", wells), ("Levels", levels)):
        sheet = book.create_sheet(name)
        for row in rows:
            sheet.append(row)
    book.save(os.path.join(folder, "tables.xlsx"))

    by_well = [list(column) for column in zip(*levels)]
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    book = xlwt.Workbook()
    for name, rows in (("Wells", wells), ("LevelsByWell", by_well)):
        sheet = book.add_sheet(name)
        for r, row in enumerate(rows):
            for c, cell in enumerate(row):
                if isinstance(cell, datetime.date):
                    sheet.write(r, c, cell, date_style)
                else:
                    sheet.write(r, c, cell)
    book.save(os.path.join(folder, "tables.xls"))


if __name__ == "__main__":
    main()
