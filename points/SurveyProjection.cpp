#include "points/SurveyProjection.h"

#include <proj.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <new>
#include <string_view>

#include "points/PointBounds.h"

namespace torvane {
namespace {

struct ContextFree {
  void operator()(PJ_CONTEXT* context) const { proj_context_destroy(context); }
};
struct ObjectFree {
  void operator()(PJ* object) const { proj_destroy(object); }
};
using ContextPtr = std::unique_ptr<PJ_CONTEXT, ContextFree>;
using ObjectPtr = std::unique_ptr<PJ, ObjectFree>;

// A context of this call's own, so that runs on several threads never share
// one; PROJ's own messages stay off the user's terminal.
ContextPtr NewContext() {
  ContextPtr context(proj_context_create());
  if (context) proj_log_level(context.get(), PJ_LOG_NONE);
  return context;
}

// A PROJ string names a CRS only with +type=crs; users leave it out.
std::string AsCrsText(const std::string& crs) {
  if (!crs.empty() && crs[0] == '+' && crs.find("type=crs") == std::string::npos) {
    return crs + " +type=crs";
  }
  return crs;
}

CrsKind KindOf(PJ_CONTEXT* context, const PJ* crs) {
  switch (proj_get_type(crs)) {
    case PJ_TYPE_GEOGRAPHIC_2D_CRS:
    case PJ_TYPE_GEOGRAPHIC_3D_CRS:
      return CrsKind::kGeographic;
    case PJ_TYPE_PROJECTED_CRS:
      return CrsKind::kProjected;
    case PJ_TYPE_BOUND_CRS: {  // a CRS with its datum shift to WGS 84 attached
      const ObjectPtr source(proj_get_source_crs(context, crs));
      return source ? KindOf(context, source.get()) : CrsKind::kOther;
    }
    default:
      return CrsKind::kOther;
  }
}

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// Text that is a CRS's name rather than its code or definition ("WGS 84").
bool IsPlainName(const std::string& crs) {
  return crs.find(':') == std::string::npos && crs.find('[') == std::string::npos &&
         crs.find('{') == std::string::npos && (crs.empty() || crs[0] != '+');
}

ObjectPtr CreateCrs(PJ_CONTEXT* context, const std::string& crs, CrsKind& kind) {
  ObjectPtr object(proj_create(context, AsCrsText(crs).c_str()));
  // PROJ finds a CRS for any name that resembles one of its names ("FOO" is
  // "Amersfoort"): a name must be the CRS's own, or a typing slip would
  // place the survey anywhere.
  if (object && IsPlainName(crs)) {
    const char* name = proj_get_name(object.get());
    if (name == nullptr || !SameText(name, crs)) object.reset();
  }
  kind = object ? KindOf(context, object.get()) : CrsKind::kUnknown;
  return object;
}

}  // namespace

CrsKind DescribeCrs(const std::string& crs) {
  const ContextPtr context = NewContext();
  if (!context) return CrsKind::kUnknown;
  CrsKind kind = CrsKind::kUnknown;
  CreateCrs(context.get(), crs, kind);
  return kind;
}

std::string UtmZoneCrs(double longitude, double latitude) {
  const double wrapped = longitude - 360.0 * std::floor((longitude + 180.0) / 360.0);
  int zone = static_cast<int>(std::floor((wrapped + 180.0) / 6.0)) + 1;
  if (zone < 1) zone = 1;
  if (zone > 60) zone = 60;
  return "EPSG:" + std::to_string((latitude >= 0 ? 32600 : 32700) + zone);
}

bool ProjectSurvey(Reporter& platform, const SurveyCrs& crs, PointSet& points) {
  if (crs.crs.empty() || points.points.empty()) return true;
  const auto refuse = [&](const std::string& text) {
    points.Clear();
    platform.ShowInfo(text);
    return false;
  };
  const ContextPtr context = NewContext();
  if (!context) throw std::bad_alloc();
  CrsKind kind = CrsKind::kUnknown;
  const ObjectPtr source = CreateCrs(context.get(), crs.crs, kind);
  if (kind != CrsKind::kGeographic && kind != CrsKind::kProjected) {
    return refuse("Unknown coordinate reference system for the points: " + crs.crs);
  }
  std::string work = crs.work_crs;
  if (work.empty()) {
    if (kind == CrsKind::kProjected) {  // metres already
      points.crs = crs.crs;
      return true;
    }
    work = UtmZoneCrs((points.min_x + points.max_x) / 2 - points.shift_x,
                      (points.min_y + points.max_y) / 2 - points.shift_y);
  }
  CrsKind work_kind = CrsKind::kUnknown;
  const ObjectPtr target = CreateCrs(context.get(), work, work_kind);
  if (work_kind != CrsKind::kProjected) {
    return refuse("The work coordinate reference system must be a projected one in metres: " +
                  work);
  }
  const ObjectPtr operation(
      proj_create_crs_to_crs_from_pj(context.get(), source.get(), target.get(), nullptr, nullptr));
  // Longitude (or easting) first, whatever order the CRS's definition gives.
  const ObjectPtr ordered(
      operation ? proj_normalize_for_visualization(context.get(), operation.get()) : nullptr);
  if (!ordered) return refuse("No transformation from " + crs.crs + " to " + work);

  const std::size_t count = points.points.size();
  points.file_xy.resize(2 * count);
  for (std::size_t i = 0; i < count; ++i) {
    SurveyPoint& p = points.points[i];
    p.x -= points.shift_x;
    p.y -= points.shift_y;
    points.file_xy[2 * i] = p.x;
    points.file_xy[2 * i + 1] = p.y;
  }
  constexpr std::size_t kStride = sizeof(SurveyPoint);
  proj_trans_generic(ordered.get(), PJ_FWD, &points.points[0].x, kStride, count,
                     &points.points[0].y, kStride, count, nullptr, 0, 0, nullptr, 0, 0);
  Box box;
  for (std::size_t i = 0; i < count; ++i) {
    const SurveyPoint& p = points.points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::fabs(p.x) > 1e15 ||
        std::fabs(p.y) > 1e15) {
      return refuse("Point " + std::to_string(i + 1) + " at (" +
                    std::to_string(points.file_xy[2 * i]) + ", " +
                    std::to_string(points.file_xy[2 * i + 1]) + ") cannot be projected from " +
                    crs.crs + " to " + work);
    }
    box.Add(p.x, p.y);
  }
  if (!SetBounds(box, points)) return refuse("Input file contains coordinates out of range");
  ShiftPoints(points);
  points.file_degrees = kind == CrsKind::kGeographic;
  points.crs = work;
  return true;
}

std::string CrsDisplayName(const std::string& crs) {
  const ContextPtr context = NewContext();
  if (!context || crs.empty()) return crs;
  CrsKind kind = CrsKind::kUnknown;
  const ObjectPtr object = CreateCrs(context.get(), crs, kind);
  if (!object) return crs;
  const char* name = proj_get_name(object.get());
  const char* authority = proj_get_id_auth_name(object.get(), 0);
  const char* code = proj_get_id_code(object.get(), 0);
  std::string text;
  if (authority != nullptr && code != nullptr) text = std::string(authority) + ":" + code;
  if (name != nullptr) text += (text.empty() ? "" : " - ") + std::string(name);
  return text.empty() ? crs : text;
}

}  // namespace torvane
