"""Grids: read_grid, write_grid and grid_residual over xarray DataArrays
(dims ("y", "x"), rows from the north, as rasters are laid out), or over the
package's own Grid where xarray is not installed."""

from __future__ import annotations

import os
from typing import TYPE_CHECKING, Any, Union

import numpy as np

from . import _checks, _core

if TYPE_CHECKING:
    import xarray

PathLike = Union[str, "os.PathLike[str]"]
GridLike = Union["xarray.DataArray", "Grid"]


def _is_data_array(value: Any) -> bool:
    return type(value).__name__ == "DataArray" and type(value).__module__.startswith("xarray")


def _axis(name: str, nodes: np.ndarray) -> tuple[float, float]:
    """Origin and spacing of an axis of evenly spaced, increasing node coordinates."""
    if nodes.size == 1:
        return float(nodes[0]), 1.0
    spacing = (nodes[-1] - nodes[0]) / (nodes.size - 1)
    steps = np.diff(nodes)
    if not spacing > 0 or not np.allclose(steps, spacing, rtol=1e-9, atol=0):
        raise ValueError(f"{name}: node coordinates must increase in equal steps"
                         + (" (rows run from the south: flip values and y)" if name == "y" else ""))
    return float(nodes[0]), float(spacing)


class Grid:
    """A regular grid of values, such as a CBA grid, where xarray is not
    installed (``read_grid`` gives an ``xarray.DataArray`` where it is).

    Attributes
    ----------
    values : numpy.ndarray, shape (ny, nx), float64
        The nodes, row 0 the southernmost, column 0 the westernmost; NaN
        where a node is blank. Units of the grid's values (mGal for CBA).
    x : numpy.ndarray, shape (nx,)
        Easting of each node column, in the grid's coordinate units.
    y : numpy.ndarray, shape (ny,)
        Northing of each node row, from the south.
    format : str or None
        The file format it was read from (``"surfer7"``, ``"surfer6"``,
        ``"geosoft"``, ``"surfer_ascii"``, ``"esri_ascii"``, ``"gdal"`` for
        a raster read through GDAL), None when made in Python.
    crs : str or None
        The grid's CRS as WKT, where known.
    xmin, dx, ymin, dy : float
        The first node and the node spacings: node (r, c) lies at
        (xmin + c * dx, ymin + r * dy).

    Examples
    --------
    >>> grid = torvane.Grid(np.zeros((3, 4)), x=[0, 10, 20, 30], y=[0, 10, 20])
    >>> grid.values.shape, grid.dx
    ((3, 4), 10.0)
    """

    def __init__(self, values: Any, x: Any, y: Any, format: str | None = None,
                 crs: str | None = None) -> None:
        values = np.array(values, dtype=np.float64)
        if values.ndim != 2:
            raise ValueError(f"values: a 2-D array (rows, columns), not {values.ndim}-D")
        x = _checks.coordinates("x", x)
        y = _checks.coordinates("y", y)
        if values.shape != (y.size, x.size):
            raise ValueError(f"values: shape {values.shape}, but y and x give "
                             f"({y.size}, {x.size})")
        if x.size == 0 or y.size == 0:
            raise ValueError("values: the grid has no nodes")
        self.xmin, self.dx = _axis("x", x)
        self.ymin, self.dy = _axis("y", y)
        self.values, self.x, self.y, self.format, self.crs = values, x, y, format, crs
        self.name: str | None = None
        self.units: str | None = None

    @classmethod
    def _from_core(cls, answer: dict) -> "Grid":
        grid = cls.__new__(cls)
        grid.values = answer["values"]
        rows, columns = grid.values.shape
        grid.xmin, grid.dx = answer["xmin"], answer["dx"]
        grid.ymin, grid.dy = answer["ymin"], answer["dy"]
        # As the core places the nodes: index times spacing, plus the origin.
        grid.x = np.arange(columns, dtype=np.float64) * grid.dx + grid.xmin
        grid.y = np.arange(rows, dtype=np.float64) * grid.dy + grid.ymin
        grid.format = answer.get("format")
        grid.crs = answer.get("crs") or None
        grid.name = answer.get("name")
        grid.units = answer.get("units")
        return grid

    @property
    def shape(self) -> tuple[int, int]:
        return self.values.shape

    def __repr__(self) -> str:
        rows, columns = self.values.shape
        return (f"Grid({columns} x {rows} nodes, x {self.xmin:g} + {self.dx:g} k, "
                f"y {self.ymin:g} + {self.dy:g} k, format={self.format!r})")

    def to_xarray(self, name: str | None = None) -> xarray.DataArray:
        """The grid as an ``xarray.DataArray``: dims ("y", "x"), rows from
        the north, ``attrs`` ``crs`` (WKT or None), ``units`` and ``format``.

        Examples
        --------
        >>> grid = torvane.Grid(np.arange(6.0).reshape(2, 3), x=[0, 1, 2], y=[0, 1])
        >>> grid.to_xarray(name="cba").values.tolist()
        [[3.0, 4.0, 5.0], [0.0, 1.0, 2.0]]
        """
        try:
            import xarray
        except ImportError:
            raise ImportError("Grid.to_xarray needs the xarray package") from None
        attrs = {"crs": self.crs, "units": self.units}
        if self.format is not None:
            attrs["format"] = self.format
        return xarray.DataArray(self.values[::-1], coords={"y": self.y[::-1], "x": self.x},
                                dims=("y", "x"), name=name or self.name, attrs=attrs)


