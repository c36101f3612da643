#include "grid/NetcdfLength.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace torvane {
namespace {

constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();

std::uint64_t Times(std::uint64_t a, std::uint64_t b) {
  return a != 0 && b > kMost / a ? kMost : a * b;
}

std::uint64_t Plus(std::uint64_t a, std::uint64_t b) { return b > kMost - a ? kMost : a + b; }

// The big-endian fields of a classic header, read in order. Running past
// `head` stops the walk (ran_out).
class ClassicFields {
 public:
  ClassicFields(std::span<const unsigned char> head, bool wide) : head_(head), wide_(wide) {}

  std::uint64_t Word(int bytes) {
    if (ran_out_ || head_.size() - at_ < static_cast<std::size_t>(bytes)) {
      ran_out_ = true;
      return 0;
    }
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | head_[at_++];
    return value;
  }
  // A count or size: 32 bits, or 64 in CDF-5.
  std::uint64_t Count() { return Word(wide_ ? 8 : 4); }
  void Skip(std::uint64_t bytes) {
    const std::uint64_t padded = Plus(bytes, 3) / 4 * 4;
    if (ran_out_ || head_.size() - at_ < padded) {
      ran_out_ = true;
      return;
    }
    at_ += static_cast<std::size_t>(padded);
  }
  std::string Name() {
    const std::uint64_t length = Count();
    const std::size_t start = at_;
    Skip(length);
    if (ran_out_) return {};
    return std::string(reinterpret_cast<const char*>(head_.data() + start),
                       static_cast<std::size_t>(length));
  }
  // A list's tag and length; false for a tag that is not `tag` or absent.
  // A length more than the bytes left could hold runs out.
  bool List(std::uint32_t tag, std::uint64_t& count) {
    const std::uint64_t found = Word(4);
    count = Count();
    if (found != tag && !(found == 0 && count == 0)) return false;
    if (count > (head_.size() - at_) / 4) ran_out_ = true;
    return true;
  }
  bool ran_out() const { return ran_out_; }

