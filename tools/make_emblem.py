#!/usr/bin/env python3
"""Draws Torvane's emblem: a ring over a relief-shaded, colour-scaled anomaly
field, the picture of a ring average. Writes it as PNG at the sizes given.

    tools/make_emblem.py 101:app/qt/resources/emblem.png 128:packaging/torvane.png
"""
import math
import struct
import sys
import zlib

# Blue (low) to pink (high), as the previews colour their grids.
SCALE = [(0, 0, 255), (0, 170, 255), (0, 255, 255), (0, 255, 63), (109, 255, 0),
         (255, 255, 0), (255, 170, 0), (255, 85, 0), (255, 0, 0), (255, 0, 182),
         (255, 159, 255)]


def field(u, v):
    """A smooth regional trend with two local anomalies, on [-1, 1]^2."""
    trend = 0.3 * u - 0.25 * v
    high = 1.0 * math.exp(-((u - 0.12) ** 2 + (v + 0.08) ** 2) / 0.07)
    low = -0.8 * math.exp(-((u + 0.6) ** 2 + (v - 0.55) ** 2) / 0.05)
    ridge = 0.35 * math.exp(-((u - 0.65) ** 2) / 0.02 - (v - 0.4) ** 2 / 0.3)
    ripple = 0.06 * math.sin(5.0 * u + 3.0 * v) * math.cos(4.0 * v - 2.0 * u)
    return trend + high + low + ridge + ripple


def colour_of(value):
    t = min(max((value + 0.8) / 1.9, 0.0), 1.0) * (len(SCALE) - 1)
    i = min(int(t), len(SCALE) - 2)
    f = t - i
    return [a + (b - a) * f for a, b in zip(SCALE[i], SCALE[i + 1])]


def shade(u, v, step):
    dx = (field(u + step, v) - field(u - step, v)) / (2 * step)
    dy = (field(u, v + step) - field(u, v - step)) / (2 * step)
    nx, ny, nz = -dx * 0.8, -dy * 0.8, 1.0
    length = math.sqrt(nx * nx + ny * ny + nz * nz)
    light = (0.5, -0.5, 0.70710678)  # from the north-east, 45 degrees up
    return max(0.0, (nx * light[0] + ny * light[1] + nz * light[2]) / length)


def coverage(distance, edge, half_width):
    """How much of a pixel at `distance` lies inside a band around `edge`."""
    return min(max(half_width + 0.5 - abs(distance - edge), 0.0), 1.0)


def blend(base, top, alpha):
    return [b + (t - b) * alpha for b, t in zip(base, top)]


def draw(size):
    rows = []
    centre = (size - 1) / 2
    ring_radius = size * 0.33
    ring_width = max(size * 0.025, 1.2)
    for y in range(size):
        row = bytearray([0])  # PNG filter: none
        for x in range(size):
            u = (x - centre) / centre
            v = (y - centre) / centre
            rgb = colour_of(field(u, v))
            s = shade(u, v, 1.0 / size)
            rgb = [c * min(1.0, 0.35 + 0.65 * s / 0.70710678) for c in rgb]
            distance = math.hypot(x - centre, y - centre)
            # The ring: a dark outline around a white band, and the centre point.
            rgb = blend(rgb, (20, 20, 30), coverage(distance, ring_radius, ring_width + 1.2))
            rgb = blend(rgb, (255, 255, 255), coverage(distance, ring_radius, ring_width))
            rgb = blend(rgb, (20, 20, 30), coverage(distance, 0, size * 0.035))
            # A one-pixel frame, as the preview pictures have.
            if x in (0, size - 1) or y in (0, size - 1):
                rgb = (40, 40, 48)
            row += bytes(min(255, max(0, round(c))) for c in rgb)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def main(targets):
    if not targets:
        sys.exit(__doc__)
    for target in targets:
        size, path = target.split(":", 1)
        with open(path, "wb") as out:
            out.write(png(int(size), draw(int(size))))


if __name__ == "__main__":
    main(sys.argv[1:])
