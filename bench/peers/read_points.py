"""Reads a point file (X Y POINT H CBA, '/' comment lines, a header line)
into arrays, with pandas or numpy, and prints the number of rows.

usage: read_points.py pandas|numpy FILE
"""

import sys


def main():
    how, path = sys.argv[1], sys.argv[2]
    if how == "pandas":
        import pandas as pd
        frame = pd.read_csv(path, sep=r"\s+", comment="/", usecols=[0, 1, 2, 4])
        rows = len(frame.to_numpy())
    else:
        import numpy as np
        rows = len(np.loadtxt(path, comments=["/", "X"], usecols=(0, 1, 2, 4)))
    print(rows)


if __name__ == "__main__":
    main()
