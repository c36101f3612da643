"""The module in pandas and xarray terms: DataFrames and DataArrays in and out
(a GeoTIFF written from a DataArray read back by GDAL itself), blanking equal
to torvane-cli's, and the docstrings' examples run as doctests."""

import doctest
import importlib

import numpy as np
import pytest

import torvane
from conftest import SAMPLE_GRID, SAMPLE_SURVEY, SOURCE_DIR, run_cli
from test_quality_sweep import SAMPLE_STATIONS, numbers, read_csv

pandas = pytest.importorskip("pandas")
xarray = pytest.importorskip("xarray")


def test_stations_as_a_data_frame_with_their_crs_and_other_columns():
    stations = torvane.read_points(SAMPLE_STATIONS, columns="longitude,latitude,station,cba",
                                   crs="EPSG:4326")
    file = read_csv(SAMPLE_STATIONS)
    assert isinstance(stations, pandas.DataFrame)
    assert stations.attrs == {"crs": "EPSG:4326", "work_crs": "EPSG:32735", "skipped": 0}
    assert list(stations.columns) == ["x", "y", "point", "cba", "file_x", "file_y", "elevation"]
    assert stations["point"].tolist() == file["station"]
    np.testing.assert_array_equal(stations["elevation"], numbers(file["elevation"]))
    np.testing.assert_array_equal(stations["file_x"], numbers(file["longitude"]))
    # The dict of earlier versions, on request.
    as_dict = torvane.read_points(SAMPLE_STATIONS, columns="longitude,latitude,station,cba",
                                  crs="EPSG:4326", as_dict=True)
    assert as_dict["label"] == file["station"] and as_dict["work_crs"] == "EPSG:32735"
    np.testing.assert_array_equal(as_dict["x"], stations["x"])
    # The columns carry the work CRS into the rings, which keep the index.
    stations.index = stations["point"]
    result = torvane.ring_residual(stations["x"], stations["y"], stations["cba"], 500, 100)
    assert isinstance(result, pandas.DataFrame) and result.attrs["work_crs"] == "EPSG:32735"
    assert result.index.tolist() == file["station"]


BLANKING = [
    # (mode, R, torvane-cli's flags, the module's arguments)
    ("points", 500, ["--min-ring-points", 25], {"min_ring_points": 25}),
    ("points", 500, ["--max-gap", 150], {"max_gap": 150}),
    ("points", 500, ["--min-ring-points", 10, "--max-gap", 200, "--quality"],
     {"min_ring_points": 10, "max_gap": 200, "quality": True}),
    # Rings that leave the grid on one side.
    ("grid", 1500, ["--max-gap", 40, "--ring-points", 36], {"max_gap": 40, "ring_points": 36}),
]


@pytest.mark.parametrize("mode, radius, flags, arguments", BLANKING)
def test_blanking_equals_the_commands(tmp_path, sample_survey, mode, radius, flags, arguments):
    output = tmp_path / "table.csv"
    args = ["--input", SAMPLE_SURVEY, "--output", output, "--radius", radius, *flags]
    survey = (sample_survey["x"], sample_survey["y"], sample_survey["cba"])
    if mode == "points":
        run_cli(args + ["--band", 100])
        result = torvane.ring_residual(*survey, radius, 100, **arguments)
    else:
        run_cli(args + ["--grid", SAMPLE_GRID])
        result = torvane.grid_ring_residual(*survey, SAMPLE_GRID, radius, **arguments)
    table = read_csv(output)
    residual = numbers(table["residual"])
    assert 0 < np.isnan(residual).sum() < residual.size
    np.testing.assert_array_equal(result["residual"], residual)
    assert ("gap" in result) == ("gap" in table)


def test_sweep_blanking_and_quality_equal_the_command(tmp_path, sample_survey):
    curve = tmp_path / "curve.csv"
    run_cli(["sweep", "--input", SAMPLE_SURVEY, "--output", tmp_path / "sweep.csv",
             "--radii", "200,500", "--band-ratio", 0.2, "--min-ring-points", 8,
             "--max-gap", 120, "--curve", curve])
    swept = torvane.sweep(sample_survey["x"], sample_survey["y"], sample_survey["cba"],
                          [200, 500], band_ratio=0.2, min_ring_points=8, max_gap=120,
                          quality=True)
    table = read_csv(tmp_path / "sweep.csv")
    for k, radius in enumerate(("200", "500")):
        np.testing.assert_array_equal(swept["residual"][k], numbers(table[f"residual_{radius}"]))
        single = torvane.ring_residual(sample_survey["x"], sample_survey["y"],
                                       sample_survey["cba"], float(radius), 0.2 * float(radius),
                                       quality=True)
        np.testing.assert_array_equal(swept["gap"][k], single["gap"])
        assert (swept["gap"][k][np.isfinite(swept["residual"][k])] <= 120).all()
    expected = read_csv(curve)
    for name in expected:
        np.testing.assert_allclose(swept["curve"][name], numbers(expected[name]), rtol=1e-12)


