"""Bad arguments raise ValueError naming the argument; the core's refusals
raise TorvaneError with the text torvane-cli prints for the same file."""

import os

import numpy as np
import pytest

import torvane
from conftest import SAMPLE_GRID, SAMPLE_SURVEY, cli_messages, run_cli

X = [0.0, 10.0, 20.0]
Y = [0.0, 0.0, 5.0]
CBA = [1.0, 2.0, 3.0]


@pytest.mark.parametrize("call, argument", [
    (lambda: torvane.ring_residual(X, Y[:2], CBA, 10, 1), "y"),
    (lambda: torvane.ring_residual(X, Y, CBA + [4.0], 10, 1), "cba"),
    (lambda: torvane.ring_residual([], [], [], 10, 1), "x"),
    (lambda: torvane.ring_residual([[0.0, 1.0]], [[0.0, 1.0]], [[0.0, 1.0]], 10, 1), "x"),
    (lambda: torvane.ring_residual(X, [0.0, np.nan, 1.0], CBA, 10, 1), "y"),
    (lambda: torvane.ring_residual(X, Y, [1.0, np.inf, 2.0], 10, 1), "cba"),
    (lambda: torvane.ring_residual(["a", "b", "c"], Y, CBA, 10, 1), "x"),
    (lambda: torvane.ring_residual(X, Y, CBA, float("nan"), 1), "radius"),
    (lambda: torvane.ring_residual(X, Y, CBA, 0, 0), "radius"),
    (lambda: torvane.ring_residual(X, Y, CBA, -5, 1), "radius"),
    (lambda: torvane.ring_residual(X, Y, CBA, "ten", 1), "radius"),
    (lambda: torvane.ring_residual(X, Y, CBA, 10, -1), "band"),
    (lambda: torvane.ring_residual(X, Y, CBA, 10, float("nan")), "band"),
    (lambda: torvane.ring_residual(X, Y, CBA, 10, 11), "band"),
    (lambda: torvane.grid_ring_residual(X, Y, CBA, SAMPLE_GRID, 10, ring_points=0), "ring_points"),
    (lambda: torvane.grid_ring_residual(X, Y, CBA, SAMPLE_GRID, 10, ring_points=2.5),
     "ring_points"),
    (lambda: torvane.grid_ring_residual(X, Y, CBA, 42, 10), "grid"),
    (lambda: torvane.grid_ring_residual(X, Y[:1], CBA, SAMPLE_GRID, 10), "y"),
    (lambda: torvane.read_points(SAMPLE_SURVEY, columns="A,B,C"), "columns"),
    (lambda: torvane.read_points(SAMPLE_SURVEY, columns="A,B,,E"), "columns"),
    (lambda: torvane.read_points(SAMPLE_SURVEY, decimal_separator=";"), "decimal_separator"),
    (lambda: torvane.read_points(None), "path"),
    (lambda: torvane.read_grid(""), "path"),
    (lambda: torvane.read_points(str(SAMPLE_SURVEY) + "\0junk"), "path"),
    (lambda: torvane.read_grid(str(SAMPLE_GRID) + "\0"), "path"),
    (lambda: torvane.grid_ring_residual(X, Y, CBA, SAMPLE_GRID, 10, ring_points=(1 << 20) + 1),
     "ring_points"),
    (lambda: torvane.grid_residual(torvane.read_grid(SAMPLE_GRID), 10, ring_points=1 << 21),
     "ring_points"),
    (lambda: torvane.sweep(X, Y, CBA, radii=np.arange(1, 1002), band=0), "radii"),
    (lambda: torvane.Grid(np.zeros((2, 3)), [0, 1, 2], [0, 1, 2]), "values"),
    (lambda: torvane.Grid(np.zeros((2, 3)), [0, 1, 5], [0, 1]), "x"),
    (lambda: torvane.Grid(np.zeros((2, 3)), [0, 1, 2], [1, 0]), "y"),
])
def test_bad_arguments_raise_value_error_naming_them(call, argument):
    with pytest.raises(ValueError, match=f"^{argument}: "):
        call()


_XS, _YS, _CBAS = (np.array(v) for v in (X, Y, CBA))
_NODES = np.zeros((3, 3))


