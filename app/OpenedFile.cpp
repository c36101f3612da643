#include "app/OpenedFile.h"

#include <array>
#include <fstream>

#include "app/FileChoosers.h"
#include "grid/GridFileType.h"
#include "grid/GridReaders.h"

namespace torvane {

bool LooksLikeGridFile(const std::string& path) {
  if (const std::optional<GridFileType> type = GridFileTypeOfPath(path);
      type == GridFileType::kGeoTiff || type == GridFileType::kNetcdf) {
    return true;
  }
  std::array<unsigned char, 1024> head{};
  std::ifstream file(path, std::ios::binary);
  file.read(reinterpret_cast<char*>(head.data()), head.size());
  const std::span<const unsigned char> bytes(head.data(), static_cast<std::size_t>(file.gcount()));
  for (const GridReader& reader : kGridReaders) {
    if (reader.recognise != IsAnyFile && reader.recognise(bytes)) return true;
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
