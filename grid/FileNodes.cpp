#include "grid/FileNodes.h"

#include <algorithm>
#include <utility>

namespace torvane {

FileNodes::FileNodes(MappedFile file, const BinaryNodeLayout& layout)
    : file_(std::move(file)),
      layout_(layout),
      data_(file_.bytes().data()),
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
  const unsigned char* p = data_ + NodeOffset(vector, first);
  WithEncoding(layout_.encoding, [&](auto encoding) {
    for (float& node : out) {
      node = DecodeNodeAs<encoding()>(p, layout_);
      p += element_size_;
    }
  });
  return true;
}

}  // namespace torvane
