#include "points/PointFileReader.h"

#include <omp.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "points/CsvPointReader.h"
#include "points/LineBlocks.h"
#include "points/PlainLayout.h"
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

enum class BlockWalk { kDone, kReadError, kStopped };

// Walks the file block by block; `judge_block` gets the pieces of each
// block, and `keep_going` is asked after each.
template <typename JudgeBlock>
BlockWalk ForEachBlock(LineBlocks& file, const KeepGoing& keep_going, JudgeBlock&& judge_block) {
  for (;;) {
    std::string_view block;
    if (!file.Next(block)) return BlockWalk::kReadError;
    if (block.empty()) return BlockWalk::kDone;
    judge_block(SplitAtLines(block));
    if (!MayGoOn(keep_going)) return BlockWalk::kStopped;
  }
}

// Runs `judge(k)` for k = 0 .. count - 1, side by side.
template <typename Judge>
void InParallel(std::size_t count, Judge&& judge) {
  const auto pieces = static_cast<int>(count);
#pragma omp parallel for schedule(static, 1) num_threads(pieces) if (pieces > 1)
  for (int k = 0; k < pieces; ++k) judge(static_cast<std::size_t>(k));
}

// The lines of a piece: its line feeds, and a last line without one.
std::uint32_t LineCount(std::string_view piece) {
  const auto feeds = static_cast<std::uint32_t>(std::count(piece.begin(), piece.end(), '\n'));
  return feeds + static_cast<std::uint32_t>(!piece.empty() && piece.back() != '\n');
}

// First pass: the number of lines of every piece, in file order. Only line
// feeds are counted: the lines are judged once, in the second pass.
BlockWalk CountLines(LineBlocks& file, const KeepGoing& keep_going,
                     std::vector<std::uint32_t>& piece_lines) {
  return ForEachBlock(file, keep_going, [&](const std::vector<std::string_view>& pieces) {
    const std::size_t first = piece_lines.size();
    piece_lines.resize(first + pieces.size());
    InParallel(pieces.size(), [&](std::size_t k) { piece_lines[first + k] = LineCount(pieces[k]); });
  });
}

// Second pass: every accepted line stored, as the file gives it, each piece
// from the place of its first line on, then moved down behind the points
// before it (headers and comments leave no holes). A piece stores no more
// points than the first pass counted lines in it, so a file that changed in
// between cannot write beyond the array; `changed` tells of it, `stopped`
// of a `keep_going` that gave up. Answers the number of points stored and
// their box.
std::size_t StorePoints(LineBlocks& file, const KeepGoing& keep_going, const PointLineRules& rules,
                        const std::vector<std::uint32_t>& piece_lines, PointSet& points, Box& box,
                        bool& text_labels, bool& changed, bool& stopped) {
  std::size_t index = 0;   // of the block's first piece
  std::size_t offset = 0;  // of the block's first line
  std::size_t stored = 0;
  SurveyPoint* const array = points.points.data();
  changed = false;
  const BlockWalk walk = ForEachBlock(file, keep_going, [&](const std::vector<std::string_view>& pieces) {
    std::vector<std::size_t> starts(pieces.size());
    std::vector<std::uint32_t> limits(pieces.size(), 0);
    std::vector<std::uint32_t> found(pieces.size(), 0);
    std::vector<std::uint32_t> lines(pieces.size(), 0);
    std::vector<Box> boxes(pieces.size());
    std::vector<SkippedRows> skipped(pieces.size());
    std::vector<char> labels(pieces.size(), 0);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      starts[k] = offset;
      if (index + k < piece_lines.size()) limits[k] = piece_lines[index + k];
      offset += limits[k];
    }
    InParallel(pieces.size(), [&](std::size_t k) {
      // Counted in locals: the threads' counts side by side in memory would
      // share a cache line.
      PointValues v;
      Box piece_box;
      std::uint32_t lines_seen = 0, piece_found = 0;
      bool piece_labels = false;
      SurveyPoint* const place = array + starts[k];
      const std::uint32_t limit = limits[k];
      ForEachLine(pieces[k], [&](std::string_view line) {
        ++lines_seen;
        if (piece_found == limit) return;
        const RowVerdict verdict = ClassifyPointLine(line, rules, v);
        if (verdict != RowVerdict::kPoint) {
          if (verdict != RowVerdict::kNotData) skipped[k].Add(verdict, starts[k] + lines_seen);
          return;
        }
        piece_labels |= v.text_label;
        piece_box.Add(v.x, v.y);
        place[piece_found++] = {v.x, v.y, v.point, v.height, v.cba, 0};
      });
      labels[k] = piece_labels;
      lines[k] = lines_seen;
      found[k] = piece_found;
      boxes[k] = piece_box;
    });
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      changed |= lines[k] != limits[k];
      if (starts[k] != stored) {
        std::memmove(array + stored, array + starts[k], found[k] * sizeof(SurveyPoint));
      }
      stored += found[k];
      box.Add(boxes[k]);
      points.skipped.Add(skipped[k]);
      text_labels |= labels[k] != 0;
    }
    index += pieces.size();
  });
  stopped = walk == BlockWalk::kStopped;
  changed |= walk == BlockWalk::kReadError || (!stopped && index != piece_lines.size());
  return stored;
}

