"""The ring residuals of stations: over the other stations (ring_residual),
over a CBA grid (grid_ring_residual), and for several radii (sweep)."""

from __future__ import annotations

from typing import TYPE_CHECKING, Any, Union

import numpy as np

from . import _checks, _core
from .grids import Grid, _core_grid, _is_data_array
from .reductions import _anomaly

if TYPE_CHECKING:
    import pandas

ArrayLike = Any  # any array-like of numbers: list, numpy array, pandas Series
Rings = Union["pandas.DataFrame", dict]


def _work_crs(*columns: Any) -> str | None:
    """The work CRS the stations' columns carry (a DataFrame's attrs, which
    read_points sets and its columns keep)."""
    for column in columns:
        attrs = getattr(column, "attrs", None)
        if isinstance(attrs, dict) and attrs.get("work_crs"):
            return attrs["work_crs"]
    return None


def _blank(result: dict, min_ring_points: int, max_gap: float | None) -> None:
    """NaN where a ring is empty, or where torvane-cli's --min-ring-points and
    --max-gap would blank it (fewer ring values than K, a GAP wider than DEG)."""
    residual = result["residual"]
    blanked = result["n"] == 0
    if min_ring_points:
        blanked |= result["n"] < min_ring_points
    if max_gap is not None and max_gap < 360:
        blanked |= result["gap"] > max_gap
    residual[blanked] = np.nan


def _answer(result: dict, quality: bool, x: Any, work_crs: str | None) -> Rings:
    """The result with the stations' index (a DataFrame) when the stations
    came as pandas columns, else the dict of arrays."""
    if not quality:
        for name in ("gap", "sectors", "sd"):
            result.pop(name, None)
    index = getattr(x, "index", None)
    if index is not None and type(x).__module__.startswith("pandas"):
        import pandas
        frame = pandas.DataFrame(result, index=index)
        frame.attrs["work_crs"] = work_crs
        return frame
    if work_crs is not None:
        result["work_crs"] = work_crs
    return result


def ring_residual(x: ArrayLike, y: ArrayLike, cba: ArrayLike, radius: float, band: float,
                  quality: bool = False, min_ring_points: int = 0,
                  max_gap: float | None = None, *, gravity: ArrayLike = None, height: ArrayLike = None,
                  latitude: ArrayLike = None, ellipsoid: str = "grs80", density: float = 2670,
                  free_air_gradient: float | None = None, bullard_b: bool = False) -> Rings:
    """Ring-average residual of every station over the other stations.

    For each station, its CBA less the mean CBA of the stations whose
    horizontal distance d from it satisfies R - D - 1e-6 <= d <= R + D + 1e-6
    (the station itself included when the band reaches it). The numbers are
    those of ``torvane-cli --radius R --band D`` on the same stations, to the
    last bit, except that a station with no ring value gets NaN (the table
    prints 0 there).

    Parameters
    ----------
    x, y : array-like of float, shape (n,)
        Station coordinates, in the units of R and D (usually metres):
        arrays or the columns of ``read_points``' DataFrame.
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
        D, the ring's half-width along the radius, greater than 0 and at
        most R.
    quality : bool
        Also give each ring's quality, as ``torvane-cli --quality`` does.
    min_ring_points : int
        K: no residual (NaN) for a station with fewer ring values, as
        ``--min-ring-points``.
    max_gap : float or None
        DEG: no residual (NaN) for a station whose ring leaves a gap wider
        than DEG degrees, as ``--max-gap``.

    Returns
    -------
    pandas.DataFrame or dict of numpy.ndarray
        A DataFrame with the stations' index when ``x`` is a pandas column,
        a dict otherwise: ``residual`` (float64, mGal; NaN where the ring is
        empty or blanked), ``n`` (int64, the number of stations in each
        ring); with ``quality`` also ``gap`` (float64, degrees: the widest
        angle around the station with no ring station in it), ``sectors``
        (int64, how many of the eight 45-degree sectors hold a ring
        station) and ``sd`` (float64, mGal: the standard deviation of the
        ring's CBA). The work CRS of the stations' DataFrame, where it has
        one, is its ``attrs["work_crs"]`` (the dict's ``work_crs``).

    Examples
    --------
    >>> survey = torvane.read_points("data/sample_survey.dat")
    >>> result = torvane.ring_residual(survey["x"], survey["y"], survey["cba"],
    ...                                radius=500, band=100)
    >>> result["residual"].round(6).tolist()[:3], result["n"].tolist()[:3]
    ([-0.695286, -0.561368, -0.64665], [21, 19, 20])
    >>> torvane.ring_residual([0, 3, 8], [0, 4, 0], [1.0, 2.0, 4.0], radius=5, band=1)["residual"]
    array([-1.,  1., nan])
    """
    work_crs = _work_crs(x, y, cba)
    cba = _anomaly(cba, gravity, height, latitude, ellipsoid, density, free_air_gradient,
                   bullard_b)
    xs, ys, cbas = _checks.survey(x, y, cba)
    radius = _checks.positive("radius", radius)
    band = _checks.positive("band", band)
    if band > radius:
        raise ValueError(f"band: must be at most radius ({radius}), not {band}")
    min_ring_points, max_gap = _checks.blanking(min_ring_points, max_gap)
    needs_gap = bool(quality) or (max_gap is not None and max_gap < 360)
    result = _core.ring_residual(xs, ys, cbas, radius, band, needs_gap)
    _blank(result, min_ring_points, max_gap)
    return _answer(result, bool(quality), x, work_crs)


