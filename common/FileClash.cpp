#include "common/FileClash.h"

#include <sys/stat.h>

#include "common/SameFile.h"

namespace torvane {
namespace {

// Names that many outputs may share without harm, or that are no file.
bool NeverClashes(const std::string& path) {
  if (path.empty() || path == "-") return true;
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode));
}

}  // namespace

std::optional<FileClash> FindFileClash(const std::vector<NamedFile>& inputs,
                                       const std::vector<NamedFile>& outputs) {
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const NamedFile& output = outputs[i];
    if (NeverClashes(output.path)) continue;
    for (const NamedFile& input : inputs) {
      if (!NeverClashes(input.path) && SameFile(output.path, input.path)) {
        return FileClash{output, input};
      }
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (!NeverClashes(outputs[j].path) && SameFile(output.path, outputs[j].path)) {
        return FileClash{output, outputs[j]};
      }
    }
  }
  return std::nullopt;
}

std::string FileClashMessage(const FileClash& clash) {
  return clash.output.option + " " + clash.output.path + " and " + clash.other.option + " " +
         clash.other.path + " are the same file: Input and output file name must not be the same.";
}

}  // namespace torvane
