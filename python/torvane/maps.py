"""Maps: grid_stations grids scattered stations as the maps and
``torvane-cli --residual-grid`` grid them; save_map draws a grid (a DataArray
or a Grid) as ``torvane-cli map`` draws it."""

from __future__ import annotations

from typing import Any

import numpy as np

from . import _checks, _core
from .grids import Grid, GridLike, PathLike, _core_grid, _grid_answer

ArrayLike = Any  # any array-like of numbers: list, numpy array, pandas Series


def _optional_positive(name: str, value: Any) -> float:
    """0 (the core's "choose it yourself") for None, else a number > 0."""
    return 0.0 if value is None else _checks.positive(name, value)


def grid_stations(x: ArrayLike, y: ArrayLike, values: ArrayLike, cell: float | None = None,
                  gridder: str = "min-curvature", tension: float = 0.25,
                  mask_distance: float | None = None, radius: float | None = None,
                  crs: str | None = None) -> GridLike:
    """Grids values at scattered stations, as the maps and ``torvane-cli
    --residual-grid`` grid them.

    Parameters
    ----------
    x, y : array-like of float, shape (n,)
        The stations' coordinates in metres (or any one unit), such as a
        DataFrame's ``x`` and ``y`` columns.
    values : array-like of float, shape (n,)
        One value a station (a residual, a CBA); NaN stations are left out.
    cell : float or None
        The node spacing; None takes the median distance from a station to
        its nearest neighbour, rounded down to 1, 2, 2.5 or 5 times a power
        of ten.
    gridder : str
        ``"min-curvature"``: continuous curvature splines in tension, blank
        beyond ``mask_distance`` from every station (default three times the
        median station spacing); ``"idw"``: the previews' inverse distances
        within ``radius`` (default five cells).
    tension : float
        0 (minimum curvature) to 1, for ``"min-curvature"``.
    mask_distance, radius : float or None
        See ``gridder``.
    crs : str or None
        The CRS of ``x`` and ``y``, stored with the grid; None takes the
        ``work_crs`` a DataFrame's columns carry (``read_points`` sets it).

    Returns
    -------
    xarray.DataArray or Grid
        Nodes from the south-west corner of the stations' bounding box, NaN
        where blank; dims ("y", "x"), rows from the north, named after the
        values (``values.name`` where it has one), ``attrs["crs"]``. A Grid
        where xarray is not installed.

    Examples
    --------
    >>> survey = torvane.read_points("data/sample_survey.dat")
    >>> grid = torvane.grid_stations(survey["x"], survey["y"], survey["cba"], cell=50)
    >>> grid.dims, grid.name
    (('y', 'x'), 'cba')
    >>> bool(abs(float(grid.x[1] - grid.x[0]) - 50) < 1e-9)
    True
    """
    x, y = _checks.coordinates("x", x), _checks.coordinates("y", y)
    name = getattr(values, "name", None)
    array = np.ascontiguousarray(values, dtype=np.float64)
    if array.ndim != 1 or array.size != x.size or y.size != x.size:
        raise ValueError(f"values: one value per station ({x.size}), not shape {array.shape}")
    if not isinstance(gridder, str):
        raise ValueError(f"gridder: \"min-curvature\" or \"idw\", not {gridder!r}")
    crs = _checks.crs_text("crs", crs)
    if crs is None:
        for column in (x, y, values):
            attrs = getattr(column, "attrs", None)
            if isinstance(attrs, dict) and attrs.get("work_crs"):
                crs = attrs["work_crs"]
    answer = _core.grid_stations(x, y, array, _optional_positive("cell", cell), gridder,
                                 _checks.number("tension", tension),
                                 _optional_positive("mask_distance", mask_distance),
                                 _optional_positive("radius", radius))
    answer["crs"] = crs
    return _grid_answer(answer, name if isinstance(name, str) else None)


def save_map(path: PathLike, grid: GridLike, title: str = "", label: str | None = None,
             colour_scale: str | None = None, colour_range: tuple[float, float] | None = None,
             palette: str | None = None, contours: float | None = None,
             size: tuple[int, int] = (1200, 900), crs: str | None = None) -> None:
    """Draws a grid as a map, as ``torvane-cli map`` draws it: PNG, SVG or
    PDF by the name's extension (SVG and PDF as vectors with the grid's
    nodes embedded as one image).

    Parameters
    ----------
    path : str or path-like
        The picture to write, ending in ``.png``, ``.svg`` or ``.pdf``.
    grid : xarray.DataArray or Grid
        The grid, such as ``read_grid``, ``grid_residual`` or
        ``grid_stations`` give (rows from the north or the south).
    title : str
        Above the map.
    label : str or None
        Beside the colour bar: the quantity and its unit. None takes the
        grid's name and ``units`` ("residual [mGal]").
    colour_scale : str or None
        ``"equalised"`` (the default: each colour holds about the same
        area), ``"linear"`` (2nd to 98th percentile) or ``"sd"`` (0.066
        standard deviations a colour around the mean).
    colour_range : (float, float) or None
        The colours in equal steps from min to max instead.
    palette : str or None
        ``"seed"`` (the default), ``"diverging"`` (blue-white-red centred on
        0), ``"viridis"`` or ``"cividis"``.
    contours : float or None
        Labelled contour lines this far apart.
    size : (int, int)
        Pixels (PNG, SVG; a PDF page at 96 of them an inch).
    crs : str or None
        The CRS named in the axes' titles; None takes the grid's.

    Raises
    ------
    FileNotFoundError, PermissionError
        The file's folder is missing or takes no new file.
    TorvaneError
        The map could not be written.

    Examples
    --------
    >>> grid = torvane.read_grid("data/sample_cba.grd")
    >>> torvane.save_map("sample_cba.svg", grid, label="CBA [mGal]", contours=5)
    """
    path = _checks.writable("path", path)
    values, xmin, dx, ymin, dy, grid_crs = _core_grid("grid", grid)
    if label is None:
        name = grid.name if isinstance(grid.name, str) else "Value"
        units = grid.units if isinstance(grid, Grid) else grid.attrs.get("units")
        label = f"{name} [{units}]" if isinstance(units, str) and units else name
    crs = _checks.crs_text("crs", crs) or grid_crs
    for name, value in (("title", title), ("label", label), ("colour_scale", colour_scale),
                        ("palette", palette)):
        if value is not None and not isinstance(value, str):
            raise ValueError(f"{name}: a text, not {value!r}")
    if colour_range is not None:
        try:
            low, high = (_checks.number("colour_range", v) for v in colour_range)
        except TypeError:
            raise ValueError(f"colour_range: (min, max), not {colour_range!r}") from None
        colour_range = (low, high)
    try:
        width, height = (int(side) for side in size)
    except (TypeError, ValueError):
        raise ValueError(f"size: (width, height) in pixels, not {size!r}") from None
    _core.save_map(path, values, xmin, dx, ymin, dy, title, label, colour_scale, colour_range,
                   palette, _optional_positive("contours", contours), width, height, crs)
