#pragma once
// A program run as a child process that the test watches: its exit code or
// signal, its stderr, its peak memory and time as the system counted them,
// and a signal sent to it after a delay.

#include <string>
#include <vector>

namespace torvane::testing {

struct ChildOutcome {
  int exit_code = -1;      // -1 when it ended by a signal
  int signal = 0;          // the signal that ended it, 0 when it exited
  std::string err;         // what it wrote on stderr
  long peak_kib = 0;       // its largest resident set (wait4's ru_maxrss)
  double seconds = 0;      // from start to end, wall clock
};

// Runs `program` with `args` in the folder `cwd`, its stdout to /dev/null,
// SIGINT and SIGTERM at their defaults; with `signal` other than 0, sends it
// `delay_seconds` after the start unless the child has ended by then.
// `address_space_kib` > 0 limits the child's address space (ulimit -v).
ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd, int signal = 0, double delay_seconds = 0,
                      long address_space_kib = 0);

}  // namespace torvane::testing
