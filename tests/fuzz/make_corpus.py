#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: small valid files of every
format the targets read, and each format's edge cases, one folder per target
under corpus/. Run it again after changing it; the files are committed.

The grids are one small grid (5 x 4 nodes with fractions, negative values and
two missing nodes) in all five formats, its variants with a header field or
the data changed, and the GDAL-written grids of tests/data.
"""
import math
import shutil
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
CORPUS = HERE / "corpus"
TEST_DATA = HERE.parent / "data"
SURFER_BLANK = 1.70141e38


class Grid:
    def __init__(self, ncols, nrows, xmin, ymin, dx, dy, values):
        self.ncols, self.nrows = ncols, nrows
        self.xmin, self.ymin, self.dx, self.dy = xmin, ymin, dx, dy
        self.values = values  # row by row from the south

    def present(self):
        return [v for v in self.values if v < 1e38]


def small_grid():
    values = [(c - 2) * 3.125 + r * 10.375 - 1 for r in range(4) for c in range(5)]
    values[1 * 5 + 3] = SURFER_BLANK
    values[3 * 5 + 0] = SURFER_BLANK
    return Grid(5, 4, -250.5, 1000.25, 12.5, 7.75, values)


def surfer7(g, blank=SURFER_BLANK, data=True):
    out = b"DSRB" + struct.pack("<ii", 4, 2)
    out += b"GRID" + struct.pack("<iii", 72, g.nrows, g.ncols)
    present = g.present() or [0.0]
    out += struct.pack("<8d", g.xmin, g.ymin, g.dx, g.dy, min(present), max(present), 0.0, blank)
    if data:
        out += b"DATA" + struct.pack("<i", 8 * len(g.values))
        out += b"".join(struct.pack("<d", blank if v >= 1e38 else v) for v in g.values)
    return out


def surfer6(g):
    present = g.present() or [0.0]
    xmax = g.xmin + (g.ncols - 1) * g.dx
    ymax = g.ymin + (g.nrows - 1) * g.dy
    out = b"DSBB" + struct.pack("<hh6d", g.ncols, g.nrows, g.xmin, xmax, g.ymin, ymax,
                                min(present), max(present))
    return out + b"".join(struct.pack("<f", v) for v in g.values)


# (struct code, dummy) of each (element size, sign flag); 2-byte elements
# are always signed.
GEOSOFT_TYPES = {(1, 0): ("B", 255), (1, 1): ("b", -127), (2, 1): ("h", -32767),
                 (4, 0): ("I", 4294967295), (4, 1): ("i", -2147483647), (4, 2): ("f", -1e32),
                 (8, 2): ("d", -1e32)}


def geosoft(g, by_column=False, base=0.0, multiplier=8.0, size=2, sign=1, per_block=0,
            rotation=0.0):
    code, dummy = GEOSOFT_TYPES[(size, sign)]

    def raw(v):
        if v >= 1e38:
            return dummy
        scaled = (v - base) * multiplier
        return scaled if code in "fd" else int(round(scaled))

    if by_column:
        vectors = [[g.values[r * g.ncols + c] for r in range(g.nrows)] for c in range(g.ncols)]
        elements, spacing_e, spacing_v, orientation = g.nrows, g.dy, g.dx, -1
    else:
        vectors = [g.values[r * g.ncols:(r + 1) * g.ncols] for r in range(g.nrows)]
        elements, spacing_e, spacing_v, orientation = g.ncols, g.dx, g.dy, 0
    stored = size + (1024 if per_block else 0)
    header = struct.pack("<iiiii7d", stored, sign, elements, len(vectors), orientation, spacing_e,
                         spacing_v, g.xmin, g.ymin, rotation, base, multiplier)
    header += bytes(512 - len(header))
    data = [b"".join(struct.pack("<" + code, raw(v)) for v in vec) for vec in vectors]
    if not per_block:
        return header + b"".join(data)
    blocks = [b"\x11" * 16 + zlib.compress(b"".join(data[i:i + per_block]))
              for i in range(0, len(data), per_block)]
    table = struct.pack("<iiii", 0x7182739, 2, len(blocks), per_block)
    at = 512 + len(table) + 12 * len(blocks)
    for block in blocks:
        table += struct.pack("<q", at)
        at += len(block)
    table += b"".join(struct.pack("<i", len(block)) for block in blocks)
    return header + table + b"".join(blocks)


def number(v):
    return "%.17g" % v


def surfer_ascii(g):
    present = g.present() or [0.0]
    lines = ["DSAA", "%d %d" % (g.ncols, g.nrows),
             "%s %s" % (number(g.xmin), number(g.xmin + (g.ncols - 1) * g.dx)),
             "%s %s" % (number(g.ymin), number(g.ymin + (g.nrows - 1) * g.dy)),
             "%s %s" % (number(min(present)), number(max(present)))]
    for r in range(g.nrows):
        lines.append(" ".join("1.70141e+38" if v >= 1e38 else number(v)
                              for v in g.values[r * g.ncols:(r + 1) * g.ncols]))
    return ("\r\n".join(lines) + "\r\n").encode()


def esri_ascii(g, nodata=-9999.0):
    lines = ["ncols %d" % g.ncols, "nrows %d" % g.nrows,
             "xllcorner %s" % number(g.xmin - g.dx / 2), "yllcorner %s" % number(g.ymin - g.dx / 2),
             "cellsize %s" % number(g.dx), "NODATA_value %s" % number(nodata)]
    for r in reversed(range(g.nrows)):
        lines.append(" ".join(number(nodata) if v >= 1e38 else number(v)
                              for v in g.values[r * g.ncols:(r + 1) * g.ncols]))
    return ("\n".join(lines) + "\n").encode()


def patch(data, offset, fmt, value):
    return data[:offset] + struct.pack(fmt, value) + data[offset + struct.calcsize(fmt):]


def grids():
    g = small_grid()
    square = Grid(5, 4, -250.5, 1000.25, 12.5, 12.5, g.values)
    one_row = Grid(6, 1, 0, 0, 1, 1, [1, 2, 3, 4, 5, 6])
    s7, s6 = surfer7(g), surfer6(g)
    fields7 = 20  # the grid section's fields: rows, columns, xmin, ymin, dx, dy, ...
    files = {
        "surfer7.grd": s7,
        "surfer7_header_only.grd": s7[:12],
        "surfer7_no_data.grd": surfer7(g, data=False),
        "surfer7_short_data.grd": s7[:100 + 8 * 5 * 2 + 12],
        "surfer7_own_blank.grd": surfer7(g, blank=-99999.0),
        "surfer7_extra_section.grd": s7[:12] + b"ABCD" + struct.pack("<i", 4) + b"xyzw" + s7[12:],
        "surfer7_huge_counts.grd": patch(patch(s7, fields7, "<i", 2**31 - 1), fields7 + 4, "<i",
                                         2**31 - 1),
        "surfer7_section_length_past_end.grd": patch(s7, 96, "<i", 2**31 - 1),
        "surfer7_spacing_nan.grd": patch(s7, fields7 + 24, "<d", math.nan),
        "surfer7_tiny_spacing.grd": patch(s7, fields7 + 24, "<d", 1e-300),
        "surfer6.grd": s6,
        "surfer6_short_data.grd": s6[:-1],
        "surfer6_one_row.grd": surfer6(one_row),
        "surfer6_counts_minus_one.grd": patch(patch(s6, 4, "<h", -1), 6, "<h", -1),
        "surfer6_equal_extents.grd": patch(s6, 16, "<d", -250.5),
        "surfer6_largest_counts.grd": patch(patch(s6, 4, "<h", 32767), 6, "<h", 32767),
        "geosoft_rows.grd": geosoft(g),
        "geosoft_columns.grd": geosoft(g, by_column=True),
        "geosoft_base_multiplier.grd": geosoft(g, base=100, multiplier=10),
        "geosoft_multiplier_zero.grd": patch(geosoft(g), 68, "<d", 0.0),
        "geosoft_short.grd": geosoft(g)[:-1],
        "geosoft_vector_count_2e31.grd": patch(geosoft(g), 12, "<i", 2**31 - 1),
        "geosoft_byte.grd": geosoft(g, base=15, multiplier=4, size=1, sign=1),
        "geosoft_unsigned_byte.grd": geosoft(g, base=-20, multiplier=4, size=1, sign=0),
        "geosoft_long.grd": geosoft(g, base=-7, multiplier=1e6, size=4, sign=1),
        "geosoft_unsigned_long.grd": geosoft(g, base=-8, multiplier=1e6, size=4, sign=0),
        "geosoft_float.grd": geosoft(g, multiplier=1, size=4, sign=2),
        "geosoft_double_columns.grd": geosoft(g, by_column=True, multiplier=1, size=8, sign=2),
        "geosoft_rotated.grd": geosoft(g, rotation=-30.0),
        "geosoft_compressed_float.grd": geosoft(g, multiplier=1, size=4, sign=2, per_block=2),
        "geosoft_compressed_short_columns.grd": geosoft(g, by_column=True, per_block=1),
        "geosoft_compressed_double_one_block.grd":
            geosoft(g, multiplier=1, size=8, sign=2, per_block=99),
        "geosoft_compressed_cut.grd": geosoft(g, multiplier=1, size=4, sign=2, per_block=2)[:600],
        "surfer_ascii.grd": surfer_ascii(g),
        "surfer_ascii_short_data.grd": b"DSAA\n3 2\n0 2\n0 1\n0 9\n1 2 3 4",
        "surfer_ascii_bad_token.grd": b"DSAA\n3 2\n0 2\n0 1\n0 9\n1 2 3 4 x 6\n",
        "surfer_ascii_beyond_float.grd":
            b"DSAA\n6 1\n0 5\n0 0\n0 1\n1e39 -1e39 nan -inf 1.70141e+038 +2.5\n",
        "surfer_ascii_huge_counts.grd": b"DSAA\n65535 65535\n0 1\n0 1\n0 1\n1 2 3\n",
        "surfer_ascii_comma_header.grd": b"DSAA\n3 2\n0,5 2\n0 1\n0 9\n1 2 3 4 5 6\n",
        "esri_ascii.asc": esri_ascii(square),
        "esri_ascii_capitals.asc": esri_ascii(square).replace(b"ncols", b"NCOLS"),
        "esri_ascii_short_data.asc":
            b"ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nnodata_value -1\n1 2 3 4",
        "esri_ascii_nodata_tolerance.asc": b"ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\n"
                                           b"cellsize 1\nnodata_value -9999\n"
                                           b"-9999.0000005 -9999.00001\n1 2\n",
        "esri_ascii_centre_variant.asc": esri_ascii(square).replace(b"xllcorner", b"xllcenter"),
        "esri_ascii_tab.asc": esri_ascii(square).replace(b"ncols ", b"ncols\t"),
        "esri_ascii_spacings.asc": esri_ascii(square).replace(b"cellsize 12.5", b"dx 12.5\ndy 7.75"),
        "esri_ascii_centre_spacings.asc": esri_ascii(square).replace(b"cellsize 12.5", b"dx 12.5\ndy 7.75")
                                          .replace(b"llcorner", b"llcenter"),
        "esri_ascii_huge_counts.asc": b"ncols 4294967295\nnrows 4294967295\nxllcorner 0\n"
                                      b"yllcorner 0\ncellsize 1\nnodata_value -1\n1 2 3\n",
    }
    for name in ("gdal_gs7bg.grd", "gdal_gsbg.grd", "gdal_gsag.grd", "gdal_aaigrid.asc",
                 "gdal_gtiff.tif", "gdal_netcdf.nc"):
        files[name] = (TEST_DATA / name).read_bytes()
    return files


def geosoft_block_seeds():
    """Choices (type, elements, vectors, vectors per block, flags), then bytes."""
    seeds = {}
    for t in range(7):
        seeds["elements_type%d.bin" % t] = bytes([t, 4, 3, 1, 2]) + bytes(range(0, 256, 7))
        seeds["elements_columns_type%d.bin" % t] = bytes([t, 5, 6, 2, 3]) + bytes(range(255, 0, -3))
    table = geosoft(small_grid(), multiplier=1, size=4, sign=2, per_block=2)[512:]
    seeds["table_as_written.bin"] = bytes([5, 4, 3, 1, 0]) + table
    seeds["table_cut.bin"] = bytes([5, 4, 3, 1, 0]) + table[:40]
    return seeds


def point_files():
    sample = (HERE.parents[1] / "data" / "sample_survey.dat").read_bytes().splitlines(True)[:40]
    return {
        "sample_head.dat": b"".join(sample),
        "plain.dat": b"X Y POINT H CBA\n0 0 1 0 10\n100 0 2 0 4\n0 100 3 0 6\n",
        "crlf_negative.dat": b"-50 10 1 0 1\r\n150 30 2 0 2\r\n",
        "separators.dat": b"100,200\t5  0 3.2\n1\b2 3 0 4\n",
        "comma_decimals.dat": b"100 200 5 0 3,2\n100 200 6 0 3.2\n",
        "comments_and_headers.dat": b"/ comment 1 2 3 4 5\nLINE 10\n\"1\" 2 3 0 4\n1 2 3 0 4 line\n"
                                    b"   / 1 2 3 0 4\n5 6 7 0 8\n",
        "exponents.dat": b"1.5E3 2 3 0 4\n1.5D3 2 3 0 4\n1 2e-1 3 0 4\n12:30 2 3 0 4\n",
        "nul_and_return.dat": b"1 2 3 0 4\0 junk\n1 2\r3 0 4\n5 6 7 0 8\rnotes\n",
        "no_final_line_feed.dat": b"1 2 3 0 4\n5 6 7 0 8",
        "long_line.dat": b"1 2 3 0 4" + b" " * 400 + b"99\n" + b"X" + b" 1 2 3 0 4" * 40 + b"\n",
        "huge_values.dat": b"1e308 -1e308 1 0 1e308\n-1e308 1e308 2 0 -1e308\n1e309 0 3 0 4\n",
        "many_columns.dat": b" ".join(str(i).encode() for i in range(30)) + b"\n",
        "empty.dat": b"",
        "binary.dat": bytes(range(256)),
        "byte_order_mark.dat": b"\xef\xbb\xbfX Y POINT H CBA\r\n0 0 1 0 10\r\n100 0 2 0 4\r\n",
        "csv_names.csv": b"Station,x,y,cba\nBV001,0,0,10\n2,100,0,4\n,,,\nBV 3,0,100,6\n",
        "csv_semicolons_quotes.csv": b"\xef\xbb\xbf\"x\";\"B\";\"Station; name\";cba\r\n"
                                     b"1.5;2;\"A\"\"1\";3\r\n \"4\" ; 5 ;\"B;2\";6\r\n\"open;1;2;3\r\n",
    }


def settings_files():
    def record(**fields):
        data = bytearray(820)

        def text(offset, value):
            data[offset:offset + len(value)] = value
        text(0, b"/data/survey 7.dat\0")
        text(255, b"/data/survey 7_torvane.dat\0")
        struct.pack_into("<dd?d", data, 510, fields.get("radius", 500.0), 12.5, True, 0.001)
        struct.pack_into("<6i", data, 535, 0, 0, 3, 4, fields.get("column", 25), 7)
        text(559, b"/grids/cba.grd\0")
        struct.pack_into("<i??", data, 814, 720, True, True)
        return bytes(data)

    full = record()
    return {
        "full.cfg": full,
        "empty.cfg": b"",
        "ends_after_radius.cfg": full[:518],
        "ends_inside_a_text.cfg": full[:258],
        "longer_than_a_record.cfg": full + b"\x7f" * 100,
        "radius_nan.cfg": record(radius=math.nan),
        "radius_infinite.cfg": record(radius=math.inf),
        "radius_tiny.cfg": record(radius=1e-300),
        "list_index_out_of_range.cfg": record(column=1000),
        "texts_without_zero.cfg": b"a" * 820,
        "all_ones.cfg": b"\xff" * 820,
    }


def csv_files():
    stations = (HERE.parents[1] / "data" / "sample_stations.csv").read_bytes().splitlines(True)[:30]
    files = {n: d for n, d in point_files().items() if n.endswith(".csv")}
    files.update({
        "sample_stations_head.csv": b"".join(stations),
        "cr_only_line_ends.csv": b"station,latitude,longitude,cba\r" + b"S1,-25.1,27.4,-30.5\r" * 20,
        "ragged_rows.csv": b"x,y,point,cba\n1,2,3,4\n1,2,3\n1,2,3,4,5\n1,2,-3O.0,4\n1,nan,3,inf\n",
        "latin1_names.csv": b"station,x,y,cba\ncaf\xe9,1,2,3\nM\xfcller,4,5,6\n",
    })
    return files


def cli_argument_lists():
    def words(*args):
        return b"\0".join(a.encode() for a in args)
    return {
        "run.args": words("--input", "s.dat", "--output", "t.dat", "--radius", "500", "--band", "100"),
        "run_all_outputs.args": words("--input", "s.dat", "--output", "t.csv", "--radius", "1e3",
                                      "--band", "0,5", "--quality", "--max-gap", "180",
                                      "--map-cba", "m.png", "--map-size", "16x16384",
                                      "--residual-grid", "r.grd", "--cell", "10",
                                      "--columns", "x,y,-,cba", "--preview-cba", "p.JPEG"),
        "grid_mode.args": words("--input", "s.dat", "--output", "t.dat", "--radius", "5",
                                "--grid", "g.grd", "--ring-points", "2147483647",
                                "--grid-memory-limit", "0", "--interpolated-cba"),
        "sweep.args": words("sweep", "--input", "s.dat", "--output", "w.dat", "--radii",
                            "100:2000:100", "--band-ratio", "0.2", "--curve", "c.csv"),
        "sweep_list.args": words("sweep", "--radii", "1e-300,1e308,nan,-5,,100,100", "--band", "5"),
        "grid_residual.args": words("grid-residual", "--grid", "g.grd", "--output", "o.tif",
                                    "--radius", "500", "--ring-points", "-1", "--min-share", "1.5"),
        "convert_map.args": words("convert", "g.grd", "o.nc", "--format", "geosoft", "map", "x"),
        "config.args": words("--config", "c.cfg", "--radius", "0x1p3", "--help"),
    }


def lying_grids():
    """Headers that claim more than their files hold."""
    def surfer6(nx, ny, size):
        head = b"DSBB" + struct.pack("<hh6d", nx, ny, 0, 1000, 0, 1000, 0, 1)
        return head + b"\0" * max(0, size - len(head))

    def esri(header, body=b"1 2 3\n"):
        return header.encode() + body
    return {
        "surfer6_32767_squared_in_4k.grd": surfer6(32767, 32767, 4096),
        "surfer6_rows_short.grd": surfer6(10, 10, 56 + 4 * 35),
        "esri_ncols_max.asc": esri("ncols 2147483647\nnrows 3\nxllcorner 0\nyllcorner 0\n"
                                   "cellsize 1\nNODATA_value -9999\n"),
        "esri_ncols_negative.asc": esri("ncols -5\nnrows 3\nxllcorner 0\nyllcorner 0\n"
                                        "cellsize 1\nNODATA_value -9999\n"),
        "esri_cellsize_zero.asc": esri("ncols 3\nnrows 1\nxllcorner 0\nyllcorner 0\n"
                                       "cellsize 0\nNODATA_value -9999\n"),
        "esri_dx_huge.asc": esri("ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\n"
                                 "dx 1e308\ndy 1\nNODATA_value -9999\n", b"1 2 3\n4 5 6\n"),
    }


def main():
    grid_files = grids()
    targets = {
        "point_file": point_files(),
        "settings_file": settings_files(),
        "grid_load": grid_files,
        "grid_interpolate": {n: d for n, d in grid_files.items()
                             if not n.endswith(".asc") and not n.startswith(("surfer_ascii", "gdal_gsag"))},
        "surfer7_grid": {n: d for n, d in grid_files.items() if "surfer7" in n or "gs7bg" in n},
        "surfer6_grid": {n: d for n, d in grid_files.items() if "surfer6" in n or "gsbg" in n},
        "geosoft_grid": {n: d for n, d in grid_files.items() if n.startswith("geosoft")},
        "geosoft_blocks": geosoft_block_seeds(),
        "surfer_ascii_grid": {n: d for n, d in grid_files.items()
                              if n.startswith("surfer_ascii") or "gsag" in n},
        "esri_ascii_grid": {n: d for n, d in grid_files.items() if n.endswith(".asc")},
        "csv_file": csv_files(),
        "config_file": settings_files(),
        "cli_flags": cli_argument_lists(),
        "read_grid_values": {**{n: d for n, d in grid_files.items() if not n.startswith("gdal_")},
                             **lying_grids()},
    }
    for target, files in targets.items():
        folder = CORPUS / target
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        for name, data in files.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
