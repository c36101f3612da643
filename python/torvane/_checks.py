"""Checks of the arguments the public functions take: a bad argument raises
ValueError naming it; a file that is missing or cannot be read or written
raises FileNotFoundError or PermissionError, as Python's own open() does."""

from __future__ import annotations

import errno
import math
import numbers
import os
from typing import Any

import numpy as np

from . import _core

MAX_RING_POINTS = _core.MOST_RING_POINTS


def path(name: str, value: Any) -> bytes:
    try:
        text = os.fspath(value)
    except TypeError:
        raise ValueError(f"{name}: a file name (str or path), not {type(value).__name__}") from None
    # Bytes as the file system takes them: a name that is not UTF-8 (held
    # in a str with surrogates, as os.listdir gives it) reaches the core whole.
    if isinstance(text, str):
        text = os.fsencode(text)
    if not text:
        raise ValueError(f"{name}: the file name is empty")
    if b"\0" in text:
        raise ValueError(f"{name}: the file name holds a NUL byte")
    return text


def _os_error(number: int, file: bytes) -> OSError:
    return OSError(number, os.strerror(number), os.fsdecode(file))  # the subclass errno calls for


def readable(name: str, value: Any) -> bytes:
    """A file name that names an existing, readable file."""
    file = path(name, value)
    if not os.path.exists(file):
        raise _os_error(errno.ENOENT, file)
    if not os.access(file, os.R_OK):
        raise _os_error(errno.EACCES, file)
    return file


def writable(name: str, value: Any) -> bytes:
    """A file name whose folder exists and takes new files."""
    file = path(name, value)
    folder = os.path.dirname(os.path.abspath(file))
    if not os.path.isdir(folder):
        raise _os_error(errno.ENOENT, file)
    if not os.access(folder, os.W_OK | os.X_OK):
        raise _os_error(errno.EACCES, file)
    return file


def coordinates(name: str, value: Any) -> np.ndarray:
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


def survey(x: Any, y: Any, cba: Any) -> list[np.ndarray]:
    arrays = [coordinates(name, value) for name, value in (("x", x), ("y", y), ("cba", cba))]
    if arrays[0].size == 0:
        raise ValueError("x: the survey has no stations")
    for name, array in zip(("y", "cba"), arrays[1:]):
        if array.size != arrays[0].size:
            raise ValueError(f"{name}: {array.size} values, but x has {arrays[0].size}")
    return arrays


def number(name: str, value: Any) -> float:
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        try:
            value = float(np.asarray(value, dtype=np.float64).item())
        except (TypeError, ValueError):
            raise ValueError(f"{name}: a number, not {value!r}") from None
    value = float(value)
    if not math.isfinite(value):
        raise ValueError(f"{name}: a finite number, not {value}")
    return value


def positive(name: str, value: Any) -> float:
    result = number(name, value)
    if not result > 0:
        raise ValueError(f"{name}: must be greater than 0, not {result}")
    return result


def ring_points(value: Any, limit: int = MAX_RING_POINTS) -> int:
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise ValueError(f"ring_points: a whole number of at least 1, not {value!r}")
    if not 1 <= value <= limit:
        raise ValueError(f"ring_points: a whole number from 1 to {limit}, not {value}")
    return int(value)


def blanking(min_ring_points: Any, max_gap: Any) -> tuple[int, float | None]:
    """The blanking rules as torvane-cli's --min-ring-points and --max-gap take them."""
    if isinstance(min_ring_points, bool) or not isinstance(min_ring_points, numbers.Integral) \
            or min_ring_points < 0:
        raise ValueError(f"min_ring_points: a whole number of at least 0, not {min_ring_points!r}")
    if max_gap is not None:
        max_gap = number("max_gap", max_gap)
        if not 0 <= max_gap <= 360:
            raise ValueError(f"max_gap: degrees from 0 to 360, not {max_gap}")
    return int(min_ring_points), max_gap


def crs_text(name: str, value: Any) -> str | None:
    if value is not None and (not isinstance(value, str) or not value.strip()):
        raise ValueError(f"{name}: a CRS such as \"EPSG:4326\" or None, not {value!r}")
    return value
