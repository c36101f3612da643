#pragma once
// Runs the real torvane-cli binary as a user would, from a shell.

#include <string>
#include <vector>

#include "tests/TestFiles.h"

namespace torvane::testing {

struct CliResult {
  int exit_code = -1;
  std::string out, err;
};

// Runs torvane-cli with `args` (each quoted for the shell), `environment`
// ("NAME=value ...") in front; stdout and stderr pass through files in `dir`,
// which are removed again.
CliResult RunCli(const TempDir& dir, const std::vector<std::string>& args,
                 const std::string& environment = "");

}  // namespace torvane::testing
