#include "CoreCall.h"

#include <chrono>

#include "common/Utf8Text.h"

namespace py = pybind11;

namespace torvane::python {
namespace {

// Points between two looks at the clock, and the time between two looks at
// pending signals: taking the GIL then costs nothing worth measuring, unless
// another Python thread is busy (it may then take up to the interpreter's
// switch interval, 5 ms, a tenth of the time between looks at most).
constexpr std::size_t kClockEvery = 256;
constexpr auto kSignalCheckInterval = std::chrono::milliseconds(50);

// Python runs signal handlers in the main thread only; elsewhere there is
// nothing to look for.
bool InMainThread() {
  const py::module_ threading = py::module_::import("threading");
  return threading.attr("current_thread")().is(threading.attr("main_thread")());
}

PyObject* g_warning = nullptr;

}  // namespace

void RegisterCoreErrors(py::module_& module) {
  py::register_exception<CoreFailure>(module, "TorvaneError", PyExc_RuntimeError);
  g_warning = PyErr_NewException("torvane._core.TorvaneWarning", PyExc_UserWarning, nullptr);
  if (g_warning == nullptr) throw py::error_already_set();
  module.add_object("TorvaneWarning", py::handle(g_warning));
}

CoreCall::CoreCall(char decimal_separator)
    : platform_(decimal_separator), in_main_thread_(InMainThread()) {}

RingStep CoreCall::InterruptibleStep() {
  if (!in_main_thread_) return [](std::size_t) { return true; };
  using Clock = std::chrono::steady_clock;
  return [this, since = std::size_t{0}, last = Clock::now()](std::size_t) mutable {
    if (++since < kClockEvery) return true;
    since = 0;
    const Clock::time_point now = Clock::now();
    if (now - last < kSignalCheckInterval) return true;
    last = now;
    const py::gil_scoped_acquire hold;
    if (PyErr_CheckSignals() == 0) return true;
    interrupted_ = true;  // the handler's exception stays set for Finish
    return false;
  };
}

void CoreCall::Finish(bool ok, const char* fallback) {
  if (interrupted_) throw py::error_already_set();
  if (!ok) {
    const std::string text = platform_.MessageText();
    // A file's name in the message need not be UTF-8; Python's text must be.
    throw CoreFailure(text.empty() ? std::string(fallback) : ValidUtf8(text));
  }
  const std::vector<std::string>& messages = platform_.messages();
  for (; warned_ < messages.size(); ++warned_) {
    if (PyErr_WarnEx(g_warning, ValidUtf8(messages[warned_]).c_str(), 2) != 0) {
      throw py::error_already_set();
    }
  }
}

}  // namespace torvane::python

