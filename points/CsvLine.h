#pragma once
// The line grammar of a CSV point file: fields separated by ',' or ';', each
// either plain text or text in double quotes (where the separator may stand
// and "" is one quote). Spaces and TABs around a field belong to no field. A
// field opened by a quote and not closed on its line makes the line
// malformed: a record goes over one line only.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvane {

// The separator of a file, judged by its header row: ';' when the row holds
// one outside quotes, ',' otherwise.
char CsvSeparatorOf(std::string_view header_line);

// The names of a header row: the fields of `line`, or none when every field
// is a number (the line is then a row of data) or the line is malformed.
std::vector<std::string> CsvHeaderNames(std::string_view line, char separator,
                                        char decimal_separator);

// The fields of one line, valid until the next Split.
class CsvFields {
 public:
  // False for a malformed line (an open quote at its end).
  bool Split(std::string_view line, char separator);

  std::size_t size() const { return ranges_.size(); }
  std::string_view operator[](std::size_t i) const {
    return std::string_view(text_).substr(ranges_[i].first, ranges_[i].second);
  }

 private:
  std::string text_;  // the fields' characters, unquoted, one after another
  std::vector<std::pair<std::size_t, std::size_t>> ranges_;  // offset, length in text_
};

}  // namespace torvane
