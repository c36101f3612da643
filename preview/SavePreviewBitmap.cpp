#include <cstddef>
#include <new>

#include "preview/PreviewFiles.h"

namespace torvane {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 pixels per inch, a screen's

class LittleEndianBytes {
 public:
  explicit LittleEndianBytes(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  void U16(std::uint16_t value) { Put(value, 2); }
  void U32(std::uint32_t value) { Put(value, 4); }
  void I32(std::int32_t value) { Put(static_cast<std::uint32_t>(value), 4); }

 private:
  void Put(std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  std::vector<std::uint8_t>& bytes_;
};

}  // namespace

std::vector<std::uint8_t> EncodeBitmap(const RgbCanvas& picture) {
  const auto width = static_cast<std::uint32_t>(picture.width());
  const auto height = static_cast<std::uint32_t>(picture.height());
  const std::uint32_t row_size = (3 * width + 3) / 4 * 4;  // rows end on 4 bytes
  const std::uint32_t image_size = row_size * height;
  const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize;

  std::vector<std::uint8_t> bytes;
  bytes.reserve(offset + image_size);
  LittleEndianBytes out(bytes);
  bytes.push_back('B');
  bytes.push_back('M');
  out.U32(offset + image_size);
  out.U32(0);  // reserved
  out.U32(offset);
  out.U32(kInfoHeaderSize);
  out.I32(picture.width());
  out.I32(picture.height());  // positive: the bottom row comes first
  out.U16(1);                 // planes
  out.U16(24);                // bits per pixel
  out.U32(0);                 // no compression
  out.U32(image_size);
  out.I32(kPixelsPerMetre);
  out.I32(kPixelsPerMetre);
  out.U32(0);  // no palette
  out.U32(0);

  for (int y = picture.height() - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width(); ++x) {
      const Rgb colour = picture.Pixel(x, y);
      bytes.insert(bytes.end(), {colour.b, colour.g, colour.r});
    }
    bytes.resize(bytes.size() + (row_size - 3 * width), 0);
  }
  return bytes;
}

bool SavePreviewBitmap(Reporter& platform, const std::string& file_name,
                       const RgbCanvas& picture) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = EncodeBitmap(picture);
  } catch (const std::bad_alloc&) {
    platform.ShowInfo("Cannot write file \"" + file_name + "\"");
    return false;
  }
  return WritePictureFile(platform, file_name, bytes);
}

}  // namespace torvane
