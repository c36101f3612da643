#!/usr/bin/env python3
"""Writes a CBA grid of the synthetic field that bench/make_survey.py samples.

Give it the --points, --seed and --density of the survey: the grid then
covers the same area (plus --margin on every side, so that rings around the
outer stations stay on the grid) and holds the same field, without the
stations' measurement noise. Nodes are square: --columns across the area,
--rows (default: as many) up it.

Formats: surfer7 (Surfer 7 binary, the default), surfer6 (Surfer 6 binary),
surfer-ascii, esri (ESRI ASCII; xllcorner is the corner of the south-west
cell, half a cell outside the first node) and geosoft (Geosoft binary with
2-byte elements, vectors along x, the values scaled to fit 16 bits).

Uses numpy when it is installed (a 4000 x 4000 grid takes seconds); without
it, pure Python does the same, slowly for large grids.
"""

import argparse
import math
import struct
import sys

from make_survey import SurveyField, add_survey_arguments, regional

try:
    import numpy
except ImportError:  # pure Python below
    numpy = None

BLANK = 1.70141e38


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    add_survey_arguments(parser)
    parser.add_argument("--columns", type=int, default=200, help="node columns (default 200)")
    parser.add_argument("--rows", type=int, help="node rows (default: as many as columns)")
    parser.add_argument("--margin", type=float,
                        help="metres added around the survey's area (default: a tenth of its side)")
    parser.add_argument("--format", default="surfer7",
                        choices=("surfer7", "surfer6", "surfer-ascii", "esri", "geosoft"))
    parser.add_argument("--output", required=True, help="grid file to write")
    return parser.parse_args()


class Lattice:
    """Node (c, r) at (xmin + c * step, ymin + r * step)."""

    def __init__(self, field, columns, rows, margin):
        self.columns, self.rows = columns, rows
        self.xmin = field.x0 - margin
        self.ymin = field.y0 - margin
        self.step = (field.side + 2 * margin) / (columns - 1)

    def x(self, c):
        return self.xmin + c * self.step

    def y(self, r):
        return self.ymin + r * self.step


def node_rows(field, lattice):
    """The node values row by row from the south, each row from the west:
    a numpy array of rows, or a list of lists."""
    if numpy is None:
        return [[field.cba(lattice.x(c), lattice.y(r)) for c in range(lattice.columns)]
                for r in range(lattice.rows)]
    xs = lattice.xmin + numpy.arange(lattice.columns) * lattice.step
    ys = lattice.ymin + numpy.arange(lattice.rows) * lattice.step
    values = numpy.empty((lattice.rows, lattice.columns))
    for r, y in enumerate(ys):
        values[r] = regional(xs, y, field.side, numpy)
    # Each body over the nodes within its reach, as Anomalies.at sums it.
    # The Gaussian is the product of one along x and one along y, so only
    # those two are exponentiated (equal to a single exp up to rounding).
    for cx, cy, k, amplitude, reach2 in field.anomalies.bodies:
        reach = math.sqrt(reach2)
        c0, c1 = numpy.searchsorted(xs, [cx - reach, cx + reach])
        r0, r1 = numpy.searchsorted(ys, [cy - reach, cy + reach])
        if c0 >= c1 or r0 >= r1:
            continue
        dx2 = (xs[c0:c1] - cx) ** 2
        dy2 = (ys[r0:r1] - cy)[:, numpy.newaxis] ** 2
        bump = (amplitude * numpy.exp(-dy2 * k)) * numpy.exp(-dx2 * k)
        bump[dy2 + dx2 >= reach2] = 0.0
        values[r0:r1, c0:c1] += bump
    return values


def value_range(rows):
    if numpy is not None:
        return float(rows.min()), float(rows.max())
    return min(min(row) for row in rows), max(max(row) for row in rows)


def packed(rows, code):
    """The rows as little-endian binary numbers of struct code `code`."""
    if numpy is not None:
        return rows.astype({"d": "<f8", "f": "<f4", "h": "<i2"}[code]).tobytes()
    return b"".join(struct.pack("<%d%s" % (len(row), code), *row) for row in rows)


