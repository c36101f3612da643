"""Point-mode ring residuals as a good numpy user writes them today: a
cKDTree per chunk of stations, sparse_distance_matrix(output_type='ndarray')
against the whole survey (the pairs within R + D with their distances), the
band test on those distances, np.bincount for the sums and the counts.

usage: ring_scipy_vectorised.py IN OUT R D
"""

import sys

import numpy as np
from scipy.spatial import cKDTree

from table import write_table


def ring_residual(x, y, cba, radius, band, chunk=20000):
    """Residual and N of every station, as the table has them."""
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
    path, out, radius, band = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
    x, y, point, cba = np.loadtxt(path, comments=["/", "X"], usecols=(0, 1, 2, 4), unpack=True)
    residual, n = ring_residual(x, y, cba, radius, band)
    write_table(out, x, y, point, cba, residual, n)


if __name__ == "__main__":
    main()