// Adds the set's shifts to every coordinate, side by side: the sums a
// reader storing shifted coordinates at once would make, -0 made 0 too.
void ShiftStoredPoints(PointSet& points) {
  const double shift_x = points.shift_x;
  const double shift_y = points.shift_y;
  const auto count = static_cast<std::int64_t>(points.points.size());
  SurveyPoint* const array = points.points.data();
#pragma omp parallel for schedule(static) if (count > (std::int64_t{1} << 16))
  for (std::int64_t i = 0; i < count; ++i) {
    array[i].x += shift_x;
    array[i].y += shift_y;
  }
}

// The station names of the points, as the file writes them, for a file
// whose point column holds text: a third walk, since names are rare and a
// survey of numbered points should not pay for them. False on a read error.
bool ReadLabels(LineBlocks& file, const PointLineRules& rules, PointSet& points) {
  if (!file.Rewind()) return false;
  std::size_t index = 0;
  PointValues v;
  // A short pass over a file already read whole: not asked to stop.
  const BlockWalk walk = ForEachBlock(file, KeepGoing{}, [&](const std::vector<std::string_view>& pieces) {
    for (const std::string_view piece : pieces) {
      ForEachLine(piece, [&](std::string_view line) {
        if (index == points.points.size() || ClassifyPointLine(line, rules, v) != RowVerdict::kPoint) {
          return;
        }
        points.label_text.append(v.label);
        points.label_end.push_back(points.label_text.size());
        ++index;
      });
    }
  });
  return walk == BlockWalk::kDone && index == points.points.size();
}

}  // namespace

bool ReadPointFile(Reporter& platform, const std::string& input_path,
                   const PointColumns& chosen_columns, PointSet& points, const ColumnNames& names,
                   char decimal_separator, PointFileFormat format, bool keep_file_coordinates,
                   const KeepGoing& keep_going) {
  const char wished = decimal_separator != 0 ? decimal_separator : platform.DecimalSeparator();
  if (format == PointFileFormat::kCsv ||
      (format == PointFileFormat::kByName && IsCsvFileName(input_path))) {
    return ReadCsvPointFile(platform, input_path, chosen_columns, names, wished, points,
                            keep_file_coordinates, keep_going);
  }
  points.Clear();
  PointLineRules rules;
  rules.columns = chosen_columns;
  try {
    LineBlocks file;
    if (!OpenPointFile(platform, input_path, file)) return false;
    // The file's first block tells its decimal separator, its header row
    // and how many fields its data rows have.
    std::string_view head;
    if (!file.Next(head)) {
      platform.ShowFileError("Cannot open input data file", input_path, file.error());
      return false;
    }
    const PlainLayout layout = FindPlainLayout(head, wished);
    rules.alphabet = PointLineAlphabet(layout.decimal);
    rules.refuse_comma_decimals = layout.comma_line != 0;
    if (HasColumnNames(names)) {
      std::string problem;
      if (!ResolveColumnNames(layout.header, names, rules.columns, problem)) {
        platform.ShowInfo(input_path + ": " + problem);
        return false;
      }
    }
    rules.fields = DataFieldCount(head, rules);
    points.skipped.NoteCommaLine(layout.comma_line, layout.comma_text);
    if (!file.Rewind()) {
      platform.ShowFileError("Cannot open input data file", input_path, errno);
      return false;
    }

    std::vector<std::uint32_t> piece_lines;
    const BlockWalk counted = CountLines(file, keep_going, piece_lines);
    if (counted == BlockWalk::kStopped) return false;
    if (counted == BlockWalk::kReadError) {
      platform.ShowFileError("Cannot open input data file", input_path, file.error());
      return false;
    }
    std::uint64_t lines = 0;
    for (const std::uint32_t n : piece_lines) lines += n;
    if (lines > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
      throw std::bad_alloc();
    }
    points.points.resize(static_cast<std::size_t>(lines));
    if (!file.Rewind()) {
      points.Clear();
      platform.ShowFileError("Cannot open input data file", input_path, errno);
      return false;
    }
    // A file that changed between the passes cannot be read as one survey.
    Box box;
    bool changed = false, stopped = false;
    bool text_labels = false;
    const std::size_t count = StorePoints(file, keep_going, rules, piece_lines, points, box,
                                          text_labels, changed, stopped);
    if (stopped) {
      points.Clear();
      return false;
    }
    points.points.resize(std::min(count, points.points.size()));
    if (!changed && text_labels) changed = !ReadLabels(file, rules, points);
    if (changed) {
      points.Clear();
      platform.ShowFileError("Cannot open input data file", input_path, file.error());
      return false;
    }
    if (count < 1) {
      points.ClearKeepingSkipped();
      platform.ShowFileError("Input file contains no valid xyz data", input_path, 0);
      return false;
    }
    if (!SetBounds(box, points)) {
      points.ClearKeepingSkipped();
      platform.ShowFileError("Input file contains coordinates out of range", input_path, 0);
      return false;
    }
    if (rules.columns.point == kNumberedPoints) points.NumberInFileOrder();
    // Kept file coordinates are stored as they are and shifted once kept.
    if (keep_file_coordinates) {
      KeepFileCoordinates(points);
      ShiftPoints(points);
    } else {
      ShiftStoredPoints(points);
    }
  } catch (const std::bad_alloc&) {
    points.Clear();
    platform.ShowInfo("Error by allocating memory for data");
    return false;
  }
  return true;
}

}  // namespace torvane
