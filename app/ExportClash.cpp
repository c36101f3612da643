#include "app/ExportClash.h"

#include <optional>
#include <vector>

#include "common/FileClash.h"

namespace torvane {

bool ExportClashes(Platform& platform, const std::string& file_name) {
  std::vector<NamedFile> inputs = {{"the input file", platform.Text(Control::txt_in)},
                                   {"the output file", platform.Text(Control::txt_out)}};
  if (platform.Checked(Control::chb_grd)) {
    inputs.push_back({"the grid file", platform.Text(Control::txt_grd)});
  }
  const std::optional<FileClash> clash = FindFileClash(inputs, {{"The export", file_name}});
  if (clash) platform.ShowInfo(FileClashMessage(*clash));
  return clash.has_value();
}

}  // namespace torvane
