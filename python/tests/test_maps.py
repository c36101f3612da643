"""grid_stations against torvane-cli --residual-grid on the same survey, and
save_map's grids (DataArray or Grid, rows either way) and choices read back
from the written files."""

import subprocess

import numpy as np
import pytest

import torvane
from conftest import SAMPLE_SURVEY, run_cli

xarray = pytest.importorskip("xarray")


@pytest.mark.parametrize("gridder", ["min-curvature", "idw"])
def test_grid_stations_is_the_clis_residual_grid(tmp_path, gridder):
    table = tmp_path / "t.dat"
    grid_file = tmp_path / "r.tif"
    run_cli(["--input", SAMPLE_SURVEY, "--output", table, "--radius", 500, "--band", 100,
             "--residual-grid", grid_file, "--cell", 50, "--gridder", gridder])
    rows = np.loadtxt(table, skiprows=1, usecols=(0, 1, 4), ndmin=2)
    ours = torvane.grid_stations(rows[:, 0], rows[:, 1], rows[:, 2], cell=50, gridder=gridder,
                                 radius=500)
    cli = torvane.read_grid(grid_file)
    assert ours.dims == ("y", "x") and ours.shape == cli.shape
    assert float(ours.x[0]) == pytest.approx(float(cli.x[0]), abs=0.1)
    assert float(ours.y[0]) == pytest.approx(float(cli.y[0]), abs=0.1)  # both north-up
    both = ~np.isnan(ours.values) & ~np.isnan(cli.values)
    assert both.mean() > 0.5
    # The table's coordinates are rounded to 0.1 m: the nodes and stations
    # move by up to 0.05 m, the splines' iterations stop at slightly other places.
    spread = np.nanmax(cli.values) - np.nanmin(cli.values)
    assert np.abs(ours.values[both] - cli.values[both]).max() < 0.03 * spread


def _tilted():
    """A grid that is not symmetric in any direction, south-up as a Grid."""
    x = np.linspace(0, 1000, 41)
    y = np.linspace(0, 600, 25)
    values = np.add.outer(y / 60, x / 100) - 10 + np.add.outer(y * 0, x) ** 2 / 1e5
    return torvane.Grid(values, x=x, y=y)


def test_save_map_draws_a_data_array_as_the_same_grid(tmp_path):
    grid = _tilted()
    north_up = grid.to_xarray(name="residual")
    pictures = {
        "grid": grid,
        "north_up": north_up,
        "south_up": north_up.isel(y=slice(None, None, -1)),
        "x_first": north_up.transpose("x", "y"),
    }
    for name, value in pictures.items():
        torvane.save_map(tmp_path / f"{name}.png", value, label="Residual [mGal]",
                         size=(400, 300))
    drawn = {name: (tmp_path / f"{name}.png").read_bytes() for name in pictures}
    assert len(set(drawn.values())) == 1, "the same grid drew different pictures"
    # A grid flipped by mistake draws another picture.
    torvane.save_map(tmp_path / "flipped.png", north_up.copy(data=north_up.values[::-1]),
                     label="Residual [mGal]", size=(400, 300))
    assert (tmp_path / "flipped.png").read_bytes() != drawn["grid"]


def test_save_map_names_the_grid_and_its_crs(tmp_path):
    array = _tilted().to_xarray(name="residual")
    array.attrs.update(units="mGal", crs="EPSG:32735")
    path = tmp_path / "m.pdf"
    torvane.save_map(path, array, palette="diverging", colour_range=(-10, 10), contours=2.5)
    text = subprocess.run(["pdftotext", str(path), "-"], capture_output=True, text=True).stdout
    assert "residual [mGal]" in text
    assert "UTM zone 35S" in text
    with pytest.raises(ValueError, match="palette"):
        torvane.save_map(tmp_path / "n.png", array, palette="jet")
    with pytest.raises(ValueError, match="gridder"):
        torvane.grid_stations([0, 1], [0, 1], [0, 1], gridder="kriging")
    with pytest.raises(FileNotFoundError):
        torvane.save_map(tmp_path / "missing" / "n.png", array)
