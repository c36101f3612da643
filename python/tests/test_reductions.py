"""normal_gravity, bouguer_plate and simple_bouguer against the ellipsoid's
defining values and torvane-cli reduce on the same stations."""

import csv

import numpy as np
import pytest

import torvane
from conftest import run_cli


def test_normal_gravity_and_plate_match_published_values():
    values = torvane.normal_gravity([0, 45, 90, -90])
    np.testing.assert_allclose(values[[0, 2, 3]], [978032.67715, 983218.63685, 983218.63685],
                               atol=1e-4, rtol=0)
    assert values[1] == pytest.approx(980619.92, abs=0.01)
    assert isinstance(torvane.normal_gravity(10.0, 1000.0), float)
    # Above the ellipsoid gravity falls by about 0.3086 mGal/m.
    drop = torvane.normal_gravity(45) - torvane.normal_gravity(45, height=100)
    assert drop == pytest.approx(30.86, abs=0.02)
    assert torvane.bouguer_plate(1000) == pytest.approx(111.97, abs=0.01)
    assert torvane.bouguer_plate(1000, density=2000, bullard_b=True) != torvane.bouguer_plate(
        1000, density=2000)
    with pytest.raises(ValueError, match="latitude"):
        torvane.normal_gravity(91)
    with pytest.raises(ValueError, match="ellipsoid"):
        torvane.normal_gravity(0, ellipsoid="clarke")


def test_simple_bouguer_is_what_reduce_writes(tmp_path):
    raw = tmp_path / "raw.csv"
    rows = [(27.0 + 0.01 * i, -25.0 - 0.02 * i, 978650.0 + i, 1200.0 + 7 * i) for i in range(5)]
    raw.write_text("lon,lat,g,h\n" + "".join(f"{a},{b},{c},{d}\n" for a, b, c, d in rows))
    out = tmp_path / "reduced.csv"
    run_cli(["reduce", "--input", raw, "--output", out, "--crs", "EPSG:4326",
             "--columns", "lon,lat,g,g", "--height-column", "h", "--ellipsoid", "wgs84",
             "--density", "2300", "--bullard-b"])
    with open(out, newline="") as table:
        written = list(csv.DictReader(table))
    lon, lat, g, h = map(np.array, zip(*rows))
    reduced = torvane.simple_bouguer(g, h, lat, ellipsoid="wgs84", density=2300, bullard_b=True)
    for name in ("normal_gravity", "free_air", "bouguer"):
        np.testing.assert_array_equal(reduced[name], [float(row[name]) for row in written])
    pandas = pytest.importorskip("pandas")
    series = pandas.Series(lat, index=list("abcde"))
    assert list(torvane.normal_gravity(series, h).index) == list("abcde")


def test_ring_residual_of_absolute_gravity_is_the_cli_run(tmp_path):
    raw = tmp_path / "raw.csv"
    lines = ["lon,lat,g,h"]
    for i in range(30):
        lon, lat = 27.0 + 0.003 * (i % 6), -25.0 - 0.003 * (i // 6)
        lines.append(f"{lon},{lat},{978650 + 0.9 * (i % 7)},{1200 + 11 * (i % 4)}")
    raw.write_text("\n".join(lines) + "\n")
    out = tmp_path / "table.csv"
    flags = ["--crs", "EPSG:4326", "--columns", "lon,lat,g", "--gravity-column", "g",
             "--height-column", "h", "--density", "2500", "--free-air-gradient", "0.3086"]
    run_cli(["--input", raw, "--output", out, "--radius", 600, "--band", 200, *flags])
    with open(out, newline="") as table:
        expected = [float(row["residual"] or 0) for row in csv.DictReader(table)]
    survey = torvane.read_points(raw, columns="lon,lat,g,g", crs="EPSG:4326")
    heights = [1200 + 11 * (i % 4) for i in range(30)]
    result = torvane.ring_residual(survey["x"], survey["y"], None, radius=600, band=200,
                                   gravity=survey["cba"], height=heights,
                                   latitude=survey["file_y"], density=2500,
                                   free_air_gradient=0.3086)
    np.testing.assert_allclose(result["residual"], expected, rtol=0, atol=1e-9)
    swept = torvane.sweep(survey["x"], survey["y"], None, [600], band=200,
                          gravity=survey["cba"], height=heights, latitude=survey["file_y"],
                          density=2500, free_air_gradient=0.3086)
    np.testing.assert_array_equal(swept["residual"][0], result["residual"])
    with pytest.raises(ValueError, match="gravity"):
        torvane.ring_residual(survey["x"], survey["y"], survey["cba"], 600, 200, density=2000)
