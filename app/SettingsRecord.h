#pragma once
// The settings file's one record: 820 bytes, packed byte by byte, numbers
// little-endian, floats as IEEE 754 doubles, texts zero-terminated inside
// fixed 255-byte fields. The record is kept as its raw bytes, so that bytes
// a field does not use (after a text's terminating zero) survive a read and
// a write unchanged.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/Platform.h"

namespace torvane {

inline constexpr std::size_t kSettingsRecordSize = 820;
// A text field holds at most 254 bytes and the terminating zero.
inline constexpr std::size_t kSettingsTextSize = 255;

// How a control's value is stored in its field.
enum class SettingsFieldKind {
  kText,     // 255 bytes, zero-terminated
  kDecimal,  // the field's number as an 8-byte double
  kFlag,     // a check box as one byte, 0 or 1
  kItem,     // a list's item index as a signed 32-bit integer
  kWhole,    // the field's whole number as a signed 32-bit integer
};

struct SettingsField {
  Control control;
  SettingsFieldKind kind;
  std::size_t offset;
};

// The fields in the order of the record, which is also the order in which
// the controls are filled from it and it is filled from them.
std::span<const SettingsField> SettingsFields();

class SettingsRecord {
 public:
  using Bytes = std::array<std::uint8_t, kSettingsRecordSize>;

  Bytes& bytes() { return bytes_; }
  const Bytes& bytes() const { return bytes_; }

  // The text up to its first zero byte, at most the whole field.
  std::string Text(std::size_t offset) const;
  // Copies `text` and its terminating zero; the rest of the field keeps its
  // bytes. A text longer than 254 bytes does not fit: the field is emptied
  // and false is answered.
  bool SetText(std::size_t offset, std::string_view text);

  double Decimal(std::size_t offset) const;
  void SetDecimal(std::size_t offset, double value);
  std::int32_t Integer(std::size_t offset) const;
  void SetInteger(std::size_t offset, std::int32_t value);
  bool Flag(std::size_t offset) const { return bytes_[offset] != 0; }
  void SetFlag(std::size_t offset, bool value) { bytes_[offset] = value ? 1 : 0; }

 private:
  std::uint64_t Unsigned(std::size_t offset, std::size_t size) const;
  void SetUnsigned(std::size_t offset, std::size_t size, std::uint64_t value);

  Bytes bytes_{};
};

}  // namespace torvane
