"""Normal gravity and the Bouguer plate: the reductions that turn absolute
gravity into the anomalies the rings take, on the core's formulas."""

from __future__ import annotations

from typing import Any

import numpy as np

from . import _core


def _values(name, value):
    """A float64 array of finite numbers, or ValueError naming the argument."""
    try:
        array = np.asarray(value, dtype=np.float64)
    except (TypeError, ValueError) as error:
        raise ValueError(f"{name}: not an array of numbers ({error})") from None
    bad = np.flatnonzero(~np.isfinite(array.ravel()))
    if bad.size:
        raise ValueError(f"{name}: not a finite number at index {bad[0]} "
                         f"({array.ravel()[bad[0]]})")
    return array


def _latitudes(value):
    latitude = _values("latitude", value)
    outside = np.flatnonzero(np.abs(latitude.ravel()) > 90)
    if outside.size:
        raise ValueError(f"latitude: outside +-90 degrees at index {outside[0]} "
                         f"({latitude.ravel()[outside[0]]})")
    return latitude


def _ellipsoid(value):
    if not isinstance(value, str) or value.lower() not in ("grs80", "wgs84"):
        raise ValueError(f'ellipsoid: "grs80" or "wgs84", not {value!r}')
    return value.lower()


def _density(value):
    density = float(_values("density", value))
    if density < 0:
        raise ValueError(f"density: must not be negative, not {density}")
    return density


def _like(template, values):
    """`values` shaped as the arguments broadcast, a pandas Series where the
    first argument is one, a float for scalars."""
    if type(template).__module__.startswith("pandas") and hasattr(template, "index"):
        import pandas
        return pandas.Series(values, index=template.index)
    return values if values.ndim else float(values)


def normal_gravity(latitude: Any, height: Any = 0, ellipsoid: str = "grs80") -> Any:
    """Normal gravity of the reference ellipsoid at a station, in mGal.

    On the ellipsoid (height 0) Somigliana's closed formula; above it the
    closed form of normal gravity at ellipsoidal height h (Li and Gotze,
    2001), exact at any height where the free-air gradient 0.3086 mGal/m
    is an approximation. The numbers of ``torvane-cli reduce``'s
    ``normal_gravity`` column.

    Parameters
    ----------
    latitude : float or array-like
        Geodetic latitude, degrees (-90 to 90).
    height : float or array-like
        Height above the ellipsoid, metres; broadcast against latitude.
    ellipsoid : str
        ``"grs80"`` or ``"wgs84"``.

    Returns
    -------
    float, numpy.ndarray or pandas.Series
        mGal, in the shape of the arguments (a Series with latitude's index
        where latitude is one).

    Examples
    --------
    >>> torvane.normal_gravity([0, 45, 90])
    array([978032.67715..., 980619.92..., 983218.63685...])
    """
    ellipsoid = _ellipsoid(ellipsoid)
    lat, h = np.broadcast_arrays(_latitudes(latitude), _values("height", height))
    values = _core.normal_gravity(np.ascontiguousarray(lat.ravel()),
                                  np.ascontiguousarray(h.ravel()), ellipsoid)
    return _like(latitude, values.reshape(lat.shape))


def bouguer_plate(height: Any, density: float = 2670, bullard_b: bool = False) -> Any:
    """Attraction of the rock between a station and the datum, in mGal.

    The infinite plate 2 pi G rho h (G = 6.6743e-11 m^3 kg^-1 s^-2), or with
    ``bullard_b`` a spherical cap of 166.735 km surface radius (the plate
    plus LaFehr's 1991 curvature correction). Subtract it from the free-air
    anomaly for the simple Bouguer anomaly; the terrain correction that
    makes it complete is not computed here.

    Parameters
    ----------
    height : float or array-like
        Height of the station above the datum (sea level), metres.
    density : float
        kg/m^3.
    bullard_b : bool
        The cap in place of the plate.

    Returns
    -------
    float, numpy.ndarray or pandas.Series
        mGal, in the shape of ``height``.

    Examples
    --------
    >>> round(torvane.bouguer_plate(1000), 2)
    111.97
    """
    h = _values("height", height)
    values = _core.bouguer_plate(np.ascontiguousarray(h.ravel()), _density(density),
                                 bool(bullard_b))
    return _like(height, values.reshape(h.shape))


def simple_bouguer(gravity: Any, height: Any, latitude: Any, ellipsoid: str = "grs80",
                   density: float = 2670, free_air_gradient: float | None = None,
                   bullard_b: bool = False) -> dict[str, np.ndarray]:
    """The anomalies of absolute gravity, as ``torvane-cli reduce`` computes
    them: a dict of float64 arrays ``normal_gravity``, ``free_air`` and
    ``bouguer`` (mGal), one value per station.

    Examples
    --------
    >>> reduced = torvane.simple_bouguer([978681.38], [1230.16], [-26.26334])
    >>> sorted(reduced)
    ['bouguer', 'free_air', 'normal_gravity']
    """
    g = _values("gravity", gravity).ravel()
    h = _values("height", height).ravel()
    lat = _latitudes(latitude).ravel()
    for name, array in (("height", h), ("latitude", lat)):
        if array.size != g.size:
            raise ValueError(f"{name}: {array.size} values, but gravity has {g.size}")
    gradient = None if free_air_gradient is None else float(
        _values("free_air_gradient", free_air_gradient))
    return _core.reduce_gravity(np.ascontiguousarray(g), np.ascontiguousarray(h),
                                np.ascontiguousarray(lat), _ellipsoid(ellipsoid),
                                _density(density), gradient, bool(bullard_b))


def _anomaly(cba, gravity, height, latitude, ellipsoid, density, free_air_gradient, bullard_b):
    """The CBA a ring function takes: `cba` itself, or the simple Bouguer
    anomaly of `gravity` at `height` and `latitude`."""
    reducing = (ellipsoid != "grs80" or density != 2670 or free_air_gradient is not None
                or bool(bullard_b))
    if gravity is None:
        if height is not None or latitude is not None or reducing:
            raise ValueError("gravity: the reduction keywords need gravity, height and latitude")
        return cba
    if cba is not None:
        raise ValueError("cba: give None where gravity, height and latitude stand in its place")
    if height is None or latitude is None:
        raise ValueError("height: gravity needs height and latitude")
    return simple_bouguer(gravity, height, latitude, ellipsoid, density, free_air_gradient,
                          bullard_b)["bouguer"]
