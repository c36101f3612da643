#pragma once
// Whether a netCDF file holds every byte its header places: a download or a
// copy that stopped leaves a file that begins as it should but ends early,
// which the library then reports as no format at all (or reads as zeros).
// Classic files (CDF-1, CDF-2, CDF-5) give each variable's offset and size
// in their header; netCDF-4 files are HDF5, whose superblock gives the end
// of the file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace torvane {

// What is missing, when `head` (the file's first bytes, all of it or not)
// begins like a netCDF file of `file_size` bytes that holds less than its
// header places ("netCDF file is cut short (truncated): variable "z" ends
// at byte 768, the file holds 718"); nothing otherwise, and nothing when the
// header reaches beyond `head` in a file longer than it.
std::optional<std::string> NetcdfCutShort(std::span<const unsigned char> head,
                                          std::uint64_t file_size);

}  // namespace torvane
