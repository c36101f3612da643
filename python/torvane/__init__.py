"""Ring-average residuals of gravity surveys, in pandas and xarray terms.

The same computation as the Torvane window and ``torvane-cli``, on the same
C++ core: for every station, its complete Bouguer anomaly (CBA) less the mean
CBA of the stations at a distance of R +/- D from it (``ring_residual``), or
less the mean of N samples of a CBA grid on the circle of radius R
(``grid_ring_residual``). Distances are in the units of the coordinates
(metres for projected surveys); CBA values in mGal.

``read_points`` gives a pandas DataFrame with the survey's CRS in its
``attrs``; the ring functions take its columns (or any array-like) and
answer NaN where a ring is empty or blanked. ``read_grid`` gives an
``xarray.DataArray`` (dims ("y", "x"), rows from the north, ``attrs`` crs
and units), which ``grid_residual``, ``grid_ring_residual`` and
``write_grid`` take, as they take rioxarray's. ``grid_stations`` grids
scattered stations as the maps do, and ``save_map`` draws a grid as a PNG,
SVG or PDF map.

A bad argument raises ``ValueError`` naming it; a missing or unreadable file
``FileNotFoundError`` or ``PermissionError``; what the core refuses
``TorvaneError`` with the core's own message. Messages the core shows
without failing (a grid cut short) come as ``TorvaneWarning``. The GIL is
released while the core computes; Ctrl-C stops ``ring_residual``,
``grid_ring_residual`` and ``grid_residual`` within milliseconds with
``KeyboardInterrupt``; reading or writing a file and ``sweep`` run to their
end first.

Examples
--------
>>> import torvane
>>> survey = torvane.read_points("data/sample_survey.dat")
>>> result = torvane.ring_residual(survey["x"], survey["y"], survey["cba"],
...                                radius=500, band=100)
>>> result["n"].tolist()[:3]
[21, 19, 20]
"""

from ._core import TorvaneError, TorvaneWarning
from .grids import Grid, grid_residual, read_grid, write_grid
from .maps import grid_stations, save_map
from .points import read_points
from .reductions import bouguer_plate, normal_gravity, simple_bouguer
from .rings import grid_ring_residual, ring_residual, sweep
from .versions import show_versions

__all__ = [
    "Grid",
    "TorvaneError",
    "TorvaneWarning",
    "bouguer_plate",
    "grid_residual",
    "grid_ring_residual",
    "grid_stations",
    "normal_gravity",
    "read_grid",
    "read_points",
    "ring_residual",
    "save_map",
    "show_versions",
    "simple_bouguer",
    "sweep",
    "write_grid",
]
__version__ = "0.1.0"
