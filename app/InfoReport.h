#pragma once
// What `torvane-cli info` tells about a file, as fields in order: printed as
// aligned "Label: value" lines for people, or as one JSON object (the keys)
// for scripts. A number that is not finite is printed "-" and null.

#include <string>
#include <vector>

namespace torvane {

class InfoReport {
 public:
  void Text(std::string key, std::string label, std::string value);
  void Number(std::string key, std::string label, double value);
  // null in JSON, `shown` in the lines.
  void Null(std::string key, std::string label, std::string shown);
  // A nested object: its fields follow until End. With `shown`, the lines
  // give "label: shown" alone, and its fields only the JSON.
  void Begin(std::string key, std::string label, std::string shown = {});
  void End();

  std::string Lines() const;
  std::string Json() const;

 private:
  enum class Kind { kText, kNumber, kNull, kBegin, kEnd };
  struct Field {
    Kind kind;
    std::string key;
    std::string label;
    std::string value;
    double number = 0;
  };
  std::vector<Field> fields_;
};

}  // namespace torvane