 private:
  std::span<const unsigned char> head_;
  bool wide_;
  std::size_t at_ = 4;  // after the magic
  bool ran_out_ = false;
};

// Bytes of one value of a netCDF type; 0 for no type.
std::uint64_t TypeSize(std::uint64_t type) {
  static constexpr std::uint64_t kSizes[] = {0, 1, 1, 2, 4, 4, 8, 1, 2, 4, 8, 8};
  return type < std::size(kSizes) ? kSizes[type] : 0;
}

bool SkipAttributes(ClassicFields& fields) {
  std::uint64_t count = 0;
  if (!fields.List(0x0C, count)) return false;
  for (std::uint64_t i = 0; i < count && !fields.ran_out(); ++i) {
    fields.Name();
    const std::uint64_t size = TypeSize(fields.Word(4));
    if (size == 0 && !fields.ran_out()) return false;
    fields.Skip(Times(fields.Count(), size));
  }
  return true;
}

struct Placed {
  std::uint64_t end = 0;  // one past the last byte the header places
  std::string what;       // the variable there
};

std::string Cut(const std::string& kind, std::uint64_t file_size, const Placed& placed) {
  return kind + " file is cut short (truncated): " + placed.what + " ends at byte " +
         std::to_string(placed.end) + ", the file holds " + std::to_string(file_size) + " (" +
         std::to_string(placed.end - file_size) +
         (placed.end - file_size == 1 ? " byte" : " bytes") + " missing)";
}

std::optional<std::string> ClassicCutShort(std::span<const unsigned char> head,
                                           std::uint64_t file_size) {
  const unsigned char version = head[3];
  ClassicFields fields(head, version == 5);
  const int offset_bytes = version == 1 ? 4 : 8;
  const std::uint64_t records = fields.Count();
  const bool streaming = records == (version == 5 ? kMost : 0xFFFFFFFFu);

  std::uint64_t count = 0;
  std::vector<std::uint64_t> lengths;
  if (!fields.List(0x0A, count)) return std::nullopt;
  for (std::uint64_t i = 0; i < count && !fields.ran_out(); ++i) {
    fields.Name();
    lengths.push_back(fields.Count());
  }
  if (!SkipAttributes(fields) || !fields.List(0x0B, count)) return std::nullopt;

  struct RecordVariable {
    std::string name;
    std::uint64_t begin, vsize, size;
  };
  std::vector<RecordVariable> record_variables;
  Placed placed;
  for (std::uint64_t i = 0; i < count && !fields.ran_out(); ++i) {
    const std::string name = fields.Name();
    const std::uint64_t dimensions = fields.Count();
    bool record = false;
    std::uint64_t values = 1;
    for (std::uint64_t d = 0; d < dimensions && !fields.ran_out(); ++d) {
      const std::uint64_t id = fields.Count();
      if (id >= lengths.size()) return std::nullopt;
      if (d == 0 && lengths[id] == 0) {
        record = true;
      } else {
        values = Times(values, lengths[id]);
      }
    }
    if (!SkipAttributes(fields)) return std::nullopt;
    const std::uint64_t size = Times(values, TypeSize(fields.Word(4)));
    const std::uint64_t vsize = fields.Count();
    const std::uint64_t begin = fields.Word(offset_bytes);
    if (fields.ran_out()) break;
    if (size == 0 && values != 0) return std::nullopt;  // no type
    if (record) {
      record_variables.push_back({name, begin, vsize, size});
    } else if (Plus(begin, size) > placed.end) {
      placed = {Plus(begin, size), "variable \"" + name + "\""};
    }
  }
  if (fields.ran_out()) {
    if (head.size() < file_size) return std::nullopt;  // the rest is beyond what was read
    return "netCDF file is cut short (truncated) within its header: the file holds " +
           std::to_string(file_size) + " bytes";
  }
  // One record variable is not padded; several are, each to its vsize.
  std::uint64_t record_size = 0;
  for (const RecordVariable& v : record_variables) {
    record_size = Plus(record_size, record_variables.size() == 1 ? v.size : v.vsize);
  }
  if (!streaming && records > 0) {
    for (const RecordVariable& v : record_variables) {
      const std::uint64_t end = Plus(Plus(v.begin, Times(records - 1, record_size)), v.size);
      if (end > placed.end) {
        placed = {end, "record " + std::to_string(records) + " of variable \"" + v.name + "\""};
      }
    }
  }
  if (placed.end <= file_size) return std::nullopt;
  return Cut("netCDF", file_size, placed);
}

std::optional<std::string> Hdf5CutShort(std::span<const unsigned char> head,
                                        std::uint64_t file_size) {
  static constexpr unsigned char kSignature[8] = {0x89, 'H', 'D', 'F', '\r', '\n', 0x1a, '\n'};
  // The superblock lies at 0, 512, 1024, 2048, ... after a user block.
  const std::string within_superblock =
      "HDF5 (netCDF-4) file is cut short (truncated) within its superblock: the file holds " +
      std::to_string(file_size) + " bytes";
  // A file that ends within the signature.
  if (head.size() == file_size && head.size() >= 4 && head.size() < sizeof kSignature &&
      std::memcmp(head.data(), kSignature, head.size()) == 0) {
    return within_superblock;
  }
  for (std::uint64_t at = 0; at + sizeof kSignature <= head.size(); at = at == 0 ? 512 : at * 2) {
    const unsigned char* const block = head.data() + at;
    if (std::memcmp(block, kSignature, sizeof kSignature) != 0) continue;
    const bool whole = head.size() == file_size;
    if (at + 16 > head.size()) return whole ? std::optional(within_superblock) : std::nullopt;
    const unsigned char version = block[8];
    const unsigned offset_bytes = version <= 1 ? block[13] : block[9];
    if (offset_bytes != 4 && offset_bytes != 8) return std::nullopt;
    const unsigned base_at = version == 0 ? 24 : version == 1 ? 28 : 12;
    if (at + base_at + 3 * offset_bytes > head.size()) {
      return whole ? std::optional(within_superblock) : std::nullopt;
    }
    auto address = [&](unsigned field) {
      std::uint64_t value = 0;
      for (unsigned i = offset_bytes; i-- > 0;) value = (value << 8) | block[field + i];
      return value;
    };
    const std::uint64_t base = address(base_at);
    const std::uint64_t end_address = address(base_at + 2 * offset_bytes);
    const std::uint64_t undefined = offset_bytes == 8 ? kMost : 0xFFFFFFFFu;
    if (base == undefined || end_address == undefined) return std::nullopt;
    const Placed placed{Plus(base, end_address), "its superblock says the file"};
    if (placed.end <= file_size) return std::nullopt;
    return Cut("HDF5 (netCDF-4)", file_size, placed);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> NetcdfCutShort(std::span<const unsigned char> head,
                                          std::uint64_t file_size) {
  if (head.size() >= 4 && std::memcmp(head.data(), "CDF", 3) == 0 &&
      (head[3] == 1 || head[3] == 2 || head[3] == 5)) {
    return ClassicCutShort(head, file_size);
  }
  return Hdf5CutShort(head, file_size);
}

}  // namespace torvane
