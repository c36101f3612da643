#include "common/AtomicFile.h"
#include "preview/PreviewFiles.h"

namespace torvane {

bool WritePictureFile(Reporter& platform, const std::string& file_name,
                      std::span<const std::uint8_t> bytes) {
  AtomicFile file(file_name);
  if (!file.ok()) {
    platform.ShowFileError("Cannot create file \"" + file_name + "\"", file_name, file.error());
    return false;
  }
  if (!file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
    platform.ShowFileError("Cannot write file \"" + file_name + "\"", file_name, file.error());
    return false;
  }
  return true;
}

bool SavePreviewPicture(Reporter& platform, const std::string& file_name,
                        const RgbCanvas& picture, PictureFormat format) {
  return format == PictureFormat::kBitmap ? SavePreviewBitmap(platform, file_name, picture)
                                          : SavePreviewJpeg(platform, file_name, picture);
}

}  // namespace torvane
