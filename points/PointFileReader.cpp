#include "points/PointFileReader.h"

#include <omp.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "points/CsvPointReader.h"
#include "points/LineBlocks.h"
#include "points/PointBounds.h"

namespace torvane {
namespace {

// Below this size a block is judged by one thread: starting more costs more
// than it saves.
constexpr std::size_t kParallelThreshold = 256 << 10;

// Splits a block into pieces for the threads, each ending right after a line
// feed so that no line is cut. The same block always gives the same pieces.
std::vector<std::string_view> SplitAtLines(std::string_view block) {
  const std::size_t count =
      block.size() < kParallelThreshold ? 1 : static_cast<std::size_t>(omp_get_max_threads());
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t k = 1; k <= count && start < block.size(); ++k) {
    std::size_t end = k == count ? block.size() : std::max(start, block.size() / count * k);
    if (end < block.size()) {
      const std::size_t feed = block.find('\n', end);
      end = feed == std::string_view::npos ? block.size() : feed + 1;
    }
    pieces.push_back(block.substr(start, end - start));
    start = end;
  }
  return pieces;
}

// Walks the file block by block; `judge_block` gets the pieces of each
// block. False on a read error.
template <typename JudgeBlock>
bool ForEachBlock(LineBlocks& file, JudgeBlock&& judge_block) {
  for (;;) {
    std::string_view block;
    if (!file.Next(block)) return false;
    if (block.empty()) return true;
    judge_block(SplitAtLines(block));
  }
}

// Runs `judge(k)` for k = 0 .. count - 1, side by side.
template <typename Judge>
void InParallel(std::size_t count, Judge&& judge) {
  const auto pieces = static_cast<int>(count);
#pragma omp parallel for schedule(static, 1) num_threads(pieces) if (pieces > 1)
  for (int k = 0; k < pieces; ++k) judge(static_cast<std::size_t>(k));
}

// First pass: the number of accepted lines of every piece, in file order,
// and the bounding box of their X and Y.
bool CountPoints(LineBlocks& file, const PointColumns& columns,
                 const PointLineAlphabet& alphabet, std::vector<std::uint32_t>& piece_counts,
                 Box& box) {
  return ForEachBlock(file, [&](const std::vector<std::string_view>& pieces) {
    const std::size_t first = piece_counts.size();
    piece_counts.resize(first + pieces.size(), 0);
    std::vector<Box> boxes(pieces.size());
    InParallel(pieces.size(), [&](std::size_t k) {
      PointValues values;
      std::uint32_t counted = 0;
      ForEachLine(pieces[k], [&](std::string_view line) {
        if (!ClassifyPointLine(line, columns, alphabet, values)) return;
        boxes[k].Add(values.x, values.y);
        ++counted;
      });
      piece_counts[first + k] = counted;
    });
    for (const Box& piece_box : boxes) box.Add(piece_box);
  });
}

// Second pass: every accepted line stored, shifted, at its place. A piece
// stores no more points than the first pass counted in it, so a file that
// changed in between cannot write beyond the array. Answers the number of
// points stored: the count of the first pass unless the file changed.
std::size_t StorePoints(LineBlocks& file, const PointColumns& columns,
                        const PointLineAlphabet& alphabet,
                        const std::vector<std::uint32_t>& piece_counts, double shift_x,
                        double shift_y, PointSet& points) {
  std::size_t index = 0;    // of the block's first piece
  std::size_t offset = 0;   // of the block's first point
  std::size_t stored = 0;
  ForEachBlock(file, [&](const std::vector<std::string_view>& pieces) {
    std::vector<std::size_t> starts(pieces.size());
    std::vector<std::uint32_t> limits(pieces.size(), 0);
    std::vector<std::uint32_t> found(pieces.size(), 0);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      starts[k] = offset;
      if (index + k < piece_counts.size()) limits[k] = piece_counts[index + k];
      offset += limits[k];
    }
    InParallel(pieces.size(), [&](std::size_t k) {
      PointValues v;
      ForEachLine(pieces[k], [&](std::string_view line) {
        if (found[k] == limits[k] || !ClassifyPointLine(line, columns, alphabet, v)) return;
        points.points[starts[k] + found[k]++] = {v.x + shift_x, v.y + shift_y,
                                                 v.point, 0, v.cba, 0};
      });
    });
    for (const std::uint32_t n : found) stored += n;
    index += pieces.size();
  });
  return stored;
}

