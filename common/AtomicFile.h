#pragma once
// Writing a file so that it is either replaced whole or not at all: the bytes
// go to a temporary file in the target's folder, which is renamed over the
// target only when everything has been written and flushed. A failed or
// abandoned write removes the temporary file and leaves an existing target
// exactly as it was. The target "-" is the standard output: the bytes go
// straight there (what was written stays written).

#include <cstddef>
#include <string>
#include <string_view>

namespace torvane {

class AtomicFile {
 public:
  // Creates the temporary file. `ok()` tells whether that worked; it fails
  // when the folder is missing or not writable, or when the target exists and
  // may not be written (a read-only file, a folder).
  explicit AtomicFile(std::string target);
  // Whether `target` names the standard output.
  static bool IsStandardOutput(std::string_view target) { return target == "-"; }
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool ok() const { return fd_ >= 0; }

  // The temporary file's name, for libraries that write a file by its name
  // (GDAL): what lies at this name when Commit is called becomes the target.
  const std::string& temp_path() const { return temp_path_; }

  // Appends bytes; false (and the file is abandoned) if any write fails.
  bool Write(const void* data, std::size_t size);

  // Flushes to disk and renames over the target; false when that fails, in
  // which case the temporary file is gone and the target untouched.
  bool Commit();

  // Removes the temporary file now; the target stays as it was.
  void Abandon();

  // Why creating, writing or committing failed: the system's error number
  // (errno), 0 when nothing failed.
  int error() const { return error_; }

 private:
  std::string target_;
  std::string temp_path_;
  int fd_ = -1;
  int error_ = 0;
  bool standard_output_ = false;
};

}  // namespace torvane
