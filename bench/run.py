"""Runs Torvane's workloads and those of the tools users would pick instead,
side by side, checks that the answers agree, and prints a table of medians
and ratios (peer time / Torvane time). Called by bench/run.

usage: run.py BUILD_DIR WORK_DIR [--repeats N] [--only W1,W2,W3,W4,W5,W6,W7,W8,W9,W10]
"""

import argparse
import os
import platform
import statistics
import struct
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


def time_and_peak(command):
    """Wall seconds, user seconds and peak resident MiB of one run."""
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-f", "%U %M"] + command, check=True,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    wall = time.perf_counter() - start
    user, peak_kib = result.stderr.strip().splitlines()[-1].split()
    return wall, float(user), int(peak_kib) / 1024


def table_rows(path):
    with open(path) as table:
        next(table)
        return [line.split() for line in table]


def tables_agree(ours, theirs, tolerance=1.5e-6):
    """The peer's rows against the first rows of ours: the same points and
    the same N, residuals within `tolerance` (a plain floating-point sum, or
    another bilinear formula, may round differently). Where a grid sample
    lies exactly on the grid's last row or column the two may count it
    differently: up to 0.1 % of the rows may differ in N."""
    a, b = table_rows(ours)[:len(table_rows(theirs))], table_rows(theirs)
    if len(b) == 0 or len(a) != len(b):
        return "rows %d vs %d" % (len(a), len(b))
    n_differ = 0
    for row_a, row_b in zip(a, b):
        # Torvane prints X and Y after shifting them for the computation and
        # back, which may move a coordinate ending in 5 to the other side of
        # the rounding: a last-digit difference in X or Y is the same point.
        near = all(abs(float(p) - float(q)) <= 0.1000001 for p, q in zip(row_a[:2], row_b[:2]))
        if not near or row_a[2:4] != row_b[2:4]:
            return "differs: %s / %s" % (row_a, row_b)
        if row_a[5] != row_b[5]:
            n_differ += 1
        elif abs(float(row_a[4]) - float(row_b[4])) > tolerance:
            return "residual differs: %s / %s" % (row_a, row_b)
    if n_differ > len(a) / 1000:
        return "N differs in %d rows" % n_differ
    return "yes" if n_differ == 0 else "yes (%d edge rows)" % n_differ


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

    def survey(self, points, seed=7):
        name = "survey_%d.dat" % points if seed == 7 else "survey_%d_seed%d.dat" % (points, seed)
        return self.data(name, lambda path: subprocess.run(
            [sys.executable, os.path.join(HERE, "make_survey.py"), "--points", str(points),
             "--seed", str(seed), "--output", path], check=True))

    def grid(self, name, fmt, columns=4000):
        return self.data(name, lambda path: subprocess.run(
            [PYTHON, os.path.join(HERE, "make_grid.py"), "--points", "1000000", "--seed", "7",
             "--columns", str(columns), "--format", fmt, "--output", path], check=True))

    def measure(self, workload, tool, command, env=None):
        first = timed(command, env)  # also warms the page cache
        if first > 20:  # a slow peer: one more run is enough
            seconds = timed(command, env)
        else:
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
        # The fastest vectorised script a Python user writes first, then the
        # slower scripts of the earlier figures.
        for script, tool in (
                ("ring_scipy_pandas.py",
                 "scipy script: pandas, one cKDTree, sparse_distance_matrix over chunks of "
                 "200,000"),
                ("ring_scipy_vectorised.py",
                 "scipy script: np.loadtxt, sparse_distance_matrix over chunks of 20,000"),
                ("ring_scipy.py", "scipy script: np.loadtxt, query_ball_point")):
            theirs = os.path.join(self.work, "w1_" + script.replace(".py", ".dat"))
            peer = [PYTHON, os.path.join(HERE, "peers", script), survey, theirs, "1000", "100"]
            seconds = self.measure("W1", script.replace(".py", ""), peer)
            self.add("W1 point mode 1M", tool, seconds, ours, tables_agree(out, theirs))

    def w10_ten_million(self):
        """W1's run on 10,000,000 stations: wall time, processor time and peak."""
        survey = self.survey(10000000, seed=11)
        out = os.path.join(self.work, "w10_torvane.dat")
        command = [self.cli, "--input", survey, "--output", out, "--radius", "1000",
                   "--band", "100", "--quiet"]
        timed(command)  # warms the page cache
        runs = [time_and_peak(command) for _ in range(max(1, min(self.repeats, 3)))]
        wall = statistics.median(run[0] for run in runs)
        user = statistics.median(run[1] for run in runs)
        peak = max(run[2] for run in runs)
        print("  W10 %-33s %8.3f s" % ("torvane-cli", wall), file=sys.stderr)
        self.add("W10 point mode 10M", "torvane-cli (%.2f s user, peak %.0f MiB, %.0f B a station)"
                 % (user, peak, peak * 1048576 / 10000000), wall, wall)

    def w2_grid_mode(self):
        survey = self.survey(1000000)
        grid = self.grid("grid4000.grd", "surfer7")
        out = os.path.join(self.work, "w2_torvane.dat")
        command = [self.cli, "--input", survey, "--output", out, "--radius", "1000",
                   "--grid", grid, "--quiet"]
        ours = self.measure("W2", "torvane-cli, memory", command)
        disk = self.measure("W2", "torvane-cli, disk", command + ["--grid-memory-limit", "0"])
        workload = "W2 grid mode 1M x 360"
        self.add(workload, "torvane-cli, grid in memory", ours, ours)
        self.add(workload, "torvane-cli, grid read from file (%.1f x memory)" % (disk / ours),
                 disk, ours)
        peer = os.path.join(HERE, "peers", "grid_python.py")
        theirs = os.path.join(self.work, "w2_scipy.dat")
        seconds = self.measure("W2", "scipy map_coordinates",
                               [PYTHON, peer, "scipy", survey, grid, theirs, "1000", "360"])
        self.add(workload, "scipy map_coordinates(order=1)", seconds, ours,
                 tables_agree(out, theirs, 1e-4))
        # grdtrack takes minutes for the whole survey: it is timed on 10,000 and
        # 50,000 points, and the time per point between the two carries it on
        # to 1,000,000.
        theirs = os.path.join(self.work, "w2_gmt.dat")
        small, large = 10000, 50000
        t_small = self.measure("W2", "GMT grdtrack 10k", [PYTHON, peer, "gmt", survey, grid,
                                                           theirs, "1000", "360", str(small)])
        t_large = self.measure("W2", "GMT grdtrack 50k", [PYTHON, peer, "gmt", survey, grid,
                                                           theirs, "1000", "360", str(large)])
        seconds = t_large + (t_large - t_small) / (large - small) * (1000000 - large)
        self.add(workload, "GMT grdtrack -nl (from 50k points)", seconds, ours,
                 tables_agree(out, theirs, 1e-4))

    def w3_read_grids(self):
        formats = [("surfer7", "grd7", "Surfer 7"), ("surfer6", "grd6", "Surfer 6"),
                   ("geosoft", "grdgeo", "Geosoft"), ("surfer-ascii", "grdtxt", "Surfer ASCII"),
                   ("esri", "asc", "ESRI ASCII")]
        for fmt, suffix, label in formats:
            path = self.grid("grid4000." + suffix, fmt)
            megabytes = os.path.getsize(path) / 1e6
            result = subprocess.run([self.stage, "read-grid", path, str(self.repeats)], check=True,
                                    stdout=subprocess.PIPE, text=True).stdout.split()
            ours = float(result[1])
            workload = "W3 read 4000x4000 %s (%.0f MB)" % (label, megabytes)
            self.add(workload, "torvane (%.0f MB/s)" % (megabytes / ours), ours, ours)
            if fmt == "geosoft":
                continue  # GDAL has no reader for Geosoft's binary grids
            script = ("import statistics, sys, time\nfrom osgeo import gdal\nt = []\n"
                      "for _ in range(%d):\n    s = time.perf_counter()\n"
                      "    d = gdal.Open(sys.argv[1])\n    a = d.GetRasterBand(1).ReadAsArray()\n"
                      "    d = None\n"
                      "    t.append(time.perf_counter() - s)\n"
                      "print(statistics.median(t), a.shape[0] * a.shape[1])" % (self.repeats + 1))
            out = subprocess.run([PYTHON, "-c", script, path], check=True, stdout=subprocess.PIPE,
                                 text=True).stdout.split()
            seconds = float(out[0])
            print("  W3 %-34s %8.3f s" % ("GDAL " + label, seconds), file=sys.stderr)
            self.add(workload, "GDAL ReadAsArray (%.0f MB/s)" % (megabytes / seconds), seconds, ours,
                     "yes" if out[1] == "16000000" else "nodes " + out[1])

    def w5_window(self):
        survey = self.survey(1000000)
        out = os.path.join(self.work, "w5_window.dat")
        settings = os.path.join(self.work, "w5.cfg")
        text = lambda path: path.encode().ljust(255, b"\0")
        record = (text(survey) + text(out) + struct.pack("<dd?d6i", 1000, 100, False, 0, 0, 0, 0, 1,
                                                          2, 4) + text("") + struct.pack("<i??", 360, False, False))
        with open(settings, "wb") as f:
            f.write(record)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        window = self.measure("W5", "torvane window", [os.path.join(self.build, "torvane"),
                                                       "--config", settings, "--screenshot",
                                                       os.path.join(self.work, "w5.png")], env)
        batch_out = os.path.join(self.work, "w5_cli.dat")
        batch = self.measure("W5", "torvane-cli", [self.cli, "--input", survey, "--output",
                                                   batch_out, "--radius", "1000", "--band", "100",
                                                   "--quiet"])
        same = "yes" if open(out, "rb").read() == open(batch_out, "rb").read() else "tables differ"
        self.add("W5 the window, W1's run", "torvane-cli", batch, batch)
        self.add("W5 the window, W1's run", "torvane window, offscreen (%.2f x batch)" % (window / batch),
                 window, batch, same)

    def w9_sweep(self):
        """Ten radii, R = 100 to 1000 m with D = R / 10, in one sweep against
        ten single runs; then W1 with the quality columns against W1."""
        survey = self.survey(1000000)
        radii = [100 * k for k in range(1, 11)]
        sweep_out = os.path.join(self.work, "w9_sweep.dat")
        sweep = [self.cli, "sweep", "--input", survey, "--output", sweep_out, "--radii",
                 "100:1000:100", "--band-ratio", "0.1", "--quiet",
                 "--curve", os.path.join(self.work, "w6_curve.csv")]
        singles = [[self.cli, "--input", survey, "--output",
                    os.path.join(self.work, "w6_single_%d.dat" % r), "--radius", str(r),
                    "--band", repr(0.1 * r), "--quiet"] for r in radii]
        ours = self.measure("W9", "sweep of 10 radii", sweep)
        memory = peak_memory_mib(sweep)
        timed(singles[0])  # warms the page cache
        total = statistics.median(sum(timed(c) for c in singles) for _ in range(self.repeats))
        print("  W9 %-34s %8.3f s" % ("10 single runs", total), file=sys.stderr)
        # Every radius's two columns against its single run.
        wide = table_rows(sweep_out)
        same = all(row[4 + 2 * k:6 + 2 * k] == one[4:6]
                   for k, r in enumerate(radii)
                   for row, one in zip(wide, table_rows(singles[k][4])))
        workload = "W9 sweep 10 radii, 1M"
        self.add(workload, "torvane-cli sweep (peak %.0f MiB)" % memory, ours, ours)
        self.add(workload, "10 single runs of torvane-cli", total, ours,
                 "yes" if same else "columns differ")
        w1 = [self.cli, "--input", survey, "--output", os.path.join(self.work, "w6_w1.dat"),
              "--radius", "1000", "--band", "100", "--quiet"]
        plain = self.measure("W9", "W1", w1)
        quality = self.measure("W9", "W1 --quality", w1 + ["--quality"])
        self.add("W9 W1 with --quality", "torvane-cli W1", plain, plain)
        self.add("W9 W1 with --quality", "torvane-cli W1 --quality", quality, plain)
        # The one-pass sweep against one W1 run (the goal: at most 2 x).
        self.add(workload, "one W1 run (the sweep / W1)", ours, plain)

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

    def w6_grid_residual(self):
        grid = self.grid("grid4000.grd", "surfer7")
        peer = os.path.join(HERE, "peers", "grid_residual_scipy.py")
        masked = self.data("grid4000_masked.grd", lambda path: subprocess.run(
            [PYTHON, peer, "mask", grid, path], check=True))
        with open(grid, "rb") as f:
            dx = struct.unpack_from("<d", f.read(60), 44)[0]
        radius = "%.17g" % (50 * dx)
        workload = "W6 grid-residual 4000x4000, R 50 cells, N 360"
        out = os.path.join(self.work, "w6_torvane.grd")
        command = [self.cli, "grid-residual", "--grid", grid, "--output", out, "--radius", radius,
                   "--quiet"]
        ours = self.measure("W6", "torvane-cli", command)
        single = self.measure("W6", "torvane-cli, 1 thread", command,
                              dict(os.environ, OMP_NUM_THREADS="1"))
        memory = peak_memory_mib(command)
        masked_out = os.path.join(self.work, "w6_torvane_masked.grd")
        with_blanks = self.measure("W6", "torvane-cli, blanks", [
            self.cli, "grid-residual", "--grid", masked, "--output", masked_out, "--radius", radius,
            "--quiet"])
        self.add(workload, "torvane-cli (peak %.0f MiB)" % memory, ours, ours)
        self.add(workload, "torvane-cli, 1 thread", single, ours)
        self.add(workload, "torvane-cli, 34 %% blank (%.2f x without)" % (with_blanks / ours),
                 with_blanks, ours)

        def agree(theirs):
            result = subprocess.run([PYTHON, peer, "compare", out, theirs], check=True,
                                    stdout=subprocess.PIPE, text=True).stdout.split()
            return "yes (%s nodes, within %.1g)" % (result[1], float(result[0])) \
                if float(result[0]) < 1e-4 else "differs by " + result[0]

        theirs = os.path.join(self.work, "w6_fft.grd")
        seconds = self.measure("W6", "scipy fftconvolve",
                               [PYTHON, peer, "fft", grid, theirs, radius, "360"])
        self.add(workload, "scipy fftconvolve, same weights (no blank rules)", seconds, ours,
                 agree(theirs))
        # map_coordinates takes minutes for the whole grid: 40 rows are timed
        # (the computation alone) and carried on to 4000.
        theirs = os.path.join(self.work, "w6_map.grd")
        rows = 40
        result = subprocess.run([PYTHON, peer, "map", grid, theirs, radius, "360", str(rows)],
                                check=True, stdout=subprocess.PIPE, text=True).stdout.split()
        seconds = float(result[0]) * 4000 / rows
        print("  W6 %-34s %8.3f s" % ("scipy map_coordinates", seconds), file=sys.stderr)
        self.add(workload, "scipy map_coordinates(order=1) (from %d rows)" % rows, seconds, ours,
                 agree(theirs))

    def w7_convert(self):
        grid = self.grid("grid4000.grd", "surfer7")
        workload = "W7 convert 4000x4000 Surfer 7 -> GeoTIFF -> Surfer 7"
        tif, back = os.path.join(self.work, "w7_torvane.tif"), os.path.join(self.work, "w7_back.grd")
        there = self.measure("W7", "torvane-cli to GeoTIFF",
                             [self.cli, "convert", grid, tif, "--quiet"])
        # Reading GeoTIFF needs a Torvane built with the GDAL reader.
        reads_tiff = subprocess.run([self.cli, "convert", tif, back, "--quiet"],
                                    stderr=subprocess.DEVNULL).returncode == 0
        again = self.measure("W7", "torvane-cli back",
                             [self.cli, "convert", tif, back, "--quiet"]) if reads_tiff else 0
        ours = there + again
        self.add(workload if reads_tiff else workload.replace(" -> Surfer 7", ""),
                 "torvane-cli convert (%.2f + %.2f)" % (there, again), ours, ours)
        gtif, gback = os.path.join(self.work, "w7_gdal.tif"), os.path.join(self.work, "w7_gdal.grd")
        there = self.measure("W7", "gdal_translate to GeoTIFF",
                             ["gdal_translate", "-q", "-ot", "Float32", "-of", "GTiff", grid, gtif])
        again = self.measure("W7", "gdal_translate back",
                             ["gdal_translate", "-q", "-of", "GS7BG", gtif, gback]) \
            if reads_tiff else 0

        def checksum(path):
            info = subprocess.run(["gdalinfo", "-checksum", path], check=True,
                                  stdout=subprocess.PIPE, text=True).stdout
            return [line.strip() for line in info.splitlines() if "Checksum=" in line]

        same = checksum(tif) == checksum(gtif) and (
            not reads_tiff or checksum(back) == checksum(gback))
        self.add(workload if reads_tiff else workload.replace(" -> Surfer 7", ""),
                 "gdal_translate (%.2f + %.2f)" % (there, again), there + again, ours,
                 "yes (same checksums)" if same else "checksums differ")
    def w8_map(self):
        survey = self.survey(1000000)
        lines = subprocess.run([self.stage, "map", survey, str(self.repeats)], check=True,
                               stdout=subprocess.PIPE, text=True).stdout.splitlines()
        fields = {line.split()[0]: line.split() for line in lines}
        ours = float(fields["map"][1])
        cpu = float(lines[0].split()[3])
        self.add("W8 1200 x 900 map of 1M points (R = 1000 m, cell 200 m)",
                 "torvane (%.2f s of processor time)" % cpu, ours, ours)

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
    parser.add_argument("--only", default="W1,W2,W3,W4,W5,W6,W7,W8,W9,W10")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    bench = Bench(args.build, args.work, args.repeats)
    workloads = {"W1": bench.w1_point_mode, "W2": bench.w2_grid_mode, "W3": bench.w3_read_grids,
                 "W4": bench.w4_read_points, "W5": bench.w5_window,
                 "W6": bench.w6_grid_residual, "W7": bench.w7_convert,
                 "W8": bench.w8_map, "W9": bench.w9_sweep, "W10": bench.w10_ten_million}
    for name in args.only.split(","):
        workloads[name]()
    bench.print_table()


if __name__ == "__main__":
    main()
