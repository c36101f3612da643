#pragma once
// Whether two names lead to the same file: another spelling of one path
// ("./a", "dir/../a", an absolute path), a symbolic link or a hard link. A
// table written under one name must never replace the file read under the
// other.

#include <string>

namespace torvane {

// True when both names exist and are one file (same device and inode), or
// when at least one does not exist and both resolve to the same path once
// made absolute, with links and "." and ".." resolved as far as the
// existing folders go. Names that differ only in letter case are the same
// file only where the file system says so (by device and inode). "-"
// (standard input or output) is the same as no file.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace torvane