// The words of the header row of a plain file, or none; the file is read
// from its start again afterwards. False on a read error.
bool ReadPlainHeader(LineBlocks& file, const PointLineAlphabet& alphabet,
                     std::vector<std::string>& header) {
  header.clear();
  bool decided = false;
  const PointColumns any{0, 1, 2, 3};
  PointValues values;
  while (!decided) {
    std::string_view block;
    if (!file.Next(block)) return false;
    if (block.empty()) break;
    ForEachLine(block, [&](std::string_view line) {
      if (decided || line.find_first_not_of(" \t\b") == std::string_view::npos || line[0] == '/') {
        return;
      }
      decided = true;
      if (!ClassifyPointLine(line, any, alphabet, values)) {
        header = PlainHeaderWords(line, alphabet);
      }
    });
  }
  return file.Rewind();
}

}  // namespace

bool ReadPointFile(Platform& platform, const std::string& input_path,
                   const PointColumns& chosen_columns, PointSet& points, const ColumnNames& names,
                   char csv_decimal_separator, bool keep_file_coordinates) {
  if (IsCsvFileName(input_path)) {
    return ReadCsvPointFile(platform, input_path, chosen_columns, names, csv_decimal_separator,
                            points, keep_file_coordinates);
  }
  points.Clear();
  PointColumns columns = chosen_columns;
  const PointLineAlphabet alphabet(platform.DecimalSeparator());
  try {
    LineBlocks file;
    if (!OpenPointFile(platform, input_path, file)) return false;
    if (HasColumnNames(names)) {
      std::vector<std::string> header;
      if (!ReadPlainHeader(file, alphabet, header)) {
        platform.ShowFileError("Cannot open input data file", input_path, file.error());
        return false;
      }
      std::string problem;
      if (!ResolveColumnNames(header, names, columns, problem)) {
        platform.ShowInfo(input_path + ": " + problem);
        return false;
      }
    }

    std::vector<std::uint32_t> piece_counts;
    Box box;
    if (!CountPoints(file, columns, alphabet, piece_counts, box)) {
      platform.ShowFileError("Cannot open input data file", input_path, file.error());
      return false;
    }
    std::uint64_t count = 0;
    for (const std::uint32_t n : piece_counts) count += n;
    if (count < 1) {
      platform.ShowFileError("Input file contains no valid xyz data", input_path, 0);
      return false;
    }
    if (!SetBounds(box, points)) {
      points.Clear();
      platform.ShowFileError("Input file contains coordinates out of range", input_path, 0);
      return false;
    }

    if (count > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
      throw std::bad_alloc();
    }
    points.points.resize(static_cast<std::size_t>(count));
    if (!file.Rewind()) {
      points.Clear();
      platform.ShowFileError("Cannot open input data file", input_path, errno);
      return false;
    }
    // A file that changed between the passes cannot be read as one survey.
    // Kept file coordinates are stored as they are and shifted once kept.
    const double shift_x = keep_file_coordinates ? 0.0 : points.shift_x;
    const double shift_y = keep_file_coordinates ? 0.0 : points.shift_y;
    if (StorePoints(file, columns, alphabet, piece_counts, shift_x, shift_y, points) != count) {
      points.Clear();
      platform.ShowFileError("Cannot open input data file", input_path, file.error());
      return false;
    }
    if (keep_file_coordinates) {
      KeepFileCoordinates(points);
      ShiftPoints(points);
    }
  } catch (const std::bad_alloc&) {
    points.Clear();
    platform.ShowInfo("Error by allocating memory for data");
    return false;
  }
  return true;
}

}  // namespace torvane
