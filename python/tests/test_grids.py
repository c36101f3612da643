"""read_grid against GDAL's dump of the same grids, and grid_ring_residual
against torvane-cli's grid mode on the same files."""

import warnings

import numpy as np
import pytest

import torvane
from conftest import (SAMPLE_GRID, SAMPLE_SURVEY, SOURCE_DIR, as_table_prints, cli_messages,
                      random_survey, run_cli, run_table, write_survey)

GDAL_DIR = SOURCE_DIR / "tests" / "data"


def gdal_dump():
    """GDAL's x y value dump of the source grid, as rows from the south."""
    dump = np.loadtxt(GDAL_DIR / "gdal_source.xyz")
    x = np.unique(dump[:, 0])
    y = np.unique(dump[:, 1])
    values = np.full((y.size, x.size), np.nan)
    for xi, yi, value in dump:
        if value != -9999:
            values[np.searchsorted(y, yi), np.searchsorted(x, xi)] = value
    return x, y, values


@pytest.mark.parametrize("name, format", [
    ("gdal_gs7bg.grd", "surfer7"),
    ("gdal_gsbg.grd", "surfer6"),
    ("gdal_gsag.grd", "surfer_ascii"),
    ("gdal_aaigrid.asc", "esri_ascii"),
])
def test_read_grid_gives_the_nodes_gdal_wrote(name, format):
    grid = torvane.read_grid(GDAL_DIR / name)
    x, y, values = gdal_dump()
    # North up, as GDAL lays rasters out: the dump's rows from the south reversed.
    y, values = y[::-1], values[::-1]
    assert grid.attrs["format"] == format and grid.dims == ("y", "x")
    assert grid.values.dtype == np.float64 and grid.values.shape == values.shape == (5, 7)
    np.testing.assert_allclose(grid.x, x, rtol=1e-12)
    np.testing.assert_allclose(grid.y, y, rtol=1e-12)
    np.testing.assert_array_equal(np.isnan(grid.values), np.isnan(values))
    # The nodes are single precision, as every format but the ASCII ones stores them.
    np.testing.assert_allclose(grid.values, values, rtol=1e-6, equal_nan=True)


def grid_cases():
    # (grid given as, ring points, interpolated CBA)
    for given in ("path", "grid"):
        yield given, 360, False
        yield given, 7, True
    yield "python grid", 90, False
    yield "rows from the south", 90, False


@pytest.mark.parametrize("given, ring_points, interpolated", grid_cases())
def test_grid_ring_residual_equals_the_table(tmp_path, sample_survey, given, ring_points,
                                             interpolated):
    # Rings of stations near the survey's edges reach beyond the grid.
    args = ["--input", SAMPLE_SURVEY, "--radius", 800, "--grid", SAMPLE_GRID,
            "--ring-points", ring_points] + (["--interpolated-cba"] if interpolated else [])
    table = run_table(tmp_path, args)
    grid = SAMPLE_GRID if given == "path" else torvane.read_grid(SAMPLE_GRID)
    if given == "python grid":
        # Made in Python from the file's nodes at the file's node coordinates.
        grid = torvane.Grid(grid.values[::-1].copy(), grid.x, grid.y[::-1])
    elif given == "rows from the south":
        grid = grid.isel(y=slice(None, None, -1))
    result = torvane.grid_ring_residual(sample_survey["x"], sample_survey["y"],
                                        sample_survey["cba"], grid, radius=800,
                                        ring_points=ring_points, interpolated_cba=interpolated)
    assert [str(n) for n in result["n"]] == table.column(5)
    assert as_table_prints(result) == table.column(4)
    assert (result["n"] < ring_points).any() and (result["n"] == ring_points).any()


def test_a_grid_changed_in_python_changes_the_rings(sample_survey):
    grid = torvane.read_grid(SAMPLE_GRID)
    before = torvane.grid_ring_residual(sample_survey["x"], sample_survey["y"],
                                        sample_survey["cba"], grid, 500)
    grid.values[:, : grid.values.shape[1] // 2] = np.nan
    after = torvane.grid_ring_residual(sample_survey["x"], sample_survey["y"],
                                       sample_survey["cba"], grid, 500)
    assert (after["n"] <= before["n"]).all() and after["n"].sum() < before["n"].sum()


def test_a_grid_cut_short_is_refused_as_convert_refuses_it(tmp_path):
    data = SAMPLE_GRID.read_bytes()
    cut = tmp_path / "cut.grd"
    cut.write_bytes(data[: len(data) * 2 // 3])
    with pytest.raises(torvane.TorvaneError) as raised:
        torvane.read_grid(cut)
    done = run_cli(["convert", cut, tmp_path / "out.grd"], check=False)
    assert done.returncode == 1
    assert str(raised.value).splitlines() == cli_messages(done.stderr)
    assert f"{cut}: header says 200 x 200 nodes" in str(raised.value)
    assert not (tmp_path / "out.grd").exists()


def test_grid_to_xarray():
    xarray = pytest.importorskip("xarray")
    values = np.arange(12.0).reshape(3, 4)
    grid = torvane.Grid(values, x=[10, 20, 30, 40], y=[-5, 0, 5])
    array = grid.to_xarray(name="cba")
    assert isinstance(array, xarray.DataArray) and array.dims == ("y", "x")
    assert array.y.values.tolist() == [5, 0, -5] and array.name == "cba"
    assert array.sel(x=20, y=-5).item() == values[0, 1]


@pytest.mark.parametrize("format, name", [
    ("surfer7", "out.grd"), ("esri", "out.asc"), (None, "out.tif"), ("surfer-ascii", "out.dat"),
])
def test_write_grid_writes_what_convert_writes(tmp_path, format, name):
    grid = torvane.read_grid(SAMPLE_GRID)
    ours, theirs = tmp_path / ("ours_" + name), tmp_path / ("theirs_" + name)
    torvane.write_grid(ours, grid, format=format)
    run_cli(["convert", SAMPLE_GRID, theirs] + (["--format", format] if format else []))
    assert ours.read_bytes() == theirs.read_bytes()
    back = torvane.read_grid(ours)
    np.testing.assert_array_equal(back.values, grid.values)


def test_write_grid_refuses_an_unknown_format(tmp_path):
    grid = torvane.read_grid(SAMPLE_GRID)
    with pytest.raises(ValueError, match="^format: "):
        torvane.write_grid(tmp_path / "out.xyz", grid)
    with pytest.raises(ValueError, match="^format: "):
        torvane.write_grid(tmp_path / "out.grd", grid, format="png")


@pytest.mark.parametrize("radius, ring_points, min_share", [(500, 360, 1.0), (1200, 45, 0.5)])
def test_grid_residual_equals_the_command(tmp_path, radius, ring_points, min_share):
    output = tmp_path / "residual.grd"
    run_cli(["grid-residual", "--grid", SAMPLE_GRID, "--output", output, "--radius", radius,
             "--ring-points", ring_points, "--min-share", min_share])
    grid = torvane.read_grid(SAMPLE_GRID)
    ours = torvane.grid_residual(grid, radius, ring_points=ring_points, min_share=min_share)
    theirs = torvane.read_grid(output)
    assert ours.values.shape == grid.values.shape
    np.testing.assert_array_equal(ours.values, theirs.values)
    assert np.isnan(ours.values).any() and not np.isnan(ours.values).all()
