#include <CLI/CLI.hpp>

#include "app/cli/Subcommand.h"

namespace torvane {

Subcommand AddSweepCommand(CLI::App& app);

// One line per subcommand, each defined in a file of its own.
std::vector<Subcommand> AddSubcommands([[maybe_unused]] CLI::App& app) {
  std::vector<Subcommand> subcommands;
  subcommands.push_back(AddSweepCommand(app));
  return subcommands;
}

}  // namespace torvane