def _crs_of(array: Any) -> str | None:
    """A DataArray's CRS: attrs["crs"], or a rioxarray-style grid mapping
    coordinate (``spatial_ref`` with ``crs_wkt`` or ``spatial_ref``)."""
    crs = array.attrs.get("crs")
    if isinstance(crs, str) and crs:
        return crs
    mapping = array.attrs.get("grid_mapping", "spatial_ref")
    if mapping in array.coords:
        attrs = array.coords[mapping].attrs
        for key in ("crs_wkt", "spatial_ref"):
            if isinstance(attrs.get(key), str) and attrs[key]:
                return attrs[key]
    return None


def _core_grid(name: str, grid: Any) -> tuple[np.ndarray, float, float, float, float, str | None]:
    """The nodes (rows from the south) and geometry of a DataArray or Grid, as
    the core takes them, and its CRS."""
    if isinstance(grid, Grid):
        return grid.values, grid.xmin, grid.dx, grid.ymin, grid.dy, grid.crs
    if not _is_data_array(grid):
        raise ValueError(f"{name}: an xarray.DataArray or a Grid, not {type(grid).__name__}")
    array = grid.squeeze(drop=True) if grid.ndim > 2 else grid
    if array.ndim != 2:
        raise ValueError(f"{name}: a 2-D DataArray (y, x), not {array.ndim}-D")
    dims = array.dims
    if "x" in dims and "y" in dims:
        array = array.transpose("y", "x")
    y_dim, x_dim = array.dims
    x = _checks.coordinates("x", array[x_dim].values if x_dim in array.coords
                            else np.arange(array.shape[1]))
    y = _checks.coordinates("y", array[y_dim].values if y_dim in array.coords
                            else np.arange(array.shape[0]))
    values = np.asarray(array.values, dtype=np.float64)
    if x.size > 1 and x[-1] < x[0]:
        x, values = x[::-1], values[:, ::-1]
    if y.size > 1 and y[-1] < y[0]:
        y, values = y[::-1], values[::-1]
    if values.size == 0:
        raise ValueError(f"{name}: the grid has no nodes")
    xmin, dx = _axis("x", x)
    ymin, dy = _axis("y", y)
    return np.ascontiguousarray(values), xmin, dx, ymin, dy, _crs_of(grid)


def _grid_answer(answer: dict, fallback_name: str | None = None) -> GridLike:
    grid = Grid._from_core(answer)
    grid.name = grid.name or fallback_name
    try:
        import xarray  # noqa: F401
    except ImportError:
        return grid
    return grid.to_xarray()


def read_grid(path: PathLike) -> GridLike:
    """Reads a grid file as ``torvane-cli --grid`` reads it.

    The formats are told apart by their content: Surfer 7 binary, Surfer 6
    binary, Geosoft binary, Surfer ASCII, ESRI ASCII, and the rasters GDAL
    reads (GeoTIFF, netCDF, ...). Missing nodes become NaN. A file cut short
    gives the rows it holds and a ``TorvaneWarning`` ("Error by reading grid:
    <path>").

    Parameters
    ----------
    path : str or path-like
        The grid file.

    Returns
    -------
    xarray.DataArray
        The nodes (float64, NaN for blanks) with dims ("y", "x"), row 0 the
        northernmost; coordinates ``x`` and ``y`` of the nodes in the file's
        units; named after the file (its stem); ``attrs``: ``crs`` (WKT,
        None where the file gives none), ``units`` (None where unknown) and
        ``format``.
    Grid
        Where xarray is not installed.

    Raises
    ------
    FileNotFoundError, PermissionError
        The file is missing or cannot be read.
    TorvaneError
        The file is no grid Torvane reads.

    Examples
    --------
    >>> grid = torvane.read_grid("data/sample_cba.grd")
    >>> grid.dims, grid.shape, grid.name, grid.attrs["format"]
    (('y', 'x'), (200, 200), 'sample_cba', 'surfer7')
    >>> bool(grid.y[0] > grid.y[-1])
    True
    """
    path = _checks.readable("path", path)
    stem = os.fsdecode(os.path.splitext(os.path.basename(path))[0])
    return _grid_answer(_core.read_grid(path), stem)


