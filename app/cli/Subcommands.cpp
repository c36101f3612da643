#include <CLI/CLI.hpp>

#include "app/cli/Subcommand.h"

namespace torvane {

// One line per subcommand, each defined in a file of its own.
std::vector<Subcommand> AddSubcommands([[maybe_unused]] CLI::App& app) {
  std::vector<Subcommand> subcommands;
  return subcommands;
}

}  // namespace torvane
