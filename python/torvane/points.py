"""Point files: read_points, as torvane-cli --input reads them, into a pandas
DataFrame (or the dict of arrays of earlier versions)."""

from __future__ import annotations

import os
import warnings
from typing import TYPE_CHECKING, Any, Union

import numpy as np

from . import _checks, _core

if TYPE_CHECKING:
    import pandas

PathLike = Union[str, "os.PathLike[str]"]


def read_points(path: PathLike, columns: str = "A,B,C,E", crs: str | None = None,
                decimal_separator: str | None = None, work_crs: str | None = None,
                as_dict: bool = False) -> pandas.DataFrame | dict[str, Any]:
    """Reads a point file as ``torvane-cli --input`` reads it.

    One station per line; columns separated by spaces, tabs or commas; header
    lines, lines starting with ``/`` and other lines without a number in the
    X column are passed over. Lines that look like data but give no station
    (a missing or non-numeric Y or CBA, NaN, another number of fields) are
    skipped, counted in ``attrs["skipped"]`` and named in a TorvaneWarning
    ("3 rows skipped (no CBA: lines 17, 204, 3311)"). A file whose name ends
    in ``.csv`` is read as CSV.

    Parameters
    ----------
    path : str or path-like
        The point file.
    columns : str
        The X, Y, point and CBA columns, as ``torvane-cli --columns`` takes
        them: letters (any letter case; the default ``"A,B,C,E"`` reads
        ``X Y POINT H CBA``) or names of the file's header row, such as
        ``"lon,lat,station,cba"``.
    crs : str or None
        The coordinate reference system of the file's X and Y, as PROJ
        takes it (``"EPSG:4326"``, a WKT text or a PROJ string); stations in
        degrees are projected into metres (``work_crs``), as
        ``torvane-cli --crs`` does. None: the coordinates are used as they
        are.
    decimal_separator : str or None
        ``","`` reads ``,`` decimals (in plain files and in CSV files
        separated by ``;``); None takes the one of the environment's locale
        (LC_ALL, LC_NUMERIC, LANG), as ``torvane-cli`` does. Numbers written
        with ``.`` are read with ``.`` either way.
    work_crs : str or None
        The projected CRS of the computation when ``crs`` is geographic;
        None takes the WGS 84 UTM zone of the survey's centre.
    as_dict : bool
        Return the dict of numpy arrays of earlier versions instead of a
        DataFrame (also what is returned when pandas is not installed).

    Returns
    -------
    pandas.DataFrame
        One row per station, in file order: ``x`` and ``y`` (the
        coordinates to compute with: the file's, bit for bit, or with a
        geographic ``crs`` the projected ones in metres), ``point`` (the
        point numbers, or the station names as written when the column
        holds names), ``cba`` (mGal); with ``crs`` also ``file_x`` and
        ``file_y`` (the file's coordinates); for a CSV file the file's other
        columns after these. ``attrs["crs"]`` is ``crs`` (the CRS of
        ``file_x``, ``file_y``) and ``attrs["work_crs"]`` the CRS of ``x``
        and ``y`` (None without ``crs``), which the ring functions pass on;
        ``attrs["skipped"]`` the number of rows skipped.
    dict
        With ``as_dict``: ``x``, ``y``, ``point``, ``cba`` (float64 arrays),
        with ``crs`` also ``file_x``, ``file_y`` and ``work_crs``, and
        ``label`` (a list of str) when the point column holds names;
        ``skipped``, the number of rows skipped.

    Raises
    ------
    FileNotFoundError, PermissionError
        The file is missing or cannot be read.
    TorvaneError
        The file holds no station, or a CRS is not usable.

    Examples
    --------
    >>> survey = torvane.read_points("data/sample_survey.dat")
    >>> len(survey), list(survey.columns)
    (3000, ['x', 'y', 'point', 'cba'])
    >>> stations = torvane.read_points("data/sample_stations.csv",
    ...                                columns="longitude,latitude,station,cba",
    ...                                crs="EPSG:4326")
    >>> stations.attrs["work_crs"], stations["point"].iloc[0]
    ('EPSG:32735', 'ST0001')
    """
    path = _checks.readable("path", path)
    if not isinstance(columns, str):
        raise ValueError(f"columns: letters such as \"A,B,C,E\", not {columns!r}")
    crs = _checks.crs_text("crs", crs)
    work_crs = _checks.crs_text("work_crs", work_crs)
    if work_crs is not None and crs is None:
        raise ValueError("work_crs: needs crs, the CRS of the file's coordinates")
    if decimal_separator is not None and decimal_separator not in (".", ","):
        raise ValueError(f"decimal_separator: \".\", \",\" or None, not {decimal_separator!r}")
    answer = _core.read_points(path, columns, decimal_separator, crs, work_crs)
    if as_dict:
        return answer
    try:
        import pandas
    except ImportError:
        return answer
    frame = pandas.DataFrame({
        "x": answer["x"], "y": answer["y"],
        "point": answer["label"] if "label" in answer else answer["point"],
        "cba": answer["cba"]})
    if crs is not None:
        frame["file_x"] = answer["file_x"]
        frame["file_y"] = answer["file_y"]
    if path.lower().endswith(b".csv"):
        _add_other_columns(frame, path, columns, decimal_separator, answer)
    frame.attrs["crs"] = crs
    frame.attrs["work_crs"] = answer.get("work_crs")
    frame.attrs["skipped"] = answer["skipped"]
    return frame


