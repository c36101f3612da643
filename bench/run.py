"""Runs Torvane's workloads and those of the tools users would pick instead,
side by side, checks that the answers agree, and prints a table of medians
and ratios (peer time / Torvane time). Called by bench/run.

usage: run.py BUILD_DIR WORK_DIR [--repeats N] [--only W1,W4]
"""

import argparse
import os
import platform
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"  # Debian's, with the peers' packages


def timed(command, env=None):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, env=env)
    return time.perf_counter() - start


def peak_memory_mib(command):
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, check=True,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(result.stderr.strip().splitlines()[-1]) / 1024


def table_rows(path):
    with open(path) as table:
        next(table)
        return [line.split() for line in table]


def tables_agree(ours, theirs):
    """Same points, same N; residuals within one unit of the last decimal
    (a plain floating-point sum may round the mean differently)."""
    a, b = table_rows(ours), table_rows(theirs)
    if len(a) != len(b):
        return "rows %d vs %d" % (len(a), len(b))
    for row_a, row_b in zip(a, b):
        if row_a[:4] != row_b[:4] or row_a[5] != row_b[5]:
            return "differs: %s / %s" % (row_a, row_b)
        if abs(float(row_a[4]) - float(row_b[4])) > 1.5e-6:
            return "residual differs: %s / %s" % (row_a, row_b)
    return "yes"


class Bench:
    def __init__(self, build, work, repeats):
        self.build, self.work, self.repeats = build, work, repeats
        self.cli = os.path.join(build, "torvane-cli")
        self.stage = os.path.join(build, "bench", "torvane-bench")
        self.rows = []

    def data(self, name, make):
        path = os.path.join(self.work, name)
        if not os.path.exists(path):
            print("making %s ..." % path, file=sys.stderr)
            make(path)
        return path

    def survey(self, points):
        return self.data("survey_%d.dat" % points, lambda path: subprocess.run(
            [sys.executable, os.path.join(HERE, "make_survey.py"), "--points", str(points),
             "--seed", "7", "--output", path], check=True))

    def measure(self, workload, tool, command, env=None):
        timed(command, env)  # warm the page cache
        seconds = statistics.median(timed(command, env) for _ in range(self.repeats))
        print("  %s %-34s %8.3f s" % (workload, tool, seconds), file=sys.stderr)
        return seconds

    def add(self, workload, tool, seconds, ours, agrees=""):
        ratio = "" if seconds == ours else "%.1f x" % (seconds / ours)
        self.rows.append((workload, tool, "%.3f" % seconds, ratio, agrees))

    def w1_point_mode(self):
        survey = self.survey(1000000)
        out = os.path.join(self.work, "w1_torvane.dat")
        command = [self.cli, "--input", survey, "--output", out, "--radius", "1000",
                   "--band", "100", "--quiet"]
        ours = self.measure("W1", "torvane-cli", command)
        single = self.measure("W1", "torvane-cli, 1 thread", command,
                              dict(os.environ, OMP_NUM_THREADS="1"))
        memory = peak_memory_mib(command)
        self.add("W1 point mode 1M", "torvane-cli (peak %.0f MiB)" % memory, ours, ours)
        self.add("W1 point mode 1M", "torvane-cli, 1 thread", single, ours)
        theirs = os.path.join(self.work, "w1_scipy.dat")
        peer = [PYTHON, os.path.join(HERE, "peers", "ring_scipy.py"), survey, theirs, "1000", "100"]
        seconds = self.measure("W1", "scipy cKDTree", peer)
        self.add("W1 point mode 1M", "scipy cKDTree script", seconds, ours, tables_agree(out, theirs))

    def w4_read_points(self):
        survey = self.survey(1000000)
        result = subprocess.run([self.stage, "read-points", survey, str(self.repeats)], check=True,
                                stdout=subprocess.PIPE, text=True).stdout.split()
        ours = float(result[1])
        megabytes = os.path.getsize(survey) / 1e6
        self.add("W4 read 1M-line points", "torvane (%.0f MB/s)" % (megabytes / ours), ours, ours)
        for how in ("numpy", "pandas"):
            command = [PYTHON, os.path.join(HERE, "peers", "read_points.py"), how, survey]
            rows = subprocess.run(command, check=True, stdout=subprocess.PIPE,
                                  text=True).stdout.strip()
            seconds = self.measure("W4", how, command)
            # The peers' time includes starting Python and importing the
            # library; that start alone is measured and taken off.
            start = statistics.median(
                timed([PYTHON, "-c", "import %s" % ("numpy" if how == "numpy" else "pandas")])
                for _ in range(self.repeats))
            self.add("W4 read 1M-line points", "%s (%.0f MB/s)" % (how, megabytes / (seconds - start)),
                     seconds - start, ours, "yes" if rows == "1000000" else "rows " + rows)

    def print_table(self):
        print("| workload | tool | median s | peer / Torvane | agrees |")
        print("|---|---|---|---|---|")
        for row in self.rows:
            print("| %s |" % " | ".join(row))
        print()
        print("Machine: %s, %d cores, %s; %s." % (platform.processor() or platform.machine(),
                                                  os.cpu_count(), platform.platform(),
                                                  time.strftime("%Y-%m-%d")))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("work")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--only", default="W1,W4")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    bench = Bench(args.build, args.work, args.repeats)
    workloads = {"W1": bench.w1_point_mode, "W4": bench.w4_read_points}
    for name in args.only.split(","):
        workloads[name]()
    bench.print_table()


if __name__ == "__main__":
    main()
