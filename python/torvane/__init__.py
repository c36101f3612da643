"""Ring-average residuals of gravity surveys, over numpy arrays.

The same computation as the Torvane window and ``torvane-cli``, on the same
C++ core: for every station, its complete Bouguer anomaly (CBA) less the mean
CBA of the stations at a distance of R +/- D from it (``ring_residual``), or
less the mean of N samples of a CBA grid on the circle of radius R
(``grid_ring_residual``). Distances are in the units of the coordinates
(metres for projected surveys); CBA values in mGal.

Every function takes any array-like where it takes an array, answers numpy
float64 arrays, releases the GIL while the core runs, raises ``ValueError``
naming the argument for a bad argument and ``TorvaneError`` with the core's
own message when the core refuses (an unreadable file, for example). Messages
the core shows without failing (a grid cut short) come as ``TorvaneWarning``.
Ctrl-C stops ``ring_residual``, ``grid_ring_residual`` and ``grid_residual``
within milliseconds with ``KeyboardInterrupt``; reading or writing a file and
``sweep`` run to their end first.

Example, on the sample survey of the source tree::

    >>> import torvane
    >>> survey = torvane.read_points("data/sample_survey.dat")
    >>> result = torvane.ring_residual(survey["x"], survey["y"], survey["cba"],
    ...                                radius=500, band=100)
    >>> result["residual"][:3], result["n"][:3]
"""

import math
import numbers
import os

import numpy as np

from . import _core
from ._core import TorvaneError, TorvaneWarning
from .reductions import _anomaly, bouguer_plate, normal_gravity, simple_bouguer

__all__ = [
    "Grid",
    "TorvaneError",
    "TorvaneWarning",
    "bouguer_plate",
    "grid_ring_residual",
    "read_grid",
    "read_points",
    "grid_residual",
    "normal_gravity",
    "ring_residual",
    "simple_bouguer",
    "sweep",
    "write_grid",
]
__version__ = "0.1.0"

_MAX_RING_POINTS = _core.MOST_RING_POINTS


def _path(name, value):
    try:
        path = os.fspath(value)
    except TypeError:
        raise ValueError(f"{name}: a file name (str or path), not {type(value).__name__}") from None
    # Bytes as the file system takes them: a name that is not UTF-8 (held
    # in a str with surrogates, as os.listdir gives it) reaches the core whole.
    if isinstance(path, str):
        path = os.fsencode(path)
    if not path:
        raise ValueError(f"{name}: the file name is empty")
    if b"\0" in path:
        raise ValueError(f"{name}: the file name holds a NUL byte")
    return path


def _coordinates(name, value):
    """A 1-D float64 array of finite numbers, or ValueError naming the argument."""
    try:
        array = np.ascontiguousarray(value, dtype=np.float64)
    except (TypeError, ValueError) as error:
        raise ValueError(f"{name}: not an array of numbers ({error})") from None
    if array.ndim != 1:
        raise ValueError(f"{name}: a 1-D array of values, one per station, not {array.ndim}-D")
    bad = np.flatnonzero(~np.isfinite(array))
    if bad.size:
        raise ValueError(f"{name}: not a finite number at index {bad[0]} ({array[bad[0]]})")
    return array


def _survey(x, y, cba):
    arrays = [_coordinates(name, value) for name, value in (("x", x), ("y", y), ("cba", cba))]
    if arrays[0].size == 0:
        raise ValueError("x: the survey has no stations")
    for name, array in zip(("y", "cba"), arrays[1:]):
        if array.size != arrays[0].size:
            raise ValueError(f"{name}: {array.size} values, but x has {arrays[0].size}")
    return arrays


def _number(name, value):
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        try:
            value = float(np.asarray(value, dtype=np.float64).item())
        except (TypeError, ValueError):
            raise ValueError(f"{name}: a number, not {value!r}") from None
    value = float(value)
    if not math.isfinite(value):
        raise ValueError(f"{name}: a finite number, not {value}")
    return value


def _radius(value):
    radius = _number("radius", value)
    if not radius > 0:
        raise ValueError(f"radius: must be greater than 0, not {radius}")
    return radius


