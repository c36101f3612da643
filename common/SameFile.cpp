#include "common/SameFile.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace torvane {
namespace {

// The name made absolute and resolved through every existing folder and
// link; the name as given when even that fails.
std::filesystem::path Resolved(const std::string& name) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(name, error);
  if (error) return std::filesystem::path(name).lexically_normal();
  std::filesystem::path path = std::filesystem::weakly_canonical(absolute, error);
  if (error) return absolute.lexically_normal();
  return path;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return a == b;
  // "-" is standard input or output, no file: it cannot replace one.
  if (a == "-" || b == "-") return false;
  struct stat status_a {};
  struct stat status_b {};
  const bool a_exists = ::stat(a.c_str(), &status_a) == 0;
  const bool b_exists = ::stat(b.c_str(), &status_b) == 0;
  if (a_exists && b_exists) {
    return status_a.st_dev == status_b.st_dev && status_a.st_ino == status_b.st_ino;
  }
  return a == b || Resolved(a) == Resolved(b);
}

}  // namespace torvane
