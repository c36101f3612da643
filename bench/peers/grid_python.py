"""Grid-mode ring residuals as a Python user would compute them: numpy reads
the points, GDAL reads the grid, and the ring samples are interpolated
bilinearly by scipy.ndimage.map_coordinates (order=1) or by GMT's grdtrack
(-nl), chunk by chunk. Samples off the grid or next to a blank node are left
out, as Torvane does.

usage: grid_python.py scipy|gmt POINTS GRID OUT R N [POINT_LIMIT]
"""

import os
import subprocess
import sys
import tempfile

import numpy as np
from osgeo import gdal

from table import write_table


def read_grid(path):
    """Nodes as float64 with NaN for blanks, and the geometry: node (c, r)
    at (x0 + c dx, y0 + r dy), rows counted from the south."""
    dataset = gdal.Open(path)
    band = dataset.GetRasterBand(1)
    nodes = band.ReadAsArray().astype(np.float64)[::-1]  # GDAL gives north first
    nodes[nodes >= 1e38] = np.nan
    left, dx, _, top, _, pixel_height = dataset.GetGeoTransform()
    dy = -pixel_height
    return nodes, left + dx / 2, top - dy * (nodes.shape[0] - 0.5), dx, dy


def sample_scipy(nodes, x0, y0, dx, dy, px, py):
    from scipy.ndimage import map_coordinates
    rows = (py - y0) / dy
    cols = (px - x0) / dx
    return map_coordinates(nodes, [rows, cols], order=1, mode="constant", cval=np.nan,
                           prefilter=False)


def sample_gmt(grid_path, px, py):
    with tempfile.TemporaryDirectory() as work:
        positions = os.path.join(work, "positions.bin")
        np.column_stack((px, py)).astype(np.float64).tofile(positions)
        out = subprocess.run(["gmt", "grdtrack", positions, "-G%s=sd" % os.path.abspath(grid_path), "-nl",
                              "-bi2d", "-bo3d", "-sa"], check=True, stdout=subprocess.PIPE,
                             cwd=work).stdout  # gmt.history stays in the throw-away folder
    triples = np.frombuffer(out, dtype=np.float64).reshape(-1, 3)
    return triples[:, 2]


def main():
    how, points_path, grid_path, out = sys.argv[1:5]
    radius, count = float(sys.argv[5]), int(sys.argv[6])
    limit = int(sys.argv[7]) if len(sys.argv) > 7 else None
    x, y, point, cba = np.loadtxt(points_path, comments=["/", "X"], usecols=(0, 1, 2, 4),
                                  unpack=True, max_rows=limit)
    nodes, x0, y0, dx, dy = read_grid(grid_path)
    angles = np.arange(count) * (360.0 / count) * 3.141592653589793 / 180
    cos, sin = np.cos(angles), np.sin(angles)
    n = np.zeros(len(x), dtype=np.int64)
    total = np.zeros(len(x))
    chunk = 20000
    for start in range(0, len(x), chunk):
        stop = min(start + chunk, len(x))
        px = (np.outer(x[start:stop], np.ones(count)) + cos * radius).ravel()
        py = (np.outer(y[start:stop], np.ones(count)) + sin * radius).ravel()
        if how == "scipy":
            values = sample_scipy(nodes, x0, y0, dx, dy, px, py)
        else:
            values = sample_gmt(grid_path, px, py)
        values = values.reshape(stop - start, count)
        usable = ~np.isnan(values)
        n[start:stop] = usable.sum(axis=1)
        total[start:stop] = np.where(usable, values, 0).sum(axis=1)
    residual = np.where(n > 0, cba - total / np.maximum(n, 1), 0.0)
    write_table(out, x, y, point, cba, residual, n)


if __name__ == "__main__":
    main()
