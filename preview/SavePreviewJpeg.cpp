// JPEG through the IJG libjpeg API: colour, 24 bits per pixel, baseline,
// quality 90. libjpeg reports errors through a callback that must not
// return; it jumps back here instead, so that no error ends the program.

// jpeglib.h needs size_t and FILE declared before it.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "preview/PreviewFiles.h"

namespace torvane {
namespace {

constexpr int kQuality = 90;
constexpr std::size_t kChunkSize = 16384;

struct JpegErrors {
  jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it is one to this
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
  JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

void KeepQuiet(j_common_ptr) {}

// Collects the compressed bytes in memory, a chunk at a time.
struct VectorDestination {
  jpeg_destination_mgr manager;  // first, as for the errors
  std::vector<std::uint8_t>* bytes;
};

bool Grow(std::vector<std::uint8_t>& bytes) {
  try {
    bytes.resize(bytes.size() + kChunkSize);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void StartDestination(j_compress_ptr info) {
  auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
  destination->bytes->clear();
  if (!Grow(*destination->bytes)) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  destination->manager.next_output_byte = destination->bytes->data();
  destination->manager.free_in_buffer = kChunkSize;
}

// The chunk is full (all of it, libjpeg's contract): add another.
boolean NextChunk(j_compress_ptr info) {
  auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
  const std::size_t used = destination->bytes->size();
  if (!Grow(*destination->bytes)) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  destination->manager.next_output_byte = destination->bytes->data() + used;
  destination->manager.free_in_buffer = kChunkSize;
  return TRUE;
}

void FinishDestination(j_compress_ptr info) {
  auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
  destination->bytes->resize(destination->bytes->size() - destination->manager.free_in_buffer);
}

// Fills `bytes` with the JPEG file of `picture`; false, with libjpeg's text in
// `message`, when libjpeg gives up. Every object with a destructor is made
// before the jump point, so jumping back skips none.
bool CompressJpeg(const RgbCanvas& picture, std::vector<std::uint8_t>& bytes,
                  std::vector<JSAMPLE>& row, JpegErrors& errors) {
  jpeg_compress_struct info{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpOnError;
  errors.manager.output_message = KeepQuiet;
  VectorDestination destination{};
  destination.manager.init_destination = StartDestination;
  destination.manager.empty_output_buffer = NextChunk;
  destination.manager.term_destination = FinishDestination;
  destination.bytes = &bytes;

  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  info.dest = &destination.manager;
  info.image_width = static_cast<JDIMENSION>(picture.width());
  info.image_height = static_cast<JDIMENSION>(picture.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, kQuality, TRUE);  // baseline tables
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < picture.width(); ++x) {
      const Rgb colour = picture.Pixel(x, y);
      row[3 * static_cast<std::size_t>(x)] = colour.r;
      row[3 * static_cast<std::size_t>(x) + 1] = colour.g;
      row[3 * static_cast<std::size_t>(x) + 2] = colour.b;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool SavePreviewJpeg(Reporter& platform, const std::string& file_name,
                     const RgbCanvas& picture) {
  std::vector<std::uint8_t> bytes;
  std::vector<JSAMPLE> row;
  JpegErrors errors{};
  try {
    row.resize(3 * static_cast<std::size_t>(picture.width()));
  } catch (const std::bad_alloc&) {
    platform.ShowInfo("Cannot write file \"" + file_name + "\"");
    return false;
  }
  if (!CompressJpeg(picture, bytes, row, errors)) {
    platform.ShowInfo("Cannot write file \"" + file_name + "\": " + errors.message);
    return false;
  }
  return WritePictureFile(platform, file_name, bytes);
}

}  // namespace torvane
