#include "grid/BilinearBatch.h"

#include <cstring>
#include <limits>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace torvane {
namespace {

// One position, as InterpolateBilinear finds its cell and weights.
void LocateOne(const NodeLattice& g, const double* x, const double* y, int i,
               BilinearBatch& batch) {
  std::uint32_t c = 0;
  std::uint32_t r = 0;
  const bool inside = CellAlong(x[i], g.xmin, g.dx, g.inverse_dx, g.ncols, c) &&
                      CellAlong(y[i], g.ymin, g.dy, g.inverse_dy, g.nrows, r);
  batch.usable[i] = inside;
  batch.cell_x[i] = inside ? static_cast<double>(c) : 0;
  batch.cell_y[i] = inside ? static_cast<double>(r) : 0;
  batch.t[i] = inside ? WeightAlong(x[i], static_cast<double>(c), g.xmin, g.dx) : 0;
  batch.u[i] = inside ? WeightAlong(y[i], static_cast<double>(r), g.ymin, g.dy) : 0;
}

double WeighOne(const BilinearBatch& b, int i) {
  return b.usable[i] ? WeighCorners(b.t[i], b.u[i], b.z00[i], b.z10[i], b.z11[i], b.z01[i])
                     : kBlankValue;
}

void LocatePlain(const NodeLattice& lattice, const double* x, const double* y, int count,
                 BilinearBatch& batch) {
  for (int i = 0; i < count; ++i) LocateOne(lattice, x, y, i, batch);
}

void WeighPlain(const BilinearBatch& batch, int count, double* value) {
  for (int i = 0; i < count; ++i) value[i] = WeighOne(batch, i);
}

#if defined(__x86_64__)

// CellAlong in four lanes: the cell (a whole number) and whether it is one.
[[gnu::target("avx2")]] inline __m256d CellLanes(__m256d position, double origin,
                                                 double spacing, double inverse,
                                                 std::uint32_t count, __m256d& inside) {
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d offset = _mm256_sub_pd(position, _mm256_set1_pd(origin));
  const __m256d quotient = _mm256_mul_pd(offset, _mm256_set1_pd(inverse));
  __m256d cell = _mm256_round_pd(quotient, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
  const __m256d fraction = _mm256_sub_pd(quotient, cell);
  const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), quotient);
  const __m256d hair = _mm256_mul_pd(_mm256_add_pd(magnitude, one), _mm256_set1_pd(1e-13));
  const __m256d clear = _mm256_and_pd(_mm256_cmp_pd(fraction, hair, _CMP_GT_OQ),
                                      _mm256_cmp_pd(fraction, _mm256_sub_pd(one, hair),
                                                    _CMP_LT_OQ));
  if (_mm256_movemask_pd(clear) != 0xF) {
    const __m256d divided = _mm256_round_pd(_mm256_div_pd(offset, _mm256_set1_pd(spacing)),
                                            _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    cell = _mm256_blendv_pd(divided, cell, clear);
  }
  const __m256d last = _mm256_set1_pd(static_cast<double>(count) - 2.0);
  inside = _mm256_and_pd(_mm256_cmp_pd(cell, _mm256_setzero_pd(), _CMP_GE_OQ),
                         _mm256_cmp_pd(cell, last, _CMP_LE_OQ));
  return cell;
}

// WeightAlong in four lanes.
[[gnu::target("avx2")]] inline __m256d WeightLanes(__m256d position, __m256d cell,
                                                   double origin, double spacing) {
  const __m256d o = _mm256_set1_pd(origin);
  const __m256d s = _mm256_set1_pd(spacing);
  const __m256d low = _mm256_add_pd(_mm256_mul_pd(cell, s), o);
  const __m256d high = _mm256_add_pd(_mm256_mul_pd(_mm256_add_pd(cell, _mm256_set1_pd(1.0)), s), o);
  return _mm256_div_pd(_mm256_sub_pd(position, low), _mm256_sub_pd(high, low));
}

[[gnu::target("avx2")]] void LocateAvx2(const NodeLattice& g, const double* x, const double* y,
                                        int count, BilinearBatch& batch) {
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256d px = _mm256_loadu_pd(x + i);
    const __m256d py = _mm256_loadu_pd(y + i);
    __m256d inside_x;
    __m256d inside_y;
    const __m256d cx = CellLanes(px, g.xmin, g.dx, g.inverse_dx, g.ncols, inside_x);
    const __m256d cy = CellLanes(py, g.ymin, g.dy, g.inverse_dy, g.nrows, inside_y);
    const __m256d inside = _mm256_and_pd(inside_x, inside_y);
    const __m256d zero = _mm256_setzero_pd();
    _mm256_store_pd(batch.cell_x + i, _mm256_blendv_pd(zero, cx, inside));
    _mm256_store_pd(batch.cell_y + i, _mm256_blendv_pd(zero, cy, inside));
    _mm256_store_pd(batch.t + i, WeightLanes(px, cx, g.xmin, g.dx));
    _mm256_store_pd(batch.u + i, WeightLanes(py, cy, g.ymin, g.dy));
    const int bits = _mm256_movemask_pd(inside);
    for (int j = 0; j < 4; ++j) batch.usable[i + j] = (bits >> j) & 1;
  }
  for (; i < count; ++i) LocateOne(g, x, y, i, batch);
}

