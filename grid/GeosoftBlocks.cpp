#include "grid/GeosoftBlocks.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace torvane {
namespace {

constexpr std::uint64_t kTable = 512;  // where the block table begins
constexpr std::uint64_t kBlockHeader = 16;

// Inflates `in`, a whole zlib stream with its checksum, into exactly
// out.size() bytes.
bool Inflate(std::span<const unsigned char> in, std::span<unsigned char> out) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  std::size_t given = 0;
  std::size_t written = 0;
  int status = Z_OK;
  // zlib counts in 32 bits: large spans go in steps.
  constexpr std::size_t kStep = std::numeric_limits<uInt>::max();
  while (status == Z_OK) {
    if (stream.avail_in == 0) {
      if (given == in.size()) break;  // the stream ends before its end
      const std::size_t step = std::min(kStep, in.size() - given);
      stream.next_in = const_cast<unsigned char*>(in.data() + given);
      stream.avail_in = static_cast<uInt>(step);
      given += step;
    }
    const std::size_t room = std::min(kStep, out.size() - written);
    stream.next_out = out.data() + written;
    stream.avail_out = static_cast<uInt>(room);
    status = inflate(&stream, Z_NO_FLUSH);
    written += room - stream.avail_out;
    // No room left and more to come: the block holds more than it should.
    if (status == Z_BUF_ERROR && stream.avail_in == 0 && given < in.size()) status = Z_OK;
  }
  inflateEnd(&stream);
  return status == Z_STREAM_END && written == out.size();
}

}  // namespace

bool ReadGeosoftBlocks(std::span<const unsigned char> file, const BinaryNodeLayout& layout,
                       float* nodes) {
  const std::uint64_t size = file.size();
  if (size < kTable + 16) return false;
  const std::int32_t blocks = LoadInt32(&file[kTable + 8]);
  const std::int32_t per_block = LoadInt32(&file[kTable + 12]);
  if (blocks < 1 || per_block < 1) return false;
  const std::uint64_t offsets = kTable + 16;
  const std::uint64_t sizes = offsets + std::uint64_t{8} * static_cast<std::uint64_t>(blocks);
  if (sizes + std::uint64_t{4} * static_cast<std::uint64_t>(blocks) > size) return false;

  const bool by_column = layout.vectors_are_columns;
  const std::uint32_t vector_count = by_column ? layout.ncols : layout.nrows;
  const std::uint32_t length = by_column ? layout.nrows : layout.ncols;
  const std::size_t element = EncodedSize(layout.encoding);
  const std::uint64_t vector_bytes = std::uint64_t{length} * element;
  std::vector<unsigned char> block;
  std::uint32_t vector = 0;
  for (std::int32_t b = 0; b < blocks && vector < vector_count; ++b) {
    const std::uint64_t at = LoadUint64(&file[offsets + 8 * static_cast<std::uint64_t>(b)]);
    const std::int32_t stored = LoadInt32(&file[sizes + 4 * static_cast<std::uint64_t>(b)]);
    if (stored < static_cast<std::int32_t>(kBlockHeader) || at > size ||
        static_cast<std::uint64_t>(stored) > size - at) {
      return false;
    }
    const std::uint32_t count =
        std::min(static_cast<std::uint32_t>(per_block), vector_count - vector);
    // zlib inflates at most about 1032 times: a block claiming more is
    // damaged, and is refused before its memory is taken.
    if (count * vector_bytes > static_cast<std::uint64_t>(stored) * 1032 + 1024) return false;
    block.resize(count * vector_bytes);
    const std::span<const unsigned char> in =
        file.subspan(at + kBlockHeader, static_cast<std::size_t>(stored) - kBlockHeader);
    if (!Inflate(in, block)) return false;
    for (std::uint32_t k = 0; k < count; ++k, ++vector) {
      const unsigned char* p = block.data() + k * vector_bytes;
      for (std::uint32_t e = 0; e < length; ++e, p += element) {
        const std::size_t at_node = by_column
                                        ? static_cast<std::size_t>(vector) * layout.nrows + e
                                        : static_cast<std::size_t>(e) * layout.nrows + vector;
        nodes[at_node] = DecodeNode(p, layout);
      }
    }
  }
  return vector == vector_count;
}

}  // namespace torvane