def write_surfer7(out, lattice, rows):
    low, high = value_range(rows)
    out.write(b"DSRB" + struct.pack("<ii", 4, 2))
    out.write(b"GRID" + struct.pack("<iii", 72, lattice.rows, lattice.columns))
    out.write(struct.pack("<8d", lattice.xmin, lattice.ymin, lattice.step, lattice.step,
                          low, high, 0.0, BLANK))
    out.write(b"DATA" + struct.pack("<i", lattice.rows * lattice.columns * 8))
    out.write(packed(rows, "d"))


def write_surfer6(out, lattice, rows):
    if lattice.columns > 32767 or lattice.rows > 32767:
        sys.exit("make_grid.py: a Surfer 6 grid has at most 32767 columns and rows")
    low, high = value_range(rows)
    out.write(b"DSBB" + struct.pack("<hh", lattice.columns, lattice.rows))
    out.write(struct.pack("<6d", lattice.xmin, lattice.x(lattice.columns - 1), lattice.ymin,
                          lattice.y(lattice.rows - 1), low, high))
    out.write(packed(rows, "f"))


def write_geosoft(out, lattice, rows):
    low, high = value_range(rows)
    base = (low + high) / 2
    multiplier = 32000.0 / max((high - low) / 2, 1e-9)
    header = struct.pack("<5i", 2, 1, lattice.columns, lattice.rows, 1)
    header += struct.pack("<7d", lattice.step, lattice.step, lattice.xmin, lattice.ymin, 0.0,
                          base, multiplier)
    out.write(header + b"\0" * (512 - len(header)))
    if numpy is not None:
        raw = numpy.round((rows - base) * multiplier)
    else:
        raw = [[int(round((v - base) * multiplier)) for v in row] for row in rows]
    out.write(packed(raw, "h"))


def write_text(out, text):
    out.write(text.encode("ascii"))


def write_surfer_ascii(out, lattice, rows):
    low, high = value_range(rows)
    write_text(out, "DSAA\r\n%d %d\r\n%.17g %.17g\r\n%.17g %.17g\r\n%.17g %.17g\r\n" % (
        lattice.columns, lattice.rows, lattice.xmin, lattice.x(lattice.columns - 1),
        lattice.ymin, lattice.y(lattice.rows - 1), low, high))
    for row in rows:
        values = ["%.9g" % v for v in row]
        lines = [" ".join(values[i:i + 10]) for i in range(0, len(values), 10)]
        write_text(out, "\r\n".join(lines) + "\r\n\r\n")


def write_esri(out, lattice, rows):
    write_text(out, "ncols %d\nnrows %d\nxllcorner %.17g\nyllcorner %.17g\ncellsize %.17g\n"
               "NODATA_value -9999\n" % (lattice.columns, lattice.rows,
                                         lattice.xmin - lattice.step / 2,
                                         lattice.ymin - lattice.step / 2, lattice.step))
    for row in reversed(rows):
        write_text(out, " ".join("%.9g" % v for v in row) + "\n")


WRITERS = {"surfer7": write_surfer7, "surfer6": write_surfer6, "geosoft": write_geosoft,
           "surfer-ascii": write_surfer_ascii, "esri": write_esri}


def main():
    args = parse_args()
    rows = args.rows or args.columns
    if args.points < 1 or args.density <= 0 or args.columns < 2 or rows < 2:
        sys.exit("make_grid.py: --points must be at least 1, --density greater than 0, "
                 "--columns and --rows at least 2")
    field = SurveyField(args.points, args.density, args.seed)
    margin = args.margin if args.margin is not None else field.side / 10
    lattice = Lattice(field, args.columns, rows, margin)
    values = node_rows(field, lattice)
    with open(args.output, "wb") as out:
        WRITERS[args.format](out, lattice, values)


if __name__ == "__main__":
    main()
