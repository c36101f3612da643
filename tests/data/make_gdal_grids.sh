#!/usr/bin/env bash
# Writes the grids of this folder that GDAL made, so that our readers are
# checked against files written by independent software. Needs gdal-bin
# (gdal_translate); the tests read the files committed here and never run
# GDAL themselves.
#
# The source, gdal_source.asc, is a small ESRI ASCII grid written by hand:
# 7 columns x 5 rows of 50 m cells, south-west corner at (1000, 2000),
# values with fractions, negative values and three cells of NODATA -9999.
# GDAL places each value at its cell's centre, so the first node of every
# converted grid lies at (1025, 2025).
#
# gdal_source.xyz is GDAL's dump of the source: one "x y value" line per
# cell centre, the northern row first, -9999 for the missing cells.
set -euo pipefail
cd "$(dirname "$0")"

gdal_translate -q -of GS7BG gdal_source.asc gdal_gs7bg.grd
gdal_translate -q -of GSBG gdal_source.asc gdal_gsbg.grd
gdal_translate -q -of GSAG gdal_source.asc gdal_gsag.grd
gdal_translate -q -of AAIGrid gdal_source.asc gdal_aaigrid.asc
gdal_translate -q -of XYZ gdal_source.asc gdal_source.xyz
gdal_translate -q -of GTiff gdal_source.asc gdal_gtiff.tif
gdal_translate -q -of netCDF gdal_source.asc gdal_netcdf.nc
rm -f ./*.aux.xml ./*.prj
gdal_translate --version
