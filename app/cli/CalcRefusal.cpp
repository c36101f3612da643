#include "app/cli/CalcRefusal.h"

#include <string>

#include "app/cli/CliMessages.h"
#include "common/SameFile.h"

namespace torvane {

void NoteSameFileRefusal(Platform& platform) {
  const std::string output = platform.Text(Control::txt_out);
  const std::string input = platform.Text(Control::txt_in);
  const std::string grid = platform.Text(Control::txt_grd);
  if (output.empty()) return;
  if (SameFile(output, input)) {
    PrintNote("--output " + output + " is the file --input " + input +
              " names: the table would replace the survey");
  } else if (platform.Checked(Control::chb_grd) && SameFile(output, grid)) {
    PrintNote("--output " + output + " is the file --grid " + grid +
              " names: the table would replace the grid");
  }
}

}  // namespace torvane
