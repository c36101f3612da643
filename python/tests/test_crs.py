"""Coordinate reference systems end to end: grid mode in the grid's CRS
against stations projected beforehand with PROJ's cs2cs, the CRS of every
grid written read back by GDAL, netCDF read by xarray, and `info`."""

import csv
import json
import math
import os
import shutil
import subprocess

import numpy as np
import pytest

import torvane
from conftest import SAMPLE_GRID, SAMPLE_SURVEY, SOURCE_DIR, cli_path

STATIONS = SOURCE_DIR / "data" / "sample_stations.csv"
STATION_COLUMNS = ["--columns", "longitude,latitude,station,cba"]
# The sample survey's metres lie in UTM zone 35 S, 540000 m east and
# 7230000 m north of its origin (tools/make_stations.py).
SAMPLE_METRES = ("+proj=tmerc +lat_0=0 +lon_0=27 +k=0.9996 +x_0=-40000 +y_0=2770000 "
                 "+datum=WGS84 +units=m +type=crs")

needs_gdal_tools = pytest.mark.skipif(
    not all(shutil.which(tool) for tool in ("gdalwarp", "gdalsrsinfo", "cs2cs")),
    reason="needs gdal-bin and proj-bin")


def cli(args):
    return subprocess.run([cli_path(), *map(str, args)], capture_output=True, text=True,
                          env=dict(os.environ, LC_ALL="C"))


def table(path):
    with open(path, newline="") as rows:
        return list(csv.DictReader(rows))


def epsg_of(path):
    """The EPSG code GDAL finds in a grid file (or the .prj beside it)."""
    done = subprocess.run(["gdalsrsinfo", "-o", "epsg", str(path)], capture_output=True,
                          text=True)
    return done.stdout.strip()


@pytest.fixture(scope="module")
def zone36(tmp_path_factory):
    """The sample CBA grid warped into UTM zone 36 S, one zone east of the
    stations' own, as a GeoTIFF."""
    folder = tmp_path_factory.mktemp("zone36")
    grid = folder / "cba36.tif"
    subprocess.run(["gdalwarp", "-q", "-s_srs", SAMPLE_METRES, "-t_srs", "EPSG:32736",
                    str(SAMPLE_GRID), str(grid)], check=True)
    return grid


@needs_gdal_tools
@pytest.mark.parametrize("grid_format", ["gtiff", "netcdf", "esri"])
def test_grid_mode_samples_the_grid_in_its_own_crs(tmp_path, zone36, grid_format):
    grid = tmp_path / {"gtiff": "g.tif", "netcdf": "g.nc", "esri": "g.asc"}[grid_format]
    assert cli(["convert", zone36, grid]).returncode == 0
    # Reference: the stations projected into zone 36 S by cs2cs, given as metres.
    with open(STATIONS, newline="") as rows:
        stations = list(csv.DictReader(rows))
    places = "".join(f"{s['longitude']} {s['latitude']}\n" for s in stations)
    projected = subprocess.run(["cs2cs", "-f", "%.10f", "+proj=longlat +datum=WGS84",
                                "+to", "EPSG:32736"], input=places, capture_output=True,
                               text=True, check=True).stdout.split("\n")
    metres = tmp_path / "metres.dat"
    metres.write_text("".join(f"{line.split()[0]} {line.split()[1]} {k} 0 {s['cba']}\n"
                              for k, (line, s) in enumerate(zip(projected, stations), 1)))
    given = cli(["--input", STATIONS, "--output", tmp_path / "given.csv", "--crs", "EPSG:4326",
                 *STATION_COLUMNS, "--radius", 500, "--grid", grid])
    expected = cli(["--input", metres, "--output", tmp_path / "expected.csv", "--radius", 500,
                    "--grid", grid])
    assert given.returncode == 0 and expected.returncode == 0, given.stderr + expected.stderr
    assert "rings in EPSG:32736 (WGS 84 / UTM zone 36S)" in given.stdout
    # Without --crs the grid's CRS is noted once, and taken for the points'.
    assert expected.stderr.count("EPSG:32736 (WGS 84 / UTM zone 36S)") == 1
    ours, theirs = table(tmp_path / "given.csv"), table(tmp_path / "expected.csv")
    assert len(ours) == len(theirs) == 3000
    assert [row["n"] for row in ours] == [row["n"] for row in theirs]
    assert sum(int(row["n"]) for row in ours) > 3000 * 300
    for mine, reference in zip(ours, theirs):
        assert float(mine["residual"]) == pytest.approx(float(reference["residual"]), abs=1e-9)