def data_array_with_spatial_ref(values, x, y, wkt):
    """A grid as rioxarray lays it out: rows from the north, the CRS in a
    scalar `spatial_ref` coordinate."""
    return xarray.DataArray(values, dims=("y", "x"),
                            coords={"y": y, "x": x,
                                    "spatial_ref": ((), 0, {"crs_wkt": wkt, "spatial_ref": wkt})},
                            name="cba", attrs={"units": "mGal"})


def test_a_data_array_round_trips_through_a_geotiff_gdal_reads(tmp_path):
    gdal = pytest.importorskip("osgeo.gdal")
    osr = pytest.importorskip("osgeo.osr")
    reference = osr.SpatialReference()
    reference.ImportFromEPSG(32735)
    wkt = reference.ExportToWkt()
    generator = np.random.default_rng(7)
    values = generator.normal(-30, 5, (40, 60)).astype(np.float32).astype(np.float64)
    values[3, 4] = np.nan
    x = 544000.0 + 25.0 * np.arange(60)
    y = 7233000.0 - 25.0 * np.arange(40)
    grid = data_array_with_spatial_ref(values, x, y, wkt)
    path = tmp_path / "cba.tif"
    torvane.write_grid(path, grid)

    dataset = gdal.Open(str(path))
    band = dataset.GetRasterBand(1)
    back = band.ReadAsArray().astype(np.float64)
    back[back == band.GetNoDataValue()] = np.nan
    np.testing.assert_array_equal(back, values)
    origin_x, cell_x, _, origin_y, _, cell_y = dataset.GetGeoTransform()
    assert (origin_x + cell_x / 2, cell_x, origin_y + cell_y / 2, cell_y) == (x[0], 25, y[0], -25)
    ours = torvane.read_grid(path)
    np.testing.assert_array_equal(ours.values, values)
    np.testing.assert_array_equal(ours.x, x)
    np.testing.assert_array_equal(ours.y, y)
    if "units" not in (torvane._core.write_grid.__doc__ or ""):
        pytest.skip("this build's grid writer takes no CRS yet")
    written = osr.SpatialReference(wkt=dataset.GetProjection())
    assert written.IsSame(reference)
    assert osr.SpatialReference(wkt=ours.attrs["crs"]).IsSame(reference)


def test_grid_residual_of_a_data_array_keeps_its_layout():
    grid = torvane.read_grid(SAMPLE_GRID)
    wkt = 'PROJCS["a grid of ours"]'
    as_rioxarray = data_array_with_spatial_ref(grid.values, grid.x.values, grid.y.values, wkt)
    flipped = as_rioxarray.isel(y=slice(None, None, -1)).transpose("x", "y")
    residual = torvane.grid_residual(as_rioxarray, 500)
    assert residual.name == "residual" and residual.attrs["units"] == "mGal"
    assert residual.attrs["crs"] == wkt and "spatial_ref" in residual.coords
    # Aligned with the grid it came from, node for node, however it was laid out.
    again = torvane.grid_residual(flipped, 500)
    assert again.dims == ("x", "y")
    xarray.testing.assert_identical(again.transpose("y", "x").sortby("y", ascending=False),
                                    residual)
    local = grid - residual
    assert local.shape == grid.shape and int(local.notnull().sum()) == int(residual.notnull().sum())


MODULES = ["torvane", "torvane.points", "torvane.rings", "torvane.grids", "torvane.reductions",
           "torvane.versions", "torvane.maps"]


@pytest.mark.parametrize("name", MODULES)
def test_docstring_examples(tmp_path, monkeypatch, name):
    # The examples name the files of the source tree as a notebook at its root does.
    (tmp_path / "data").symlink_to(SOURCE_DIR / "data")
    monkeypatch.chdir(tmp_path)
    module = importlib.import_module(name)
    finder = doctest.DocTestFinder()
    runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS | doctest.NORMALIZE_WHITESPACE)
    tests = [test for test in finder.find(module, name, globs={"torvane": torvane, "np": np})
             if test.examples]
    assert tests, f"{name} has no examples"
    for test in tests:
        runner.run(test)
    assert runner.failures == 0, f"{runner.failures} of {runner.tries} examples of {name} failed"


def test_every_public_function_is_typed_and_has_examples():
    for name in torvane.__all__:
        item = getattr(torvane, name)
        if isinstance(item, type) and issubclass(item, Exception):
            continue
        doc = item.__doc__ or ""
        assert "\n    Examples\n    --------\n" in doc, f"{name} has no numpydoc Examples section"
        if callable(item) and not isinstance(item, type):
            assert "return" in item.__annotations__, f"{name} has no return type hint"
    assert (SOURCE_DIR / "python" / "torvane" / "py.typed").is_file()
