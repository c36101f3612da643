"""show_versions: the versions of the libraries in use, for bug reports."""

from __future__ import annotations

import ctypes
import ctypes.util
import importlib
import platform
import sys
from typing import TextIO


def _python_package(name: str) -> str:
    try:
        module = importlib.import_module(name)
    except ImportError:
        return "not installed"
    return str(getattr(module, "__version__", "installed"))


def _c_library(name: str, call: str, *args: bytes) -> str:
    """The version a shared library reports of itself, where it is found."""
    found = ctypes.util.find_library(name)
    if found is None:
        return "not found"
    try:
        function = getattr(ctypes.CDLL(found), call)
    except (OSError, AttributeError):
        return f"{found}: cannot be asked"
    function.restype = ctypes.c_char_p
    return f"{function(*args).decode(errors='replace')} ({found})"


class _ProjInfo(ctypes.Structure):
    _fields_ = [("major", ctypes.c_int), ("minor", ctypes.c_int), ("patch", ctypes.c_int),
                ("release", ctypes.c_char_p), ("version", ctypes.c_char_p)]


def _proj() -> str:
    found = ctypes.util.find_library("proj")
    if found is None:
        return "not found"
    try:
        proj_info = ctypes.CDLL(found).proj_info
    except (OSError, AttributeError):
        return f"{found}: cannot be asked"
    proj_info.restype = _ProjInfo
    return f"{proj_info().version.decode()} ({found})"


def show_versions(file: TextIO | None = None) -> None:
    """Prints the versions of torvane, Python and the libraries it uses.

    Parameters
    ----------
    file : file-like, optional
        Where to print; standard output by default.

    Examples
    --------
    >>> torvane.show_versions()  # doctest: +ELLIPSIS
    torvane: ...
    python: ...
    """
    from . import __version__

    lines = [
        ("torvane", __version__),
        ("python", sys.version.replace("\n", " ")),
        ("platform", platform.platform()),
        ("numpy", _python_package("numpy")),
        ("pandas", _python_package("pandas")),
        ("xarray", _python_package("xarray")),
        ("rioxarray", _python_package("rioxarray")),
        ("PROJ", _proj()),
        ("GDAL", _c_library("gdal", "GDALVersionInfo", b"RELEASE_NAME")),
    ]
    for name, version in lines:
        print(f"{name}: {version}", file=file or sys.stdout)