@needs_gdal_tools
@pytest.mark.parametrize("warp, extra, code, words", [
    (["-t_srs", "EPSG:4326"], [], 1, ["geographic", "gdalwarp -t_srs EPSG:327"]),
    ([], ["--work-crs", "EPSG:32735"], 2, ["EPSG:32735", "EPSG:32736"]),
])
def test_grid_crs_that_cannot_hold_rings_is_refused(tmp_path, zone36, warp, extra, code, words):
    grid = zone36
    if warp:
        grid = tmp_path / "warped.tif"
        subprocess.run(["gdalwarp", "-q", *warp, str(zone36), str(grid)], check=True)
    out = tmp_path / "out.dat"
    done = cli(["--input", STATIONS, "--output", out, "--crs", "EPSG:4326", *STATION_COLUMNS,
                "--radius", 500, "--grid", grid, *extra])
    assert done.returncode == code
    for word in words:
        assert word in done.stderr
    assert not out.exists()


@needs_gdal_tools
@pytest.mark.parametrize("name", ["res.tif", "res.nc", "res.asc", "res.grd"])
@pytest.mark.parametrize("how, code", [
    ("residual-grid", "EPSG:32735"),   # the work CRS of stations in degrees
    ("grid-residual", "EPSG:32736"),   # the input grid's
    ("convert", "EPSG:32736"),
    ("convert --crs", "EPSG:32733"),   # given to a grid without one
])
def test_every_grid_written_carries_its_crs(tmp_path, zone36, name, how, code):
    out = tmp_path / name
    if how == "residual-grid":
        args = ["--input", STATIONS, "--output", tmp_path / "t.dat", "--crs", "EPSG:4326",
                *STATION_COLUMNS, "--radius", 500, "--band", 100, "--residual-grid", out,
                "--cell", 100]
    elif how == "grid-residual":
        args = ["grid-residual", "--grid", zone36, "--output", out, "--radius", 500]
    elif how == "convert":
        args = ["convert", zone36, out]
    else:
        args = ["convert", SAMPLE_GRID, out, "--crs", "EPSG:32733"]
    done = cli(args)
    assert done.returncode == 0, done.stderr
    if name.endswith(".grd"):
        assert "coordinate reference system was not stored in" in done.stderr
    else:
        assert epsg_of(out) == code
        assert "not stored" not in done.stderr


@needs_gdal_tools
def test_netcdf_is_cf_with_metres_and_a_named_variable(tmp_path, zone36):
    xarray = pytest.importorskip("xarray")
    out = tmp_path / "res.nc"
    assert cli(["--input", STATIONS, "--output", tmp_path / "t.csv", "--crs", "EPSG:4326",
                *STATION_COLUMNS, "--radius", 500, "--band", 100, "--residual-grid", out,
                "--cell", 100]).returncode == 0
    with xarray.open_dataset(out) as data:
        residual = data["residual"]
        assert residual.dims == ("y", "x") and residual.attrs["units"] == "mGal"
        for axis, name in (("x", "projection_x_coordinate"), ("y", "projection_y_coordinate")):
            assert data[axis].attrs["units"] == "m"
            assert data[axis].attrs["standard_name"] == name
        assert data.attrs["Conventions"] == "CF-1.8"
        assert "grid_mapping" in residual.attrs or "grid_mapping" in residual.encoding
        # UTM metres, not degrees.
        assert 400000 < float(data["x"].mean()) < 600000
        assert float(np.nanmax(np.abs(residual.values))) < 10
        texts = [str(v) for v in data.attrs.values()]
        for variable in data.variables.values():
            texts += [str(v) for v in variable.attrs.values()]
        assert not any(".tmp" in text for text in texts)
    # A grid without CRS still has metres, never lon/lat.
    plain = tmp_path / "plain.nc"
    assert cli(["convert", SAMPLE_GRID, plain]).returncode == 0
    with xarray.open_dataset(plain) as data:
        assert set(data.dims) == {"x", "y"} and "sample_cba" in data


