#pragma once
// PROJ's context and objects, each destroyed when it goes, and the CRS made
// of a user's text: what points/ shares among the files that call PROJ.

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
using ProjContext = std::unique_ptr<PJ_CONTEXT, ProjContextFree>;
using ProjObject = std::unique_ptr<PJ, ProjObjectFree>;

// A context of the caller's own, so that calls on several threads never
// share one; PROJ's own messages stay off the user's terminal.
ProjContext NewProjContext();

// The CRS of `crs` as a user wrote it, and its kind; null (kind kUnknown)
// when PROJ makes no CRS of it.
ProjObject CreateCrs(PJ_CONTEXT* context, const std::string& crs, CrsKind& kind);

}  // namespace torvane