def _add_other_columns(frame: Any, path: Any, columns: str, decimal_separator: str | None,
                       answer: dict) -> None:
    """The CSV file's columns besides X, Y, point and CBA, row for row with the
    stations the core kept. The rows are matched by the file's X values; where
    they cannot be (another layout than pandas reads), the columns are left
    out with a warning."""
    import pandas

    path = os.fsdecode(path)
    try:
        with open(path, encoding="utf-8-sig", errors="replace") as file:
            header = next((line for line in file if line.strip()), "")
        separator = ";" if header.count(";") > header.count(",") else ","
        table = pandas.read_csv(path, sep=separator, dtype=str, keep_default_na=False,
                                skip_blank_lines=True, encoding="utf-8-sig",
                                encoding_errors="replace")
    except (ValueError, OSError, pandas.errors.ParserError):
        return
    names = {name.strip().lower(): name for name in table.columns}
    wanted = [names.get(part.strip().lower()) for part in columns.split(",")]
    if len(wanted) != 4 or None in wanted:
        # Columns given by letters.
        letters = [part.strip().upper() for part in columns.split(",")]
        if len(letters) != 4 or not all(len(l) == 1 and "A" <= l <= "Z" for l in letters):
            return
        indices = [ord(letter) - ord("A") for letter in letters]
        if max(indices) >= len(table.columns):
            return
        wanted = [table.columns[i] for i in indices]
    comma = decimal_separator == "," and separator == ";"

    def as_numbers(name: str) -> np.ndarray:
        text = table[name].str.strip()
        if comma:
            text = text.str.replace(",", ".", regex=False)
        return pandas.to_numeric(text, errors="coerce").to_numpy(dtype=np.float64)

    xs, ys, cbas = (as_numbers(name) for name in (wanted[0], wanted[1], wanted[3]))
    kept = np.isfinite(xs) & np.isfinite(ys) & np.isfinite(cbas)
    file_x = answer["file_x"] if "file_x" in answer else answer["x"]
    if kept.sum() != len(frame) or not np.array_equal(xs[kept], file_x):
        warnings.warn(f"{path}: its other columns are left out (their rows could not be "
                      "matched with the stations read)", stacklevel=3)
        return
    rows = table[kept].reset_index(drop=True)
    for name in table.columns:
        if name in wanted or name in frame.columns:
            continue
        values = rows[name]
        numeric = pandas.to_numeric(values.str.replace(",", ".", regex=False) if comma
                                    else values, errors="coerce")
        frame[name] = numeric if numeric.notna().sum() == (values.str.strip() != "").sum() \
            else values