[[gnu::target("avx2")]] void WeighAvx2(const BilinearBatch& b, int count, double* value) {
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d blank = _mm256_set1_pd(kBlankValue);
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256d t = _mm256_load_pd(b.t + i);
    const __m256d u = _mm256_load_pd(b.u + i);
    const __m256d rest_t = _mm256_sub_pd(one, t);
    const __m256d rest_u = _mm256_sub_pd(one, u);
    __m256d v = _mm256_mul_pd(_mm256_mul_pd(rest_t, rest_u), _mm256_load_pd(b.z00 + i));
    v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_mul_pd(t, rest_u), _mm256_load_pd(b.z10 + i)));
    v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_mul_pd(t, u), _mm256_load_pd(b.z11 + i)));
    v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_mul_pd(rest_t, u), _mm256_load_pd(b.z01 + i)));
    std::int32_t flags = 0;
    std::memcpy(&flags, b.usable + i, sizeof flags);
    const __m256i usable = _mm256_cvtepu8_epi64(_mm_cvtsi32_si128(flags));
    const __m256d unusable =
        _mm256_castsi256_pd(_mm256_cmpeq_epi64(usable, _mm256_setzero_si256()));
    _mm256_storeu_pd(value + i, _mm256_blendv_pd(v, blank, unusable));
  }
  for (; i < count; ++i) value[i] = WeighOne(b, i);
}

const BilinearKernels kAvx2{LocateAvx2, WeighAvx2};

#define TORVANE_AVX512 "avx512f,avx512dq,avx512vl,avx2"

