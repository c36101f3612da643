#include "app/cli/MapOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>

#include "app/cli/CliMessages.h"

namespace torvane {
namespace {

std::optional<int> Side(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 16 || value > kLargestMapSide) return std::nullopt;
  return value;
}

}  // namespace

std::optional<MapSize> ParseMapSize(const std::string& text) {
  const std::size_t cross = text.find_first_of("xX");
  if (cross == std::string::npos) return std::nullopt;
  const std::optional<int> width = Side(std::string_view(text).substr(0, cross));
  const std::optional<int> height = Side(std::string_view(text).substr(cross + 1));
  if (!width || !height) return std::nullopt;
  if (static_cast<long long>(*width) * *height > kMostMapPixels) return std::nullopt;
  return MapSize{*width, *height};
}

std::optional<MapSize> MapSizeOf(const std::string& text) {
  if (text.empty()) return MapSize{};
  const std::optional<MapSize> size = ParseMapSize(text);
  if (!size) {
    UsageError("--map-size takes WxH, each from 16 to 16384 and 100 million pixels at most, "
               "such as 1200x900; got '" + text + "'");
  }
  return size;
}

std::optional<MapFileRequest> MapFileOf(const std::string& flag, const std::string& path) {
  const std::optional<MapFormat> format = MapFormatOfName(path);
  if (!format) {
    UsageError(flag + " takes a file name ending in .png, .svg or .pdf; got '" + path + "'");
    return std::nullopt;
  }
  return MapFileRequest{path, *format};
}

void AddMapSizeOption(CLI::App& app, std::string& text) {
  app.add_option("--map-size", text,
                 "Size of the maps in pixels (PNG) or points (SVG, PDF), WxH, each side\n"
                 "16 to 16384, 100 million pixels at most; the map keeps its proportions\n"
                 "inside (default 1200x900)");
}

}  // namespace torvane
