"""Ring quality, the radius sweep and station files by header names against
torvane-cli's CSV outputs on the same files."""

import csv

import numpy as np
import pytest

import torvane
from conftest import SAMPLE_GRID, SAMPLE_SURVEY, SOURCE_DIR, run_cli

SAMPLE_STATIONS = SOURCE_DIR / "data" / "sample_stations.csv"


def read_csv(path):
    with open(path, newline="") as file:
        rows = list(csv.DictReader(file))
    return {name: [row[name] for row in rows] for name in rows[0]}


def numbers(texts):
    return np.array([float(text) if text else np.nan for text in texts])


@pytest.mark.parametrize("mode", ["points", "grid"])
def test_quality_equals_the_csv_table(tmp_path, sample_survey, mode):
    output = tmp_path / "table.csv"
    args = ["--input", SAMPLE_SURVEY, "--output", output, "--radius", 500, "--quality"]
    survey = (sample_survey["x"], sample_survey["y"], sample_survey["cba"])
    if mode == "points":
        run_cli(args + ["--band", 100])
        result = torvane.ring_residual(*survey, 500, 100, quality=True)
    else:
        run_cli(args + ["--grid", SAMPLE_GRID, "--ring-points", 90])
        result = torvane.grid_ring_residual(*survey, SAMPLE_GRID, 500, ring_points=90,
                                            quality=True)
    table = read_csv(output)
    # CSV numbers are the shortest text that reads back to the same double.
    np.testing.assert_array_equal(result["residual"], numbers(table["residual"]))
    np.testing.assert_array_equal(result["n"], numbers(table["n"]))
    np.testing.assert_array_equal(result["gap"], numbers(table["gap"]))
    np.testing.assert_array_equal(result["sectors"], numbers(table["sectors"]))
    np.testing.assert_array_equal(result["sd"], numbers(table["sd"]))
    assert result["sectors"].dtype == np.int64
    plain = torvane.ring_residual(*survey, 500, 100) if mode == "points" else None
    if plain is not None:
        assert "gap" not in plain
        np.testing.assert_array_equal(plain["residual"], result["residual"])


@pytest.mark.parametrize("band, band_ratio, flag", [
    (None, 0.2, ["--band-ratio", "0.2"]),
    (75.0, None, ["--band", "75"]),
])
def test_sweep_equals_the_command(tmp_path, sample_survey, band, band_ratio, flag):
    radii = [250.0, 400.0, 800.0]
    output, curve = tmp_path / "sweep.csv", tmp_path / "curve.csv"
    run_cli(["sweep", "--input", SAMPLE_SURVEY, "--output", output, "--curve", curve,
             "--radii", "250,400,800", *flag])
    swept = torvane.sweep(sample_survey["x"], sample_survey["y"], sample_survey["cba"], radii,
                          band=band, band_ratio=band_ratio)
    table, expected = read_csv(output), read_csv(curve)
    assert swept["residual"].shape == swept["n"].shape == (3, 3000)
    for k, radius in enumerate(radii):
        name = f"{radius:g}"
        np.testing.assert_array_equal(swept["residual"][k], numbers(table[f"residual_{name}"]))
        np.testing.assert_array_equal(swept["n"][k], numbers(table[f"n_{name}"]))
    assert set(swept["curve"]) == set(expected)
    for name, values in expected.items():
        np.testing.assert_array_equal(swept["curve"][name], numbers(values), err_msg=name)
    # Each radius as a single ring residual.
    single = torvane.ring_residual(sample_survey["x"], sample_survey["y"], sample_survey["cba"],
                                   radii[1], swept["band"][1])
    np.testing.assert_array_equal(single["residual"], swept["residual"][1])


@pytest.mark.parametrize("call, argument", [
    (lambda s: torvane.sweep(*s, [100, 200]), "band"),
    (lambda s: torvane.sweep(*s, [100, 200], band=1, band_ratio=0.1), "band"),
    (lambda s: torvane.sweep(*s, [100, 100], band=1), "radii"),
    (lambda s: torvane.sweep(*s, [100, -2], band=1), "radii"),
    (lambda s: torvane.sweep(*s, [100, 200], band=150), "band"),
    (lambda s: torvane.sweep(*s, [100], band_ratio=1.5), "band_ratio"),
    (lambda s: torvane.read_points(SAMPLE_SURVEY, work_crs="EPSG:32735"), "work_crs"),
])
def test_bad_sweep_arguments_name_them(sample_survey, call, argument):
    survey = (sample_survey["x"], sample_survey["y"], sample_survey["cba"])
    with pytest.raises(ValueError, match=f"^{argument}: "):
        call(survey)


def test_stations_by_header_names_and_crs_as_the_command(tmp_path):
    output = tmp_path / "table.csv"
    run_cli(["--input", SAMPLE_STATIONS, "--output", output, "--radius", 500, "--band", 100,
             "--columns", "longitude,latitude,station,cba", "--crs", "EPSG:4326"])
    survey = torvane.read_points(SAMPLE_STATIONS, columns="longitude,latitude,station,cba",
                                 crs="EPSG:4326")
    table = read_csv(output)
    assert survey["point"].tolist() == table[list(table)[2]]
    np.testing.assert_array_equal(survey["cba"], numbers(table["cba"]))
    assert np.all(np.abs(survey["file_x"] - numbers(table[list(table)[0]])) < 5e-7)
    # The projected coordinates are metres: neighbouring stations some metres apart.
    assert 1 < np.hypot(np.diff(survey["x"][:2]), np.diff(survey["y"][:2]))[0] < 1000
    result = torvane.ring_residual(survey["x"], survey["y"], survey["cba"], 500, 100)
    np.testing.assert_allclose(result["residual"], numbers(table["residual"]), rtol=0,
                               atol=1e-9)
    np.testing.assert_array_equal(result["n"], numbers(table["n"]))


def test_decimal_comma_in_a_csv_file(tmp_path):
    path = tmp_path / "comma.csv"
    path.write_text("x;y;name;cba\n1,5;2,25;A1;10,125\n-4,75;6;B2;-1,25\n")
    survey = torvane.read_points(path, columns="x,y,name,cba", decimal_separator=",")
    np.testing.assert_array_equal(survey["x"], [1.5, -4.75])
    np.testing.assert_array_equal(survey["cba"], [10.125, -1.25])
    assert survey["point"].tolist() == ["A1", "B2"]
