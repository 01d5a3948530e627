#!/usr/bin/env python3
"""The largest project QEL takes: 1000 wells, 60 sample dates, a 400 x 400 model grid and five
levels in each contour view. Builds it from the example in a scratch folder, runs the whole
replay in `qel --batch` (regression, plume of every date, WOLF, report, summary, map, grids for
GIS, save) and reports the run time and the peak memory of the run.

usage: bench/largest_project.py QEL_BINARY [FOLDER]
"""
import os
import random
import re
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLE = os.path.join(HERE, "..", "examples")
WELLS, DATES, NODES = 1000, 60, 400


def write_tables(folder):
    rng = random.Random(7)
    wells = [("W%04d" % i, rng.uniform(0, 500), rng.uniform(0, 500)) for i in range(WELLS)]
    with open(os.path.join(folder, "wells.csv"), "w", newline="") as f:
        f.write("WellID,X,Y\r\n")
        for name, x, y in wells:
            f.write("%s,%.2f,%.2f\r\n" % (name, x, y))
    with open(os.path.join(folder, "levels.csv"), "w", newline="") as f:
        f.write("Date," + ",".join(w[0] for w in wells) + "\r\n")
        for d in range(DATES):
            year, month = 2019 + d // 12, 1 + d % 12
            levels = [100 + 0.004 * y - 0.006 * x + 0.3 * (d % 4) + rng.gauss(0, 0.02) for _, x, y in wells]
            f.write("%04d-%02d-15," % (year, month) + ",".join("%.2f" % v for v in levels) + "\r\n")


def levels_block(prefix, bounds, colors):
    lines = []
    for (low, high), color in zip(bounds, colors):
        lines += ["%sCMin= %s " % (prefix, low), "%sCMax= %s " % (prefix, high), "%sCColor= %d " % (prefix, color)]
    return "\r\n".join(lines)


def write_project(folder):
    with open(os.path.join(EXAMPLE, "alpha-site.prj"), "rb") as f:
        text = f.read().decode("latin-1")
    edge = (NODES - 1) * 1.25
    # SameLimits copies the plot limits onto the model grid, so both end on the last node.
    for key, value in (("MapTop", 500), ("PLRight", edge), ("PLTop", edge), ("PCRight", edge), ("PCTop", edge),
                       ("PCGridSpacing", 1.25), ("PCNumX", NODES), ("PCNumY", NODES),
                       ("MDNumLevels", 5), ("WFNumLevels", 5)):
        text = re.sub(r"^%s= [^\r]*" % key, "%s= %s " % (key, value), text, flags=re.M)
    text = re.sub(r"(MDCMin= [^\r]*\r\nMDCMax= [^\r]*\r\nMDCColor= [^\r]*\r\n)+",
                  levels_block("MD", [(0, 5), (5, 10), (10, 20), (20, 40), (40, 150)], [5, 4, 3, 2, 1]) + "\r\n",
                  text)
    text = re.sub(r"(WFCMin= [^\r]*\r\nWFCMax= [^\r]*\r\nWFCColor= [^\r]*\r\n)+",
                  levels_block("WF", [(0, 1000), (1000, 10000), (10000, 100000), (100000, 1000000),
                                      (1000000, 100000000)], [5, 4, 3, 2, 1]) + "\r\n", text)
    text = re.sub(r"^(PC|MD|WF)MapIndex= [^\r]*", lambda m: "%sMapIndex= 9 " % m.group(1), text, flags=re.M)
    with open(os.path.join(folder, "largest.prj"), "wb") as f:
        f.write(text.encode("latin-1"))
    shutil.copy(os.path.join(EXAMPLE, "site-plan.dxf"), folder)


def prepare(qel, folder):
    """Writes the largest project into folder; returns the replay's command and environment."""
    os.makedirs(os.path.join(folder, "home"), exist_ok=True)
    with open(os.path.join(folder, "home", "QEL.ini"), "wb") as f:
        f.write(b"[QEL]\r\n")
    write_tables(folder)
    write_project(folder)
    env = dict(os.environ, QEL_HOME=os.path.join(folder, "home"), QT_QPA_PLATFORM="offscreen")
    out = os.path.join(folder, "out")
    os.makedirs(out, exist_ok=True)
    command = [qel, "--batch", os.path.join(folder, "largest.prj"), "--save-as", os.path.join(folder, "saved.prj"),
               "--results", os.path.join(out, "results.out"), "--summary", os.path.join(out, "summary.rtf"),
               "--map", os.path.join(out, "map.png"), "--export-gis", os.path.join(out, "gis"), "--overwrite",
               "--export-mindist", os.path.join(out, "mindist.grd"), "--export-wolf", os.path.join(out, "wolf.grd")]
    return command, env


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    qel = os.path.abspath(sys.argv[1])
    folder = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="qel-largest-")
    command, env = prepare(qel, folder)
    started = time.monotonic()
    run = subprocess.run(command, env=env, capture_output=True, text=True)
    seconds = time.monotonic() - started
    peak_mb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
    print("largest project: %d wells, %d dates, %d x %d grid, 5 levels per view" % (WELLS, DATES, NODES, NODES))
    print("qel --batch exit status %d in %.2f s, peak memory %.0f MB (aim: under 300 MB)"
          % (run.returncode, seconds, peak_mb))
    print("files in", folder)
    if run.returncode != 0:
        print(run.stderr[-3000:], file=sys.stderr)
    sys.exit(0 if run.returncode == 0 and peak_mb < 300 else 1)


if __name__ == "__main__":
    main()
