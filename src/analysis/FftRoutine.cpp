#include "analysis/FftRoutine.h"

#include <cstddef>
#include <cstring>
#include <utility>

// The passes also built for AVX2, picked at load time where the processor
// has it; the baseline build runs everywhere else. Same operations, no
// fused multiply-add: the same results either way.
#if defined(__x86_64__)
// The eight-lane helpers are always inlined into the AVX2 code: no
// vector ever crosses a call, so the compilers' note on the calling
// convention of 32-byte vectors does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
#define QUELVAR_FFT_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QUELVAR_FFT_CLONES
#endif

namespace quelvar {

namespace {

// Four floats (or two doubles) handled side by side. The compiler's vector
// types lower to SSE on x86-64 and to the matching unit elsewhere; no
// instruction set beyond the baseline is assumed.
typedef float V4 __attribute__((vector_size(16)));
typedef int I4 __attribute__((vector_size(16)));
typedef double D2 __attribute__((vector_size(16)));
typedef float V2 __attribute__((vector_size(8)));

// Every intermediate is stored as float, so results match the single-precision
// routine the curves were always computed with. 2 pi and 1/sqrt(2) rounded
// to float: the same floats as 8 atan(1) and 1/sqrt(2) evaluated in double
// and rounded, written out so every butterfly can use them as constants.
constexpr float kTwoPi = static_cast<float>(6.283185307179586476925286766559);
constexpr float kP7 = static_cast<float>(0.70710678118654752440084436210485);

template <typename V = V4>
[[gnu::always_inline]] inline V Load(const float* p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <typename V>
[[gnu::always_inline]] inline void Store(float* p, const V& v) {
  std::memcpy(p, &v, sizeof v);
}

// Lanes of a where the mask is set, of b elsewhere.
template <typename V, typename I>
[[gnu::always_inline]] inline V Select(const I& mask, const V& a, const V& b) {
  I ia;
  I ib;
  std::memcpy(&ia, &a, sizeof ia);
  std::memcpy(&ib, &b, sizeof ib);
  const I bits = (ia & mask) | (ib & ~mask);
  V out;
  std::memcpy(&out, &bits, sizeof out);
  return out;
}

// Rows r0..r3 become columns.
[[gnu::always_inline]] inline void Transpose(V4& r0, V4& r1, V4& r2, V4& r3) {
  const V4 t0 = __builtin_shufflevector(r0, r1, 0, 4, 1, 5);
  const V4 t1 = __builtin_shufflevector(r0, r1, 2, 6, 3, 7);
  const V4 t2 = __builtin_shufflevector(r2, r3, 0, 4, 1, 5);
  const V4 t3 = __builtin_shufflevector(r2, r3, 2, 6, 3, 7);
  r0 = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
  r1 = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
  r2 = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
  r3 = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

// cos and sin in double on [0, pi/4) (the radix-8 angles never reach pi/4):
// Taylor series to x^16 and x^17, whose truncation error there is below
// 1e-18, far under the half float step the results are rounded to. Works on
// a double or on two side by side.
template <typename D>
[[gnu::always_inline]] inline D CosNear0(D x) {
  const D x2 = x * x;
  D p = -1.0 / 87178291200.0 + x2 * (1.0 / 20922789888000.0);  // 1/14!, 1/16!
  p = 1.0 / 479001600.0 + x2 * p;
  p = -1.0 / 3628800.0 + x2 * p;
  p = 1.0 / 40320.0 + x2 * p;
  p = -1.0 / 720.0 + x2 * p;
  p = 1.0 / 24.0 + x2 * p;
  p = -0.5 + x2 * p;
  return 1.0 + x2 * p;
}

template <typename D>
[[gnu::always_inline]] inline D SinNear0(D x) {
  const D x2 = x * x;
  D p = -1.0 / 1307674368000.0 + x2 * (1.0 / 355687428096000.0);  // 1/15!, 1/17!
  p = 1.0 / 6227020800.0 + x2 * p;
  p = -1.0 / 39916800.0 + x2 * p;
  p = 1.0 / 362880.0 + x2 * p;
  p = -1.0 / 5040.0 + x2 * p;
  p = 1.0 / 120.0 + x2 * p;
  p = -1.0 / 6.0 + x2 * p;
  return x + x * (x2 * p);
}

// The seven twiddles of one j (or of four j side by side) from c1, s1 by the
// recurrences, stored by the output they turn: output 1 takes twiddle 4,
// then 2, 6, 1, 5, 3, 7.
template <typename T>
[[gnu::always_inline]] inline void Twiddles(const T& c1, const T& s1, T (&c)[8], T (&s)[8]) {
  const T c2 = c1 * c1 - s1 * s1;
  const T s2 = 2.0F * c1 * s1;
  const T c3 = c1 * c2 - s1 * s2;
  const T s3 = c2 * s1 + s2 * c1;
  const T c4 = c2 * c2 - s2 * s2;
  const T s4 = 2.0F * c2 * s2;
  const T c5 = c2 * c3 - s2 * s3;
  const T s5 = c3 * s2 + s3 * c2;
  const T c6 = c3 * c3 - s3 * s3;
  const T s6 = 2.0F * c3 * s3;
  const T c7 = c3 * c4 - s3 * s4;
  const T s7 = c4 * s3 + s4 * c3;
  c[1] = c4, s[1] = s4;
  c[2] = c2, s[2] = s2;
  c[3] = c6, s[3] = s6;
  c[4] = c1, s[4] = s1;
  c[5] = c5, s[5] = s5;
  c[6] = c3, s[6] = s3;
  c[7] = c7, s[7] = s7;
}

// The radix-8 butterfly on one set of eight points (or four sets side by
// side): output 0 in r[0], i[0]; outputs 1..7 as the (u, v) pairs still to
// be turned by their twiddles.
template <typename T>
[[gnu::always_inline]] inline void Butterfly8(T (&r)[8], T (&i)[8]) {
  const T ar0 = r[0] + r[4];
  const T ar1 = r[1] + r[5];
  const T ar2 = r[2] + r[6];
  const T ar3 = r[3] + r[7];
  const T ar4 = r[0] - r[4];
  const T ar5 = r[1] - r[5];
  const T ar6 = r[2] - r[6];
  const T ar7 = r[3] - r[7];
  const T ai0 = i[0] + i[4];
  const T ai1 = i[1] + i[5];
  const T ai2 = i[2] + i[6];
  const T ai3 = i[3] + i[7];
  const T ai4 = i[0] - i[4];
  const T ai5 = i[1] - i[5];
  const T ai6 = i[2] - i[6];
  const T ai7 = i[3] - i[7];
  const T br0 = ar0 + ar2;
  const T br1 = ar1 + ar3;
  const T br2 = ar0 - ar2;
  const T br3 = ar1 - ar3;
  const T br4 = ar4 - ai6;
  const T br5 = ar5 - ai7;
  const T br6 = ar4 + ai6;
  const T br7 = ar5 + ai7;
  const T bi0 = ai0 + ai2;
  const T bi1 = ai1 + ai3;
  const T bi2 = ai0 - ai2;
  const T bi3 = ai1 - ai3;
  const T bi4 = ai4 + ar6;
  const T bi5 = ai5 + ar7;
  const T bi6 = ai4 - ar6;
  const T bi7 = ai5 - ar7;
  const T tr = kP7 * (br5 - bi5);
  const T ti = kP7 * (br5 + bi5);
  const T tr2 = -kP7 * (br7 + bi7);
  const T ti2 = kP7 * (br7 - bi7);
  r[0] = br0 + br1;
  i[0] = bi0 + bi1;
  r[1] = br0 - br1;
  i[1] = bi0 - bi1;
  r[2] = br2 - bi3;
  i[2] = bi2 + br3;
  r[3] = br2 + bi3;
  i[3] = bi2 - br3;
  r[4] = br4 + tr;
  i[4] = bi4 + ti;
  r[5] = br4 - tr;
  i[5] = bi4 - ti;
  r[6] = br6 + tr2;
  i[6] = bi6 + ti2;
  r[7] = br6 - tr2;
  i[7] = bi6 - ti2;
}

// (u, v) turned by (c, s): (c u - s v, c v + s u).
template <typename T>
[[gnu::always_inline]] inline void Rotate(const T& c, const T& s, T& re, T& im) {
  const T u = re;
  const T v = im;
  re = c * u - s * v;
  im = c * v + s * u;
}

// Outputs 1..7 turned by their twiddles, except in the lanes where keep is
// set (j = 0 is not turned at all).
template <typename V, typename I>
[[gnu::always_inline]] inline void RotateExcept(const I& keep, const V (&c)[8], const V (&s)[8], V (&r)[8],
                                                V (&i)[8]) {
#pragma GCC unroll 7
  for (int o = 1; o < 8; ++o) {
    V re = r[o];
    V im = i[o];
    Rotate(c[o], s[o], re, im);
    r[o] = Select(keep, r[o], re);
    i[o] = Select(keep, i[o], im);
  }
}

// The sub-arrays as FFT842 lays them out, consecutive, span after span, with
// whole groups of 8 x span: the layout the vector forms below rely on.
bool EvenlySpread(int span, int n, const float* const (&p)[8]) {
  if (span < 1 || n % (8 * span) != 0) {
    return false;
  }
  for (int t = 1; t < 8; ++t) {
    if (p[t] != p[0] + static_cast<std::ptrdiff_t>(t) * span) {
      return false;
    }
  }
  return true;
}

// The butterflies of consecutive j (as many as V has lanes) starting at pr
// and pi, the eight points of each one stride after another; twiddles c, s
// (j = 0 in lane 0 when first).
template <typename V, typename I>
[[gnu::always_inline]] inline void Butterflies(float* pr, float* pi, int stride, bool first, const V (&c)[8],
                                               const V (&s)[8]) {
  V r[8];
  V i[8];
#pragma GCC unroll 8
  for (int t = 0; t < 8; ++t) {
    r[t] = Load<V>(pr + t * stride);
    i[t] = Load<V>(pi + t * stride);
  }
  Butterfly8(r, i);
  if (first) {
    I keep{};
    keep[0] = -1;
    RotateExcept(keep, c, s, r, i);
  } else {
#pragma GCC unroll 7
    for (int o = 1; o < 8; ++o) {
      Rotate(c[o], s[o], r[o], i[o]);
    }
  }
#pragma GCC unroll 8
  for (int t = 0; t < 8; ++t) {
    Store(pr + t * stride, r[t]);
    Store(pi + t * stride, i[t]);
  }
}

// Span of 4 or more (8 or more for eight lanes): consecutive j side by side,
// which sit side by side in every sub-array. The twiddles of a block of j
// are made first, then that block is taken through every group.
template <typename V, typename I>
[[gnu::always_inline]] inline void Radix8Wide(int span, int n, int length, float* re, float* im) {
  constexpr int kLanes = static_cast<int>(sizeof(V) / sizeof(float));
  constexpr int kBlock = 16;
  const int block = span < kBlock ? span : kBlock;
  const float scale = kTwoPi / static_cast<float>(length);
  alignas(32) float c1[kBlock];
  alignas(32) float s1[kBlock];
  V c[kBlock / kLanes][8];
  V s[kBlock / kLanes][8];
  // Sub-arrays 4 KiB (a power of two) or more from each other share cache
  // sets: the sixteen pieces of a block then keep evicting one another
  // between its butterflies. Such blocks are copied, a piece at a time, to a
  // small buffer (1 KiB on the stack), worked there and copied back.
  const bool distant = span >= 1024;
  alignas(32) float bufR[8][kBlock];
  alignas(32) float bufI[8][kBlock];
  for (int jb = 0; jb < span; jb += block) {
    FftAngleCosSin(jb, block, scale, c1, s1);
    for (int q = 0; q < block / kLanes; ++q) {
      Twiddles(Load<V>(c1 + kLanes * q), Load<V>(s1 + kLanes * q), c[q], s[q]);
    }
    for (int k0 = jb; k0 < n; k0 += length) {
      if (distant) {
        for (int t = 0; t < 8; ++t) {
#pragma GCC unroll 4
          for (int q = 0; q < kBlock / kLanes; ++q) {
            Store(&bufR[t][kLanes * q], Load<V>(re + k0 + t * span + kLanes * q));
            Store(&bufI[t][kLanes * q], Load<V>(im + k0 + t * span + kLanes * q));
          }
        }
        for (int q = 0; q < kBlock / kLanes; ++q) {
          Butterflies<V, I>(&bufR[0][kLanes * q], &bufI[0][kLanes * q], kBlock, jb == 0 && q == 0, c[q], s[q]);
        }
        for (int t = 0; t < 8; ++t) {
#pragma GCC unroll 4
          for (int q = 0; q < kBlock / kLanes; ++q) {
            Store(re + k0 + t * span + kLanes * q, Load<V>(&bufR[t][kLanes * q]));
            Store(im + k0 + t * span + kLanes * q, Load<V>(&bufI[t][kLanes * q]));
          }
        }
      } else {
        for (int q = 0; q < block / kLanes; ++q) {
          Butterflies<V, I>(re + k0 + kLanes * q, im + k0 + kLanes * q, span, jb == 0 && q == 0, c[q], s[q]);
        }
      }
    }
  }
}

#if defined(__x86_64__)
// Eight lanes where the processor has AVX2 (checked at each call), for the
// spans below 512: with the sub-arrays 2 KiB or more from each other the
// wider loads measured slower than four lanes.
typedef float V8 __attribute__((vector_size(32)));
typedef int I8 __attribute__((vector_size(32)));

__attribute__((target("avx2"))) void Radix8WideAvx2(int span, int n, int length, float* re, float* im) {
  Radix8Wide<V8, I8>(span, n, length, re, im);
}

bool HasAvx2() { return __builtin_cpu_supports("avx2") != 0; }
#endif

// Span 2: each group is 16 consecutive values, j alternating; two groups
// side by side give the lanes (j 0, j 1, j 0, j 1).
[[gnu::always_inline]] inline void Radix8Pairs(int n, int length, float* re, float* im) {
  const float scale = kTwoPi / static_cast<float>(length);
  float c1[4];
  float s1[4];
  FftAngleCosSin(0, 4, scale, c1, s1);
  float cj[8];
  float sj[8];
  Twiddles(c1[1], s1[1], cj, sj);
  V4 c[8];
  V4 s[8];
#pragma GCC unroll 7
  for (int o = 1; o < 8; ++o) {
    c[o] = V4{cj[o], cj[o], cj[o], cj[o]};
    s[o] = V4{sj[o], sj[o], sj[o], sj[o]};
  }
  for (int k0 = 0; k0 < n; k0 += 32) {
    V4 r[8];
    V4 i[8];
#pragma GCC unroll 4
    for (int h = 0; h < 4; ++h) {
      const V4 ra = Load(re + k0 + 4 * h);
      const V4 rb = Load(re + k0 + 16 + 4 * h);
      const V4 ia = Load(im + k0 + 4 * h);
      const V4 ib = Load(im + k0 + 16 + 4 * h);
      r[2 * h] = __builtin_shufflevector(ra, rb, 0, 1, 4, 5);
      r[2 * h + 1] = __builtin_shufflevector(ra, rb, 2, 3, 6, 7);
      i[2 * h] = __builtin_shufflevector(ia, ib, 0, 1, 4, 5);
      i[2 * h + 1] = __builtin_shufflevector(ia, ib, 2, 3, 6, 7);
    }
    Butterfly8(r, i);
    RotateExcept(I4{-1, 0, -1, 0}, c, s, r, i);
#pragma GCC unroll 4
    for (int h = 0; h < 4; ++h) {
      Store(re + k0 + 4 * h, __builtin_shufflevector(r[2 * h], r[2 * h + 1], 0, 1, 4, 5));
      Store(re + k0 + 16 + 4 * h, __builtin_shufflevector(r[2 * h], r[2 * h + 1], 2, 3, 6, 7));
      Store(im + k0 + 4 * h, __builtin_shufflevector(i[2 * h], i[2 * h + 1], 0, 1, 4, 5));
      Store(im + k0 + 16 + 4 * h, __builtin_shufflevector(i[2 * h], i[2 * h + 1], 2, 3, 6, 7));
    }
  }
}

// Span 1: each group is 8 consecutive values, j = 0 only (nothing turned);
// four groups transposed side by side.
[[gnu::always_inline]] inline void Radix8Singles(int n, float* re, float* im) {
  for (int k0 = 0; k0 < n; k0 += 32) {
    V4 r[8];
    V4 i[8];
#pragma GCC unroll 4
    for (int w = 0; w < 4; ++w) {
      r[w] = Load(re + k0 + 8 * w);
      r[w + 4] = Load(re + k0 + 8 * w + 4);
      i[w] = Load(im + k0 + 8 * w);
      i[w + 4] = Load(im + k0 + 8 * w + 4);
    }
    Transpose(r[0], r[1], r[2], r[3]);
    Transpose(r[4], r[5], r[6], r[7]);
    Transpose(i[0], i[1], i[2], i[3]);
    Transpose(i[4], i[5], i[6], i[7]);
    Butterfly8(r, i);
    Transpose(r[0], r[1], r[2], r[3]);
    Transpose(r[4], r[5], r[6], r[7]);
    Transpose(i[0], i[1], i[2], i[3]);
    Transpose(i[4], i[5], i[6], i[7]);
#pragma GCC unroll 4
    for (int w = 0; w < 4; ++w) {
      Store(re + k0 + 8 * w, r[w]);
      Store(re + k0 + 8 * w + 4, r[w + 4]);
      Store(im + k0 + 8 * w, i[w]);
      Store(im + k0 + 8 * w + 4, i[w + 4]);
    }
  }
}

// Any other layout: one butterfly at a time.
void Radix8Plain(int span, int n, int length, float* const (&cr)[8], float* const (&ci)[8]) {
  const float scale = kTwoPi / static_cast<float>(length);
  for (int jb = 0; jb < span; jb += 4) {
    float c1[4];
    float s1[4];
    FftAngleCosSin(jb, 4, scale, c1, s1);
    for (int j = jb; j < jb + 4 && j < span; ++j) {
      float c[8];
      float s[8];
      Twiddles(c1[j - jb], s1[j - jb], c, s);
      for (int k = j; k < n; k += length) {
        float r[8];
        float i[8];
        for (int t = 0; t < 8; ++t) {
          r[t] = cr[t][k];
          i[t] = ci[t][k];
        }
        Butterfly8(r, i);
        if (j != 0) {
          for (int o = 1; o < 8; ++o) {
            Rotate(c[o], s[o], r[o], i[o]);
          }
        }
        for (int t = 0; t < 8; ++t) {
          cr[t][k] = r[t];
          ci[t][k] = i[t];
        }
      }
    }
  }
}

template <typename T>
[[gnu::always_inline]] inline void Butterfly4(T& a0, T& a1, T& a2, T& a3, T& b0, T& b1, T& b2, T& b3) {
  const T r1 = a0 + a2;
  const T r2 = a0 - a2;
  const T r3 = a1 + a3;
  const T r4 = a1 - a3;
  const T f1 = b0 + b2;
  const T f2 = b0 - b2;
  const T f3 = b1 + b3;
  const T f4 = b1 - b3;
  a0 = r1 + r3;
  b0 = f1 + f3;
  a1 = r1 - r3;
  b1 = f1 - f3;
  a2 = r2 - f4;
  b2 = f2 + r4;
  a3 = r2 + f4;
  b3 = f2 - r4;
}

// r with its bits low bits reversed.
unsigned ReverseBits(unsigned r, int bits) {
  unsigned out = 0;
  for (int b = 0; b < bits; ++b) {
    out = (out << 1) | (r & 1U);
    r >>= 1;
  }
  return out;
}

// The rows of an 8 x 8 block of floats, row x as lo[x] (columns 0..3) and
// hi[x] (4..7), become its columns.
[[gnu::always_inline]] inline void Transpose8(V4 (&lo)[8], V4 (&hi)[8]) {
  Transpose(lo[0], lo[1], lo[2], lo[3]);
  Transpose(lo[4], lo[5], lo[6], lo[7]);
  Transpose(hi[0], hi[1], hi[2], hi[3]);
  Transpose(hi[4], hi[5], hi[6], hi[7]);
#pragma GCC unroll 4
  for (int y = 0; y < 4; ++y) {
    const V4 upperRight = lo[y + 4];
    lo[y + 4] = hi[y];
    hi[y] = upperRight;
  }
}

// Exchanges x[i] and x[j] for j = i with its m low bits reversed, then
// multiplies every value by factor. From 64 values on, blocks at a time:
// with i = (h, mid, l), h and l 3 bits each, j = (rev l, rev mid, rev h),
// so the block of 8 rows h by 8 columns l at mid goes, transposed and with
// rows and columns bit-reversed, to the block at rev mid; one element at a
// time, the reversed index strides through the array and keeps missing the
// cache.
QUELVAR_FFT_CLONES void Unscramble(float* x, int n, int m, float factor) {
  if (m < 6) {
    for (int i = 0; i < n; ++i) {
      const int j = static_cast<int>(ReverseBits(static_cast<unsigned>(i), m));
      if (i < j) {
        std::swap(x[i], x[j]);
      }
    }
    for (int i = 0; i < n; ++i) {
      x[i] *= factor;
    }
    return;
  }
  constexpr int kReverse3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  const int stride = n / 8;
  const int mids = n / 64;
  for (int mid = 0; mid < mids; ++mid) {
    const int other = static_cast<int>(ReverseBits(static_cast<unsigned>(mid), m - 6));
    if (other < mid) {
      continue;
    }
    float* a = x + 8 * mid;
    float* b = x + 8 * other;
    // Rows loaded in bit-reversed order, then transposed: row y of the
    // result belongs in row rev y of the other block.
    V4 aLo[8];
    V4 aHi[8];
    V4 bLo[8];
    V4 bHi[8];
#pragma GCC unroll 8
    for (int y = 0; y < 8; ++y) {
      aLo[y] = Load(a + kReverse3[y] * stride);
      aHi[y] = Load(a + kReverse3[y] * stride + 4);
      bLo[y] = Load(b + kReverse3[y] * stride);
      bHi[y] = Load(b + kReverse3[y] * stride + 4);
    }
    Transpose8(aLo, aHi);
    Transpose8(bLo, bHi);
#pragma GCC unroll 8
    for (int y = 0; y < 8; ++y) {
      Store(b + kReverse3[y] * stride, aLo[y] * factor);
      Store(b + kReverse3[y] * stride + 4, aHi[y] * factor);
    }
    if (other != mid) {
  #pragma GCC unroll 8
    for (int y = 0; y < 8; ++y) {
        Store(a + kReverse3[y] * stride, bLo[y] * factor);
        Store(a + kReverse3[y] * stride + 4, bHi[y] * factor);
      }
    }
  }
}

// Every value times factor (a negation or the inverse's 1/n, both exact).
void MultiplyAll(float* x, int n, float factor) {
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    Store(x + k, Load(x + k) * factor);
  }
  for (; k < n; ++k) {
    x[k] *= factor;
  }
}

}  // namespace

QUELVAR_FFT_CLONES void FftAngleCosSin(int first, int count, float scale, float* cosOut, float* sinOut) {
  for (int q = 0; q < count; q += 4) {
    const int j = first + q;
    const V4 angle = V4{static_cast<float>(j), static_cast<float>(j + 1), static_cast<float>(j + 2),
                        static_cast<float>(j + 3)} *
                     scale;
    const D2 lo = __builtin_convertvector(__builtin_shufflevector(angle, angle, 0, 1), D2);
    const D2 hi = __builtin_convertvector(__builtin_shufflevector(angle, angle, 2, 3), D2);
    const V2 cosLo = __builtin_convertvector(CosNear0(lo), V2);
    const V2 cosHi = __builtin_convertvector(CosNear0(hi), V2);
    const V2 sinLo = __builtin_convertvector(SinNear0(lo), V2);
    const V2 sinHi = __builtin_convertvector(SinNear0(hi), V2);
    const V4 c = __builtin_shufflevector(cosLo, cosHi, 0, 1, 2, 3);
    const V4 s = __builtin_shufflevector(sinLo, sinHi, 0, 1, 2, 3);
    if (q + 4 <= count) {
      Store(cosOut + q, c);
      Store(sinOut + q, s);
    } else {
      for (int l = 0; l < count - q; ++l) {
        cosOut[q + l] = c[l];
        sinOut[q + l] = s[l];
      }
    }
  }
}

QUELVAR_FFT_CLONES void Radix8Pass(int span, int n, int length, float* cr0, float* cr1, float* cr2, float* cr3,
                                   float* cr4, float* cr5, float* cr6, float* cr7, float* ci0, float* ci1,
                                   float* ci2, float* ci3, float* ci4, float* ci5, float* ci6, float* ci7) {
  float* const cr[8] = {cr0, cr1, cr2, cr3, cr4, cr5, cr6, cr7};
  float* const ci[8] = {ci0, ci1, ci2, ci3, ci4, ci5, ci6, ci7};
  const bool vectors = length == 8 * span && EvenlySpread(span, n, cr) && EvenlySpread(span, n, ci);
#if defined(__x86_64__)
  if (vectors && span >= 8 && span < 512 && HasAvx2()) {
    Radix8WideAvx2(span, n, length, cr0, ci0);
    return;
  }
#endif
  if (vectors && span >= 4) {
    Radix8Wide<V4, I4>(span, n, length, cr0, ci0);
  } else if (vectors && span == 2 && n % 32 == 0) {
    Radix8Pairs(n, length, cr0, ci0);
  } else if (vectors && span == 1 && n % 32 == 0) {
    Radix8Singles(n, cr0, ci0);
  } else {
    Radix8Plain(span, n, length, cr, ci);
  }
}

QUELVAR_FFT_CLONES void Radix4Pass(int n, float* cr0, float* cr1, float* cr2, float* cr3, float* ci0, float* ci1,
                                   float* ci2, float* ci3) {
  int k = 0;
  if (cr1 == cr0 + 1 && cr2 == cr0 + 2 && cr3 == cr0 + 3 && ci1 == ci0 + 1 && ci2 == ci0 + 2 && ci3 == ci0 + 3) {
    // Four groups of four consecutive values, transposed side by side.
    for (; k + 16 <= n; k += 16) {
      V4 a[4];
      V4 b[4];
#pragma GCC unroll 4
      for (int w = 0; w < 4; ++w) {
        a[w] = Load(cr0 + k + 4 * w);
        b[w] = Load(ci0 + k + 4 * w);
      }
      Transpose(a[0], a[1], a[2], a[3]);
      Transpose(b[0], b[1], b[2], b[3]);
      Butterfly4(a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3]);
      Transpose(a[0], a[1], a[2], a[3]);
      Transpose(b[0], b[1], b[2], b[3]);
#pragma GCC unroll 4
      for (int w = 0; w < 4; ++w) {
        Store(cr0 + k + 4 * w, a[w]);
        Store(ci0 + k + 4 * w, b[w]);
      }
    }
  }
  for (; k < n; k += 4) {
    Butterfly4(cr0[k], cr1[k], cr2[k], cr3[k], ci0[k], ci1[k], ci2[k], ci3[k]);
  }
}

QUELVAR_FFT_CLONES void Radix2Pass(int n, float* cr0, float* cr1, float* ci0, float* ci1) {
  int k = 0;
  if (cr1 == cr0 + 1 && ci1 == ci0 + 1) {
    // Four pairs at a time, split into firsts and seconds.
    for (; k + 8 <= n; k += 8) {
      float* const both[2] = {cr0 + k, ci0 + k};
#pragma GCC unroll 2
      for (float* x : both) {
        const V4 lo = Load(x);
        const V4 hi = Load(x + 4);
        const V4 first = __builtin_shufflevector(lo, hi, 0, 2, 4, 6);
        const V4 second = __builtin_shufflevector(lo, hi, 1, 3, 5, 7);
        const V4 sum = first + second;
        const V4 diff = first - second;
        Store(x, __builtin_shufflevector(sum, diff, 0, 4, 1, 5));
        Store(x + 4, __builtin_shufflevector(sum, diff, 2, 6, 3, 7));
      }
    }
  }
  for (; k < n; k += 2) {
    const float r0 = cr0[k];
    const float r1 = cr1[k];
    cr0[k] = r0 + r1;
    cr1[k] = r0 - r1;
    const float i0 = ci0[k];
    const float i1 = ci1[k];
    ci0[k] = i0 + i1;
    ci1[k] = i0 - i1;
  }
}

int FFT842(float* real, float* imag, int n, int inverse) {
  int m = 0;
  for (int e = 1; e <= 15; ++e) {
    if (n == (1 << e)) {
      m = e;
      break;
    }
  }
  if (m == 0) {
    return 0;
  }
  // The passes turn with e^(+j...); conjugating before and after gives the
  // forward transform.
  if (inverse != 1) {
    MultiplyAll(imag, n, -1.0F);
  }
  const int passes = m / 3;
  for (int p = 1; p <= passes; ++p) {
    const int span = 1 << (m - 3 * p);
    const int length = 8 * span;
    Radix8Pass(span, n, length, real, real + span, real + 2 * span, real + 3 * span, real + 4 * span,
               real + 5 * span, real + 6 * span, real + 7 * span, imag, imag + span, imag + 2 * span,
               imag + 3 * span, imag + 4 * span, imag + 5 * span, imag + 6 * span, imag + 7 * span);
  }
  const int remainder = m - 3 * passes;
  if (remainder == 1) {
    Radix2Pass(n, real, real + 1, imag, imag + 1);
  } else if (remainder == 2) {
    Radix4Pass(n, real, real + 1, real + 2, real + 3, imag, imag + 1, imag + 2, imag + 3);
  }
  // The bit-reversal unscramble; the last scaling rides along (times 1/n
  // for the inverse, the forward's second conjugation otherwise).
  if (inverse == 1) {
    // n is a power of two: times 1/n is exactly divided by n.
    const float factor = 1.0F / static_cast<float>(n);
    Unscramble(real, n, m, factor);
    Unscramble(imag, n, m, factor);
  } else {
    Unscramble(real, n, m, 1.0F);
    Unscramble(imag, n, m, -1.0F);
  }
  return 0;
}

}  // namespace quelvar
