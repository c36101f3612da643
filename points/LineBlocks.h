#pragma once
// A text file read block by block, each block ending right after a line feed
// (or at the end of the file), so that the lines of a block can be judged
// apart from those of any other block. Only one block of memory is touched,
// whatever the file's size; a line longer than a block grows it. A UTF-8
// byte order mark at the start of the file is no part of its text and is
// passed over.

#include <memory>
#include <string>
#include <string_view>

#include "common/FileReadResult.h"
#include "common/Reporter.h"

namespace torvane {

class LineBlocks {
 public:
  LineBlocks() = default;
  ~LineBlocks();
  LineBlocks(const LineBlocks&) = delete;
  LineBlocks& operator=(const LineBlocks&) = delete;

  // kOk, kCannotOpen (missing, not readable, a folder) or kOutOfMemory.
  // The path "-" reads standard input (copied to a temporary file first,
  // so that it can be walked again).
  FileReadResult Open(const std::string& path);

  // The next block of whole lines; an empty block at the end of the file.
  // False on a read error.
  bool Next(std::string_view& block);

  // Back to the start of the file, to meet the same blocks again; false
  // when the file cannot seek (a pipe).
  bool Rewind();

  // Why Open or Next failed: the system's error number (errno).
  int error() const { return error_; }

 private:
  bool Fill();
  void SkipByteOrderMark();

  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;
  std::size_t first_capacity_ = 0;  // a block, or less for a small file
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;  // the unread rest of the buffer: [begin_, end_)
  std::size_t end_ = 0;
  bool at_end_ = false;
  int error_ = 0;
  bool at_start_ = true;  // nothing handed out yet since Open or Rewind
};

// Opens the point file `path` for `file`; false, after telling the user why
// (the file and the system's reason), when it cannot be read.
bool OpenPointFile(Reporter& platform, const std::string& path, LineBlocks& file);

// Calls `visit` with every line of the text, without its line end. LF ends a
// line; a CR right before it belongs to the line end. A last line without a
// line feed counts too.
template <typename Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::size_t content_end = end;
    if (content_end > start && text[content_end - 1] == '\r') --content_end;
    visit(text.substr(start, content_end - start));
    start = next;
  }
}

}  // namespace torvane
