#include <CLI/CLI.hpp>

#include "app/cli/Subcommand.h"

namespace torvane {

Subcommand AddConvertCommand(CLI::App& app);
Subcommand AddGridResidualCommand(CLI::App& app);
Subcommand AddInfoCommand(CLI::App& app);
Subcommand AddMapCommand(CLI::App& app);
Subcommand AddReduceCommand(CLI::App& app);
Subcommand AddSweepCommand(CLI::App& app);

// One line per subcommand, each defined in a file of its own.
std::vector<Subcommand> AddSubcommands(CLI::App& app) {
  std::vector<Subcommand> subcommands;
  subcommands.push_back(AddConvertCommand(app));
  subcommands.push_back(AddGridResidualCommand(app));
  subcommands.push_back(AddInfoCommand(app));
  subcommands.push_back(AddMapCommand(app));
  subcommands.push_back(AddReduceCommand(app));
  subcommands.push_back(AddSweepCommand(app));
  return subcommands;
}

}  // namespace torvane
