#!/usr/bin/env python3
"""Writes the sample survey as a raw station file: a CSV file with a header
row of names, station names instead of numbers, and latitude/longitude in
degrees (WGS 84), as field crews and data portals hand them out.

The survey's local metres are placed in WGS 84 / UTM zone 35S (EPSG:32735),
east 540000 m and north 7230000 m plus the file's X and Y, and turned into
latitude and longitude by PROJ's cs2cs (Debian package proj-bin). Station
k is called ST0001 ... in file order.

    tools/make_stations.py [data/sample_survey.dat] [data/sample_stations.csv]
"""
import subprocess
import sys

UTM_CRS = "EPSG:32735"
FALSE_EAST = 540000.0
FALSE_NORTH = 7230000.0


def read_survey(path):
    """The (x, y, height, cba) of every point line of an X Y POINT H CBA file."""
    rows = []
    with open(path, encoding="ascii") as survey:
        for line in survey:
            words = line.split()
            if not words or line.startswith("/"):
                continue
            try:
                x, y, _point, height, cba = (float(w) for w in words[:5])
            except ValueError:
                continue  # the header line
            rows.append((x, y, height, cba))
    return rows


def to_degrees(rows):
    """Latitude and longitude of each row's place in the UTM zone."""
    text = "".join(f"{FALSE_EAST + x:.3f} {FALSE_NORTH + y:.3f}\n" for x, y, _h, _c in rows)
    # EPSG:4326 answers in its own axis order: latitude, then longitude.
    out = subprocess.run(["cs2cs", "-f", "%.8f", UTM_CRS, "EPSG:4326"], input=text,
                         capture_output=True, text=True, check=True).stdout
    return [tuple(float(v) for v in line.split()[:2]) for line in out.splitlines()]


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else "data/sample_survey.dat"
    target = sys.argv[2] if len(sys.argv) > 2 else "data/sample_stations.csv"
    rows = read_survey(source)
    places = to_degrees(rows)
    with open(target, "w", encoding="ascii", newline="\n") as out:
        out.write("station,latitude,longitude,elevation,cba\n")
        for k, ((_x, _y, height, cba), (lat, lon)) in enumerate(zip(rows, places), start=1):
            out.write(f"ST{k:04d},{lat:.8f},{lon:.8f},{height:g},{cba:g}\n")


if __name__ == "__main__":
    main()
