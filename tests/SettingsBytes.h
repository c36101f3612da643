#pragma once
// Settings files for tests, put together byte by byte at the offsets of the
// settings record's layout, independently of the program's own record.

#include <bit>
#include <cstdint>
#include <string>

namespace torvane::testing {

struct SettingsBytes {
  std::string bytes = std::string(820, '\0');

  // The text and its terminating zero (none when it fills the 255 bytes).
  SettingsBytes& Text(std::size_t offset, const std::string& text) {
    bytes.replace(offset, text.size(), text);
    if (text.size() < 255) bytes[offset + text.size()] = '\0';
    return *this;
  }
  SettingsBytes& Double(std::size_t offset, double value) {
    return LittleEndian(offset, 8, std::bit_cast<std::uint64_t>(value));
  }
  SettingsBytes& Int(std::size_t offset, std::int32_t value) {
    return LittleEndian(offset, 4, std::bit_cast<std::uint32_t>(value));
  }
  SettingsBytes& Byte(std::size_t offset, std::uint8_t value) {
    bytes[offset] = static_cast<char>(value);
    return *this;
  }
  SettingsBytes& Cut(std::size_t size) {
    bytes.resize(size);
    return *this;
  }

 private:
  SettingsBytes& LittleEndian(std::size_t offset, int size, std::uint64_t value) {
    for (int i = 0; i < size; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
    return *this;
  }
};

// Every field set to something other than its default:
// txt_in "/data/survey 7.dat", txt_out "/data/survey 7_torvane.dat",
// txt_rfs 500, txt_rfa 12.5, cb_preview on, txt_nearest 0.001, cb1 and cb2
// at their only entry, columns D, E, Z, H, txt_grd "/grids/cba.grd",
// txt_n 720, chb_grd and chb_interpol on.
inline SettingsBytes FullSettings() {
  return SettingsBytes()
      .Text(0, "/data/survey 7.dat")
      .Text(255, "/data/survey 7_torvane.dat")
      .Double(510, 500)
      .Double(518, 12.5)
      .Byte(526, 1)
      .Double(527, 0.001)
      .Int(535, 0)
      .Int(539, 0)
      .Int(543, 3)
      .Int(547, 4)
      .Int(551, 25)
      .Int(555, 7)
      .Text(559, "/grids/cba.grd")
      .Int(814, 720)
      .Byte(818, 1)
      .Byte(819, 1);
}

}  // namespace torvane::testing
