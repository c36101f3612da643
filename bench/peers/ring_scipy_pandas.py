"""Point-mode ring residuals as the fastest vectorised script a Python user
writes: pandas to read, one cKDTree over the survey, and per chunk of
stations sparse_distance_matrix(output_type='ndarray') from the chunk's own
tree against it (the pairs within R + D with their distances), the band
test on those distances, np.bincount for the sums and the counts; the table
formatted in one string operation. The chunk is as large as memory allows
for speed (about 2 GB of pairs at 100 stations per km^2 and R + D = 1100 m).

usage: ring_scipy_pandas.py IN OUT R D [CHUNK]
"""

import sys

import numpy as np
import pandas as pd
from scipy.spatial import cKDTree

from table import write_table_at_once

CHUNK = 200000


def ring_residual(x, y, cba, radius, band, chunk=CHUNK):
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
        del pairs
        n[start:stop] = np.bincount(inside["i"], minlength=stop - start)
        total[start:stop] = np.bincount(inside["i"], weights=cba[inside["j"]],
                                        minlength=stop - start)
    residual = np.where(n > 0, cba - total / np.maximum(n, 1), 0.0)
    return residual, n


def main():
    path, out, radius, band = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
    chunk = int(sys.argv[5]) if len(sys.argv) > 5 else CHUNK
    survey = pd.read_csv(path, sep=r"\s+", comment="/", usecols=[0, 1, 2, 4])
    x, y, point, cba = (survey.iloc[:, k].to_numpy(dtype=float) for k in range(4))
    residual, n = ring_residual(x, y, cba, radius, band, chunk)
    write_table_at_once(out, x, y, point, cba, residual, n)


if __name__ == "__main__":
    main()