def write_grid(path: PathLike, grid: GridLike, format: str | None = None,
               crs: str | None = None) -> None:
    """Writes a grid file, as ``torvane-cli convert`` writes it.

    The nodes are written in single precision, as every grid Torvane reads
    holds them; NaN nodes are written blank. The grid's CRS goes into
    GeoTIFF and netCDF files and into a ``.prj`` file beside an ESRI ASCII
    grid, where this build's grid writers store one.

    Parameters
    ----------
    path : str or path-like
        The file to write; an existing file is replaced only when the new
        one is complete.
    grid : xarray.DataArray or Grid
        The grid to write: a DataArray with dims ("y", "x") (in either
        order, rows from the north or the south) and evenly spaced
        coordinates, such as ``read_grid`` gives or rioxarray makes. Its CRS
        is ``attrs["crs"]`` or a rioxarray-style ``spatial_ref``
        coordinate; its name and ``attrs["units"]`` name the values.
    format : str or None
        ``"surfer7"``, ``"surfer6"``, ``"surfer-ascii"``, ``"esri"``,
        ``"geosoft"``, ``"gtiff"`` or ``"netcdf"``; None tells it by the
        name: ``.grd`` Surfer 7, ``.asc`` ESRI ASCII, ``.tif``/``.tiff``
        GeoTIFF, ``.nc`` netCDF.
    crs : str or None
        The CRS to store in place of the grid's own (``"EPSG:32735"``, WKT,
        a PROJ string).

    Raises
    ------
    FileNotFoundError, PermissionError
        The file's folder is missing or takes no new file.
    TorvaneError
        The format cannot hold the grid, or the file could not be written.

    Examples
    --------
    >>> grid = torvane.read_grid("data/sample_cba.grd")
    >>> torvane.write_grid("sample_cba.asc", grid)
    >>> torvane.read_grid("sample_cba.asc").shape
    (200, 200)
    """
    path = _checks.writable("path", path)
    values, xmin, dx, ymin, dy, grid_crs = _core_grid("grid", grid)
    if format is not None and not isinstance(format, str):
        raise ValueError(f"format: a format name or None, not {format!r}")
    crs = _checks.crs_text("crs", crs) or grid_crs
    units = grid.units if isinstance(grid, Grid) else grid.attrs.get("units")
    name = grid.name if isinstance(grid.name, str) else None
    _core.write_grid(path, values, xmin, dx, ymin, dy, format, crs, name,
                     units if isinstance(units, str) else None)


def grid_residual(grid: GridLike, radius: float, ring_points: int = 360,
                  min_share: float = 1.0) -> GridLike:
    """Ring-average residual of every node of a grid, as ``torvane-cli
    grid-residual`` computes it.

    Each node's value less the mean of the grid sampled bilinearly at
    ``ring_points`` positions on the circle of radius R around it; a node
    whose usable samples are fewer than ``min_share`` of them, or which is
    blank, is blank (NaN) in the result.

    Parameters
    ----------
    grid : xarray.DataArray or Grid
        The grid (its values are taken in single precision).
    radius : float
        R, in the grid's coordinate units, greater than 0.
    ring_points : int
        N, the number of samples on the circle, at least 1.
    min_share : float
        S, from 0 to 1: the share of the N samples a node needs.

    Returns
    -------
    xarray.DataArray or Grid
        The residual grid, with the geometry and CRS of ``grid``, named
        ``residual``, ``attrs["units"]`` "mGal"; a Grid when ``grid`` is
        one.

    Examples
    --------
    >>> grid = torvane.read_grid("data/sample_cba.grd")
    >>> residual = torvane.grid_residual(grid, radius=500)
    >>> residual.name, residual.attrs["units"], residual.shape
    ('residual', 'mGal', (200, 200))
    """
    values, xmin, dx, ymin, dy, crs = _core_grid("grid", grid)
    radius = _checks.positive("radius", radius)
    ring_points = _checks.ring_points(ring_points)
    min_share = _checks.number("min_share", min_share)
    if not 0 <= min_share <= 1:
        raise ValueError(f"min_share: from 0 to 1, not {min_share}")
    answer = _core.grid_residual(values, xmin, dx, ymin, dy, radius, ring_points, min_share)
    if isinstance(grid, Grid):
        answer.update(crs=crs, name="residual", units="mGal", format=None)
        return Grid._from_core(answer)
    return _like(grid, answer["values"], crs)


def _like(grid: xarray.DataArray, values: np.ndarray, crs: str | None) -> xarray.DataArray:
    """A DataArray of `values` (rows from the south, as the core answers) laid
    out as `grid`, with its very coordinates (``spatial_ref`` too), so that
    the two align."""
    array = grid.squeeze(drop=True) if grid.ndim > 2 else grid
    if "x" in array.dims and "y" in array.dims:
        array = array.transpose("y", "x")
    y_dim, x_dim = array.dims
    for axis, dim in ((0, y_dim), (1, x_dim)):
        nodes = array[dim].values if dim in array.coords else np.arange(array.shape[axis])
        if nodes.size > 1 and nodes[-1] < nodes[0]:
            values = np.flip(values, axis)
    result = array.copy(data=values).transpose(*[d for d in grid.dims if d in array.dims])
    result.name = "residual"
    result.attrs = {**grid.attrs, "crs": crs, "units": "mGal"}
    result.attrs.pop("format", None)
    return result
