#pragma once

// The FFT routine in its plain form, one butterfly at a time with a cos and
// sin per twiddle index: the fast routine must give the same results to
// within float rounding.

#include <cmath>
#include <utility>

namespace quelvar::fft_reference {

// Every intermediate is stored as float.
inline float TwoPi() { return static_cast<float>(8.0 * std::atan(1.0)); }
inline float P7() { return static_cast<float>(1.0 / std::sqrt(2.0)); }

// Rotates (u, v) by the twiddle (c, s): (c u - s v, c v + s u).
inline void Rotate(float c, float s, float u, float v, float& outRe, float& outIm) {
  outRe = c * u - s * v;
  outIm = c * v + s * u;
}

inline unsigned ReverseBits(unsigned i, int bits) {
  unsigned r = 0;
  for (int b = 0; b < bits; ++b) {
    r = (r << 1) | (i & 1U);
    i >>= 1;
  }
  return r;
}

inline void ReferenceRadix8Pass(int span, int n, int length, float* cr0, float* cr1, float* cr2, float* cr3,
                                float* cr4, float* cr5, float* cr6, float* cr7, float* ci0, float* ci1, float* ci2,
                                float* ci3, float* ci4, float* ci5, float* ci6, float* ci7) {
  const float p7 = P7();
  const float scale = TwoPi() / static_cast<float>(length);
  for (int j = 0; j < span; ++j) {
    const float angle = static_cast<float>(j) * scale;
    // One cos and sin per j; the other six twiddles by recurrence.
    const float c1 = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float s1 = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float c2 = c1 * c1 - s1 * s1;
    const float s2 = 2.0F * c1 * s1;
    const float c3 = c1 * c2 - s1 * s2;
    const float s3 = c2 * s1 + s2 * c1;
    const float c4 = c2 * c2 - s2 * s2;
    const float s4 = 2.0F * c2 * s2;
    const float c5 = c2 * c3 - s2 * s3;
    const float s5 = c3 * s2 + s3 * c2;
    const float c6 = c3 * c3 - s3 * s3;
    const float s6 = 2.0F * c3 * s3;
    const float c7 = c3 * c4 - s3 * s4;
    const float s7 = c4 * s3 + s4 * c3;
    for (int k = j; k < n; k += length) {
      const float ar0 = cr0[k] + cr4[k];
      const float ar1 = cr1[k] + cr5[k];
      const float ar2 = cr2[k] + cr6[k];
      const float ar3 = cr3[k] + cr7[k];
      const float ar4 = cr0[k] - cr4[k];
      const float ar5 = cr1[k] - cr5[k];
      const float ar6 = cr2[k] - cr6[k];
      const float ar7 = cr3[k] - cr7[k];
      const float ai0 = ci0[k] + ci4[k];
      const float ai1 = ci1[k] + ci5[k];
      const float ai2 = ci2[k] + ci6[k];
      const float ai3 = ci3[k] + ci7[k];
      const float ai4 = ci0[k] - ci4[k];
      const float ai5 = ci1[k] - ci5[k];
      const float ai6 = ci2[k] - ci6[k];
      const float ai7 = ci3[k] - ci7[k];
      const float br0 = ar0 + ar2;
      const float br1 = ar1 + ar3;
      const float br2 = ar0 - ar2;
      const float br3 = ar1 - ar3;
      const float br4 = ar4 - ai6;
      const float br5 = ar5 - ai7;
      const float br6 = ar4 + ai6;
      const float br7 = ar5 + ai7;
      const float bi0 = ai0 + ai2;
      const float bi1 = ai1 + ai3;
      const float bi2 = ai0 - ai2;
      const float bi3 = ai1 - ai3;
      const float bi4 = ai4 + ar6;
      const float bi5 = ai5 + ar7;
      const float bi6 = ai4 - ar6;
      const float bi7 = ai5 - ar7;
      cr0[k] = br0 + br1;
      ci0[k] = bi0 + bi1;
      const float tr = p7 * (br5 - bi5);
      const float ti = p7 * (br5 + bi5);
      const float tr2 = -p7 * (br7 + bi7);
      const float ti2 = p7 * (br7 - bi7);
      const float u1 = br0 - br1;
      const float v1 = bi0 - bi1;
      const float u2 = br2 - bi3;
      const float v2 = bi2 + br3;
      const float u3 = br2 + bi3;
      const float v3 = bi2 - br3;
      const float u4 = br4 + tr;
      const float v4 = bi4 + ti;
      const float u5 = br4 - tr;
      const float v5 = bi4 - ti;
      const float u6 = br6 + tr2;
      const float v6 = bi6 + ti2;
      const float u7 = br6 - tr2;
      const float v7 = bi6 - ti2;
      if (j == 0) {
        cr1[k] = u1;
        ci1[k] = v1;
        cr2[k] = u2;
        ci2[k] = v2;
        cr3[k] = u3;
        ci3[k] = v3;
        cr4[k] = u4;
        ci4[k] = v4;
        cr5[k] = u5;
        ci5[k] = v5;
        cr6[k] = u6;
        ci6[k] = v6;
        cr7[k] = u7;
        ci7[k] = v7;
      } else {
        Rotate(c4, s4, u1, v1, cr1[k], ci1[k]);
        Rotate(c2, s2, u2, v2, cr2[k], ci2[k]);
        Rotate(c6, s6, u3, v3, cr3[k], ci3[k]);
        Rotate(c1, s1, u4, v4, cr4[k], ci4[k]);
        Rotate(c5, s5, u5, v5, cr5[k], ci5[k]);
        Rotate(c3, s3, u6, v6, cr6[k], ci6[k]);
        Rotate(c7, s7, u7, v7, cr7[k], ci7[k]);
      }
    }
  }
}

inline void ReferenceRadix4Pass(int n, float* cr0, float* cr1, float* cr2, float* cr3, float* ci0, float* ci1,
                                float* ci2, float* ci3) {
  for (int k = 0; k < n; k += 4) {
    const float r1 = cr0[k] + cr2[k];
    const float r2 = cr0[k] - cr2[k];
    const float r3 = cr1[k] + cr3[k];
    const float r4 = cr1[k] - cr3[k];
    const float f1 = ci0[k] + ci2[k];
    const float f2 = ci0[k] - ci2[k];
    const float f3 = ci1[k] + ci3[k];
    const float f4 = ci1[k] - ci3[k];
    cr0[k] = r1 + r3;
    ci0[k] = f1 + f3;
    cr1[k] = r1 - r3;
    ci1[k] = f1 - f3;
    cr2[k] = r2 - f4;
    ci2[k] = f2 + r4;
    cr3[k] = r2 + f4;
    ci3[k] = f2 - r4;
  }
}

inline void ReferenceRadix2Pass(int n, float* cr0, float* cr1, float* ci0, float* ci1) {
  for (int k = 0; k < n; k += 2) {
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

inline int ReferenceFFT842(float* real, float* imag, int n, int inverse) {
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
    for (int i = 0; i < n; ++i) {
      imag[i] = -imag[i];
    }
  }
  const int passes = m / 3;
  for (int p = 1; p <= passes; ++p) {
    const int span = 1 << (m - 3 * p);
    const int length = 8 * span;
    ReferenceRadix8Pass(span, n, length, real, real + span, real + 2 * span, real + 3 * span, real + 4 * span,
               real + 5 * span, real + 6 * span, real + 7 * span, imag, imag + span, imag + 2 * span,
               imag + 3 * span, imag + 4 * span, imag + 5 * span, imag + 6 * span, imag + 7 * span);
  }
  const int remainder = m - 3 * passes;
  if (remainder == 1) {
    ReferenceRadix2Pass(n, real, real + 1, imag, imag + 1);
  } else if (remainder == 2) {
    ReferenceRadix4Pass(n, real, real + 1, real + 2, real + 3, imag, imag + 1, imag + 2, imag + 3);
  }
  for (int i = 0; i < n; ++i) {
    const int j = static_cast<int>(ReverseBits(static_cast<unsigned>(i), m));
    if (i < j) {
      std::swap(real[i], real[j]);
      std::swap(imag[i], imag[j]);
    }
  }
  if (inverse == 1) {
    const float count = static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
      real[i] /= count;
      imag[i] /= count;
    }
  } else {
    for (int i = 0; i < n; ++i) {
      imag[i] = -imag[i];
    }
  }
  return 0;
}

}  // namespace quelvar::fft_reference
