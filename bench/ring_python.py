#!/usr/bin/env python3
"""Point-mode ring residuals from Python, in one run: torvane.ring_residual
against the vectorised scipy computation a numpy user would write (a
cKDTree per chunk of stations, sparse_distance_matrix(output_type='ndarray')
against the whole survey, the band test, np.bincount for the sums), on the
same arrays. Prints both wall times and whether the answers agree.

usage: PYTHONPATH=build/python ring_python.py SURVEY [--radius R] [--band D]
       (a survey of bench/make_survey.py, e.g. --points 1000000 --seed 7)
"""

import argparse
import time

import numpy as np
from scipy.spatial import cKDTree

import torvane


def scipy_ring_residual(x, y, cba, radius, band, chunk=20000):
    lower, upper = radius - band - 1e-6, radius + band + 1e-6
    xy = np.column_stack((x, y))
    tree = cKDTree(xy)
    n = np.zeros(x.size, dtype=np.int64)
    total = np.zeros(x.size)
    for start in range(0, x.size, chunk):
        stop = min(start + chunk, x.size)
        pairs = cKDTree(xy[start:stop]).sparse_distance_matrix(tree, upper, output_type="ndarray")
        inside = pairs[pairs["v"] >= lower]
        n[start:stop] = np.bincount(inside["i"], minlength=stop - start)
        total[start:stop] = np.bincount(inside["i"], weights=cba[inside["j"]],
                                        minlength=stop - start)
    residual = np.where(n > 0, cba - total / np.maximum(n, 1), 0.0)
    return residual, n


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("survey")
    parser.add_argument("--radius", type=float, default=1000.0)
    parser.add_argument("--band", type=float, default=100.0)
    args = parser.parse_args()

    start = time.perf_counter()
    survey = torvane.read_points(args.survey)
    read = time.perf_counter() - start
    x, y, cba = survey["x"], survey["y"], survey["cba"]
    print(f"{x.size} stations, R = {args.radius:g}, D = {args.band:g}; "
          f"torvane.read_points {read:.3f} s")

    start = time.perf_counter()
    ours = torvane.ring_residual(x, y, cba, args.radius, args.band)
    ours_time = time.perf_counter() - start
    print(f"torvane.ring_residual              {ours_time:8.3f} s")

    start = time.perf_counter()
    residual, n = scipy_ring_residual(x, y, cba, args.radius, args.band)
    scipy_time = time.perf_counter() - start
    print(f"scipy sparse_distance_matrix       {scipy_time:8.3f} s  "
          f"({scipy_time / ours_time:.1f} x torvane)")

    same_n = np.array_equal(ours["n"], n)
    largest = float(np.max(np.abs(ours["residual"] - residual)))
    print(f"agree: n {'identical' if same_n else 'DIFFERENT'}, "
          f"largest residual difference {largest:.2e} mGal")


if __name__ == "__main__":
    main()