// CellLanes in eight lanes; `inside` the lanes whose cell is one.
[[gnu::target(TORVANE_AVX512)]] inline __m512d CellLanes8(__m512d position, double origin,
                                                           double spacing, double inverse,
                                                           std::uint32_t count, __mmask8& inside) {
  const __m512d one = _mm512_set1_pd(1.0);
  const __m512d offset = _mm512_sub_pd(position, _mm512_set1_pd(origin));
  const __m512d quotient = _mm512_mul_pd(offset, _mm512_set1_pd(inverse));
  __m512d cell = _mm512_maskz_roundscale_pd(0xFF, quotient, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
  const __m512d fraction = _mm512_sub_pd(quotient, cell);
  const __m512d magnitude = _mm512_abs_pd(quotient);
  const __m512d hair = _mm512_mul_pd(_mm512_add_pd(magnitude, one), _mm512_set1_pd(1e-13));
  const __mmask8 clear = _mm512_cmp_pd_mask(fraction, hair, _CMP_GT_OQ) &
                         _mm512_cmp_pd_mask(fraction, _mm512_sub_pd(one, hair), _CMP_LT_OQ);
  if (clear != 0xFF) {
    const __m512d divided = _mm512_maskz_roundscale_pd(0xFF, _mm512_div_pd(offset, _mm512_set1_pd(spacing)),
                                                 _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    cell = _mm512_mask_blend_pd(clear, divided, cell);
  }
  const __m512d last = _mm512_set1_pd(static_cast<double>(count) - 2.0);
  inside = _mm512_cmp_pd_mask(cell, _mm512_setzero_pd(), _CMP_GE_OQ) &
           _mm512_cmp_pd_mask(cell, last, _CMP_LE_OQ);
  return cell;
}

// WeightAlong in eight lanes.
[[gnu::target(TORVANE_AVX512)]] inline __m512d WeightLanes8(__m512d position, __m512d cell,
                                                             double origin, double spacing) {
  const __m512d o = _mm512_set1_pd(origin);
  const __m512d s = _mm512_set1_pd(spacing);
  const __m512d low = _mm512_add_pd(_mm512_mul_pd(cell, s), o);
  const __m512d high = _mm512_add_pd(_mm512_mul_pd(_mm512_add_pd(cell, _mm512_set1_pd(1.0)), s), o);
  return _mm512_div_pd(_mm512_sub_pd(position, low), _mm512_sub_pd(high, low));
}

// The corner at `index` of the lanes `inside`, as a double.
[[gnu::target(TORVANE_AVX512)]] inline __m512d GatherCorner(const float* nodes, __m256i index,
                                                             __mmask8 inside) {
  return _mm512_maskz_cvtps_pd(
      0xFF, _mm256_mmask_i32gather_ps(_mm256_setzero_ps(), inside, index, nodes, 4));
}

// The lanes where `corner` is not blank.
[[gnu::target(TORVANE_AVX512)]] inline __mmask8 NotBlank(__m512d corner) {
  return _mm512_cmp_pd_mask(corner, _mm512_set1_pd(kBlankThreshold), _CMP_LT_OQ);
}

// Eight positions' cells (whole numbers), weights, and whether they lie
// within the cells.
struct Lanes8 {
  __m512d t, u;
  __m256i c, r;  // 0 outside
  __mmask8 inside;
};

[[gnu::target(TORVANE_AVX512)]] inline Lanes8 LocateLanes8(const NodeLattice& g, __m512d px,
                                                           __m512d py) {
  Lanes8 lanes;
  __mmask8 inside_x;
  __mmask8 inside_y;
  const __m512d cx = CellLanes8(px, g.xmin, g.dx, g.inverse_dx, g.ncols, inside_x);
  const __m512d cy = CellLanes8(py, g.ymin, g.dy, g.inverse_dy, g.nrows, inside_y);
  lanes.inside = inside_x & inside_y;
  lanes.t = WeightLanes8(px, cx, g.xmin, g.dx);
  lanes.u = WeightLanes8(py, cy, g.ymin, g.dy);
  lanes.c = _mm512_maskz_cvttpd_epi32(lanes.inside, cx);
  lanes.r = _mm512_maskz_cvttpd_epi32(lanes.inside, cy);
  return lanes;
}

// WeighCorners in eight lanes, kBlankValue where not `usable`.
[[gnu::target(TORVANE_AVX512)]] inline __m512d WeighLanes8(const Lanes8& lanes, __m512d z00,
                                                            __m512d z10, __m512d z11,
                                                            __m512d z01) {
  const __mmask8 usable =
      lanes.inside & NotBlank(z00) & NotBlank(z10) & NotBlank(z11) & NotBlank(z01);
  const __m512d t = lanes.t;
  const __m512d u = lanes.u;
  const __m512d unit = _mm512_set1_pd(1.0);
  const __m512d rest_t = _mm512_sub_pd(unit, t);
  const __m512d rest_u = _mm512_sub_pd(unit, u);
  __m512d v = _mm512_mul_pd(_mm512_mul_pd(rest_t, rest_u), z00);
  v = _mm512_add_pd(v, _mm512_mul_pd(_mm512_mul_pd(t, rest_u), z10));
  v = _mm512_add_pd(v, _mm512_mul_pd(_mm512_mul_pd(t, u), z11));
  v = _mm512_add_pd(v, _mm512_mul_pd(_mm512_mul_pd(rest_t, u), z01));
  return _mm512_mask_blend_pd(usable, _mm512_set1_pd(kBlankValue), v);
}

// Eight positions on the node matrix in memory.
[[gnu::target(TORVANE_AVX512)]] inline __m512d InterpolateLanes8(const NodeLattice& g,
                                                                  const float* nodes,
                                                                  __m512d px, __m512d py) {
  const Lanes8 lanes = LocateLanes8(g, px, py);
  const __m256i rows = _mm256_set1_epi32(static_cast<int>(g.nrows));
  const __m256i at = _mm256_add_epi32(_mm256_mullo_epi32(lanes.c, rows), lanes.r);
  const __m256i east = _mm256_add_epi32(at, rows);
  const __m256i one = _mm256_set1_epi32(1);
  // The four gathers do not wait for one another.
  return WeighLanes8(lanes, GatherCorner(nodes, at, lanes.inside),
                     GatherCorner(nodes, east, lanes.inside),
                     GatherCorner(nodes, _mm256_add_epi32(east, one), lanes.inside),
                     GatherCorner(nodes, _mm256_add_epi32(at, one), lanes.inside));
}

// Calls lanes8(px, py) for every eight positions, positions past `count`
// read as a position outside the grid; false as soon as it answers false.
template <typename Lanes>
[[gnu::target(TORVANE_AVX512)]] inline bool ForEachEight(const NodeLattice& g, const double* x,
                                                         const double* y, int count,
                                                         double* value, Lanes&& lanes8) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    __m512d v;
    if (!lanes8(_mm512_loadu_pd(x + i), _mm512_loadu_pd(y + i), v)) return false;
    _mm512_storeu_pd(value + i, v);
  }
  if (i < count) {
    const auto rest = static_cast<__mmask8>((1u << (count - i)) - 1);
    const __m512d outside = _mm512_set1_pd(g.xmin - g.dx);
    __m512d v;
    if (!lanes8(_mm512_mask_loadu_pd(outside, rest, x + i), _mm512_mask_loadu_pd(outside, rest, y + i), v)) {
      return false;
    }
    alignas(64) double last[8];
    _mm512_store_pd(last, v);
    for (int k = 0; i + k < count; ++k) value[i + k] = last[k];
  }
  return true;
}

