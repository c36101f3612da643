"""Point-mode ring residuals as a good Python user would write them: numpy
to read and write, scipy's cKDTree for the neighbours within R + D, the
band test and the sums vectorised over chunks of points.

usage: ring_scipy.py IN OUT R D
"""

import sys

import numpy as np
from scipy.spatial import cKDTree

from table import write_table


def main():
    path, out, radius, band = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
    x, y, point, cba = np.loadtxt(path, comments=["/", "X"], usecols=(0, 1, 2, 4), unpack=True)
    xy = np.column_stack((x, y))
    tree = cKDTree(xy)
    lower, upper = radius - band - 1e-6, radius + band + 1e-6
    n = np.zeros(len(x), dtype=np.int64)
    total = np.zeros(len(x))
    chunk = 20000
    for start in range(0, len(x), chunk):
        stop = min(start + chunk, len(x))
        lists = tree.query_ball_point(xy[start:stop], r=upper, workers=-1)
        lengths = np.fromiter((len(l) for l in lists), dtype=np.int64, count=len(lists))
        j = np.concatenate([np.asarray(l, dtype=np.int64) for l in lists])
        i = np.repeat(np.arange(start, stop), lengths)
        d = np.hypot(x[j] - x[i], y[j] - y[i])
        inside = (d >= lower) & (d <= upper)
        n[start:stop] = np.bincount(i[inside] - start, minlength=stop - start)
        total[start:stop] = np.bincount(i[inside] - start, weights=cba[j[inside]],
                                        minlength=stop - start)
    residual = np.where(n > 0, cba - total / np.maximum(n, 1), 0.0)
    write_table(out, x, y, point, cba, residual, n)


if __name__ == "__main__":
    main()
