#include "app/SettingsRecord.h"

#include <algorithm>
#include <bit>

namespace torvane {
namespace {

using K = SettingsFieldKind;
using C = Control;

constexpr std::size_t SizeOf(SettingsFieldKind kind) {
  switch (kind) {
    case K::kText:
      return kSettingsTextSize;
    case K::kDecimal:
      return 8;
    case K::kFlag:
      return 1;
    case K::kItem:
    case K::kWhole:
      return 4;
  }
  return 0;
}

struct FieldOrder {
  Control control;
  SettingsFieldKind kind;
};

constexpr FieldOrder kOrder[] = {
    {C::txt_in, K::kText},       {C::txt_out, K::kText},    {C::txt_rfs, K::kDecimal},
    {C::txt_rfa, K::kDecimal},   {C::cb_preview, K::kFlag}, {C::txt_nearest, K::kDecimal},
    {C::cb1, K::kItem},          {C::cb2, K::kItem},        {C::cmb_gx, K::kItem},
    {C::cmb_gy, K::kItem},       {C::cmb_point, K::kItem},  {C::cmb_uba, K::kItem},
    {C::txt_grd, K::kText},      {C::txt_n, K::kWhole},     {C::chb_grd, K::kFlag},
    {C::chb_interpol, K::kFlag},
};
constexpr std::size_t kFieldCount = std::size(kOrder);

// Each field starts where the one before it ends: no gaps, no alignment.
constexpr std::array<SettingsField, kFieldCount> LayOut() {
  std::array<SettingsField, kFieldCount> fields{};
  std::size_t offset = 0;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    fields[i] = {kOrder[i].control, kOrder[i].kind, offset};
    offset += SizeOf(kOrder[i].kind);
  }
  return fields;
}
constexpr std::array<SettingsField, kFieldCount> kFields = LayOut();

static_assert(kFields.back().offset + SizeOf(kFields.back().kind) == kSettingsRecordSize);
static_assert(kFields[5].offset == 527 && kFields[12].offset == 559 && kFields[13].offset == 814);

}  // namespace

std::span<const SettingsField> SettingsFields() { return kFields; }

std::string SettingsRecord::Text(std::size_t offset) const {
  const auto* first = bytes_.data() + offset;
  const auto* end = std::find(first, first + kSettingsTextSize, std::uint8_t{0});
  return std::string(first, end);
}

bool SettingsRecord::SetText(std::size_t offset, std::string_view text) {
  const bool fits = text.size() < kSettingsTextSize;
  if (!fits) text = {};
  std::copy(text.begin(), text.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
  bytes_[offset + text.size()] = 0;
  return fits;
}

std::uint64_t SettingsRecord::Unsigned(std::size_t offset, std::size_t size) const {
  std::uint64_t value = 0;
  for (std::size_t i = size; i-- > 0;) value = (value << 8) | bytes_[offset + i];
  return value;
}

void SettingsRecord::SetUnsigned(std::size_t offset, std::size_t size, std::uint64_t value) {
  for (std::size_t i = 0; i < size; ++i) {
    bytes_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

double SettingsRecord::Decimal(std::size_t offset) const {
  return std::bit_cast<double>(Unsigned(offset, 8));
}

void SettingsRecord::SetDecimal(std::size_t offset, double value) {
  SetUnsigned(offset, 8, std::bit_cast<std::uint64_t>(value));
}

std::int32_t SettingsRecord::Integer(std::size_t offset) const {
  return std::bit_cast<std::int32_t>(static_cast<std::uint32_t>(Unsigned(offset, 4)));
}

void SettingsRecord::SetInteger(std::size_t offset, std::int32_t value) {
  SetUnsigned(offset, 4, std::bit_cast<std::uint32_t>(value));
}

}  // namespace torvane