def grid_ring_residual(x: ArrayLike, y: ArrayLike, cba: ArrayLike, grid: Any, radius: float,
                       ring_points: int = 360, interpolated_cba: bool = False,
                       quality: bool = False, min_ring_points: int = 0,
                       max_gap: float | None = None) -> Rings:
    """Ring-average residual of every station over a CBA grid.

    For each station, the grid is interpolated bilinearly at ``ring_points``
    positions on the circle of radius R around it (the first R east of the
    station, then counter-clockwise); positions off the grid or in a cell
    with a blank corner are skipped. The residual is the station's CBA (or,
    with ``interpolated_cba``, the grid's value at the station where it has
    one) less the mean of the samples: the numbers of ``torvane-cli --grid``,
    with NaN where no sample was usable.

    Parameters
    ----------
    x, y : array-like of float, shape (n,)
        Station coordinates, in the grid's coordinate system (no conversion
        is made), usually metres.
    cba : array-like of float, shape (n,)
        Complete Bouguer anomaly of each station, mGal.
    grid : xarray.DataArray, Grid, str or path-like
        A grid from ``read_grid``, or a grid file in any of the formats
        ``read_grid`` reads. A file too large for memory is sampled from the
        file.
    radius : float
        R, greater than 0.
    ring_points : int
        N, the number of samples on the circle, at least 1.
    interpolated_cba : bool
        Start each residual from the grid's value at the station.
    quality : bool
        Also give each ring's quality, as ``torvane-cli --quality`` does.
    min_ring_points, max_gap
        Blanking, as for ``ring_residual``, over the usable samples.

    Returns
    -------
    pandas.DataFrame or dict of numpy.ndarray
        As ``ring_residual``: ``residual`` (NaN where no sample was usable
        or the ring is blanked) and ``n`` (the samples used), with
        ``quality`` also ``gap``, ``sectors`` and ``sd``.

    Examples
    --------
    >>> survey = torvane.read_points("data/sample_survey.dat")
    >>> grid = torvane.read_grid("data/sample_cba.grd")
    >>> result = torvane.grid_ring_residual(survey["x"], survey["y"], survey["cba"], grid,
    ...                                     radius=500, ring_points=360)
    >>> int(result["n"].min()), int(result["n"].max())
    (360, 360)
    """
    work_crs = _work_crs(x, y, cba)
    xs, ys, cbas = _checks.survey(x, y, cba)
    radius = _checks.positive("radius", radius)
    ring_points = _checks.ring_points(ring_points)
    interpolated_cba = bool(interpolated_cba)
    min_ring_points, max_gap = _checks.blanking(min_ring_points, max_gap)
    needs_gap = bool(quality) or (max_gap is not None and max_gap < 360)
    if isinstance(grid, Grid) or _is_data_array(grid):
        values, xmin, dx, ymin, dy, _ = _core_grid("grid", grid)
        result = _core.grid_ring_residual_values(xs, ys, cbas, values, xmin, dx, ymin, dy,
                                                 radius, ring_points, interpolated_cba,
                                                 needs_gap)
    else:
        try:
            _checks.path("grid", grid)
        except ValueError:
            raise ValueError(f"grid: a DataArray, a Grid or a grid file name, not "
                             f"{type(grid).__name__}") from None
        path = _checks.readable("grid", grid)
        result = _core.grid_ring_residual_file(xs, ys, cbas, path, radius, ring_points,
                                               interpolated_cba, needs_gap)
    _blank(result, min_ring_points, max_gap)
    return _answer(result, bool(quality), x, work_crs)


