#pragma once
// Coordinate reference systems as users and files write them ("EPSG:4326",
// "EPSG:32735", a WKT text, a PROJ string, a CRS's exact name): what PROJ
// makes of them, their names for people, and their WKT for files.

#include <string>

namespace torvane {

enum class CrsKind {
  kUnknown,     // PROJ makes no coordinate reference system of the text
  kGeographic,  // longitude and latitude in degrees
  kProjected,   // easting and northing
  kOther,       // a CRS of another kind (geocentric, vertical, ...)
};

CrsKind DescribeCrs(const std::string& crs);

// How a CRS is named for people: its authority's code where PROJ finds one
// ("EPSG:32735"; empty otherwise) and its name ("WGS 84 / UTM zone 35S").
struct CrsName {
  std::string code;
  std::string name;
};
CrsName NameCrs(const std::string& crs);
// "EPSG:32735 (WGS 84 / UTM zone 35S)", the name alone without a code, the
// text itself when PROJ makes nothing of it.
std::string CrsTitle(const std::string& crs);
// "EPSG:32735 - WGS 84 / UTM zone 35S", as a map's axes name their CRS;
// the name alone without a code, the text itself when PROJ makes nothing
// of it.
std::string CrsDisplayName(const std::string& crs);

// The CRS as WKT 2 (2019), for files; empty when PROJ makes none of it.
std::string CrsWkt(const std::string& crs);

// True when both texts give the same CRS, however they spell it (a code,
// WKT of either version); the axis order of a geographic CRS aside.
bool SameCrs(const std::string& a, const std::string& b);

}  // namespace torvane