def _ring_points(value):
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise ValueError(f"ring_points: a whole number of at least 1, not {value!r}")
    if not 1 <= value <= _MAX_RING_POINTS:
        raise ValueError(f"ring_points: a whole number from 1 to {_MAX_RING_POINTS}, not {value}")
    return int(value)


def read_points(path, columns="A,B,C,E", crs=None, decimal_separator=None, work_crs=None):
    """Reads a point file as ``torvane-cli --input`` reads it.

    One station per line; columns separated by spaces, tabs or commas; header
    lines, lines starting with ``/`` and other lines that are not numbers are
    skipped.

    Parameters
    ----------
    path : str or path-like
        The point file.
    columns : str
        The X, Y, point and CBA columns, as ``torvane-cli --columns`` takes
        them: letters (any letter case; the default ``"A,B,C,E"`` reads
        ``X Y POINT H CBA``) or names of the file's header row, such as
        ``"lon,lat,station,cba"``. A file whose name ends in ``.csv`` is read
        as CSV.
    crs : str or None
        The coordinate reference system of the file's X and Y, as PROJ
        takes it (``"EPSG:4326"``, a WKT text or a PROJ string); stations in
        degrees are projected into metres (``work_crs``), as
        ``torvane-cli --crs`` does. None: the coordinates are used as they
        are.
    decimal_separator : str or None
        The decimal separator of the file's numbers, ``"."`` or ``","``;
        None takes the one of the environment's locale (LC_ALL, LC_NUMERIC,
        LANG) for a plain file and ``"."`` for a CSV file, as ``torvane-cli``
        does.
    work_crs : str or None
        The projected CRS of the computation when ``crs`` is geographic;
        None takes the WGS 84 UTM zone of the survey's centre.

    Returns
    -------
    dict
        ``x``, ``y`` (the coordinates to compute with: the file's, bit for
        bit, or with ``crs`` the projected ones in metres), ``point`` (the
        point numbers) and ``cba`` (mGal), float64 arrays in file order;
        with ``crs`` also ``file_x`` and ``file_y`` (the file's
        coordinates); ``label``, a list of str, when the point column holds
        station names.

    Example
    -------
    >>> survey = torvane.read_points("data/sample_survey.dat", columns="A,B,C,E")
    >>> survey["x"].size
    3000
    >>> torvane.read_points("data/sample_stations.csv", columns="lon,lat,station,cba",
    ...                     crs="EPSG:4326")["label"][:2]
    """
    path = _path("path", path)
    if not isinstance(columns, str):
        raise ValueError(f"columns: letters such as \"A,B,C,E\", not {columns!r}")
    for name, value in (("crs", crs), ("work_crs", work_crs)):
        if value is not None and (not isinstance(value, str) or not value.strip()):
            raise ValueError(f"{name}: a CRS such as \"EPSG:4326\" or None, not {value!r}")
    if work_crs is not None and crs is None:
        raise ValueError("work_crs: needs crs, the CRS of the file's coordinates")
    if decimal_separator is not None and decimal_separator not in (".", ","):
        raise ValueError(f"decimal_separator: \".\", \",\" or None, not {decimal_separator!r}")
    return _core.read_points(path, columns, decimal_separator, crs, work_crs)


