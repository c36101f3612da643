"""The ring residual of every node of a grid as a good Python user would
write it, for bench/run.

- fft: the ring's bilinear weights on the nodes around a node, built once
  (the same weights as Torvane's), correlated with the whole grid by
  scipy.signal.fftconvolve. It cannot keep the blank rules: blanks are
  taken as 0 and only the nodes whose ring fits on the grid are kept.
- map: every ring position of every node sampled by
  scipy.ndimage.map_coordinates(order=1), a block of rows at a time; with
  ROWS, only that many rows from the middle of the grid are computed (the
  time is carried on to the whole grid by bench/run).
- mask: no residual; writes GRID again as OUT with blanks where a survey
  would leave them: outside a wavy outline and in a few lakes (about 20 %
  of the nodes).
- compare: prints the largest difference between two grids where both
  have a value, and how many nodes that is.

Reads and writes Surfer 7 grids with numpy. Prints the seconds the
computation took, wall and processor time (reading and writing not
counted).

usage: grid_residual_scipy.py fft|map GRID OUT R N [ROWS]
       grid_residual_scipy.py mask GRID OUT
       grid_residual_scipy.py compare GRID OTHER
"""

import struct
import sys
import time

import numpy as np

BLANK = 1.70141e38


def read_surfer7(path):
    with open(path, "rb") as f:
        data = f.read()
    nrows, ncols = struct.unpack_from("<ii", data, 20)
    x0, y0, dx, dy = struct.unpack_from("<4d", data, 28)
    nodes = np.frombuffer(data, dtype="<f8", count=nrows * ncols, offset=100).reshape(nrows, ncols)
    nodes = nodes.copy()
    nodes[nodes >= 1e38] = np.nan
    return nodes, x0, y0, dx, dy


def write_surfer7(path, nodes, x0, y0, dx, dy):
    out = np.where(np.isnan(nodes), BLANK, nodes).astype("<f8")
    low, high = np.nanmin(nodes), np.nanmax(nodes)
    with open(path, "wb") as f:
        f.write(b"DSRB" + struct.pack("<ii", 4, 2) + b"GRID" + struct.pack("<i", 72))
        f.write(struct.pack("<ii8d", nodes.shape[0], nodes.shape[1], x0, y0, dx, dy, low, high, 0,
                            BLANK))
        f.write(b"DATA" + struct.pack("<i", min(out.size * 8, 2**31 - 1)))
        f.write(out.tobytes())


def directions(n):
    k = np.arange(n)
    a = k * (360.0 / n) * np.pi / 180
    return np.cos(a), np.sin(a)


def ring_weights(radius, n, dx, dy):
    """Kernel K with K[J + j, I + i] the weight of node (c + i, r + j)."""
    cos, sin = directions(n)
    ox, oy = cos * radius / dx, sin * radius / dy
    fx, fy = np.floor(ox), np.floor(oy)
    t, u = ox - fx, oy - fy
    half_i = int(np.max(np.abs(fx))) + 2
    half_j = int(np.max(np.abs(fy))) + 2
    kernel = np.zeros((2 * half_j + 1, 2 * half_i + 1))
    i, j = fx.astype(int) + half_i, fy.astype(int) + half_j
    np.add.at(kernel, (j, i), (1 - t) * (1 - u))
    np.add.at(kernel, (j, i + 1), t * (1 - u))
    np.add.at(kernel, (j + 1, i + 1), t * u)
    np.add.at(kernel, (j + 1, i), (1 - t) * u)
    return kernel, half_i, half_j


def residual_fft(nodes, radius, n, dx, dy):
    from scipy.signal import fftconvolve
    kernel, half_i, half_j = ring_weights(radius, n, dx, dy)
    sums = fftconvolve(np.nan_to_num(nodes), kernel[::-1, ::-1], mode="same")
    out = nodes - sums / n
    out[:half_j, :] = np.nan
    out[-half_j:, :] = np.nan
    out[:, :half_i] = np.nan
    out[:, -half_i:] = np.nan
    return out


def residual_map(nodes, radius, n, dx, dy, rows):
    from scipy.ndimage import map_coordinates
    cos, sin = directions(n)
    nrows, ncols = nodes.shape
    out = np.full(nodes.shape, np.nan)
    block = max(1, 2000000 // (ncols * n))
    columns = np.arange(ncols, dtype=np.float64)
    start = (nrows - rows) // 2
    for first in range(start, start + rows, block):
        r = np.arange(first, min(start + rows, first + block), dtype=np.float64)
        rr, cc = np.meshgrid(r, columns, indexing="ij")
        pr = rr[..., None] + sin * radius / dy
        pc = cc[..., None] + cos * radius / dx
        samples = map_coordinates(nodes, [pr.ravel(), pc.ravel()], order=1, mode="constant",
                                  cval=np.nan, prefilter=False).reshape(pr.shape)
        usable = ~np.isnan(samples)
        mean = np.nansum(samples, axis=-1) / np.maximum(usable.sum(axis=-1), 1)
        whole = usable.all(axis=-1)
        out[first:first + len(r)] = np.where(whole, nodes[first:first + len(r)] - mean, np.nan)
    return out


def mask(nodes):
    nrows, ncols = nodes.shape
    r, c = np.mgrid[0:nrows, 0:ncols]
    u, v = (c - ncols / 2) / (ncols / 2), (r - nrows / 2) / (nrows / 2)
    angle = np.arctan2(v, u)
    outline = 0.92 + 0.06 * np.sin(5 * angle) + 0.03 * np.cos(11 * angle)
    blank = np.hypot(u, v) > outline
    for cu, cv, size in ((-0.3, 0.2, 0.06), (0.25, -0.35, 0.04), (0.1, 0.45, 0.08)):
        blank |= np.hypot(u - cu, v - cv) < size
    out = nodes.copy()
    out[blank] = np.nan
    return out


def compare(a, b):
    both = ~np.isnan(a) & ~np.isnan(b)
    print(float(np.max(np.abs(a[both] - b[both]))) if both.any() else 0.0, int(both.sum()))


def main():
    how, grid = sys.argv[1:3]
    nodes, x0, y0, dx, dy = read_surfer7(grid)
    if how == "mask":
        write_surfer7(sys.argv[3], mask(nodes), x0, y0, dx, dy)
        return
    if how == "compare":
        compare(nodes, read_surfer7(sys.argv[3])[0])
        return
    out_path, radius, n = sys.argv[3:6]
    radius, n = float(radius), int(n)
    start, cpu = time.perf_counter(), time.process_time()
    if how == "fft":
        out = residual_fft(nodes, radius, n, dx, dy)
    else:
        rows = int(sys.argv[6]) if len(sys.argv) > 6 else nodes.shape[0]
        out = residual_map(nodes, radius, n, dx, dy, rows)
    print(time.perf_counter() - start, time.process_time() - cpu)
    write_surfer7(out_path, out, x0, y0, dx, dy)


if __name__ == "__main__":
    main()