# The module's C++ side checks what the core cannot take, whoever calls it.
@pytest.mark.parametrize("call, argument", [
    (lambda core: core.ring_residual(_XS, _YS, _CBAS, float("inf"), 1, False), "radius"),
    (lambda core: core.ring_residual(_XS, _YS, _CBAS, 10, 11, False), "band"),
    (lambda core: core.grid_ring_residual_values(_XS, _YS, _CBAS, _NODES, 0, 1, 0, 1, 10,
                                                 (1 << 20) + 1, False, False), "ring_points"),
    (lambda core: core.grid_ring_residual_values(_XS, _YS, _CBAS, np.zeros(9), 0, 1, 0, 1, 10,
                                                 8, False, False), "grid"),
    (lambda core: core.grid_ring_residual_file(_XS, _YS, _CBAS, str(SAMPLE_GRID), 10, 0, False,
                                               False), "ring_points"),
    (lambda core: core.grid_residual(_NODES, 0, 1, 0, 1, 10, 8, float("nan")), "min_share"),
    (lambda core: core.sweep(_XS, _YS, _CBAS, [(r, 0.0) for r in range(1, 1002)], 0, 360.0),
     "radii"),
    (lambda core: core.sweep(_XS, _YS, _CBAS, [(10.0, 1.0), (10.0, 2.0)], 0, 360.0), "radii"),
    (lambda core: core.sweep(_XS, _YS, _CBAS, [(10.0, 1.0)], 0, 400.0), "max_gap"),
])
def test_the_core_calls_refuse_what_the_core_cannot_take(call, argument):
    from torvane import _core
    with pytest.raises(ValueError, match=f"^{argument}: "):
        call(_core)


def test_metres_read_as_degrees_fail_as_the_command_does(tmp_path):
    done = run_cli(["--input", SAMPLE_SURVEY, "--output", tmp_path / "t.dat", "--radius", 10,
                    "--band", 1, "--crs", "EPSG:4326"], check=False)
    with pytest.raises(torvane.TorvaneError) as raised:
        torvane.read_points(SAMPLE_SURVEY, crs="EPSG:4326")
    assert done.returncode == 1
    assert str(raised.value).splitlines() == cli_messages(done.stderr)


@pytest.mark.parametrize("call", [
    lambda path: torvane.read_points(path),
    lambda path: torvane.read_grid(path),
    lambda path: torvane.grid_ring_residual(X, Y, CBA, path, 10),
    lambda path: torvane.write_grid(path / "out.grd", torvane.read_grid(SAMPLE_GRID)),
])
def test_missing_files_raise_file_not_found_error(tmp_path, call):
    missing = tmp_path / "missing"
    with pytest.raises(FileNotFoundError) as raised:
        call(missing)
    assert raised.value.filename.startswith(str(missing))


@pytest.mark.skipif(os.geteuid() == 0, reason="root reads and writes every file")
def test_unreadable_files_raise_permission_error(tmp_path):
    locked = tmp_path / "locked"
    locked.mkdir()
    survey = locked / "survey.dat"
    survey.write_text("0 0 1 0 1\n")
    survey.chmod(0)
    locked.chmod(0o500)
    try:
        with pytest.raises(PermissionError):
            torvane.read_points(survey)
        with pytest.raises(PermissionError):
            torvane.write_grid(locked / "out.grd", torvane.read_grid(SAMPLE_GRID))
    finally:
        locked.chmod(0o700)


def test_the_core_refusals_stay_torvane_errors(tmp_path):
    directory = tmp_path / "folder.dat"
    directory.mkdir()
    with pytest.raises(torvane.TorvaneError) as raised:
        torvane.read_points(directory)
    assert isinstance(raised.value, RuntimeError) and str(directory) in str(raised.value)


def test_a_file_without_points_fails_as_the_command_does(tmp_path):
    empty = tmp_path / "empty.dat"
    empty.write_text("X Y POINT H CBA\nno numbers here\n")
    done = run_cli(["--input", empty, "--output", tmp_path / "t.dat", "--radius", 10, "--band", 1],
                   check=False)
    with pytest.raises(torvane.TorvaneError) as raised:
        torvane.read_points(empty)
    assert str(raised.value).splitlines() == cli_messages(done.stderr)


def test_an_unreadable_grid_fails_as_the_command_does(tmp_path):
    grid = tmp_path / "broken.grd"
    grid.write_bytes(b"not a grid at all\n")
    done = run_cli(["--input", SAMPLE_SURVEY, "--output", tmp_path / "t.dat", "--radius", 10,
                    "--grid", grid], check=False)
    assert done.returncode == 1
    for call in (lambda: torvane.read_grid(grid),
                 lambda: torvane.grid_ring_residual(X, Y, CBA, grid, 10)):
        with pytest.raises(torvane.TorvaneError) as raised:
            call()
        assert str(raised.value).splitlines() == cli_messages(done.stderr)
        assert str(grid) in str(raised.value)


def test_names_that_are_not_utf8_keep_their_bytes(tmp_path):
    """Latin-1 station names and file names, as an old logger writes them."""
    survey = os.fsdecode(bytes(tmp_path) + b"/caf\xe9.csv")
    with open(survey, "wb") as out:
        out.write(b"station,x,y,cba\ncaf\xe9,0,0,10\nM\xfcller,50,0,4\nS3,0,50,6\n")
    points = torvane.read_points(survey, columns="x,y,station,cba")
    assert [name.encode("utf-8", "surrogateescape") for name in points["point"]] == [
        b"caf\xe9", b"M\xfcller", b"S3"]
    missing = os.fsdecode(bytes(tmp_path) + b"/gone\xe9.dat")
    with pytest.raises((torvane.TorvaneError, OSError)) as raised:
        torvane.read_points(missing)
    assert "gone" in str(raised.value)