def ring_residual(x, y, cba, radius, band, quality=False, *, gravity=None, height=None,
                  latitude=None, ellipsoid="grs80", density=2670, free_air_gradient=None,
                  bullard_b=False):
    """Ring-average residual of every station over the other stations.

    For each station, its CBA less the mean CBA of the stations whose
    horizontal distance d from it satisfies R - D - 1e-6 <= d <= R + D + 1e-6
    (the station itself included when the band reaches it). The numbers are
    those of ``torvane-cli --radius R --band D`` on the same stations, to the
    last bit.

    Parameters
    ----------
    x, y : array-like of float, shape (n,)
        Station coordinates, in the units of R and D (usually metres).
    cba : array-like of float, shape (n,)
        Complete Bouguer anomaly of each station, mGal.
    gravity, height, latitude : array-like of float, shape (n,), optional
        Absolute gravity (mGal), height (m) and geodetic latitude (degrees)
        of each station in place of ``cba`` (give None for it): reduced with
        ``ellipsoid``, ``density``, ``free_air_gradient`` and ``bullard_b``
        as ``simple_bouguer`` does, the simple Bouguer anomaly serves as the
        CBA, as ``torvane-cli --gravity-column --height-column`` computes.
    radius : float
        R, the ring's radius, greater than 0.
    band : float
        D, the ring's half-width along the radius, from 0 to R (0: only
        stations at exactly R, +/- 1e-6).
    quality : bool
        Also give each ring's quality, as ``torvane-cli --quality`` does.

    Returns
    -------
    dict of numpy.ndarray
        ``residual`` (float64, mGal; 0 where the ring is empty) and ``n``
        (int64, the number of stations in each ring); with ``quality``
        also ``gap`` (float64, degrees: the widest angle around the station
        with no ring station in it), ``sectors`` (int64, how many of the
        eight 45-degree sectors hold a ring station) and ``sd`` (float64,
        mGal: the standard deviation of the ring's CBA).

    Example
    -------
    >>> survey = torvane.read_points("data/sample_survey.dat")
    >>> result = torvane.ring_residual(survey["x"], survey["y"], survey["cba"], 500, 100)
    >>> result["residual"].shape
    (3000,)
    """
    cba = _anomaly(cba, gravity, height, latitude, ellipsoid, density, free_air_gradient,
                   bullard_b)
    x, y, cba = _survey(x, y, cba)
    radius = _radius(radius)
    band = _number("band", band)
    if band < 0:
        raise ValueError(f"band: must not be negative, not {band}")
    if band > radius:
        raise ValueError(f"band: must be at most radius ({radius}), not {band}")
    return _core.ring_residual(x, y, cba, radius, band, bool(quality))


def grid_ring_residual(x, y, cba, grid, radius, ring_points=360, interpolated_cba=False,
                       quality=False):
    """Ring-average residual of every station over a CBA grid.

    For each station, the grid is interpolated bilinearly at ``ring_points``
    positions on the circle of radius R around it (the first R east of the
    station, then counter-clockwise); positions off the grid or in a cell
    with a blank corner are skipped. The residual is the station's CBA (or,
    with ``interpolated_cba``, the grid's value at the station where it has
    one) less the mean of the samples: the numbers of ``torvane-cli --grid``.

    Parameters
    ----------
    x, y : array-like of float, shape (n,)
        Station coordinates, in the grid's coordinate system (no conversion
        is made), usually metres.
    cba : array-like of float, shape (n,)
        Complete Bouguer anomaly of each station, mGal.
    grid : Grid, str or path-like
        A grid from ``read_grid`` (or made with ``Grid``), or a grid file in
        any of the formats ``read_grid`` reads. A file too large for memory
        is sampled from the file.
    radius : float
        R, greater than 0.
    ring_points : int
        N, the number of samples on the circle, at least 1.
    interpolated_cba : bool
        Start each residual from the grid's value at the station.
    quality : bool
        Also give each ring's quality, as ``torvane-cli --quality`` does.

    Returns
    -------
    dict of numpy.ndarray
        ``residual`` (float64, mGal; 0 where no sample was usable) and ``n``
        (int64, the number of samples used); with ``quality`` also ``gap``
        (float64, degrees), ``sectors`` (int64) and ``sd`` (float64, mGal)
        of the samples used.

    Example
    -------
    >>> survey = torvane.read_points("data/sample_survey.dat")
    >>> grid = torvane.read_grid("data/sample_cba.grd")
    >>> result = torvane.grid_ring_residual(survey["x"], survey["y"], survey["cba"], grid,
    ...                                     radius=500, ring_points=360)
    """
    x, y, cba = _survey(x, y, cba)
    radius = _radius(radius)
    ring_points = _ring_points(ring_points)
    interpolated_cba = bool(interpolated_cba)
    quality = bool(quality)
    if isinstance(grid, Grid):
        return _core.grid_ring_residual_values(x, y, cba, grid.values, grid.xmin, grid.dx,
                                               grid.ymin, grid.dy, radius, ring_points,
                                               interpolated_cba, quality)
    try:
        path = _path("grid", grid)
    except ValueError:
        raise ValueError(f"grid: a Grid or a grid file name, not {type(grid).__name__}") from None
    return _core.grid_ring_residual_file(x, y, cba, path, radius, ring_points,
                                         interpolated_cba, quality)


