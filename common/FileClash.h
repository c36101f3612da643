#pragma once
// Whether any output of a run names a file the run reads, or a file another
// output of the same run writes: written in turn, the later one would
// replace the earlier, or an output would replace its own input. Every front
// end (torvane-cli's commands, the window's exports) asks this before it
// writes anything, so a clash loses nothing.

#include <optional>
#include <string>
#include <vector>

namespace torvane {

// A file named by one option (or control) of a run: "--curve", "OUT".
struct NamedFile {
  std::string option;
  std::string path;
};

struct FileClash {
  NamedFile output;
  NamedFile other;  // an input, or an output listed before `output`
};

// The first output that names the same file (SameFile: another spelling, a
// symbolic or a hard link) as an input or an earlier output. Empty names,
// "-" (standard input or output) and devices such as /dev/null are never a
// clash.
std::optional<FileClash> FindFileClash(const std::vector<NamedFile>& inputs,
                                       const std::vector<NamedFile>& outputs);

// "--curve ./s.dat and --input s.dat are the same file: Input and output file
// name must not be the same."
std::string FileClashMessage(const FileClash& clash);

}  // namespace torvane
