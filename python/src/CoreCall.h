#pragma once
// One call into the core from Python: the platform that collects the core's
// messages, the step that lets Ctrl-C stop a long loop, and how the outcome
// reaches Python (TorvaneError with the core's own text when the call
// failed, a TorvaneWarning per message when it went through).

#include <pybind11/pybind11.h>

#include <cstddef>
#include <stdexcept>
#include <string>

#include "ModulePlatform.h"
#include "residual/RingResiduals.h"

namespace torvane::python {

// Raised in Python as TorvaneError.
class CoreFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raises ValueError with `problem` (see ModuleCalls.h) unless it is empty.
inline void Require(const std::string& problem) {
  if (!problem.empty()) throw pybind11::value_error(problem);
}

// Registers TorvaneError and TorvaneWarning with the module.
void RegisterCoreErrors(pybind11::module_& module);

class CoreCall {
 public:
  // With the GIL held.
  explicit CoreCall(char decimal_separator);

  ModulePlatform& platform() { return platform_; }

  // A step for the core's loops, to be run with the GIL released: in the
  // main thread, every 50 ms it takes the GIL and lets Python handle pending
  // signals; a handler that raised (Ctrl-C: KeyboardInterrupt) stops the
  // loop.
  RingStep InterruptibleStep();

  // With the GIL held, after the core returned. Raises what a signal
  // handler raised during the loop, or TorvaneError with the core's
  // messages (or `fallback` when it showed none) when `ok` is false; issues
  // the messages not yet issued as warnings otherwise.
  void Finish(bool ok, const char* fallback);

 private:
  ModulePlatform platform_;
  bool in_main_thread_;
  bool interrupted_ = false;
  std::size_t warned_ = 0;  // messages already issued as warnings
};

}  // namespace torvane::python
