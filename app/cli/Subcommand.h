#pragma once
// The subcommands of torvane-cli (sweep, grid-residual, convert, map): each
// adds itself to the parser with its options bound to state of its own, and
// runs when the command line names it. Without a subcommand torvane-cli makes
// the residual run of the window's fields.

#include <functional>
#include <vector>

namespace CLI {
class App;
}

namespace torvane {

struct Subcommand {
  CLI::App* parser = nullptr;  // the subcommand's own parser, a child of the main one
  std::function<int()> run;    // answers the exit code
};

// Adds every subcommand to `app` (Subcommands.cpp lists them).
std::vector<Subcommand> AddSubcommands(CLI::App& app);

}  // namespace torvane
