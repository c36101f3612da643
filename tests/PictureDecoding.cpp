#include "tests/PictureDecoding.h"

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace torvane::testing {
namespace {

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

std::uint16_t U16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

}  // namespace

DecodedPicture DecodeBitmap(const std::string& bytes) {
  DecodedPicture picture;
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return picture;
  const std::uint32_t offset = U32(bytes, 10);
  const auto width = static_cast<std::int32_t>(U32(bytes, 18));
  const auto height = static_cast<std::int32_t>(U32(bytes, 22));
  picture.bits_per_pixel = U16(bytes, 28);
  if (picture.bits_per_pixel != 24 || U32(bytes, 30) != 0 || width <= 0 || height <= 0) {
    return picture;
  }
  const std::size_t row_size = (3 * static_cast<std::size_t>(width) + 3) / 4 * 4;
  if (U32(bytes, 2) != bytes.size() || offset + row_size * height != bytes.size()) return picture;
  picture.width = width;
  picture.height = height;
  for (int y = 0; y < height; ++y) {
    const std::size_t row = offset + row_size * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::size_t at = row + 3 * static_cast<std::size_t>(x);
      picture.pixels.push_back({static_cast<std::uint8_t>(bytes[at + 2]),
                                static_cast<std::uint8_t>(bytes[at + 1]),
                                static_cast<std::uint8_t>(bytes[at])});
    }
  }
  picture.ok = true;
  return picture;
}

DecodedPicture DecodeJpeg(const std::string& bytes) {
  DecodedPicture picture;
  std::vector<JSAMPLE> row;
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpOnError;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return DecodedPicture();
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  picture.components = info.num_components;
  picture.progressive = info.progressive_mode != 0;
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  picture.width = static_cast<int>(info.output_width);
  picture.height = static_cast<int>(info.output_height);
  row.resize(3 * static_cast<std::size_t>(picture.width));
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (int x = 0; x < picture.width; ++x) {
      const std::size_t at = 3 * static_cast<std::size_t>(x);
      picture.pixels.push_back({row[at], row[at + 1], row[at + 2]});
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  picture.ok = true;
  return picture;
}

bool HasBlackFrame(const DecodedPicture& picture, int tolerance) {
  // By brightness: JPEG shares colour between neighbouring pixels, so a
  // black pixel beside a bright red one takes some of its hue.
  auto dark = [tolerance](Rgb c) { return 299 * c.r + 587 * c.g + 114 * c.b <= 1000 * tolerance; };
  for (int x = 0; x < picture.width; ++x) {
    if (!dark(picture.At(x, 0)) || !dark(picture.At(x, picture.height - 1))) return false;
  }
  for (int y = 0; y < picture.height; ++y) {
    if (!dark(picture.At(0, y)) || !dark(picture.At(picture.width - 1, y))) return false;
  }
  return picture.width > 0 && picture.height > 0;
}

}  // namespace torvane::testing
