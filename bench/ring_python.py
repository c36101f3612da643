#!/usr/bin/env python3
"""Point-mode ring residuals from Python, in one run: torvane.ring_residual
against the vectorised scipy computation a numpy user would write
(peers/ring_scipy_vectorised.py), on the same arrays. Prints both wall
times and whether the answers agree.

usage: PYTHONPATH=build/python ring_python.py SURVEY [--radius R] [--band D]
       (a survey of bench/make_survey.py, e.g. --points 1000000 --seed 7)
"""

import argparse
import os
import sys
import time

import numpy as np

import torvane

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "peers"))
from ring_scipy_vectorised import ring_residual  # noqa: E402


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
    residual, n = ring_residual(x, y, cba, args.radius, args.band)
    scipy_time = time.perf_counter() - start
    print(f"scipy sparse_distance_matrix       {scipy_time:8.3f} s  "
          f"({scipy_time / ours_time:.1f} x torvane)")

    same_n = np.array_equal(ours["n"], n)
    largest = float(np.max(np.abs(ours["residual"] - residual)))
    print(f"agree: n {'identical' if same_n else 'DIFFERENT'}, "
          f"largest residual difference {largest:.2e} mGal")


if __name__ == "__main__":
    main()
