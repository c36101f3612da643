#include "tests/TestFiles.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace torvane::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "torvane-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempDir::Entries() const { return FolderEntries(path_.string()); }

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> CrlfLines(const std::string& text) {
  std::vector<std::string> lines = Lines(text);
  for (std::string& line : lines) {
    if (line.ends_with('\r')) line.pop_back();
  }
  return lines;
}

std::string SourceDir() { return TORVANE_SOURCE_DIR; }

std::string InteropDir() {
  // Beside the project, or where TORVANE_INTEROP_DIR says (a work tree
  // checked out elsewhere).
  const char* given = std::getenv("TORVANE_INTEROP_DIR");
  const std::filesystem::path interop =
      given && *given ? std::filesystem::path(given)
                      : std::filesystem::path(TORVANE_SOURCE_DIR).parent_path() / "shared" / "interop";
  return std::filesystem::is_directory(interop) ? interop.string() : std::string();
}

}  // namespace torvane::testing
