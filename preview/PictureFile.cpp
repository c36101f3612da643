#include "common/AtomicFile.h"
#include "preview/PreviewFiles.h"

namespace torvane {

bool WritePictureFile(Platform& platform, const std::string& file_name,
                      std::span<const std::uint8_t> bytes) {
  AtomicFile file(file_name);
  if (!file.ok()) {
    platform.ShowInfo("Cannot create file \"" + file_name + "\"");
    return false;
  }
  if (!file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
    platform.ShowInfo("Cannot write file \"" + file_name + "\"");
    return false;
  }
  return true;
}

bool SavePreviewPicture(Platform& platform, const std::string& file_name,
                        const RgbCanvas& picture, PictureFormat format) {
  return format == PictureFormat::kBitmap ? SavePreviewBitmap(platform, file_name, picture)
                                          : SavePreviewJpeg(platform, file_name, picture);
}

}  // namespace torvane
