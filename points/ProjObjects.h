#pragma once
// PROJ's context and objects, owned, and a CRS made of the text a user wrote:
// what the projection of the stations and their latitudes both build on.

#include <proj.h>

#include <memory>
#include <string>

#include "points/CoordinateSystem.h"

namespace torvane {

struct ProjContextFree {
  void operator()(PJ_CONTEXT* context) const { proj_context_destroy(context); }
};
struct ProjObjectFree {
  void operator()(PJ* object) const { proj_destroy(object); }
};
using ProjContextPtr = std::unique_ptr<PJ_CONTEXT, ProjContextFree>;
using ProjObjectPtr = std::unique_ptr<PJ, ProjObjectFree>;

// A context of the caller's own, so that runs on several threads never share
// one; PROJ's own messages stay off the user's terminal.
ProjContextPtr NewProjContext();

// The CRS of `crs` ("EPSG:4326", WKT, a PROJ string with or without
// +type=crs, or a CRS's exact name), and its kind; null when PROJ makes no
// CRS of it (`kind` is then kUnknown).
ProjObjectPtr CreateCrs(PJ_CONTEXT* context, const std::string& crs, CrsKind& kind);

}  // namespace torvane
