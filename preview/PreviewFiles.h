#pragma once
// Saving a preview picture exactly as the window shows it, W x H pixels with
// its frame, as a 24-bit Windows bitmap or a JPEG file. A file is replaced
// only by a complete picture; one that cannot be written is reported to the
// user with its path, and the picture on screen stays as it is.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/Reporter.h"
#include "common/RgbCanvas.h"

namespace torvane {

enum class PictureFormat { kBitmap, kJpeg };

bool SavePreviewBitmap(Reporter& platform, const std::string& file_name, const RgbCanvas& picture);
bool SavePreviewJpeg(Reporter& platform, const std::string& file_name, const RgbCanvas& picture);
bool SavePreviewPicture(Reporter& platform, const std::string& file_name,
                        const RgbCanvas& picture, PictureFormat format);

// The whole file of a 24-bit bottom-up Windows bitmap of `picture`.
std::vector<std::uint8_t> EncodeBitmap(const RgbCanvas& picture);

// Writes `bytes` as the file `file_name`, all or nothing; tells the user
// "Cannot create file "<name>"" or "Cannot write file "<name>"" when that
// fails.
bool WritePictureFile(Reporter& platform, const std::string& file_name,
                      std::span<const std::uint8_t> bytes);

}  // namespace torvane
