"""What the module's tests share: torvane-cli, run on the same files as the
module, and its residual table read back field by field."""

import os
import pathlib
import subprocess

import numpy as np
import pytest

SOURCE_DIR = pathlib.Path(__file__).resolve().parents[2]
SAMPLE_SURVEY = SOURCE_DIR / "data" / "sample_survey.dat"
SAMPLE_GRID = SOURCE_DIR / "data" / "sample_cba.grd"
# Files written by other software, beside the project (or where
# TORVANE_INTEROP_DIR says); the tests that read them skip without them.
INTEROP_DIR = pathlib.Path(os.environ.get("TORVANE_INTEROP_DIR",
                                          SOURCE_DIR.parent / "shared" / "interop"))


def cli_path():
    path = os.environ.get("TORVANE_CLI") or str(SOURCE_DIR / "build" / "torvane-cli")
    if not os.access(path, os.X_OK):
        raise RuntimeError(f"torvane-cli not found at {path} (set TORVANE_CLI)")
    return path


def run_cli(args, env=None, check=True):
    """Runs torvane-cli with a clean C locale unless `env` says otherwise."""
    environment = dict(os.environ, LC_ALL="C")
    environment.update(env or {})
    done = subprocess.run([cli_path(), "--quiet", *map(str, args)], capture_output=True,
                          text=True, env=environment)
    if check and done.returncode != 0:
        raise AssertionError(f"torvane-cli {args} failed: {done.stderr}")
    return done


def cli_messages(stderr):
    """The messages torvane-cli printed ("Caption: text", the text's further
    lines following), without their captions and outer line ends. The run's
    closing notes ("Note: ...") are left out: they sum up the table, which
    the module does not write."""
    messages = []
    in_note = False
    for line in stderr.splitlines():
        line = line.removeprefix("torvane-cli: ")
        caption, separator, text = line.partition(": ")
        if separator and caption in ("Error", "Torvane"):
            messages.append(text)
            in_note = False
        elif separator and caption == "Note":
            in_note = True
        elif messages and not in_note:
            messages[-1] += "\n" + line
    return [message.strip("\r\n") for message in messages]


def shift_round_trip(coordinates):
    """Coordinates shifted so that none is negative and shifted back, as the
    table shows them."""
    shift = -coordinates.min() if coordinates.min() < 0 else 0.0
    return (coordinates + shift) - shift


class Table:
    """A residual table as torvane-cli writes it: the fields as text."""

    def __init__(self, path):
        data = pathlib.Path(path).read_bytes().decode("ascii")
        lines = data.split("\r\n")
        assert lines[-1] == "", "the table ends with CR LF"
        self.rows = [line.split() for line in lines[1:-1]]

    def column(self, k):
        return [row[k] for row in self.rows]


def run_table(tmp_path, args, env=None):
    output = tmp_path / "table.dat"
    run_cli(["--output", output, *args], env=env)
    return Table(output)


def fixed(values, decimals):
    """Values as the table prints them."""
    return [f"{value:.{decimals}f}" for value in values]


def as_table_prints(result):
    """The module's residuals as the table prints them: 0 where a ring is
    empty (the module's NaN), after checking that NaN is there and only there."""
    residual = np.asarray(result["residual"])
    n = np.asarray(result["n"])
    np.testing.assert_array_equal(np.isnan(residual), n == 0)
    return fixed(np.where(n == 0, 0.0, residual), 6)


def write_survey(path, x, y, cba, point=None):
    """A point file of X Y POINT H CBA, every number read back to the same double."""
    point = np.arange(1, len(x) + 1) if point is None else point
    with open(path, "w") as file:
        file.write("X Y POINT H CBA\n")
        for row in zip(x, y, point, cba):
            file.write(f"{row[0]!r} {row[1]!r} {float(row[2])!r} 0 {row[3]!r}\n")
    return path


def random_survey(seed, count, size=5000.0, offset=-1000.0):
    """Scattered stations over a square, some coordinates negative, and a
    smooth field with noise."""
    generator = np.random.default_rng(seed)
    x = generator.uniform(offset, offset + size, count)
    y = generator.uniform(offset, offset + size, count)
    cba = np.sin(x / 700.0) * 5 + np.cos(y / 900.0) * 3 + generator.normal(0, 0.5, count)
    return x, y, cba


@pytest.fixture
def sample_survey():
    import torvane
    return torvane.read_points(SAMPLE_SURVEY)
