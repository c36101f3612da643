// Soak: 200 runs in one window, point mode and grid mode in turn, with the
// previews on and a picture saved after each run. The memory in use after
// the last run is what it was after the twentieth: nothing grows from run to
// run. (Under the sanitizers, LeakSanitizer checks at the end that nothing
// was lost either.)

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstddef>
#include <string>

#include "app/Hvw.h"
#include "common/LargeArray.h"
#include "tests/GridWriters.h"
#include "tests/ScriptedPlatform.h"
#include "tests/TestFiles.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace torvane::testing {
namespace {

// The bytes the program holds from the heap now, large arrays included.
std::size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd + LargeBytesMapped();
#endif
}

std::string Survey() {
  std::string survey = "X Y POINT H CBA\n";
  for (int i = 0; i < 400; ++i) {
    const double x = (i % 20) * 50.0 - 480;
    const double y = (i / 20) * 50.0 - 470;
    survey += std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(i + 1) + " 0 " +
              std::to_string((i * 37) % 101 * 0.25 - 12) + "\n";
  }
  return survey;
}

TestGrid Grid() {
  TestGrid grid(30, 30, -750, -750, 50, 50);
  for (int r = 0; r < grid.nrows; ++r) {
    for (int c = 0; c < grid.ncols; ++c) grid.at(c, r) = 0.01 * c * c - 0.2 * r + 5;
  }
  return grid;
}

TEST(Soak, TwoHundredRunsInOneWindowHoldNoMoreMemory) {
  constexpr int kRuns = 200;
  constexpr int kSettled = 20;
  TempDir dir;
  WriteFile(dir.File("survey.dat"), Survey());
  WriteFile(dir.File("cba.grd"), Surfer7Bytes(Grid()));
  ScriptedPlatform platform;
  TfrmMain form(platform);
  platform.SetText(Control::txt_in, dir.File("survey.dat"));
  platform.SetText(Control::txt_out, dir.File("table.dat"));
  platform.SetText(Control::txt_grd, dir.File("cba.grd"));
  platform.SetText(Control::txt_rfs, "150");
  platform.SetText(Control::txt_rfa, "30");
  platform.SetText(Control::txt_n, "36");
  platform.SetChecked(Control::cb_preview, true);

  std::size_t settled = 0;
  for (int run = 1; run <= kRuns; ++run) {
    platform.SetChecked(Control::chb_grd, run % 2 == 0);
    form.btn_calcClick();
    ASSERT_TRUE(form.ResultsReady()) << "run " << run << ": "
                                     << ::testing::PrintToString(platform.Messages());
    ASSERT_TRUE(form.SavePicture(run % 3 == 0 ? Control::img_uba : Control::img_regta,
                                 dir.File(run % 2 ? "picture.bmp" : "picture.jpg"),
                                 run % 2 ? PictureFormat::kBitmap : PictureFormat::kJpeg));
    ASSERT_TRUE(platform.Messages().empty()) << "run " << run;
    // The scripted platform's own record of the calls would grow.
    platform.log.clear();
    platform.log.shrink_to_fit();
    if (run == kSettled) settled = HeapInUse();
  }
  const std::size_t last = HeapInUse();
  EXPECT_LE(last, settled + 16 * 1024) << "grew by " << (last - settled) << " bytes over "
                                       << kRuns - kSettled << " runs";
  EXPECT_EQ(dir.Entries(),
            (std::vector<std::string>{"cba.grd", "picture.bmp", "picture.jpg", "survey.dat",
                                      "table.dat"}));
}

}  // namespace
}  // namespace torvane::testing
