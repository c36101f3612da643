#!/usr/bin/env python3
"""Writes a synthetic gravity survey as a point file: X Y POINT H CBA.

Stations lie along roads (winding lines of stations 80 to 250 m apart) and,
for a third of them, scattered over the area, at about --density stations per
square kilometre. Coordinates are metres; the area starts west and south of
the origin, so some coordinates are negative. The CBA (mGal) is a smooth
regional field plus local anomalies of buried bodies, positive and negative.
The file opens with comment lines and a header line, as field files do.

The field (SurveyField) depends only on the seed and the area, not on the
stations, so bench/make_grid.py can grid the very field the stations sample.

Pure Python, so it runs wherever Python 3 does; the same --seed gives the
same file.
"""

import argparse
import math
import random
import sys


def add_survey_arguments(parser):
    """--points, --seed and --density: what decides a survey's area and field."""
    parser.add_argument("--points", type=int, required=True, help="number of stations")
    parser.add_argument("--seed", type=int, default=1, help="random seed (default 1)")
    parser.add_argument("--density", type=float, default=100.0,
                        help="stations per square kilometre (default 100)")


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    add_survey_arguments(parser)
    parser.add_argument("--output", help="file to write (default: standard output)")
    return parser.parse_args()


class Anomalies:
    """Gaussian anomalies of buried bodies, bucketed so that each station
    only evaluates the bodies that can reach it."""

    def __init__(self, rng, x0, y0, side):
        area_km2 = (side / 1000.0) ** 2
        count = max(8, int(area_km2 / 4))
        self.bucket = 4 * 3000.0  # 4 sigma of the widest body
        self.cells = {}
        self.bodies = []  # (cx, cy, 1 / (2 sigma^2), amplitude, (4 sigma)^2)
        for _ in range(count):
            cx = x0 + rng.random() * side
            cy = y0 + rng.random() * side
            sigma = rng.uniform(300.0, 3000.0)
            amplitude = rng.choice((-1, 1)) * rng.uniform(1.5, 12.0) * (sigma / 3000.0) ** 0.3
            body = (cx, cy, 1.0 / (2 * sigma * sigma), amplitude, (4 * sigma) ** 2)
            self.bodies.append(body)
            for i in range(int((cx - 4 * sigma) // self.bucket), int((cx + 4 * sigma) // self.bucket) + 1):
                for j in range(int((cy - 4 * sigma) // self.bucket), int((cy + 4 * sigma) // self.bucket) + 1):
                    self.cells.setdefault((i, j), []).append(body)

    def at(self, x, y):
        total = 0.0
        for cx, cy, k, amplitude, reach2 in self.cells.get((int(x // self.bucket), int(y // self.bucket)), ()):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if d2 < reach2:
                total += amplitude * math.exp(-d2 * k)
        return total


def regional(x, y, side, maths=math):
    # A tilted plane with a long-wavelength swell across the area. `maths`
    # gives sin and cos: math for numbers, numpy for whole rows of them.
    return (-35.0 + 4.0e-4 * x - 2.5e-4 * y
            + 9.0 * maths.sin(2 * math.pi * x / (1.7 * side)) * maths.cos(2 * math.pi * y / (2.3 * side)))


class SurveyField:
    """The CBA (mGal) of the synthetic area of a survey of `points` stations
    at `density` stations per square kilometre: the regional field plus the
    anomalies. It depends on the seed and the area only."""

    def __init__(self, points, density=100.0, seed=1):
        self.side = math.sqrt(points / density) * 1000.0
        self.x0, self.y0 = -0.22 * self.side, -0.13 * self.side
        # A generator of its own, so that the stations draw what they like.
        self.anomalies = Anomalies(random.Random("torvane-field-%d" % seed),
                                   self.x0, self.y0, self.side)

    def cba(self, x, y):
        return regional(x, y, self.side) + self.anomalies.at(x, y)


def terrain(x, y, side):
    return 1150.0 + 220.0 * math.sin(x / (0.31 * side)) * math.sin(y / (0.23 * side) + 0.7)


def road_stations(rng, x0, y0, side, wanted):
    """Stations along winding roads that cross the area."""
    stations = []
    while len(stations) < wanted:
        # Start on a random edge, head roughly across.
        edge = rng.randrange(4)
        t = rng.random() * side
        x, y, heading = [(x0 + t, y0, math.pi / 2), (x0 + side, y0 + t, math.pi),
                         (x0 + t, y0 + side, -math.pi / 2), (x0, y0 + t, 0.0)][edge]
        heading += rng.uniform(-0.6, 0.6)
        spacing = rng.uniform(80.0, 250.0)
        while x0 <= x <= x0 + side and y0 <= y <= y0 + side and len(stations) < wanted:
            stations.append((x + rng.gauss(0, 5), y + rng.gauss(0, 5)))
            heading += rng.gauss(0, 0.05)
            x += spacing * math.cos(heading)
            y += spacing * math.sin(heading)
    return stations


def main():
    args = parse_args()
    if args.points < 1 or args.density <= 0:
        sys.exit("make_survey.py: --points must be at least 1 and --density greater than 0")
    rng = random.Random(args.seed)
    field = SurveyField(args.points, args.density, args.seed)
    side, x0, y0 = field.side, field.x0, field.y0

    on_roads = road_stations(rng, x0, y0, side, args.points * 2 // 3)
    scattered = [(x0 + rng.random() * side, y0 + rng.random() * side)
                 for _ in range(args.points - len(on_roads))]

    out = open(args.output, "w", newline="\n") if args.output else sys.stdout
    try:
        write = out.write
        write("/ Synthetic gravity survey: %d stations, seed %d\n" % (args.points, args.seed))
        write("/ Coordinates in metres; CBA (complete Bouguer anomaly) in mGal\n")
        write("X Y POINT H CBA\n")
        for number, (x, y) in enumerate(on_roads + scattered, start=1):
            cba = field.cba(x, y) + rng.gauss(0, 0.05)
            write("%.2f %.2f %d %.1f %.3f\n" % (x, y, number, terrain(x, y, side), cba))
    finally:
        if out is not sys.stdout:
            out.close()


if __name__ == "__main__":
    main()
