#!/usr/bin/env python3
"""The whole batch replay of the largest project beside the numpy/scipy script of its kernels, run
in turn in the same call (A B A B ...), medians of each.

usage: bench/replay_ratio.py QEL_BINARY [RUNS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import largest_project

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    command, env = largest_project.prepare(os.path.abspath(sys.argv[1]), tempfile.mkdtemp(prefix="qel-ratio-"))
    # Debian's numpy at its own best kernel: the machine's OpenBLAS overrides slow it down.
    numpy_env = {k: v for k, v in os.environ.items() if k not in ("OPENBLAS_CORETYPE", "OPENBLAS_L2_SIZE")}
    replay, kernels = [], []
    for _ in range(runs):
        started = time.monotonic()
        run = subprocess.run(command, env=env, capture_output=True, text=True)
        replay.append(time.monotonic() - started)
        if run.returncode != 0:
            sys.exit("replay failed:\n" + run.stderr[-3000:])
        out = subprocess.run(["/usr/bin/python3", os.path.join(HERE, "scipy_kernels.py"), "1"], env=numpy_env,
                             capture_output=True, text=True, check=True)
        kernels.append(float(out.stdout.split()[-1]))
    r, k = statistics.median(replay), statistics.median(kernels)
    print("whole batch replay of the largest project: %.3f s (median of %d)" % (r, runs))
    print("numpy/scipy kernels of the same run: %.3f s (median of %d)" % (k, runs))
    print("replay / numpy kernels = %.2f (target <= 0.25)" % (r / k))


if __name__ == "__main__":
    main()
