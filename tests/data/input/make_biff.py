"""Excel files that no writer here makes, from the records up: Excel 4.0 worksheets (bare BIFF4
streams) and an Excel 5 workbook (a BIFF5 "Book" stream in an OLE compound file).
Run by make_fixtures.sh; needs only the standard library."""
import datetime, struct

def record(op, data):
    return struct.pack("<HH", op, len(data)) + data

# The xls reader reads no text cell of a file without its code page.
CODEPAGE = record(0x0042, struct.pack("<H", 1252))
EOF_RECORD = record(0x000A, b"")
DATE_XF = 16  # the cell format below that shows a serial number as a date
EPOCH = datetime.date(1899, 12, 30)

def cells(rows):
    """LABEL and NUMBER records (the same in BIFF4 and BIFF5); dates as serial days."""
    out = b""
    for r, row in enumerate(rows):
        for c, v in enumerate(row):
            if v is None:
                continue
            if isinstance(v, str):
                text = v.encode("cp1252")
                out += record(0x0204, struct.pack("<HHHH", r, c, 15, len(text)) + text)
            else:
                xf = 15
                if isinstance(v, datetime.date):
                    v, xf = (v - EPOCH).days, DATE_XF
                out += record(0x0203, struct.pack("<HHH", r, c, xf) + struct.pack("<d", float(v)))
    return out

def biff4_worksheet(rows):
    return record(0x0409, struct.pack("<HHH", 0, 0x0010, 0)) + CODEPAGE + cells(rows) + EOF_RECORD

def biff4_workbook(rows):
    """Excel 4.0's bound workbook: sheets behind a globals part (not readable by the xls reader)."""
    sheet = biff4_worksheet(rows)
    globals_ = lambda offset: (record(0x0409, struct.pack("<HHH", 0, 0x0100, 0)) + CODEPAGE
                               + record(0x008F, struct.pack("<IHB", offset, 0, 6) + b"Sheet1") + EOF_RECORD)
    return globals_(len(globals_(0))) + sheet

def biff5_book(sheets):
    """Workbook globals (code page, a font, the 16 standard cell formats plus a date one, one
    BOUNDSHEET per sheet), then each sheet's cells."""
    bof = lambda kind: record(0x0809, struct.pack("<HHHH", 0x0500, kind, 0x0DBB, 0x07CC))
    font = record(0x0031, struct.pack("<HHHHHBBBB", 200, 0, 0x7FFF, 400, 0, 0, 0, 0, 0) + b"\x05Arial")
    xf = lambda fmt, style: record(0x00E0, struct.pack("<HHHHHHHH", 0, fmt, 0xFFF5 if style else 0x0001, 0x20C0, 0, 0, 0, 0))
    xfs = b"".join(xf(0, i < 15) for i in range(16)) + xf(14, False)  # 14: the built-in m/d/yy
    # DIMENSIONS: the used rows and columns; the reader needs it in a workbook of several sheets.
    dimensions = lambda rows: record(0x0200, struct.pack("<HHHHH", 0, len(rows), 0, max(map(len, rows)), 0))
    bodies = [bof(0x0010) + dimensions([header] + rows) + cells([header] + rows) + EOF_RECORD
              for _, header, rows in sheets]
    def globals_(offsets):
        out = bof(0x0005) + CODEPAGE + font * 5 + xfs
        for (name, _, _), offset in zip(sheets, offsets):
            out += record(0x0085, struct.pack("<IBBB", offset, 0, 0, len(name)) + name.encode("cp1252"))
        return out + EOF_RECORD
    size = len(globals_([0] * len(sheets)))
    offsets = []
    for body in bodies:
        offsets.append(size)
        size += len(body)
    return globals_(offsets) + b"".join(bodies)

def compound_file(stream_name, data):
    """An OLE compound file (version 3, 512-byte sectors) holding one stream, padded to 4096
    bytes as Excel pads its workbook streams so that they never go to the mini stream (which
    the xls reader does not read). Sector 0 holds the FAT, 1 the directory, 2.. the stream."""
    END, FREE, FATSECT, NOSTREAM = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD, 0xFFFFFFFF
    data = data.ljust(4096, b"\0")
    sectors = (len(data) + 511) // 512
    assert sectors <= 126
    fat = [FATSECT, END] + [2 + i + 1 for i in range(sectors - 1)] + [END]
    fat = struct.pack("<128I", *(fat + [FREE] * (128 - len(fat))))
    def entry(name, kind, child, start, size):
        raw = name.encode("utf-16-le") + b"\0\0" if name else b""
        return (raw.ljust(64, b"\0") + struct.pack("<HBBIII", len(raw), kind, 1 if kind else 0, NOSTREAM, NOSTREAM,
                child) + bytes(36) + struct.pack("<III", start, size, 0))
    directory = (entry("Root Entry", 5, 1, END, 0) + entry(stream_name, 2, NOSTREAM, 2, len(data))
                 + entry("", 0, NOSTREAM, 0, 0) * 2)
    header = (bytes.fromhex("D0CF11E0A1B11AE1") + bytes(16) + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6)
              + bytes(6) + struct.pack("<9I", 0, 1, 1, 0, 4096, END, 0, END, 0)
              + struct.pack("<109I", 0, *([FREE] * 108)))
    return header + fat + directory + data.ljust(sectors * 512, b"\0")

def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
