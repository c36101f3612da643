"""The residual table as Torvane writes it, for the peer scripts."""

import numpy as np


def write_table(path, x, y, point, cba, residual, n):
    header = "%10s %10s %10s %10s %10s %10s" % ("X", "Y", "POINT", "U", "TORVANE", "N")
    np.savetxt(path, np.column_stack((x, y, point, cba, residual, n)),
               fmt=["%10.1f", "%10.1f", "%10.1f", "%10.3f", "%10.6f", "%10d"],
               header=header, comments="", newline="\r\n")
