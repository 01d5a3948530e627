#!/usr/bin/env bash
# Makes the small base-map fixtures of the map tests. Needs Debian's gdal-bin and python3 only.
# Run from anywhere; the files are written beside this script and committed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export GDAL_PAM_ENABLED=NO # no .aux.xml files beside the fixtures

# A 40 x 30 colour image: white, a red frame one pixel wide, a blue square with its top-left
# corner at pixel (10, 5) and 8 pixels a side, and a green pixel at (39, 29).
python3 - "$tmp/site.ppm" <<'PY'
import sys
w, h = 40, 30
rows = []
for y in range(h):
    row = bytearray()
    for x in range(w):
        c = (255, 255, 255)
        if x in (0, w - 1) or y in (0, h - 1):
            c = (255, 0, 0)
        if 10 <= x < 18 and 5 <= y < 13:
            c = (0, 0, 255)
        if (x, y) == (w - 1, h - 1):
            c = (0, 255, 0)
        row += bytes(c)
    rows.append(bytes(row))
with open(sys.argv[1], "wb") as f:
    f.write(b"P6\n%d %d\n255\n" % (w, h))
    f.write(b"".join(rows))
PY
gdal_translate -q -of BMP "$tmp/site.ppm" site.bmp
gdal_translate -q -of GTiff "$tmp/site.ppm" site_plain.tif
# Georeferenced: 2.5 map units per pixel, top-left corner at (1000, 5075), so the image covers
# x 1000..1100 and y 5000..5075.
gdal_translate -q -of GTiff -a_ullr 1000 5075 1100 5000 "$tmp/site.ppm" site_geo.tif
# A PNG with a world file (.pgw): the same placement as the GeoTIFF.
gdal_translate -q -of PNG "$tmp/site.ppm" site_world.png
printf '2.5\n0\n0\n-2.5\n1001.25\n5073.75\n' > site_world.pgw

# A vector site plan: a building outline, a road and a label. Extents x 12.345..812.345 and
# y 100..600, so the extents round to one decimal.
cat > "$tmp/plan.csv" <<'CSV'
WKT,name
"LINESTRING (12.345 100,812.345 100,812.345 600,12.345 600,12.345 100)",boundary
"LINESTRING (100 200,700 500)",road
"POINT (400 350)",well
CSV
rm -f site_plan.dxf site_plan.shp site_plan.shx site_plan.dbf site_plan.prj site_plan.cpg
# DXF keeps the name as the CAD layer of each entity.
ogr2ogr -q -f DXF site_plan.dxf "$tmp/plan.csv" -oo GEOM_POSSIBLE_NAMES=WKT -oo KEEP_GEOM_COLUMNS=NO \
    -sql "SELECT name AS Layer FROM plan"
ogr2ogr -q -f "ESRI Shapefile" site_plan.shp "$tmp/plan.csv" -oo GEOM_POSSIBLE_NAMES=WKT -oo KEEP_GEOM_COLUMNS=NO \
    -where "name <> 'well'" -nlt LINESTRING
# damaged.dxf is not made here: it is a plan the fuzzer damaged until GDAL's DXF reader looped
# without end (NUL bytes and a line split by a lone CR), kept as it was found. looping.dxf is
# another such find, without NUL bytes (shifted group codes), kept as found as well.
echo "fixtures written to $(pwd)"