def _axis(name, nodes):
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
    """A regular grid of values, such as a CBA grid.

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
        a raster read through GDAL), None when made
        in Python.
    xmin, dx, ymin, dy : float
        The first node and the node spacings: node (r, c) lies at
        (xmin + c * dx, ymin + r * dy).

    Example
    -------
    >>> grid = torvane.Grid(np.zeros((3, 4)), x=[0, 10, 20, 30], y=[0, 10, 20])
    >>> grid.values.shape
    (3, 4)
    """

    def __init__(self, values, x, y, format=None):
        values = np.array(values, dtype=np.float64)
        if values.ndim != 2:
            raise ValueError(f"values: a 2-D array (rows, columns), not {values.ndim}-D")
        x = _coordinates("x", x)
        y = _coordinates("y", y)
        if values.shape != (y.size, x.size):
            raise ValueError(f"values: shape {values.shape}, but y and x give "
                             f"({y.size}, {x.size})")
        if x.size == 0 or y.size == 0:
            raise ValueError("values: the grid has no nodes")
        self.xmin, self.dx = _axis("x", x)
        self.ymin, self.dy = _axis("y", y)
        self.values, self.x, self.y, self.format = values, x, y, format

    @classmethod
    def _from_core(cls, answer):
        grid = cls.__new__(cls)
        grid.values = answer["values"]
        rows, columns = grid.values.shape
        grid.xmin, grid.dx = answer["xmin"], answer["dx"]
        grid.ymin, grid.dy = answer["ymin"], answer["dy"]
        # As the core places the nodes: index times spacing, plus the origin.
        grid.x = np.arange(columns, dtype=np.float64) * grid.dx + grid.xmin
        grid.y = np.arange(rows, dtype=np.float64) * grid.dy + grid.ymin
        grid.format = answer["format"]
        return grid

    def __repr__(self):
        rows, columns = self.values.shape
        return (f"Grid({columns} x {rows} nodes, x {self.xmin:g} + {self.dx:g} k, "
                f"y {self.ymin:g} + {self.dy:g} k, format={self.format!r})")

    def to_xarray(self, name="cba"):
        """The grid as an ``xarray.DataArray`` with dimensions ("y", "x").

        Needs xarray (``pip install xarray`` or Debian's python3-xarray).

        Example
        -------
        >>> torvane.read_grid("data/sample_cba.grd").to_xarray().plot()
        """
        try:
            import xarray
        except ImportError:
            raise ImportError("Grid.to_xarray needs the xarray package") from None
        return xarray.DataArray(self.values, coords={"y": self.y, "x": self.x},
                                dims=("y", "x"), name=name, attrs={"format": self.format})