[[gnu::target(TORVANE_AVX512)]] void InMemoryAvx512(const NodeLattice& g, const float* nodes,
                                                   const double* x, const double* y, int count,
                                                   double* value) {
  ForEachEight(g, x, y, count, value, [&](__m512d px, __m512d py, __m512d& v) __attribute__((target(TORVANE_AVX512))) {
    v = InterpolateLanes8(g, nodes, px, py);
    return true;
  });
}

// One corner of the lanes `inside` from a file's rows of floats or doubles,
// at the element indices `at`, as DecodeNodeAs decodes it.
template <NodeEncoding kEncoding>
[[gnu::target(TORVANE_AVX512)]] inline __m512d FileCorner(const unsigned char* first,
                                                           __m512i at, __mmask8 inside,
                                                           double file_blank) {
  __m512d raw;
  __mmask8 blank;
  if constexpr (kEncoding == NodeEncoding::kFloat64) {
    raw = _mm512_mask_i64gather_pd(_mm512_setzero_pd(), inside, at, first, 8);
    blank = _mm512_cmp_pd_mask(raw, _mm512_set1_pd(file_blank), _CMP_EQ_OQ);
    raw = _mm512_maskz_cvtps_pd(0xFF, _mm512_maskz_cvtpd_ps(0xFF, raw));
  } else {
    raw = _mm512_maskz_cvtps_pd(
        0xFF, _mm512_mask_i64gather_ps(_mm256_setzero_ps(), inside, at, first, 4));
    blank = 0;
  }
  // NodeFromDouble: blank from 1e38 on, below the float range, no number.
  const double lowest = -static_cast<double>(std::numeric_limits<float>::max());
  blank = static_cast<__mmask8>(
      blank | _mm512_cmp_pd_mask(raw, _mm512_set1_pd(kBlankThreshold), _CMP_GE_OQ) |
      _mm512_cmp_pd_mask(raw, _mm512_set1_pd(lowest), _CMP_NGE_UQ));
  return _mm512_mask_blend_pd(blank, raw, _mm512_set1_pd(static_cast<double>(kBlankNode)));
}

