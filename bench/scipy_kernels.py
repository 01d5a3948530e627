#!/usr/bin/env python3
"""The kernels of the largest project's replay written with numpy and scipy, as a yardstick for the
whole `qel --batch` run: plane fits by least squares for 60 dates of 1000 wells, the Domenico plume
with scipy.special.erf on a 400 x 400 grid for every date plus their average, the nearest well of
every node by scipy.spatial.cKDTree, and WOLF (distance squared times the average).

usage: bench/scipy_kernels.py [RUNS]   prints the median seconds of the kernels over RUNS (5)
"""
import statistics
import sys
import time

import numpy as np
from scipy.spatial import cKDTree
from scipy.special import erf

WELLS, DATES, NODES, SPACING = 1000, 60, 400, 1.25
K, POROSITY, RETARDATION, ALPHA_X, ALPHA_Y = 5.0, 0.3, 1.5, 10.0, 1.0
HALF_LIFE, TIME, WIDTH, C0, SOURCE = 730.0, 3650.0, 20.0, 1000.0, (220.0, 312.0)


def site():
    rng = np.random.default_rng(7)
    wells = rng.uniform(0, 500, size=(WELLS, 2))
    dates = np.arange(DATES)
    levels = (100 + 0.004 * wells[None, :, 1] - 0.006 * wells[None, :, 0] + 0.3 * (dates[:, None] % 4)
              + rng.normal(0, 0.02, size=(DATES, WELLS)))
    return wells, levels


def kernels(wells, levels):
    design = np.column_stack([wells[:, 0], wells[:, 1], np.ones(WELLS)])
    x = np.arange(NODES) * SPACING
    y = (NODES - 1) * SPACING - np.arange(NODES) * SPACING
    gx, gy = np.meshgrid(x, y)
    dx, dy = gx - SOURCE[0], gy - SOURCE[1]
    total = np.zeros((NODES, NODES))
    lam = 0.693 / HALF_LIFE
    for d in range(DATES):
        (a, b, _), *_ = np.linalg.lstsq(design, levels[d], rcond=None)
        gradient = np.hypot(a, b)
        theta = np.arctan2(-b, -a)  # down the slope
        c, s = np.cos(theta), np.sin(theta)
        xr = c * dx + s * dy
        yr = c * dy - s * dx
        v = K * gradient / (RETARDATION * POROSITY)
        root = np.sqrt(1 + 4 * lam * ALPHA_X / v)
        ahead = xr > 0
        xa = np.where(ahead, xr, 1.0)
        sigma_y = 2 * np.sqrt(ALPHA_Y * xa)
        sigma_x = np.sqrt(ALPHA_X * v * TIME)
        conc = (C0 * 0.25 * np.exp(xa / ALPHA_X / 2 * (1 - root))
                * (1 - erf((xa - v * TIME * root) / (2 * sigma_x)))
                * (erf((WIDTH / 2 + yr) / sigma_y) - erf((yr - WIDTH / 2) / sigma_y)))
        total += np.where(ahead, conc, 0.0)
    average = total / DATES
    distance, _ = cKDTree(wells).query(np.column_stack([gx.ravel(), gy.ravel()]), k=1)
    wolf = distance.reshape(NODES, NODES) ** 2 * average
    return float(wolf.max())


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    wells, levels = site()
    kernels(wells, levels)  # warm-up
    seconds = []
    for _ in range(runs):
        started = time.perf_counter()
        kernels(wells, levels)
        seconds.append(time.perf_counter() - started)
    print("%.4f" % statistics.median(seconds))


if __name__ == "__main__":
    main()
