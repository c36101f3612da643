#include "grid/FileNodes.h"

#include <algorithm>
#include <utility>

namespace torvane {

FileNodes::FileNodes(MappedFile file, const BinaryNodeLayout& layout)
    : file_(std::move(file)),
      layout_(layout),
      element_size_(EncodedSize(layout.encoding)),
      vector_length_(layout.vectors_are_columns ? layout.nrows : layout.ncols) {
  // Only whole vectors count: offsets are computed for them alone, so no
  // header, however large its counts, can lead a read outside the file.
  const std::uint64_t vector_bytes = std::uint64_t{vector_length()} * element_size_;
  if (layout_.origin < file_.size() && vector_bytes > 0) {
    const std::uint64_t whole = (file_.size() - layout_.origin) / vector_bytes;
    complete_vectors_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(whole, vector_count()));
  }
}

std::uint32_t FileNodes::vector_count() const {
  return layout_.vectors_are_columns ? layout_.ncols : layout_.nrows;
}

std::uint32_t FileNodes::vector_length() const { return vector_length_; }

void FileNodes::ReleaseVectorsBefore(std::uint32_t vector) {
  const std::uint64_t end = NodeOffset(std::min(vector, complete_vectors_), 0);
  file_.Release(released_, end);
  released_ = std::max(released_, end);
}

bool FileNodes::DecodeVector(std::uint32_t vector, std::uint32_t first,
                             std::span<float> out) const {
  if (vector >= complete_vectors_ || first > vector_length() ||
      out.size() > vector_length() - first) {
    return false;
  }
  // A stretch at a time: where it lies in a mapping, or read into `buffer`.
  constexpr std::size_t kStretch = 4096;
  unsigned char buffer[kStretch * 8];
  std::uint64_t offset = NodeOffset(vector, first);
  return WithEncoding(layout_.encoding, [&](auto encoding) {
    for (std::size_t done = 0; done < out.size();) {
      const std::size_t count = std::min(kStretch, out.size() - done);
      const unsigned char* p = file_.Bytes(offset, count * element_size_, buffer);
      if (p == nullptr) return false;
      DecodeRunAs<encoding()>(p, count, layout_, out.data() + done);
      done += count;
      offset += count * element_size_;
    }
    return true;
  });
}

}  // namespace torvane
