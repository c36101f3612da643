#pragma once
// The nodes of a binary grid file, read where they lie in the file. A binary
// format stores its nodes as "vectors": runs of nodes one after the other,
// each a row (Surfer, and Geosoft by default) or a column (Geosoft with
// vectors along y). Decoding a node is the same whether the grid copies the
// nodes into memory or reads them from the file on demand (disk mode), so
// both give the same numbers. The bytes come through MappedFile::Bytes,
// from the mapping or, for a file the system would not map, read with pread.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <type_traits>

#include "common/MappedFile.h"
#include "grid/Bilinear.h"
#include "grid/LittleEndian.h"
#include "grid/NodeValues.h"

namespace torvane {

enum class NodeEncoding {
  kFloat32,  // Surfer 6
  kFloat64,  // Surfer 7; a node equal to the file's blank value is blank
  // Geosoft, each element raw / multiplier + base unless it is the type's
  // dummy: a signed integer at its dummy (the type's smallest value + 1) or
  // below, an unsigned one at its largest value, a float at -1e32 or below.
  kInt16,
  kInt8,
  kUint8,
  kInt32,
  kUint32,
  kGeosoftFloat32,
  kGeosoftFloat64,
};

struct BinaryNodeLayout {
  NodeEncoding encoding = NodeEncoding::kFloat32;
  std::uint64_t origin = 0;          // file offset of the first node
  bool vectors_are_columns = false;  // otherwise each vector is a row
  std::uint32_t ncols = 0;
  std::uint32_t nrows = 0;
  double file_blank = kBlankValue;  // kFloat64 only
  double base = 0;                  // Geosoft only
  double multiplier = 1;            // Geosoft only, never 0
};

inline std::size_t EncodedSize(NodeEncoding encoding) {
  switch (encoding) {
    case NodeEncoding::kInt8:
    case NodeEncoding::kUint8:
      return 1;
    case NodeEncoding::kInt16:
      return 2;
    case NodeEncoding::kFloat32:
    case NodeEncoding::kInt32:
    case NodeEncoding::kUint32:
    case NodeEncoding::kGeosoftFloat32:
      return 4;
    case NodeEncoding::kFloat64:
    case NodeEncoding::kGeosoftFloat64:
      return 8;
  }
  return 8;
}

// A Geosoft element that is not a dummy, scaled.
inline float ScaledNode(double raw, const BinaryNodeLayout& layout) {
  return NodeFromDouble(raw / layout.multiplier + layout.base);
}

// One node as the grid holds it (see NodeFromDouble), for an encoding
// known where the code is built.
template <NodeEncoding kEncoding>
float DecodeNodeAs(const unsigned char* p, const BinaryNodeLayout& layout) {
  if constexpr (kEncoding == NodeEncoding::kFloat32) {
    return NodeFromDouble(LoadFloat(p));
  } else if constexpr (kEncoding == NodeEncoding::kFloat64) {
    const double value = LoadDouble(p);
    return value == layout.file_blank ? kBlankNode : NodeFromDouble(value);
  } else if constexpr (kEncoding == NodeEncoding::kInt16) {
    const std::int16_t raw = LoadInt16(p);
    return raw <= -32767 ? kBlankNode : NodeFromDouble(raw / layout.multiplier + layout.base);
  } else if constexpr (kEncoding == NodeEncoding::kInt8) {
    const auto raw = static_cast<std::int8_t>(p[0]);
    return raw <= -127 ? kBlankNode : ScaledNode(raw, layout);
  } else if constexpr (kEncoding == NodeEncoding::kUint8) {
    return p[0] == 0xFF ? kBlankNode : ScaledNode(p[0], layout);
  } else if constexpr (kEncoding == NodeEncoding::kInt32) {
    const std::int32_t raw = LoadInt32(p);
    return raw <= -2147483647 ? kBlankNode : ScaledNode(raw, layout);
  } else if constexpr (kEncoding == NodeEncoding::kUint32) {
    const std::uint32_t raw = LoadUint32(p);
    return raw == 0xFFFFFFFFu ? kBlankNode : ScaledNode(raw, layout);
  } else if constexpr (kEncoding == NodeEncoding::kGeosoftFloat32) {
    const double raw = LoadFloat(p);
    return raw <= -1e32 ? kBlankNode : ScaledNode(raw, layout);
  } else {
    static_assert(kEncoding == NodeEncoding::kGeosoftFloat64);
    const double raw = LoadDouble(p);
    return raw <= -1e32 ? kBlankNode : ScaledNode(raw, layout);
  }
}

// Calls visit(std::integral_constant<NodeEncoding, E>) for the encoding E
// given at run time, so that a loop over many nodes decides it once.
template <typename Visit>
decltype(auto) WithEncoding(NodeEncoding encoding, Visit&& visit) {
  using E = NodeEncoding;
  switch (encoding) {
    case E::kFloat32: return visit(std::integral_constant<E, E::kFloat32>{});
    case E::kFloat64: return visit(std::integral_constant<E, E::kFloat64>{});
    case E::kInt16: return visit(std::integral_constant<E, E::kInt16>{});
    case E::kInt8: return visit(std::integral_constant<E, E::kInt8>{});
    case E::kUint8: return visit(std::integral_constant<E, E::kUint8>{});
    case E::kInt32: return visit(std::integral_constant<E, E::kInt32>{});
    case E::kUint32: return visit(std::integral_constant<E, E::kUint32>{});
    case E::kGeosoftFloat32: return visit(std::integral_constant<E, E::kGeosoftFloat32>{});
    case E::kGeosoftFloat64: break;
  }
  return visit(std::integral_constant<E, E::kGeosoftFloat64>{});
}

// Decodes `count` consecutive nodes from `p` as DecodeNodeAs does, the
// Surfer encodings without a branch on each node, so that the loop runs in
// vector lanes.
template <NodeEncoding kEncoding>
void DecodeRunAs(const unsigned char* p, std::size_t count, const BinaryNodeLayout& layout,
                 float* out) {
  constexpr double kLowest = -static_cast<double>(std::numeric_limits<float>::max());
  if constexpr (kEncoding == NodeEncoding::kFloat64) {
    const double file_blank = layout.file_blank;
    for (std::size_t i = 0; i < count; ++i) {
      const double value = LoadDouble(p + 8 * i);
      const bool blank = value == file_blank || IsBlank(value) || !(value >= kLowest);
      out[i] = blank ? kBlankNode : static_cast<float>(blank ? 0.0 : value);
    }
  } else if constexpr (kEncoding == NodeEncoding::kFloat32) {
    for (std::size_t i = 0; i < count; ++i) {
      const float value = LoadFloat(p + 4 * i);
      const bool blank = IsBlank(value) || !(value >= kLowest);
      out[i] = blank ? kBlankNode : value;
    }
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      out[i] = DecodeNodeAs<kEncoding>(p + i * EncodedSize(kEncoding), layout);
    }
  }
}

