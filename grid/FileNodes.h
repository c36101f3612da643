#pragma once
// The nodes of a binary grid file, read where they lie in the file. A binary
// format stores its nodes as "vectors": runs of nodes one after the other,
// each a row (Surfer, and Geosoft by default) or a column (Geosoft with
// vectors along y). Decoding a node is the same whether the grid copies the
// nodes into memory or reads them from the file on demand (disk mode), so
// both give the same numbers.

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/MappedFile.h"
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

// One node as the grid holds it (see NodeFromDouble).
inline float DecodeNode(const unsigned char* p, const BinaryNodeLayout& layout) {
  switch (layout.encoding) {
    case NodeEncoding::kFloat32:
      return NodeFromDouble(LoadFloat(p));
    case NodeEncoding::kFloat64: {
      const double value = LoadDouble(p);
      return value == layout.file_blank ? kBlankNode : NodeFromDouble(value);
    }
    case NodeEncoding::kInt16: {
      const std::int16_t raw = LoadInt16(p);
      return raw <= -32767 ? kBlankNode : NodeFromDouble(raw / layout.multiplier + layout.base);
    }
    case NodeEncoding::kInt8: {
      const auto raw = static_cast<std::int8_t>(p[0]);
      return raw <= -127 ? kBlankNode : ScaledNode(raw, layout);
    }
    case NodeEncoding::kUint8:
      return p[0] == 0xFF ? kBlankNode : ScaledNode(p[0], layout);
    case NodeEncoding::kInt32: {
      const std::int32_t raw = LoadInt32(p);
      return raw <= -2147483647 ? kBlankNode : ScaledNode(raw, layout);
    }
    case NodeEncoding::kUint32: {
      const std::uint32_t raw = LoadUint32(p);
      return raw == 0xFFFFFFFFu ? kBlankNode : ScaledNode(raw, layout);
    }
    case NodeEncoding::kGeosoftFloat32: {
      const double raw = LoadFloat(p);
      return raw <= -1e32 ? kBlankNode : ScaledNode(raw, layout);
    }
    case NodeEncoding::kGeosoftFloat64: {
      const double raw = LoadDouble(p);
      return raw <= -1e32 ? kBlankNode : ScaledNode(raw, layout);
    }
  }
  return kBlankNode;
}

class FileNodes {
 public:
  FileNodes(MappedFile file, const BinaryNodeLayout& layout);

  const BinaryNodeLayout& layout() const { return layout_; }
  std::uint32_t vector_count() const;
  std::uint32_t vector_length() const;
  // The vectors that lie wholly within the file; a file cut short holds
  // fewer than vector_count().
  std::uint32_t complete_vectors() const { return complete_vectors_; }
  bool complete() const { return complete_vectors_ == vector_count(); }

  // Decodes out.size() nodes of one vector, from element `first` on. False
  // when the vector is not wholly within the file or the run leaves it.
  bool DecodeVector(std::uint32_t vector, std::uint32_t first, std::span<float> out) const;

  const MappedFile& mapped() const { return file_; }

  // Gives back the memory of the file's pages before `vector`, once
  // decoded (a pass that copies the nodes into memory needs them no more).
  void ReleaseVectorsBefore(std::uint32_t vector);

  // Node (column c, row r), both within the grid; blank when it lies in a
  // vector the file does not hold whole.
  float At(std::uint32_t c, std::uint32_t r) const {
    const bool by_column = layout_.vectors_are_columns;
    const std::uint32_t vector = by_column ? c : r;
    if (vector >= complete_vectors_) return kBlankNode;
    const std::uint64_t element = by_column ? r : c;
    return DecodeNode(data_ + NodeOffset(vector, element), layout_);
  }

 private:
  std::uint64_t NodeOffset(std::uint64_t vector, std::uint64_t element) const {
    return layout_.origin + (vector * vector_length_ + element) * element_size_;
  }

  MappedFile file_;
  BinaryNodeLayout layout_;
  const unsigned char* data_;
  std::size_t element_size_;
  std::uint32_t vector_length_;  // vector_length(), read for every node
  std::uint32_t complete_vectors_ = 0;
  std::uint64_t released_ = 0;  // file bytes before this are given back
};

}  // namespace torvane