def read_grid(path):
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
    Grid
        ``values`` (rows from the south, float64, NaN for blanks), ``x`` and
        ``y`` (node coordinates) and ``format``.

    Example
    -------
    >>> grid = torvane.read_grid("data/sample_cba.grd")
    >>> grid.values.shape, grid.format
    ((200, 200), 'surfer7')
    """
    return Grid._from_core(_core.read_grid(_path("path", path)))


def sweep(x, y, cba, radii, band=None, band_ratio=None, *, gravity=None, height=None,
          latitude=None, ellipsoid="grs80", density=2670, free_air_gradient=None,
          bullard_b=False):
    """Ring residuals of every station for several radii, and their curve.

    One reading and one index of the stations serve every radius; each
    radius's residuals and counts are those of ``ring_residual`` (and of
    ``torvane-cli sweep``) at that radius and band. The curve's statistics
    against R help to choose R at its knee.

    Parameters
    ----------
    x, y : array-like of float, shape (n,)
        Station coordinates, usually metres.
    cba : array-like of float, shape (n,)
        Complete Bouguer anomaly of each station, mGal.
    gravity, height, latitude : array-like of float, shape (n,), optional
        Absolute gravity (mGal), height (m) and geodetic latitude (degrees)
        of each station in place of ``cba`` (give None for it): reduced with
        ``ellipsoid``, ``density``, ``free_air_gradient`` and ``bullard_b``
        as ``simple_bouguer`` does, the simple Bouguer anomaly serves as the
        CBA, as ``torvane-cli --gravity-column --height-column`` computes.
    radii : array-like of float
        The radii R, each greater than 0 and listed once.
    band : float, optional
        The same half-width D for every radius (0 <= D <= R).
    band_ratio : float, optional
        D = band_ratio * R for each radius (0 <= band_ratio <= 1). Give
        exactly one of band and band_ratio.

    Returns
    -------
    dict
        ``radius`` and ``band`` (float64, one per radius, in the given
        order), ``residual`` (float64, shape (radii, n), mGal) and ``n``
        (int64, shape (radii, n)), and ``curve``, a dict of float64 arrays
        with one value per radius: ``radius``, ``band``,
        ``points_with_ring``, ``mean_n``, ``rms_residual``,
        ``mean_abs_residual``, ``correlation_previous`` (NaN for the first
        radius) and ``share_gap_over_180``. Not interruptible with Ctrl-C.

    Example
    -------
    >>> survey = torvane.read_points("data/sample_survey.dat")
    >>> swept = torvane.sweep(survey["x"], survey["y"], survey["cba"],
    ...                       radii=[250, 500, 1000], band_ratio=0.2)
    >>> swept["curve"]["rms_residual"]
    """
    cba = _anomaly(cba, gravity, height, latitude, ellipsoid, density, free_air_gradient,
                   bullard_b)
    x, y, cba = _survey(x, y, cba)
    radii = np.atleast_1d(np.asarray(radii, dtype=np.float64))
    if radii.ndim != 1 or radii.size == 0:
        raise ValueError("radii: a list of one or more radii")
    if not np.all(np.isfinite(radii)) or not np.all(radii > 0):
        raise ValueError("radii: every radius must be a finite number greater than 0")
    if radii.size > _core.MOST_SWEEP_RADII:
        raise ValueError(f"radii: at most {_core.MOST_SWEEP_RADII} radii in one sweep, "
                         f"not {radii.size}")
    if np.unique(radii).size != radii.size:
        raise ValueError("radii: a radius is listed twice")
    if (band is None) == (band_ratio is None):
        raise ValueError("band: give exactly one of band and band_ratio")
    if band is not None:
        band = _number("band", band)
        if band < 0:
            raise ValueError(f"band: must not be negative, not {band}")
        bands = np.full(radii.size, band)
    else:
        band_ratio = _number("band_ratio", band_ratio)
        if not 0 <= band_ratio <= 1:
            raise ValueError(f"band_ratio: from 0 to 1, not {band_ratio}")
        bands = radii * band_ratio
    if np.any(bands > radii):
        raise ValueError(f"band: must be at most every radius (the smallest is {radii.min()})")
    return _core.sweep(x, y, cba, list(zip(radii.tolist(), bands.tolist())))


def _grid(name, grid):
    if not isinstance(grid, Grid):
        raise ValueError(f"{name}: a Grid, not {type(grid).__name__}")
    return grid


def write_grid(path, grid, format=None):
    """Writes a grid file, as ``torvane-cli convert`` writes it.

    The nodes are written in single precision, as every grid Torvane reads
    holds them; NaN nodes are written blank.

    Parameters
    ----------
    path : str or path-like
        The file to write; an existing file is replaced only when the new
        one is complete.
    grid : Grid
        The grid to write.
    format : str or None
        ``"surfer7"``, ``"surfer6"``, ``"surfer-ascii"``, ``"esri"``,
        ``"geosoft"``, ``"gtiff"`` or ``"netcdf"``; None tells it by the
        name: ``.grd`` Surfer 7, ``.asc`` ESRI ASCII, ``.tif``/``.tiff``
        GeoTIFF, ``.nc`` netCDF.

    Example
    -------
    >>> grid = torvane.read_grid("data/sample_cba.grd")
    >>> torvane.write_grid("sample_cba.asc", grid)
    """
    path = _path("path", path)
    grid = _grid("grid", grid)
    if format is not None and not isinstance(format, str):
        raise ValueError(f"format: a format name or None, not {format!r}")
    _core.write_grid(path, grid.values, grid.xmin, grid.dx, grid.ymin, grid.dy, format)


def grid_residual(grid, radius, ring_points=360, min_share=1.0):
    """Ring-average residual of every node of a grid, as ``torvane-cli
    grid-residual`` computes it.

    Each node's value less the mean of the grid sampled bilinearly at
    ``ring_points`` positions on the circle of radius R around it; a node
    whose usable samples are fewer than ``min_share`` of them, or which is
    blank, is blank (NaN) in the result.

    Parameters
    ----------
    grid : Grid
        The grid (its values are taken in single precision).
    radius : float
        R, in the grid's coordinate units, greater than 0.
    ring_points : int
        N, the number of samples on the circle, at least 1.
    min_share : float
        S, from 0 to 1: the share of the N samples a node needs.

    Returns
    -------
    Grid
        The residual grid, with the geometry of ``grid`` (mGal for CBA).

    Example
    -------
    >>> grid = torvane.read_grid("data/sample_cba.grd")
    >>> residual = torvane.grid_residual(grid, radius=500)
    """
    grid = _grid("grid", grid)
    radius = _radius(radius)
    ring_points = _ring_points(ring_points)
    min_share = _number("min_share", min_share)
    if not 0 <= min_share <= 1:
        raise ValueError(f"min_share: from 0 to 1, not {min_share}")
    return Grid._from_core(_core.grid_residual(grid.values, grid.xmin, grid.dx, grid.ymin,
                                               grid.dy, radius, ring_points, min_share))


def grid_stations(x, y, values, cell=None, gridder="min-curvature", tension=0.25,
                  mask_distance=None, radius=None):
    """Grids values at scattered stations, as the maps and ``torvane-cli
    --residual-grid`` grid them.

    Parameters
    ----------
    x, y : array-like
        The stations' coordinates in metres (or any one unit).
    values : array-like
        One value a station (a residual, a CBA); NaN stations are left out.
    cell : float or None
        The node spacing; None takes the stations' median spacing rounded
        down to 1, 2, 2.5 or 5 times a power of ten.
    gridder : str
        ``"min-curvature"``: continuous curvature splines in tension, blank
        beyond ``mask_distance`` from every station (default three times the
        median station spacing); ``"idw"``: the previews' inverse distances
        within ``radius`` (default five cells).
    tension : float
        0 (minimum curvature) to 1, for ``"min-curvature"``.

    Returns
    -------
    Grid
        Nodes from the south-west corner of the stations' bounding box, NaN
        where blank.

    Example
    -------
    >>> grid = torvane.grid_stations(x, y, residual)
    >>> torvane.save_map("residual.pdf", grid, label="Residual [mGal]")
    """
    x = _coordinates("x", x)
    y = _coordinates("y", y)
    values = np.asarray(values, dtype=np.float64)
    return Grid._from_core(_core.grid_stations(
        x, y, values, 0.0 if cell is None else _number("cell", cell), str(gridder),
        _number("tension", tension), 0.0 if mask_distance is None else _number("mask_distance", mask_distance),
        0.0 if radius is None else _number("radius", radius)))


def save_map(path, grid, title="", label="Value [mGal]", colour_scale=None, colour_range=None,
             palette=None, contours=None, size=(1200, 900)):
    """Draws a grid as a map, as ``torvane-cli map`` draws it: PNG, SVG or
    PDF by the name's extension.

    Parameters
    ----------
    colour_scale : str or None
        ``"equalised"`` (the default), ``"linear"`` (2nd to 98th percentile)
        or ``"sd"`` (0.066 standard deviations a colour around the mean).
    colour_range : (float, float) or None
        The colours in equal steps from min to max instead.
    palette : str or None
        ``"seed"`` (the default), ``"diverging"`` (blue-white-red centred on
        0), ``"viridis"`` or ``"cividis"``.
    contours : float or None
        Labelled contour lines this far apart.
    size : (int, int)
        Pixels (PNG, SVG; a PDF page at 96 of them an inch).
    """
    path = _path("path", path)
    grid = _grid("grid", grid)
    _core.save_map(path, grid.values, grid.xmin, grid.dx, grid.ymin, grid.dy, str(title), str(label),
                   colour_scale, None if colour_range is None else tuple(map(float, colour_range)),
                   palette, 0.0 if contours is None else _number("contours", contours),
                   int(size[0]), int(size[1]))
