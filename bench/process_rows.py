#!/usr/bin/env python3
"""The rows of the table of targets that are whole processes, each "measured (target)", medians
of RUNS runs (the peak memory the largest of them):

- the plain replay of the largest project, `qel --batch largest.prj` (its own steps: regression,
  plume of every date, WOLF, the contour views and the results report the project exported; no
  save, summary, map, grid or GIS output), beside the numpy/scipy script of its kernels, run in
  turn A B A B ...;
- batch start-up: `qel --batch` of a project with no step done, process start to exit;
- the `regress` program on the largest project's 60 dates;
- the peak memory of the fuller run (every output option: save, results, summary, map, grids, GIS).

usage: bench/process_rows.py QEL_BINARY [RUNS]
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

import largest_project

HERE = os.path.dirname(os.path.abspath(__file__))


def run(command, env, cwd=None):
    """Wall seconds and peak resident MB of one run; fails the script when the command fails."""
    started = time.monotonic()
    process = subprocess.Popen(command, env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.monotonic() - started
    error = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit("%s failed (status %d):\n%s" % (" ".join(command), process.returncode, error[-3000:]))
    return seconds, usage.ru_maxrss / 1024


def row(name, measured, target):
    print("%-62s %s (target %s)" % (name, measured, target))


def empty_project(folder):
    """The example with no step done: opening it is the start-up and little else."""
    with open(os.path.join(largest_project.EXAMPLE, "alpha-site.prj"), "rb") as f:
        text = f.read().decode("latin-1")
    text = re.sub(r"^([A-Z][A-Za-z]*Done)=( ?)True", r"\1=\2False", text, flags=re.M)
    path = os.path.join(folder, "empty.prj")
    with open(path, "wb") as f:
        f.write(text.encode("latin-1"))
    return path


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    qel = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    folder = tempfile.mkdtemp(prefix="qel-rows-")
    fuller, env = largest_project.prepare(qel, folder)
    plain = fuller[:3]
    # Debian's numpy at its own best kernel: the machine's OpenBLAS overrides slow it down.
    numpy_env = {k: v for k, v in os.environ.items() if k not in ("OPENBLAS_CORETYPE", "OPENBLAS_L2_SIZE")}
    kernels_command = ["/usr/bin/python3", os.path.join(HERE, "scipy_kernels.py"), "1"]

    run(plain, env)  # warm-up; leaves regress_input.dat for the regress row
    replay, kernels = [], []
    for _ in range(runs):
        replay.append(run(plain, env)[0])
        out = subprocess.run(kernels_command, env=numpy_env, capture_output=True, text=True, check=True)
        kernels.append(float(out.stdout.split()[-1]))
    r, k = statistics.median(replay), statistics.median(kernels)
    row("plain replay qel --batch largest.prj (its own steps)", "%.3f s" % r, "-")
    row("numpy/scipy kernels of the same work", "%.3f s" % k, "-")
    row("replay / numpy kernels", "%.2f" % (r / k), "<= 0.25")

    empty = empty_project(folder)
    run([qel, "--batch", empty], env)
    startup = statistics.median(run([qel, "--batch", empty], env)[0] for _ in range(runs * 2))
    row("batch start-up (a project with no step done, start to exit)", "%.0f ms" % (startup * 1e3), "<= 80 ms")

    regress = os.path.join(os.path.dirname(qel), "regress")
    scratch = os.path.join(folder, "regress-out")
    os.makedirs(scratch, exist_ok=True)
    words = [regress, os.path.join(folder, "regress_input.dat")] + [
        os.path.join(scratch, name) for name in ("final.out", "regress.out", "results.out")]
    run(words, env)
    seconds = statistics.median(run(words, env)[0] for _ in range(runs * 2))
    row("regress, 1000 wells and 60 dates (start to exit)", "%.1f ms" % (seconds * 1e3), "<= 10 ms")

    full = [run(fuller, env) for _ in range(max(1, runs // 2))]
    row("fuller run (every output option): wall", "%.2f s" % statistics.median(s for s, _ in full), "-")
    row("fuller run (every output option): peak memory", "%.0f MB" % max(mb for _, mb in full), "<= 300 MB")
    print("files in", folder)


if __name__ == "__main__":
    main()