template <NodeEncoding kEncoding>
[[gnu::target(TORVANE_AVX512)]] bool InFileRows(const NodeLattice& g, const FileNodes& nodes,
                                                const unsigned char* first, const double* x,
                                                const double* y, int count, double* value) {
  const double file_blank = nodes.layout().file_blank;
  const __m256i complete = _mm256_set1_epi32(static_cast<int>(nodes.complete_vectors()));
  const __m512i length = _mm512_set1_epi64(g.ncols);
  const __m512i one = _mm512_set1_epi64(1);
  return ForEachEight(g, x, y, count, value, [&](__m512d px, __m512d py, __m512d& v) __attribute__((target(TORVANE_AVX512))) {
    const Lanes8 lanes = LocateLanes8(g, px, py);
    // Both rows of every cell must lie within the file.
    const __mmask8 held = _mm256_mask_cmplt_epi32_mask(
        lanes.inside, _mm256_add_epi32(lanes.r, _mm256_set1_epi32(1)), complete);
    if (held != lanes.inside) return false;
    const __m512i at = _mm512_add_epi64(_mm512_mullo_epi64(_mm512_maskz_cvtepu32_epi64(0xFF, lanes.r), length),
                                        _mm512_maskz_cvtepu32_epi64(0xFF, lanes.c));
    const __m512i north = _mm512_add_epi64(at, length);
    v = WeighLanes8(lanes, FileCorner<kEncoding>(first, at, lanes.inside, file_blank),
                    FileCorner<kEncoding>(first, _mm512_add_epi64(at, one), lanes.inside, file_blank),
                    FileCorner<kEncoding>(first, _mm512_add_epi64(north, one), lanes.inside,
                                          file_blank),
                    FileCorner<kEncoding>(first, north, lanes.inside, file_blank));
    return true;
  });
}

[[gnu::target(TORVANE_AVX512)]] bool InFileAvx512(const NodeLattice& g, const FileNodes& nodes,
                                                 const double* x, const double* y, int count,
                                                 double* value) {
  const unsigned char* first = nodes.FirstMappedNode();
  if (first == nullptr || nodes.layout().vectors_are_columns) return false;
  switch (nodes.layout().encoding) {
    case NodeEncoding::kFloat64:
      return InFileRows<NodeEncoding::kFloat64>(g, nodes, first, x, y, count, value);
    case NodeEncoding::kFloat32:
      return InFileRows<NodeEncoding::kFloat32>(g, nodes, first, x, y, count, value);
    default:
      return false;
  }
}

const BilinearKernels kAvx512{LocateAvx2, WeighAvx2, InMemoryAvx512, InFileAvx512};

#endif

const BilinearKernels kPlain{LocatePlain, WeighPlain};

}  // namespace

const BilinearKernels& PlainBilinearKernels() { return kPlain; }

const BilinearKernels* Avx2BilinearKernels() {
#if defined(__x86_64__)
  static const bool has_avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
  return has_avx2 ? &kAvx2 : nullptr;
#else
  return nullptr;
#endif
}

const BilinearKernels* Avx512BilinearKernels() {
#if defined(__x86_64__)
  static const bool has_avx512 =
      (__builtin_cpu_init(), __builtin_cpu_supports("avx512f") &&
                                 __builtin_cpu_supports("avx512dq") &&
                                 __builtin_cpu_supports("avx512vl") &&
                                 __builtin_cpu_supports("avx2"));
  return has_avx512 ? &kAvx512 : nullptr;
#else
  return nullptr;
#endif
}

const BilinearKernels& FastestBilinearKernels() {
  const BilinearKernels* avx512 = Avx512BilinearKernels();
  if (avx512 != nullptr) return *avx512;
  const BilinearKernels* avx2 = Avx2BilinearKernels();
  return avx2 != nullptr ? *avx2 : kPlain;
}

}  // namespace torvane
