// cmake --install puts the programs, the desktop entry, the icon, the
// AppStream metainfo, the manual pages and the completions where a desktop,
// man and bash find them.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/ProgramRun.h"
#include "tests/TestFiles.h"

namespace torvane::testing {
namespace {

TEST(Install, ProgramsDesktopEntryAndIcon) {
  TempDir dir;
  const ProgramResult install =
      RunProgram(dir, TORVANE_CMAKE, {"--install", TORVANE_BUILD_DIR, "--prefix", dir.File("usr")});
  ASSERT_EQ(install.exit_code, 0) << install.err;
  for (const char* program : {"usr/bin/torvane", "usr/bin/torvane-cli"}) {
    const auto permissions = std::filesystem::status(dir.File(program)).permissions();
    EXPECT_NE(permissions & std::filesystem::perms::owner_exec, std::filesystem::perms::none)
        << program;
  }
  const std::string entry = ReadFile(dir.File("usr/share/applications/torvane.desktop"));
  // A file manager opens surveys and grids with it, handing over the file.
  EXPECT_NE(entry.find("\nExec=torvane %f\n"), std::string::npos) << entry;
  for (const char* type : {"text/csv;", "text/plain;", "application/x-surfer-grid;", "image/tiff;"}) {
    EXPECT_NE(entry.find(type), std::string::npos) << type;
  }
  EXPECT_TRUE(std::filesystem::exists(dir.File("usr/share/mime/packages/torvane.xml")));
  EXPECT_NE(entry.find("\nIcon=torvane\n"), std::string::npos) << entry;
  const std::string icon = ReadFile(dir.File("usr/share/icons/hicolor/128x128/apps/torvane.png"));
  EXPECT_TRUE(icon.starts_with("\x89PNG\r\n\x1a\n"));
  for (const char* file :
       {"usr/share/metainfo/org.torvane.Torvane.metainfo.xml", "usr/share/man/man1/torvane.1",
        "usr/share/man/man1/torvane-cli.1", "usr/share/bash-completion/completions/torvane",
        "usr/share/bash-completion/completions/torvane-cli"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.File(file))) << file;
  }

  // The installed batch command runs.
  const ProgramResult version = RunProgram(dir, dir.File("usr/bin/torvane-cli"), {"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_TRUE(version.out.starts_with("torvane-cli ")) << version.out;
}

}  // namespace
}  // namespace torvane::testing
