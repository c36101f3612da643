#pragma once
// Writing a file so that it is either replaced whole or not at all: the bytes
// go to a temporary file in the target's folder, which is renamed over the
// target only when everything has been written and flushed. A failed or
// abandoned write removes the temporary file and leaves an existing target
// exactly as it was. The temporary file is listed for removal should the
// process be interrupted (Interruption.h). Its name is the target's, cut
// short when needed, between "." and ".tmp-PID-N", so that any name the
// folder takes can be written. The target "-" is the standard output: the
// bytes go straight there (what was written stays written).

#include <cstddef>
#include <span>
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

  bool ok() const { return fd_ >= 0 || completed_; }

  // The temporary file's name, for libraries that write a file by its name
  // (GDAL): what lies at this name when Commit is called becomes the target.
  const std::string& temp_path() const { return temp_path_; }

  // Appends bytes; false (and the file is abandoned) if any write fails.
  bool Write(const void* data, std::size_t size);

  // Asks that whole blocks go straight to the disk, past the page cache:
  // every Write whose bytes start on a kDirectBlock boundary in memory and in
  // the file goes so for its whole blocks. A large table then costs no copy
  // into the cache, nor the flush of it at Complete. Where the file system
  // declines, the bytes are written as usual.
  static constexpr std::size_t kDirectBlock = 4096;
  void PreferDirect() { direct_wished_ = !standard_output_; }

  // Flushes the temporary file to disk and closes it, ready to be renamed;
  // false (and the file is abandoned) when that fails. For a set of files
  // that are put in place together: complete every one, then commit each.
  bool Complete();

  // Completes the file and renames it over the target; false when that
  // fails, in which case the temporary file is gone and the target
  // untouched.
  bool Commit();

  // Removes the temporary file now; the target stays as it was.
  void Abandon();

  // Why creating, writing or committing failed: the system's error number
  // (errno), 0 when nothing failed.
  int error() const { return error_; }

 private:
  std::string target_;
  std::string temp_path_;
  void Unlist();

  // Writes size bytes at once, past the cache when `direct`; -1 with errno
  // set as ::write does.
  long WriteOnce(const char* bytes, std::size_t size, bool direct);

  int fd_ = -1;
  int error_ = 0;
  std::size_t offset_ = 0;  // bytes written so far
  bool direct_wished_ = false;
  bool direct_on_ = false;  // the descriptor's O_DIRECT flag
  bool standard_output_ = false;
  int listed_ = -1;         // the ticket of the interruption's list
  bool completed_ = false;  // flushed and closed, not yet renamed
};

// Puts a set of files in place as one: every file is completed first, and
// only when all are are they renamed, one right after the other, with
// interruptions held off (Interruption.h). Answers the file that failed
// (every file of the set is then abandoned, and no target has changed unless
// a rename itself failed part-way), or nullptr when all are in place.
AtomicFile* CommitTogether(std::span<AtomicFile* const> files);

}  // namespace torvane
