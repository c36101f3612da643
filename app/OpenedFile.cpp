#include "app/OpenedFile.h"

#include <array>
#include <fstream>

#include "app/FileChoosers.h"
#include "grid/GridFormat.h"

namespace torvane {

bool LooksLikeGridFile(const std::string& path) {
  if (const GridFormat* format = GridFormatOfPath(path);
      format == &kGeoTiffFormat || format == &kNetcdfFormat) {
    return true;
  }
  std::array<unsigned char, 1024> head{};
  std::ifstream file(path, std::ios::binary);
  file.read(reinterpret_cast<char*>(head.data()), head.size());
  const std::span<const unsigned char> bytes(head.data(), static_cast<std::size_t>(file.gcount()));
  // By our own readers: GDAL's takes any file.
  for (const GridFormat* format : kGridFormats) {
    if (format != &kGdalRasterFormat && format->recognise != nullptr && format->recognise(bytes)) {
      return true;
    }
  }
  return false;
}

OpenedAs PutOpenedFile(Platform& platform, const std::string& path,
                       std::string_view table_ending) {
  if (LooksLikeGridFile(path)) {
    platform.SetText(Control::txt_grd, path);
    return OpenedAs::kGrid;
  }
  platform.SetText(Control::txt_in, path);
  platform.SetText(Control::txt_out, ProposedOutputName(path, table_ending));
  return OpenedAs::kSurvey;
}

}  // namespace torvane
