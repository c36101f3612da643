#pragma once
// Files for tests: a temporary folder removed with everything in it, and
// whole-file reads and writes.

#include <filesystem>
#include <string>
#include <vector>

namespace torvane::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Names of everything in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::filesystem::path path_;
};

// Names of everything in `folder`, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);
void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
// The lines of `text`, split at '\n' (a last line without one counts too);
// a '\r' before the '\n' stays in its line.
std::vector<std::string> Lines(const std::string& text);
// As Lines, without the '\r' of CR LF line ends.
std::vector<std::string> CrlfLines(const std::string& text);

// The folder of the project's sources and of the shared samples beside it.
std::string SourceDir();
std::string InteropDir();  // empty when the samples are not there; TORVANE_INTEROP_DIR names them

}  // namespace torvane::testing
