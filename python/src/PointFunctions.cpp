// read_points and ring_residual: the point file and point mode's rings.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pybind11/stl.h>

#include "Arrays.h"
#include "CoreCall.h"
#include "ModuleCalls.h"
#include "PythonFunctions.h"
#include "common/LocaleSeparator.h"
#include "points/ColumnLetters.h"
#include "points/PointFileReader.h"
#include "points/SkippedRows.h"
#include "points/ReadStations.h"
#include "points/SurveyProjection.h"
#include "residual/RingResiduals.h"

namespace py = pybind11;

namespace torvane::python {
namespace {

char SeparatorOrEnvironment(const std::optional<std::string>& separator) {
  return separator ? (*separator)[0] : LocaleDecimalSeparator();
}

py::dict ReadPoints(const std::string& path, const std::string& columns,
                    const std::optional<std::string>& decimal_separator,
                    const std::optional<std::string>& crs,
                    const std::optional<std::string>& work_crs) {
  // Names of the header row or letters, as torvane-cli --columns takes them.
  ColumnNames names;
  if (!ParseColumnNames(columns, names)) {
    throw py::value_error(
        "columns: four column letters or header names separated by commas, for X, Y, point "
        "and CBA (such as \"A,B,C,E\"), not '" + columns + "'");
  }
  // A name of the file's header row wins over a letter.
  PointColumns letters;
  ParseColumnLetters(columns, letters);
  CoreCall call(SeparatorOrEnvironment(decimal_separator));
  PointSet points;
  bool ok = false;
  // The CRS of the coordinates computed with: the file's own unless it is
  // geographic, then the one asked for or the UTM zone of the survey's
  // centre, as the projection picked it.
  std::string used_crs;
  {
    const py::gil_scoped_release free;
    StationSource source;
    source.path = path;
    source.columns = letters;
    source.column_names = names;
    // 0: the call's separator, the one asked for or the environment's.
    source.decimal_separator = 0;
    // Stations in degrees are projected into metres for the rings, as
    // torvane-cli --crs does.
    if (crs) source.crs = {*crs, work_crs.value_or("")};
    source.keep_file_coordinates = true;
    ok = ReadStations(call.platform(), source, points, used_crs);
    // Said as torvane-cli says it: a warning when the call goes through,
    // part of the error when it fails.
    for (const std::string& note :
         {SkippedRowsText(points.skipped),
          CommaDecimalsText(points.skipped, path, "decimal_separator=','")}) {
      if (!note.empty()) call.platform().ShowInfo(note);
    }
  }
  call.Finish(ok, "Cannot open input data file");
  const auto count = static_cast<py::ssize_t>(points.points.size());
  py::array_t<double> x(count), y(count), point(count), cba(count), file_x(count), file_y(count);
  double* xs = x.mutable_data();
  double* ys = y.mutable_data();
  double* numbers = point.mutable_data();
  double* cbas = cba.mutable_data();
  double* file_xs = file_x.mutable_data();
  double* file_ys = file_y.mutable_data();
  {
    const py::gil_scoped_release free;
    for (std::size_t i = 0; i < points.points.size(); ++i) {
      const SurveyPoint& p = points.points[i];
      // Without a projection the file's coordinates, bit for bit.
      xs[i] = crs ? p.x - points.shift_x : points.FileX(i);
      ys[i] = crs ? p.y - points.shift_y : points.FileY(i);
      file_xs[i] = points.FileX(i);
      file_ys[i] = points.FileY(i);
      numbers[i] = p.point;
      cbas[i] = p.cba;
    }
  }
  py::dict result;
  result["x"] = x;
  result["y"] = y;
  result["point"] = point;
  result["cba"] = cba;
  if (crs) {
    result["file_x"] = file_x;
    result["file_y"] = file_y;
    result["work_crs"] = used_crs;
  }
  // Rows that looked like data but gave no point.
  result["skipped"] = static_cast<std::uint64_t>(points.skipped.Total());
  // Station names, when the point column holds text.
  if (points.HasLabels()) {
    py::list labels(count);
    for (std::size_t i = 0; i < points.points.size(); ++i) {
      const std::string_view label = points.Label(i);
      // Bytes kept as torvane-cli keeps them: a name that is not UTF-8
      // (Latin-1 from an old logger) decodes with surrogateescape, as
      // Python decodes file names, and encodes back to the same bytes.
      PyObject* text = PyUnicode_DecodeUTF8(label.data(), static_cast<Py_ssize_t>(label.size()),
                                            "surrogateescape");
      if (text == nullptr) throw py::error_already_set();
      labels[i] = py::reinterpret_steal<py::str>(text);
    }
    result["label"] = labels;
  }
  return result;
}

py::dict RingResidual(const InArray& x, const InArray& y, const InArray& cba, double radius,
                      double band, bool quality) {
  Require(PointRingProblem(radius, band));
  CoreCall call('.');
  RingResult result(static_cast<std::size_t>(x.size()), quality);
  bool ok = false;
  {
    const py::gil_scoped_release free;
    RingSettings settings;
    settings.radius = radius;
    settings.band = band;
    settings.quality = quality;
    PointSet points;
    RingResults rings;
    ok = SurveyRings(call.platform(), {View(x), View(y), View(cba)}, settings, {},
                     call.InterruptibleStep(), points, rings);
    if (ok) result.Fill(points, rings);
  }
  call.Finish(ok, "The ring residuals could not be computed");
  return result.ToDict();
}

}  // namespace

void AddPointFunctions(py::module_& module) {
  module.def("read_points", &ReadPoints, py::arg("path"), py::arg("columns"),
             py::arg("decimal_separator"), py::arg("crs"), py::arg("work_crs"));
  module.def("ring_residual", &RingResidual, py::arg("x"), py::arg("y"), py::arg("cba"),
             py::arg("radius"), py::arg("band"), py::arg("quality"));
}

}  // namespace torvane::python
