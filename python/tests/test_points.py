"""read_points and ring_residual against torvane-cli on the same files, and
ring_residual against a plain scipy computation."""

import os
import subprocess
import sys
import warnings

import numpy as np
import pytest
from scipy.spatial import cKDTree

import torvane
from conftest import (INTEROP_DIR, SAMPLE_SURVEY, as_table_prints, fixed, random_survey, run_table, shift_round_trip,
                      write_survey)


def test_read_points_gives_the_numbers_of_the_table(tmp_path, sample_survey):
    table = run_table(tmp_path, ["--input", SAMPLE_SURVEY, "--radius", 500, "--band", 100])
    assert sample_survey["x"].dtype == np.float64
    assert len(table.rows) == sample_survey["x"].size == 3000
    # The table shows the coordinates after the shift that the computation
    # makes (none negative) and its undoing, which may round a last digit.
    assert fixed(shift_round_trip(sample_survey["x"]), 1) == table.column(0)
    assert fixed(shift_round_trip(sample_survey["y"]), 1) == table.column(1)
    assert fixed(sample_survey["point"], 1) == table.column(2)
    assert fixed(sample_survey["cba"], 3) == table.column(3)


@pytest.mark.parametrize("columns, line", [
    ("A,B,C,E", "{x} {y} {p} 0 {cba}"),
    ("b,c,e,d", "7 {x},{y},{cba},{p}"),
    ("E,D,A,B", "{p}\t{cba}\t9\t{y}\t{x}"),
])
def test_read_points_takes_the_columns_the_command_takes(tmp_path, columns, line):
    x, y, cba = random_survey(seed=3, count=50)
    path = tmp_path / "survey.txt"
    rows = [line.format(x=repr(a), y=repr(b), cba=repr(c), p=k + 1)
            for k, (a, b, c) in enumerate(zip(x, y, cba))]
    path.write_text("/ comment\nheader line\n" + "\n".join(rows) + "\n")
    survey = torvane.read_points(path, columns=columns)
    # Every number reads back to the double it was written from.
    np.testing.assert_array_equal(survey["x"], x)
    np.testing.assert_array_equal(survey["y"], y)
    np.testing.assert_array_equal(survey["cba"], cba)
    np.testing.assert_array_equal(survey["point"], np.arange(1, 51))
    table = run_table(tmp_path, ["--input", path, "--radius", 400, "--band", 1, "--columns", columns])
    assert fixed(shift_round_trip(survey["x"]), 1) == table.column(0)
    assert fixed(survey["cba"], 3) == table.column(3)


def test_read_points_with_a_decimal_comma_as_the_command_under_that_locale(tmp_path):
    path = tmp_path / "comma.dat"
    path.write_text("1,5 2,25 1 0 10,125\n3,5 2,25 2 0 11,5\n-4,75 6 3 0 -1,25\n")
    survey = torvane.read_points(path, decimal_separator=",")
    np.testing.assert_array_equal(survey["x"], [1.5, 3.5, -4.75])
    np.testing.assert_array_equal(survey["cba"], [10.125, 11.5, -1.25])
    if "de_DE.utf8" not in subprocess.run(["locale", "-a"], capture_output=True,
                                           text=True).stdout.replace("UTF-8", "utf8"):
        pytest.skip("the de_DE.UTF-8 locale is not installed")
    table = run_table(tmp_path, ["--input", path, "--radius", "2", "--band", "1"], env={"LC_ALL": "de_DE.UTF-8"})
    assert fixed(shift_round_trip(survey["x"]), 1) == table.column(0)
    assert fixed(survey["cba"], 3) == table.column(3)
    # Without a separator given, the environment's locale decides, as for the command.
    environment = dict(os.environ, LC_ALL="de_DE.UTF-8")
    script = ("import torvane, sys; s = torvane.read_points(sys.argv[1]); "
              "print(s['x'].tolist())")
    done = subprocess.run([sys.executable, "-c", script, str(path)], env=environment,
                          capture_output=True, text=True, check=True)
    assert done.stdout.strip() == "[1.5, 3.5, -4.75]"


def test_read_points_reads_point_decimals_under_a_comma_locale(tmp_path):
    environment = dict(os.environ, LC_ALL="de_DE.UTF-8")
    script = ("import torvane, sys; s = torvane.read_points(sys.argv[1]); "
              "print(s['x'].size, s.attrs['skipped'])")
    done = subprocess.run([sys.executable, "-c", script, str(SAMPLE_SURVEY)], env=environment,
                          capture_output=True, text=True, check=True)
    assert done.stdout.split() == ["3000", "0"]


