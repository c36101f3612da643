#include "points/CoordinateSystem.h"

#include "points/ProjObjects.h"

namespace torvane {
namespace {

// The CRS without a datum shift attached, which names and codes belong to.
ProjObjectPtr Unbound(PJ_CONTEXT* context, ProjObjectPtr crs) {
  if (crs && proj_get_type(crs.get()) == PJ_TYPE_BOUND_CRS) {
    ProjObjectPtr source(proj_get_source_crs(context, crs.get()));
    if (source) return source;
  }
  return crs;
}

// The code PROJ's database gives the CRS: its own identifier, or, for a
// definition without one (ESRI's WKT in a .prj), the EPSG CRS it matches.
std::string CodeOf(PJ_CONTEXT* context, const PJ* crs, ProjObjectPtr& identified) {
  if (const char* authority = proj_get_id_auth_name(crs, 0)) {
    if (const char* code = proj_get_id_code(crs, 0)) return std::string(authority) + ":" + code;
  }
  int* confidence = nullptr;
  PJ_OBJ_LIST* const matches = proj_identify(context, crs, "EPSG", nullptr, &confidence);
  std::string code;
  if (matches != nullptr && proj_list_get_count(matches) > 0 && confidence[0] >= 70) {
    ProjObjectPtr match(proj_list_get(context, matches, 0));
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

CrsKind DescribeCrs(const std::string& crs) {
  const ProjContextPtr context = NewProjContext();
  if (!context) return CrsKind::kUnknown;
  CrsKind kind = CrsKind::kUnknown;
  CreateCrs(context.get(), crs, kind);
  return kind;
}

CrsName NameCrs(const std::string& crs) {
  const ProjContextPtr context = NewProjContext();
  CrsKind kind = CrsKind::kUnknown;
  const ProjObjectPtr object =
      context ? Unbound(context.get(), CreateCrs(context.get(), crs, kind)) : nullptr;
  if (!object) return {};
  ProjObjectPtr identified;
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

std::string CrsDisplayName(const std::string& crs) {
  const CrsName name = NameCrs(crs);
  if (name.code.empty()) return name.name.empty() ? crs : name.name;
  return name.name.empty() ? name.code : name.code + " - " + name.name;
}

std::string CrsWkt(const std::string& crs) {
  const ProjContextPtr context = NewProjContext();
  CrsKind kind = CrsKind::kUnknown;
  const ProjObjectPtr object = context ? CreateCrs(context.get(), crs, kind) : nullptr;
  if (!object) return {};
  const char* const options[] = {"MULTILINE=NO", nullptr};
  const char* wkt = proj_as_wkt(context.get(), object.get(), PJ_WKT2_2019, options);
  return wkt != nullptr ? wkt : "";
}

bool SameCrs(const std::string& a, const std::string& b) {
  const ProjContextPtr context = NewProjContext();
  if (!context) return false;
  CrsKind kind_a = CrsKind::kUnknown, kind_b = CrsKind::kUnknown;
  const ProjObjectPtr first = Unbound(context.get(), CreateCrs(context.get(), a, kind_a));
  const ProjObjectPtr second = Unbound(context.get(), CreateCrs(context.get(), b, kind_b));
  return first && second &&
         proj_is_equivalent_to_with_ctx(context.get(), first.get(), second.get(),
                                        PJ_COMP_EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS) != 0;
}

}  // namespace torvane
