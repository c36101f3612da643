#pragma once
// Running one of the project's programs as a user would from a shell: its
// exit code and everything it printed.

#include <string>
#include <vector>

#include "tests/TestFiles.h"

namespace torvane::testing {

struct ProgramResult {
  int exit_code = -1;
  std::string out, err;
};

// Runs `program` with `args` through the shell, with `environment`
// ("NAME=value ...") put before it; stdout and stderr pass through files in
// `dir`, which are removed again.
ProgramResult RunProgram(const TempDir& dir, const std::string& program,
                         const std::vector<std::string>& args, const std::string& environment = "");

// torvane-cli, run as above.
using CliResult = ProgramResult;
inline CliResult RunCli(const TempDir& dir, const std::vector<std::string>& args,
                        const std::string& environment = "") {
  return RunProgram(dir, TORVANE_CLI, args, environment);
}

}  // namespace torvane::testing