def sweep(x: ArrayLike, y: ArrayLike, cba: ArrayLike, radii: ArrayLike,
          band: float | None = None, band_ratio: float | None = None, quality: bool = False,
          min_ring_points: int = 0, max_gap: float | None = None, *,
          gravity: ArrayLike = None, height: ArrayLike = None, latitude: ArrayLike = None,
          ellipsoid: str = "grs80", density: float = 2670,
          free_air_gradient: float | None = None, bullard_b: bool = False) -> dict[str, Any]:
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
        The same half-width D for every radius (0 <= D <= R), as
        ``torvane-cli sweep --band``.
    band_ratio : float, optional
        D = band_ratio * R for each radius (0 <= band_ratio <= 1). Give
        exactly one of band and band_ratio.
    quality : bool
        Also give each ring's ``gap``, ``sectors`` and ``sd`` for every
        radius (computed radius by radius, as ``ring_residual`` does).
    min_ring_points, max_gap
        Blanking at every radius, as ``torvane-cli sweep`` applies
        ``--min-ring-points`` and ``--max-gap``; the curve counts the
        stations not blanked.

    Returns
    -------
    dict
        ``radius`` and ``band`` (float64, one per radius, in the given
        order), ``residual`` (float64, shape (radii, n), mGal; NaN where a
        ring is empty or blanked) and ``n`` (int64, shape (radii, n)); with
        ``quality`` ``gap``, ``sectors`` and ``sd`` of the same shape;
        ``curve``, the columns of ``torvane-cli sweep --curve`` with one
        row per radius (a pandas DataFrame where pandas is installed, else a
        dict of float64 arrays): ``radius``, ``band``,
        ``points_with_ring``, ``mean_n``, ``rms_residual``,
        ``mean_abs_residual``, ``correlation_previous`` (NaN for the first
        radius) and ``share_gap_over_180``; ``work_crs`` where the stations
        carry one. Not interruptible with Ctrl-C.

    Examples
    --------
    >>> survey = torvane.read_points("data/sample_survey.dat")
    >>> swept = torvane.sweep(survey["x"], survey["y"], survey["cba"],
    ...                       radii=[250, 500, 1000], band_ratio=0.2)
    >>> swept["residual"].shape
    (3, 3000)
    >>> swept["curve"]["points_with_ring"].tolist()
    [3000.0, 3000.0, 3000.0]
    """
    work_crs = _work_crs(x, y, cba)
    cba = _anomaly(cba, gravity, height, latitude, ellipsoid, density, free_air_gradient,
                   bullard_b)
    xs, ys, cbas = _checks.survey(x, y, cba)
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
        band = _checks.number("band", band)
        if band < 0:
            raise ValueError(f"band: must not be negative, not {band}")
        bands = np.full(radii.size, band)
    else:
        band_ratio = _checks.number("band_ratio", band_ratio)
        if not 0 <= band_ratio <= 1:
            raise ValueError(f"band_ratio: from 0 to 1, not {band_ratio}")
        bands = radii * band_ratio
    if np.any(bands > radii):
        raise ValueError(f"band: must be at most every radius (the smallest is {radii.min()})")
    min_ring_points, max_gap = _checks.blanking(min_ring_points, max_gap)
    result = _core.sweep(xs, ys, cbas, list(zip(radii.tolist(), bands.tolist())),
                         min_ring_points, 360.0 if max_gap is None else max_gap)
    result["residual"][result["n"] == 0] = np.nan
    if quality:
        rings = [_core.ring_residual(xs, ys, cbas, r, d, True)
                 for r, d in zip(radii.tolist(), bands.tolist())]
        for name in ("gap", "sectors", "sd"):
            result[name] = np.stack([ring[name] for ring in rings])
    try:
        import pandas
        result["curve"] = pandas.DataFrame(result["curve"])
    except ImportError:
        pass
    if work_crs is not None:
        result["work_crs"] = work_crs
    return result
