#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "FftReference.h"
#include "analysis/FftRoutine.h"

namespace {

using namespace quelvar;

struct Signal {
  std::vector<float> re;
  std::vector<float> im;
};

Signal RandomSignal(int n, uint32_t seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> d(-1.0F, 1.0F);
  Signal s{std::vector<float>(static_cast<size_t>(n)), std::vector<float>(static_cast<size_t>(n))};
  for (int i = 0; i < n; ++i) {
    s.re[static_cast<size_t>(i)] = d(gen);
    s.im[static_cast<size_t>(i)] = d(gen);
  }
  return s;
}

// Bin k of the plain DFT in long double: sign -1 forward, +1 inverse
// (with the 1/n).
void DirectBin(const Signal& x, int k, int sign, long double& outRe, long double& outIm) {
  const auto n = static_cast<int64_t>(x.re.size());
  const long double twoPi = 8.0L * std::atan(1.0L);
  long double sr = 0;
  long double si = 0;
  for (int64_t t = 0; t < n; ++t) {
    const long double a = sign * twoPi * static_cast<long double>((t * k) % n) / static_cast<long double>(n);
    const long double c = std::cos(a);
    const long double s = std::sin(a);
    const long double xr = x.re[static_cast<size_t>(t)];
    const long double xi = x.im[static_cast<size_t>(t)];
    sr += xr * c - xi * s;
    si += xr * s + xi * c;
  }
  if (sign > 0) {
    sr /= static_cast<long double>(n);
    si /= static_cast<long double>(n);
  }
  outRe = sr;
  outIm = si;
}

// Every length the routine takes, against the direct transform in both
// directions. Large lengths are checked on a spread of bins (the direct
// transform of every bin would cost n^2). The bound is single-precision
// rounding growing with the passes, relative to the signal's energy.
class EveryLength : public ::testing::TestWithParam<int> {};

TEST_P(EveryLength, MatchesTheDirectTransformBothWays) {
  const int m = GetParam();
  const int n = 1 << m;
  const Signal input = RandomSignal(n, 1000U + static_cast<uint32_t>(m));
  const int step = n <= 1024 ? 1 : n / 97 + 1;
  for (int inverse : {0, 1}) {
    Signal out = input;
    EXPECT_EQ(FFT842(out.re.data(), out.im.data(), n, inverse), 0);
    const int sign = inverse == 1 ? 1 : -1;
    // |x| up to sqrt(2) per point: the transform's bins are of order sqrt(n).
    const double scale = inverse == 1 ? std::sqrt(2.0 / n) : std::sqrt(2.0 * n);
    const double bound = 3e-7 * (m + 1) * scale;
    for (int k = 0; k < n; k += step) {
      long double wr = 0;
      long double wi = 0;
      DirectBin(input, k, sign, wr, wi);
      EXPECT_NEAR(out.re[static_cast<size_t>(k)], static_cast<double>(wr), bound) << "n=" << n << " k=" << k;
      EXPECT_NEAR(out.im[static_cast<size_t>(k)], static_cast<double>(wi), bound) << "n=" << n << " k=" << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwo, EveryLength, ::testing::Range(1, 16));

TEST(FftRoutine, CosineOnOneBinFillsThatBinAndItsMirrorOnly) {
  struct Case {
    int n;
    int bin;
  };
  for (const Case c : {Case{8, 1}, Case{16, 3}, Case{32, 5}, Case{1024, 100}, Case{32768, 1234}}) {
    std::vector<float> re(static_cast<size_t>(c.n));
    std::vector<float> im(static_cast<size_t>(c.n), 0.0F);
    const double twoPi = 8.0 * std::atan(1.0);
    for (int t = 0; t < c.n; ++t) {
      re[static_cast<size_t>(t)] = static_cast<float>(
          2.0 * std::cos(twoPi * static_cast<double>((static_cast<int64_t>(t) * c.bin) % c.n) / c.n));
    }
    FFT842(re.data(), im.data(), c.n, 0);
    const double tol = 1e-5 * c.n;
    for (int k = 0; k < c.n; ++k) {
      const double expected = (k == c.bin || k == c.n - c.bin) ? c.n : 0.0;
      ASSERT_NEAR(re[static_cast<size_t>(k)], expected, tol) << "n=" << c.n << " k=" << k;
      ASSERT_NEAR(im[static_cast<size_t>(k)], 0.0, tol) << "n=" << c.n << " k=" << k;
    }
  }
}

TEST(FftRoutine, ImpulseAndConstantAreUnscaledForward) {
  for (int n : {2, 4, 8, 16, 32, 4096}) {
    std::vector<float> re(static_cast<size_t>(n), 0.0F);
    std::vector<float> im(static_cast<size_t>(n), 0.0F);
    re[0] = 1.0F;
    FFT842(re.data(), im.data(), n, 0);
    for (int k = 0; k < n; ++k) {
      EXPECT_NEAR(re[static_cast<size_t>(k)], 1.0, 1e-6) << n;
      EXPECT_NEAR(im[static_cast<size_t>(k)], 0.0, 1e-6) << n;
    }
    std::fill(re.begin(), re.end(), 1.0F);
    std::fill(im.begin(), im.end(), 0.0F);
    FFT842(re.data(), im.data(), n, 0);
    EXPECT_NEAR(re[0], n, 1e-6 * n);
    for (int k = 1; k < n; ++k) {
      EXPECT_NEAR(re[static_cast<size_t>(k)], 0.0, 1e-5) << n;
      EXPECT_NEAR(im[static_cast<size_t>(k)], 0.0, 1e-5) << n;
    }
  }
}

TEST(FftRoutine, ForwardThenInverseGivesTheInputBack) {
  for (int n : {2, 4, 8, 16, 32, 64, 128, 32768}) {
    const Signal input = RandomSignal(n, 7U);
    Signal s = input;
    FFT842(s.re.data(), s.im.data(), n, 0);
    // Any inverse flag other than 1 is forward; 1 is the inverse.
    FFT842(s.re.data(), s.im.data(), n, 1);
    for (size_t i = 0; i < input.re.size(); ++i) {
      ASSERT_NEAR(s.re[i], input.re[i], 1e-5) << n;
      ASSERT_NEAR(s.im[i], input.im[i], 1e-5) << n;
    }
  }
}

TEST(FftRoutine, AnyFlagOtherThanOneIsForward) {
  const Signal input = RandomSignal(64, 3U);
  Signal a = input;
  Signal b = input;
  FFT842(a.re.data(), a.im.data(), 64, 0);
  FFT842(b.re.data(), b.im.data(), 64, -5);
  EXPECT_EQ(a.re, b.re);
  EXPECT_EQ(a.im, b.im);
}

TEST(FftRoutine, UnsupportedLengthsLeaveBothArraysUntouched) {
  // Arrays long enough for every length tried, so a wrong acceptance
  // shows as changed values rather than a crash.
  const Signal input = RandomSignal(65536, 11U);
  for (int n : {0, 1, 3, 6, 12, 100, 65536, -8, -65536, 32767, 32769}) {
    Signal s = input;
    EXPECT_EQ(FFT842(s.re.data(), s.im.data(), n, 0), 0) << n;
    EXPECT_EQ(FFT842(s.re.data(), s.im.data(), n, 1), 0) << n;
    EXPECT_EQ(std::memcmp(s.re.data(), input.re.data(), input.re.size() * sizeof(float)), 0) << n;
    EXPECT_EQ(std::memcmp(s.im.data(), input.im.data(), input.im.size() * sizeof(float)), 0) << n;
  }
}

// The routine takes several butterflies at a time and makes its twiddles in
// blocks; the plain routine, one butterfly and one cos/sin at a time, is what
// it must still compute. Bound: a few float steps of the largest value.
float Peak(const Signal& s) {
  float peak = 0.0F;
  for (size_t k = 0; k < s.re.size(); ++k) {
    peak = std::max({peak, std::fabs(s.re[k]), std::fabs(s.im[k])});
  }
  return peak;
}

void ExpectSameWithinRounding(const Signal& got, const Signal& want, const std::string& what) {
  const double bound = 4.0 * std::numeric_limits<float>::epsilon() * Peak(want);
  for (size_t k = 0; k < want.re.size(); ++k) {
    ASSERT_NEAR(got.re[k], want.re[k], bound) << what << " k=" << k;
    ASSERT_NEAR(got.im[k], want.im[k], bound) << what << " k=" << k;
  }
}

TEST(FftRoutine, AgreesWithThePlainRoutineAtEveryLengthBothWays) {
  for (int m = 1; m <= 15; ++m) {
    const int n = 1 << m;
    const Signal input = RandomSignal(n, 500U + static_cast<uint32_t>(m));
    for (int inverse : {0, 1}) {
      Signal got = input;
      Signal want = input;
      FFT842(got.re.data(), got.im.data(), n, inverse);
      fft_reference::ReferenceFFT842(want.re.data(), want.im.data(), n, inverse);
      ExpectSameWithinRounding(got, want, "n=" + std::to_string(n) + " inverse=" + std::to_string(inverse));
    }
  }
}

// The twiddles' cos and sin are not the library's calls but must round to
// the same floats: checked on every angle any radix-8 pass uses (j below
// length / 8 for every length 8 .. 32768).
TEST(FftRoutine, TwiddleCosSinEqualsTheLibrarysOnEveryAngleUsed) {
  for (int e = 3; e <= 15; ++e) {
    const int length = 1 << e;
    const int span = length / 8;
    const float scale = fft_reference::TwoPi() / static_cast<float>(length);
    // Exactly span values asked for: writes nothing past them (1 and 2 are
    // not whole fours).
    std::vector<float> c(static_cast<size_t>(span));
    std::vector<float> s(static_cast<size_t>(span));
    FftAngleCosSin(0, span, scale, c.data(), s.data());
    for (int j = 0; j < span; ++j) {
      const float angle = static_cast<float>(j) * scale;
      ASSERT_EQ(c[static_cast<size_t>(j)], static_cast<float>(std::cos(static_cast<double>(angle))))
          << "length=" << length << " j=" << j;
      ASSERT_EQ(s[static_cast<size_t>(j)], static_cast<float>(std::sin(static_cast<double>(angle))))
          << "length=" << length << " j=" << j;
    }
  }
}

// Sub-arrays that do not sit as FFT842 lays them out (each in an array of
// its own here) still get the plain passes' results.
TEST(FftRoutine, PassesOnSubArraysElsewhereAgreeWithThePlainPasses) {
  struct Case {
    int radix;
    int span;
    int n;
  };
  for (const Case c : {Case{8, 1, 64}, Case{8, 2, 64}, Case{8, 4, 128}, Case{8, 16, 256}, Case{4, 1, 64},
                       Case{2, 1, 64}}) {
    const int ways = c.radix;
    const size_t size = static_cast<size_t>(c.n) + 8;
    std::vector<Signal> got;
    for (int t = 0; t < ways; ++t) {
      got.push_back(RandomSignal(static_cast<int>(size), 40U + static_cast<uint32_t>(t)));
    }
    std::vector<Signal> want = got;
    auto pointers = [&](std::vector<Signal>& subs, bool real) {
      std::vector<float*> p;
      for (Signal& sub : subs) {
        p.push_back(real ? sub.re.data() : sub.im.data());
      }
      return p;
    };
    const std::vector<float*> gr = pointers(got, true);
    const std::vector<float*> gi = pointers(got, false);
    const std::vector<float*> wr = pointers(want, true);
    const std::vector<float*> wi = pointers(want, false);
    if (c.radix == 8) {
      Radix8Pass(c.span, c.n, 8 * c.span, gr[0], gr[1], gr[2], gr[3], gr[4], gr[5], gr[6], gr[7], gi[0], gi[1],
                 gi[2], gi[3], gi[4], gi[5], gi[6], gi[7]);
      fft_reference::ReferenceRadix8Pass(c.span, c.n, 8 * c.span, wr[0], wr[1], wr[2], wr[3], wr[4], wr[5], wr[6],
                                         wr[7], wi[0], wi[1], wi[2], wi[3], wi[4], wi[5], wi[6], wi[7]);
    } else if (c.radix == 4) {
      Radix4Pass(c.n, gr[0], gr[1], gr[2], gr[3], gi[0], gi[1], gi[2], gi[3]);
      fft_reference::ReferenceRadix4Pass(c.n, wr[0], wr[1], wr[2], wr[3], wi[0], wi[1], wi[2], wi[3]);
    } else {
      Radix2Pass(c.n, gr[0], gr[1], gi[0], gi[1]);
      fft_reference::ReferenceRadix2Pass(c.n, wr[0], wr[1], wi[0], wi[1]);
    }
    for (int t = 0; t < ways; ++t) {
      ExpectSameWithinRounding(got[static_cast<size_t>(t)], want[static_cast<size_t>(t)],
                               "radix " + std::to_string(c.radix) + " span " + std::to_string(c.span) +
                                   " sub-array " + std::to_string(t));
    }
  }
}

}  // namespace