inline float DecodeNode(const unsigned char* p, const BinaryNodeLayout& layout) {
  return WithEncoding(layout.encoding,
                      [&](auto encoding) { return DecodeNodeAs<encoding()>(p, layout); });
}

class FileNodes {
 public:
  FileNodes(MappedFile file, const BinaryNodeLayout& layout);

  const BinaryNodeLayout& layout() const { return layout_; }
  std::uint32_t vector_count() const;
  std::uint32_t vector_length() const;
  // The vectors that lie wholly within the file; a file cut short holds
  // fewer than vector_count().
  bool complete() const { return complete_vectors_ == vector_count(); }

  // Decodes out.size() nodes of one vector, from element `first` on. False
  // when the vector is not wholly within the file, the run leaves it, or
  // the file cannot be read.
  bool DecodeVector(std::uint32_t vector, std::uint32_t first, std::span<float> out) const;

  const MappedFile& mapped() const { return file_; }

  // The first node where it lies in memory, for code that reads many nodes
  // at a time, and how many whole vectors follow it; null when the file is
  // not mapped whole.
  const unsigned char* FirstMappedNode() const {
    return file_.mapped() && file_.whole() && layout_.origin < file_.size()
               ? file_.bytes().data() + layout_.origin
               : nullptr;
  }
  std::uint32_t complete_vectors() const { return complete_vectors_; }

  // Gives back the memory of the file's pages before `vector`, once
  // decoded (a pass that copies the nodes into memory needs them no more).
  void ReleaseVectorsBefore(std::uint32_t vector);

  // The four corners of cell (c, r) (both below the last column and row),
  // as ReadCorners reads them: z00, z10, z11, z01, with the encoding fixed.
  // False, as there, when a corner is blank or lies in a vector the file
  // does not hold whole.
  template <NodeEncoding kEncoding>
  bool CellCorners(std::uint32_t c, std::uint32_t r, double z[4]) const {
    const bool by_column = layout_.vectors_are_columns;
    const std::uint32_t vector = by_column ? c : r;
    // At the last vector the file holds: node by node, as At reads them.
    if (vector + 1 >= complete_vectors_) return ReadCorners(*this, c, r, z);
    // Two nodes of this vector and the two beside them in the next one.
    const std::uint64_t element = by_column ? r : c;
    unsigned char here[16], there[16];
    const unsigned char* const first = file_.Bytes(NodeOffset(vector, element), 2 * element_size_, here);
    const unsigned char* const beside =
        file_.Bytes(NodeOffset(vector + 1, element), 2 * element_size_, there);
    if (first == nullptr || beside == nullptr) return false;
    // Along a row vector, c + 1 is the next element; along a column one, the next vector.
    const unsigned char* const east = by_column ? beside : first + element_size_;
    const unsigned char* const north = by_column ? first + element_size_ : beside;
    z[0] = DecodeNodeAs<kEncoding>(first, layout_);
    z[1] = DecodeNodeAs<kEncoding>(east, layout_);
    z[2] = DecodeNodeAs<kEncoding>(beside + element_size_, layout_);
    z[3] = DecodeNodeAs<kEncoding>(north, layout_);
    // All four judged without a branch on each.
    const int blanks = static_cast<int>(IsBlank(z[0])) + static_cast<int>(IsBlank(z[1])) +
                       static_cast<int>(IsBlank(z[2])) + static_cast<int>(IsBlank(z[3]));
    return blanks == 0;
  }

  // Node (column c, row r), both within the grid; blank when it lies in a
  // vector the file does not hold whole, or cannot be read.
  float At(std::uint32_t c, std::uint32_t r) const {
    const bool by_column = layout_.vectors_are_columns;
    const std::uint32_t vector = by_column ? c : r;
    if (vector >= complete_vectors_) return kBlankNode;
    const std::uint64_t element = by_column ? r : c;
    unsigned char node[8];
    const unsigned char* p = file_.Bytes(NodeOffset(vector, element), element_size_, node);
    return p == nullptr ? kBlankNode : DecodeNode(p, layout_);
  }

 private:
  std::uint64_t NodeOffset(std::uint64_t vector, std::uint64_t element) const {
    return layout_.origin + (vector * vector_length_ + element) * element_size_;
  }

  MappedFile file_;
  BinaryNodeLayout layout_;
  std::size_t element_size_;
  std::uint32_t vector_length_;  // vector_length(), read for every node
  std::uint32_t complete_vectors_ = 0;
  std::uint64_t released_ = 0;  // file bytes before this are given back
};

}  // namespace torvane
