// Compressed Geosoft grids. The first bytes choose an element type, the
// counts (up to 16 x 16), the vectors per block and the orientation; the
// rest is either the elements themselves, written once plain and once
// compressed in blocks (both must give the same nodes, bit for bit), or
// the bytes after the header as they stand (block table and streams), which
// must be read or declined without harm.

#include <zlib.h>

#include <bit>
#include <cstring>
#include <vector>

#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/GridChecks.h"

namespace torvane::fuzzing {
namespace {

constexpr std::size_t kChoices = 5;
// (element size, sign flag) of every element type.
constexpr std::int32_t kTypes[][2] = {{1, 0}, {1, 1}, {2, 1}, {4, 0}, {4, 1}, {4, 2}, {8, 2}};

void Put(std::vector<std::uint8_t>& out, std::size_t at, const void* value, std::size_t size) {
  if (out.size() < at + size) out.resize(at + size);
  std::memcpy(out.data() + at, value, size);
}

template <typename T>
void Append(std::vector<std::uint8_t>& out, T value) {
  Put(out, out.size(), &value, sizeof value);
}

std::vector<std::uint8_t> Header(std::int32_t size, std::int32_t sign, std::int32_t elements,
                                 std::int32_t vectors, bool by_column) {
  std::vector<std::uint8_t> out;
  for (const std::int32_t v : {size, sign, elements, vectors, by_column ? -1 : 1}) Append(out, v);
  for (const double v : {1.5, 2.0, -10.0, 20.0, 0.0, 0.25, 4.0}) Append(out, v);
  out.resize(512, 0);
  return out;
}

// The elements in blocks of `per_block` vectors, each a 16-byte block
// header and a zlib stream.
std::vector<std::uint8_t> Blocks(const std::vector<std::uint8_t>& elements, std::int32_t vectors,
                                 std::int32_t per_block) {
  const std::size_t vector_bytes = elements.size() / static_cast<std::size_t>(vectors);
  const std::int32_t blocks = (vectors + per_block - 1) / per_block;
  std::vector<std::vector<std::uint8_t>> streams;
  for (std::int32_t b = 0; b < blocks; ++b) {
    const std::size_t first = static_cast<std::size_t>(b * per_block) * vector_bytes;
    const std::size_t size =
        std::min(elements.size() - first, static_cast<std::size_t>(per_block) * vector_bytes);
    uLongf packed = compressBound(size);
    std::vector<std::uint8_t> stream(16 + packed, 0);
    compress2(stream.data() + 16, &packed, elements.data() + first, size, 6);
    stream.resize(16 + packed);
    streams.push_back(std::move(stream));
  }
  std::vector<std::uint8_t> out;
  for (const std::int32_t v : {0x7182739, 2, blocks, per_block}) Append(out, v);
  std::uint64_t at = 512 + 16 + 12 * static_cast<std::uint64_t>(blocks);
  for (const auto& stream : streams) {
    Append(out, at);
    at += stream.size();
  }
  for (const auto& stream : streams) Append(out, static_cast<std::int32_t>(stream.size()));
  for (const auto& stream : streams) out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

bool SameNodes(const TGridImport& a, const TGridImport& b) {
  if (a.ncols() != b.ncols() || a.nrows() != b.nrows()) return false;
  for (std::uint32_t c = 0; c < a.ncols(); ++c) {
    for (std::uint32_t r = 0; r < a.nrows(); ++r) {
      if (std::bit_cast<std::uint32_t>(a.Node(c, r)) != std::bit_cast<std::uint32_t>(b.Node(c, r))) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

std::string FuzzGeosoftBlocks(Bytes data) {
  if (data.size() < kChoices) return "";
  const auto& type = kTypes[data[0] % std::size(kTypes)];
  const std::int32_t elements = data[1] % 16 + 1;
  const std::int32_t vectors = data[2] % 16 + 1;
  const std::int32_t per_block = data[3] % 8 + 1;
  const bool by_column = data[4] & 1;
  const bool from_elements = data[4] & 2;
  const Bytes rest = data.subspan(kChoices);

  static InputFile plain_file;
  static InputFile compressed_file;
  std::vector<std::uint8_t> compressed = Header(type[0] + 1024, type[1], elements, vectors, by_column);
  if (!from_elements) {
    compressed.insert(compressed.end(), rest.begin(), rest.end());
    CountingPlatform platform;
    TGridImport grid(platform);
    const bool accepted = grid.Load(compressed_file.Hold(compressed));
    return CheckGrid(grid, accepted, platform.messages);
  }

  // The elements: the input's bytes, repeated to fill the grid.
  std::vector<std::uint8_t> values(static_cast<std::size_t>(type[0]) * elements * vectors);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = rest.empty() ? 0 : rest[i % rest.size()];
  std::vector<std::uint8_t> plain = Header(type[0], type[1], elements, vectors, by_column);
  plain.insert(plain.end(), values.begin(), values.end());
  const std::vector<std::uint8_t> blocks = Blocks(values, vectors, per_block);
  compressed.insert(compressed.end(), blocks.begin(), blocks.end());

  CountingPlatform plain_platform;
  CountingPlatform compressed_platform;
  TGridImport from_plain(plain_platform);
  TGridImport from_blocks(compressed_platform);
  if (!from_plain.Load(plain_file.Hold(plain))) return "a plain grid of every type declined";
  if (!from_blocks.Load(compressed_file.Hold(compressed))) return "a compressed grid declined";
  if (plain_platform.messages + compressed_platform.messages != 0) return "messages on sound grids";
  if (!SameNodes(from_plain, from_blocks)) return "compressed and plain grids hold different nodes";
  return CheckGrid(from_blocks, true, 0);
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzGeosoftBlocks)
