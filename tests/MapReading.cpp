#include "tests/MapReading.h"

#include <sstream>

#include "tests/ProgramRun.h"

namespace torvane::testing {

DecodedPicture DecodePng(const TempDir& dir, const std::string& path) {
  const std::string bitmap = path + ".decoded.bmp";
  const ProgramResult run = RunProgram(dir, "gdal_translate", {"-q", "-of", "BMP", path, bitmap});
  if (run.exit_code != 0) return DecodedPicture();
  return DecodeBitmap(ReadFile(bitmap));
}

std::string SvgSize(const TempDir& dir, const std::string& path) {
  const ProgramResult run = RunProgram(
      dir, "/usr/bin/python3",
      {"-c",
       "import sys, xml.etree.ElementTree as E\n"
       "r = E.parse(sys.argv[1]).getroot()\n"
       "assert r.tag == '{http://www.w3.org/2000/svg}svg', r.tag\n"
       "print(r.get('width') + 'x' + r.get('height'), end='')\n",
       path});
  return run.exit_code == 0 ? run.out : run.err;
}

std::string PdfPages(const TempDir& dir, const std::string& path) {
  const ProgramResult run = RunProgram(dir, "pdfinfo", {path});
  if (run.exit_code != 0) return run.err;
  std::istringstream lines(run.out);
  std::string line;
  std::string found;
  while (std::getline(lines, line)) {
    if (line.starts_with("Pages:") || line.starts_with("Page size:")) found += line + "\n";
  }
  return found;
}

}  // namespace torvane::testing