@needs_gdal_tools
def test_python_grids_keep_and_write_their_crs(tmp_path, zone36):
    grid = torvane.read_grid(zone36)
    assert "UTM zone 36S" in grid.attrs["crs"]
    torvane.write_grid(tmp_path / "copy.tif", grid)
    assert epsg_of(tmp_path / "copy.tif") == "EPSG:32736"
    residual = torvane.grid_residual(grid, radius=500)
    torvane.write_grid(tmp_path / "residual.asc", residual)
    assert epsg_of(tmp_path / "residual.asc") == "EPSG:32736"
    torvane.write_grid(tmp_path / "given.nc", torvane.read_grid(SAMPLE_GRID), crs="EPSG:32735")
    assert epsg_of(tmp_path / "given.nc") == "EPSG:32735"
    with pytest.warns(torvane.TorvaneWarning, match="not stored"):
        torvane.write_grid(tmp_path / "surfer.grd", grid)


def nearest_spacing_median(x, y):
    """Each station's distance to its nearest other one, by brute force."""
    x, y = np.asarray(x), np.asarray(y)
    nearest = []
    for i in range(len(x)):
        distances = np.hypot(x - x[i], y - y[i])
        distances[i] = np.inf
        nearest.append(distances.min())
    return float(np.median(nearest))


@needs_gdal_tools
@pytest.mark.parametrize("what", ["points", "grid", "stations"])
def test_info_tells_what_a_file_holds(what, zone36):
    if what == "points":
        done = cli(["info", SAMPLE_SURVEY, "--json"])
    elif what == "grid":
        done = cli(["info", zone36, "--json"])
    else:
        done = cli(["info", STATIONS, "--crs", "EPSG:4326", *STATION_COLUMNS, "--json"])
    assert done.returncode == 0, done.stderr
    info = json.loads(done.stdout)
    if what == "grid":
        grid = torvane.read_grid(zone36)
        assert (info["kind"], info["columns"], info["rows"]) == ("grid", 209, 209)
        assert info["crs"]["code"] == "EPSG:32736"
        assert info["blanks"] == int(np.isnan(grid.values).sum()) > 0
        assert info["values"]["min"] == pytest.approx(np.nanmin(grid.values))
        assert info["values"]["max"] == pytest.approx(np.nanmax(grid.values))
        return
    survey = torvane.read_points(SAMPLE_SURVEY)
    assert (info["kind"], info["points"]) == ("points", 3000)
    assert info["cba"]["mean"] == pytest.approx(survey["cba"].mean())
    assert info["cba"]["sd"] == pytest.approx(survey["cba"].std(ddof=1))
    if what == "points":
        assert info["crs"] is None
        assert info["xmin"] == pytest.approx(survey["x"].min())
        expected = nearest_spacing_median(survey["x"], survey["y"])
    else:
        assert (info["crs"]["code"], info["work_crs"]["code"]) == ("EPSG:4326", "EPSG:32735")
        stations = torvane.read_points(STATIONS, columns="longitude,latitude,station,cba",
                                       crs="EPSG:4326")
        expected = nearest_spacing_median(stations["x"], stations["y"])
    assert info["median_spacing"] == pytest.approx(expected, rel=1e-12)
    assert not math.isnan(info["median_spacing"])
