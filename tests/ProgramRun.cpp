#include "tests/ProgramRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace torvane::testing {
namespace {

std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

ProgramResult RunProgram(const TempDir& dir, const std::string& program,
                         const std::vector<std::string>& args, const std::string& environment) {
  std::string command = environment;
  command.append(" ").append(Quote(program));
  for (const std::string& arg : args) command.append(" ").append(Quote(arg));
  command.append(" >").append(Quote(dir.File("stdout.txt")));
  command.append(" 2>").append(Quote(dir.File("stderr.txt")));
  const int status = std::system(command.c_str());
  ProgramResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(dir.File("stdout.txt"));
  result.err = ReadFile(dir.File("stderr.txt"));
  std::filesystem::remove(dir.File("stdout.txt"));
  std::filesystem::remove(dir.File("stderr.txt"));
  return result;
}

}  // namespace torvane::testing
