#pragma once
// A run's stations: read from their file (plain columns or CSV), absolute
// gravity reduced to the simple Bouguer anomaly when asked, and, where their
// coordinates are geographic, projected into the work CRS in metres.
// Every front end reads its stations through here.

#include <optional>
#include <string>

#include "common/Reporter.h"
#include "common/StopQuestion.h"
#include "points/ColumnNames.h"
#include "points/GravityReduction.h"
#include "points/PointFileReader.h"
#include "points/PointLine.h"
#include "points/PointSet.h"
#include "points/SurveyProjection.h"

namespace torvane {

struct StationSource {
  std::string path;
  PointColumns columns;      // X, Y, point and CBA by position (0 = A)
  ColumnNames column_names;  // any given picks its column by the header row's name
  // The file's decimal separator, '.' or ','; 0 takes the reporter's (the
  // locale's). Numbers written with '.' read either way.
  char decimal_separator = 0;
  SurveyCrs crs;                     // empty: the coordinates are taken as they are
  // Absolute gravity in the CBA column and the height in columns.height (or
  // column_names[4]), reduced to the simple Bouguer anomaly the rings take;
  // the latitudes come from the coordinates, so `crs` must be given.
  std::optional<GravityReduction> gravity_reduction;
  bool keep_file_coordinates = false;  // the file's X and Y kept bit for bit in `file_xy`
  // CSV or plain whatever the name says (standard input, "-", is plain).
  PointFileFormat input_format = PointFileFormat::kByName;
};

// How the user named the CBA (or gravity) column: its header name, or its
// letter.
std::string CbaColumnName(const StationSource& source);

// False, with the user told, when the file could not be read or a CRS not
// used; `points` is then empty. `work_crs` receives the CRS of the points'
// coordinates as read (ProjectSurvey's), empty when the source names none.
// `keep_going` is asked while the file is read and the points projected, a
// few times a second; when it gives up, the answer is false with nothing
// said and `points` empty.
bool ReadStations(Reporter& reporter, const StationSource& source, PointSet& points,
                  std::string& work_crs, const KeepGoing& keep_going = {});

}  // namespace torvane