@pytest.mark.parametrize("text, columns, kept, skipped, said", [
    ("x y p h cba\n1 2 3 0 4\n5 6 7 0\n8 9 10 0 nan\n1 2 3 0 -3O.0\n5 6 7 0 8\n", "A,B,C,E",
     2, 3, "3 rows skipped (1 wrong number of fields: line 3; 1 CBA not a number: line 5; "
           "1 NaN or infinite value: line 4)"),
    ("4278,48 2411,33 1 1214,5 -30,588\n1 2 3 0 4\n", "A,B,C,E", 1, 1,
     "line 1 writes decimals with ','"),
    ("1 2 ST1 north 4\n5 6 ST2 south 8\n", "A,B,-,E", 2, 0, None),
])
def test_read_points_counts_and_names_the_rows_it_skips(tmp_path, text, columns, kept, skipped,
                                                        said):
    path = tmp_path / "survey.dat"
    path.write_text(text)
    with warnings.catch_warnings(record=True) as warned:
        warnings.simplefilter("always")
        survey = torvane.read_points(path, columns=columns, decimal_separator=".")
    assert survey["x"].size == kept
    assert survey.attrs["skipped"] == skipped
    messages = [str(w.message) for w in warned]
    assert any(said in m for m in messages) if said else not messages, messages
    if columns.split(",")[2] == "-":
        np.testing.assert_array_equal(survey["point"], np.arange(1, kept + 1))


def ring_cases():
    # (survey, radius, band): the sample survey and random ones, wide and
    # narrow rings, a band of 0 and a band equal to the radius.
    yield "sample", 500.0, 100.0
    yield "clustered", 100.0, 0.5
    yield "random", 250.0, 250.0
    yield "random", 333.3, 12.5
    yield "clustered", 80.0, 40.0


def survey_of(kind, tmp_path):
    if kind == "sample":
        return SAMPLE_SURVEY
    if kind == "random":
        x, y, cba = random_survey(seed=11, count=4000)
    else:  # stations bunched along a few lines, many at equal distances
        k = np.arange(2000)
        x = (k % 40) * 20.0 - 300.0
        y = (k // 40) * 20.0 - 500.0
        cba = np.cos(k / 7.0) * 2.5
    return write_survey(tmp_path / f"{kind}.dat", x, y, cba)


@pytest.mark.parametrize("kind, radius, band", ring_cases())
def test_ring_residual_equals_the_table(tmp_path, kind, radius, band):
    path = survey_of(kind, tmp_path)
    survey = torvane.read_points(path)
    args = ["--input", path, "--radius", repr(radius)] + ["--band", repr(band)]
    table = run_table(tmp_path, args)
    result = torvane.ring_residual(survey["x"], survey["y"], survey["cba"], radius, band)
    assert result["residual"].dtype == np.float64
    assert as_table_prints(result) == table.column(4)
    assert [str(n) for n in result["n"]] == table.column(5)
    assert result["n"].sum() > 0


def reference_ring_residual(x, y, cba, radius, band):
    """The definition, point by point, over a k-d tree."""
    tree = cKDTree(np.column_stack([x, y]))
    lower, upper = radius - band - 1e-6, radius + band + 1e-6
    residual = np.full(x.size, np.nan)
    n = np.zeros(x.size, dtype=np.int64)
    for i, near in enumerate(tree.query_ball_point(np.column_stack([x, y]), upper * 1.001)):
        near = np.asarray(near, dtype=np.int64)
        d = np.hypot(x[near] - x[i], y[near] - y[i])
        ring = near[(d >= lower) & (d <= upper)]
        n[i] = ring.size
        if ring.size:
            residual[i] = cba[i] - np.mean(cba[ring])
    return residual, n


@pytest.mark.parametrize("seed, count, radius, band", [
    (1, 3000, 300.0, 50.0),
    (2, 5000, 120.0, 120.0),
    (3, 1500, 900.0, 5.0),
    (4, 800, 50.0, 0.5),
])
def test_ring_residual_against_a_scipy_reference(seed, count, radius, band):
    x, y, cba = random_survey(seed, count)
    result = torvane.ring_residual(list(x), tuple(y), cba, radius, band)
    residual, n = reference_ring_residual(x, y, cba, radius, band)
    np.testing.assert_array_equal(result["n"], n)
    np.testing.assert_allclose(result["residual"], residual, rtol=0, atol=1e-9)


def test_the_ring_of_a_lone_station_is_empty():
    result = torvane.ring_residual([0.0, 10.0], [0.0, 0.0], [5.0, 7.0], radius=10, band=0.5)
    np.testing.assert_array_equal(result["residual"], [-2.0, 2.0])
    result = torvane.ring_residual([0.0, 10.0], [0.0, 0.0], [5.0, 7.0], radius=50, band=1)
    np.testing.assert_array_equal(result["n"], [0, 0])
    np.testing.assert_array_equal(result["residual"], [np.nan, np.nan])


@pytest.mark.parametrize("name", ["bushveld_cba.dat", "lagunadelmaule_cba.dat",
                                  "yunnan_cba.dat"])
def test_real_surveys_give_the_table(tmp_path, name):
    path = INTEROP_DIR / name
    if not path.is_file():
        pytest.skip("no shared samples beside the project")
    survey = torvane.read_points(path)
    table = run_table(tmp_path, ["--input", path, "--radius", 5000, "--band", 1000])
    result = torvane.ring_residual(survey["x"], survey["y"], survey["cba"], 5000, 1000)
    assert fixed(shift_round_trip(survey["x"]), 1) == table.column(0)
    assert as_table_prints(result) == table.column(4)
    assert [str(n) for n in result["n"]] == table.column(5)
