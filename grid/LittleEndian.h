#pragma once
// Numbers stored little-endian in a binary grid file, read from a byte
// pointer whatever the byte order of the machine. The caller has checked
// that the bytes lie within the file.

#include <bit>
#include <cstdint>

namespace torvane {

inline std::uint32_t LoadUint32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::uint64_t LoadUint64(const unsigned char* p) {
  return static_cast<std::uint64_t>(LoadUint32(p)) |
         static_cast<std::uint64_t>(LoadUint32(p + 4)) << 32;
}

inline std::int16_t LoadInt16(const unsigned char* p) {
  return std::bit_cast<std::int16_t>(
      static_cast<std::uint16_t>(static_cast<unsigned>(p[0]) | static_cast<unsigned>(p[1]) << 8));
}

inline std::int32_t LoadInt32(const unsigned char* p) { return std::bit_cast<std::int32_t>(LoadUint32(p)); }
inline float LoadFloat(const unsigned char* p) { return std::bit_cast<float>(LoadUint32(p)); }
inline double LoadDouble(const unsigned char* p) { return std::bit_cast<double>(LoadUint64(p)); }

}  // namespace torvane
