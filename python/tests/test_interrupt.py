"""A long ring computation lets other Python threads run, and Ctrl-C stops
it with KeyboardInterrupt, leaving the interpreter fit for the next call."""

import os
import subprocess
import sys
import textwrap
import threading
import time

import numpy as np

import torvane
from conftest import random_survey

# Stations so dense and a ring so wide that the computation would take many
# minutes: it can only end early by being interrupted.
INTERRUPTED = textwrap.dedent("""
    import os, signal, threading
    import numpy as np
    import torvane
    generator = np.random.default_rng(1)
    x, y = generator.uniform(0, 10000, (2, 400000))
    cba = generator.normal(0, 1, 400000)
    threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT)).start()
    try:
        torvane.ring_residual(x, y, cba, radius=4000, band=1500)
        print("finished")
    except KeyboardInterrupt:
        print("interrupted")
    result = torvane.ring_residual([0.0, 3.0], [0.0, 4.0], [1.0, 2.0], radius=5, band=0.5)
    print(result["residual"].tolist(), result["n"].tolist())
""")


def test_ctrl_c_stops_a_long_ring_computation():
    done = subprocess.run([sys.executable, "-c", INTERRUPTED], capture_output=True, text=True,
                          timeout=300, env=dict(os.environ))
    assert done.returncode == 0, done.stderr
    assert done.stdout.splitlines() == ["interrupted", "[-1.0, 1.0] [1, 1]"]


def test_other_threads_run_while_the_core_computes():
    # A thread that counts while the call runs: had the call held the GIL, the
    # count could not move between the call's start and its end.
    x, y, cba = random_survey(seed=9, count=50000, size=4000.0)
    ticks = 0
    stop = threading.Event()

    def tick():
        nonlocal ticks
        while not stop.is_set():
            ticks += 1
            time.sleep(0.001)

    ticker = threading.Thread(target=tick)
    ticker.start()
    try:
        time.sleep(0.05)
        before = ticks
        result = torvane.ring_residual(x, y, cba, radius=1000, band=300)
        during = ticks - before
    finally:
        stop.set()
        ticker.join()
    assert result["n"].min() > 0
    assert during >= 3, during


# A grid so large and a ring so fine that its residual would take minutes.
GRID_INTERRUPTED = textwrap.dedent("""
    import os, signal, threading
    import numpy as np
    import torvane
    values = np.random.default_rng(2).normal(0, 1, (3000, 3000))
    grid = torvane.Grid(values, x=np.arange(3000.0), y=np.arange(3000.0))
    threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT)).start()
    try:
        torvane.grid_residual(grid, radius=400, ring_points=20000)
        print("finished")
    except KeyboardInterrupt:
        print("interrupted")
    small = torvane.Grid(np.arange(25.0).reshape(5, 5), x=np.arange(5.0), y=np.arange(5.0))
    print(torvane.grid_residual(small, radius=1, ring_points=4).values[2, 2])
""")


def test_ctrl_c_stops_a_long_grid_residual():
    done = subprocess.run([sys.executable, "-c", GRID_INTERRUPTED], capture_output=True,
                          text=True, timeout=300, env=dict(os.environ))
    assert done.returncode == 0, done.stderr
    assert done.stdout.splitlines() == ["interrupted", "0.0"]


# A sweep of so many wide rings over so many stations that it would take
# many minutes.
SWEEP_INTERRUPTED = textwrap.dedent("""
    import os, signal, threading
    import numpy as np
    import torvane
    generator = np.random.default_rng(3)
    x, y = generator.uniform(0, 10000, (2, 400000))
    cba = generator.normal(0, 1, 400000)
    threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT)).start()
    try:
        torvane.sweep(x, y, cba, radii=np.arange(1000, 5001, 100), band_ratio=0.3)
        print("finished")
    except KeyboardInterrupt:
        print("interrupted")
    print(torvane.sweep([0.0, 3.0], [0.0, 4.0], [1.0, 2.0], radii=[5], band=0)["n"].tolist())
""")


def test_ctrl_c_stops_a_long_sweep():
    done = subprocess.run([sys.executable, "-c", SWEEP_INTERRUPTED], capture_output=True,
                          text=True, timeout=300, env=dict(os.environ))
    assert done.returncode == 0, done.stderr
    assert done.stdout.splitlines() == ["interrupted", "[[1, 1]]"]
