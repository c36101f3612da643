#include "points/ProjObjects.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace torvane {
namespace {

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
      const ProjObjectPtr source(proj_get_source_crs(context, crs));
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

}  // namespace

ProjContextPtr NewProjContext() {
  ProjContextPtr context(proj_context_create());
  if (context) proj_log_level(context.get(), PJ_LOG_NONE);
  return context;
}

ProjObjectPtr CreateCrs(PJ_CONTEXT* context, const std::string& crs, CrsKind& kind) {
  ProjObjectPtr object(proj_create(context, AsCrsText(crs).c_str()));
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

}  // namespace torvane
