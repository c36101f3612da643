#include "points/CoordinateSystem.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "points/ProjObjects.h"

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
      const ProjObject source(proj_get_source_crs(context, crs));
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

// The CRS without a datum shift attached, which names and codes belong to.
ProjObject Unbound(PJ_CONTEXT* context, ProjObject crs) {
  if (crs && proj_get_type(crs.get()) == PJ_TYPE_BOUND_CRS) {
    ProjObject source(proj_get_source_crs(context, crs.get()));
    if (source) return source;
  }
  return crs;
}

// The code PROJ's database gives the CRS: its own identifier, or, for a
// definition without one (ESRI's WKT in a .prj), the EPSG CRS it matches.
std::string CodeOf(PJ_CONTEXT* context, const PJ* crs, ProjObject& identified) {
  if (const char* authority = proj_get_id_auth_name(crs, 0)) {
    if (const char* code = proj_get_id_code(crs, 0)) return std::string(authority) + ":" + code;
  }
  int* confidence = nullptr;
  PJ_OBJ_LIST* const matches = proj_identify(context, crs, "EPSG", nullptr, &confidence);
  std::string code;
  if (matches != nullptr && proj_list_get_count(matches) > 0 && confidence[0] >= 70) {
    ProjObject match(proj_list_get(context, matches, 0));
    if (match) {
      const char* authority = proj_get_id_auth_name(match.get(), 0);
      const char* number = proj_get_id_code(match.get(), 0);
      if (authority != nullptr && number != nullptr) {
        code = std::string(authority) + ":" + number;
        identified = std::move(match);
      }
    }
  }
  proj_int_list_destroy(confidence);
  proj_list_destroy(matches);
  return code;
}

}  // namespace

ProjContext NewProjContext() {
  ProjContext context(proj_context_create());
  if (context) proj_log_level(context.get(), PJ_LOG_NONE);
  return context;
}

ProjObject CreateCrs(PJ_CONTEXT* context, const std::string& crs, CrsKind& kind) {
  ProjObject object(proj_create(context, AsCrsText(crs).c_str()));
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

CrsKind DescribeCrs(const std::string& crs) {
  const ProjContext context = NewProjContext();
  if (!context) return CrsKind::kUnknown;
  CrsKind kind = CrsKind::kUnknown;
  CreateCrs(context.get(), crs, kind);
  return kind;
}

CrsName NameCrs(const std::string& crs) {
  const ProjContext context = NewProjContext();
  CrsKind kind = CrsKind::kUnknown;
  const ProjObject object =
      context ? Unbound(context.get(), CreateCrs(context.get(), crs, kind)) : nullptr;
  if (!object) return {};
  ProjObject identified;
  CrsName name;
  name.code = CodeOf(context.get(), object.get(), identified);
  const char* text = proj_get_name(identified ? identified.get() : object.get());
  if (text != nullptr) name.name = text;
  return name;
}

std::string CrsTitle(const std::string& crs) {
  const CrsName name = NameCrs(crs);
  if (name.code.empty()) return name.name.empty() ? crs : name.name;
  return name.name.empty() ? name.code : name.code + " (" + name.name + ")";
}

std::string CrsWkt(const std::string& crs) {
  const ProjContext context = NewProjContext();
  CrsKind kind = CrsKind::kUnknown;
  const ProjObject object = context ? CreateCrs(context.get(), crs, kind) : nullptr;
  if (!object) return {};
  const char* const options[] = {"MULTILINE=NO", nullptr};
  const char* wkt = proj_as_wkt(context.get(), object.get(), PJ_WKT2_2019, options);
  return wkt != nullptr ? wkt : "";
}

bool SameCrs(const std::string& a, const std::string& b) {
  const ProjContext context = NewProjContext();
  if (!context) return false;
  CrsKind kind_a = CrsKind::kUnknown, kind_b = CrsKind::kUnknown;
  const ProjObject first = Unbound(context.get(), CreateCrs(context.get(), a, kind_a));
  const ProjObject second = Unbound(context.get(), CreateCrs(context.get(), b, kind_b));
  return first && second &&
         proj_is_equivalent_to_with_ctx(context.get(), first.get(), second.get(),
                                        PJ_COMP_EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS) != 0;
}

}  // namespace torvane
