"""grid_stations against torvane-cli --residual-grid on the same survey, and
save_map's colour choices read back from the written files."""

import subprocess

import numpy as np
import pytest

import torvane
from conftest import SAMPLE_SURVEY, run_cli


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
    assert ours.values.shape == cli.values.shape
    assert ours.xmin == pytest.approx(cli.xmin, abs=0.1)
    both = ~np.isnan(ours.values) & ~np.isnan(cli.values)
    assert both.mean() > 0.5
    # The table's coordinates are rounded to 0.1 m: the nodes and stations
    # move by up to 0.05 m, the splines' iterations stop at slightly other places.
    spread = np.nanmax(cli.values) - np.nanmin(cli.values)
    assert np.abs(ours.values[both] - cli.values[both]).max() < 0.03 * spread


def test_save_map_colour_choices_and_refusals(tmp_path):
    x = np.linspace(0, 1000, 41)
    y = np.linspace(0, 600, 25)
    grid = torvane.Grid(np.add.outer(y / 60, x / 100) - 10, x=x, y=y)
    path = tmp_path / "m.pdf"
    torvane.save_map(path, grid, label="Residual [mGal]", palette="diverging",
                     colour_range=(-10, 10), contours=2.5)
    text = subprocess.run(["pdftotext", str(path), "-"], capture_output=True, text=True).stdout
    assert "Residual [mGal]" in text
    with pytest.raises(ValueError, match="palette"):
        torvane.save_map(tmp_path / "n.png", grid, palette="jet")
    with pytest.raises(ValueError, match="gridder"):
        torvane.grid_stations(x, x, x, gridder="kriging")
