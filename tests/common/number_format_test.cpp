#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "common/NumberFormat.h"

namespace quelvar {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The comments give the 18 significant digits the rounding starts from where
// they decide the result.

struct FixedCase {
  double value;
  int precision;
  int decimals;
  const char* expected;
};

TEST(NumberFormat, FixedTable) {
  const FixedCase cases[] = {
      // Half-way cases round away from zero.
      {0.125, 15, 2, "0.13"},
      {-0.125, 15, 2, "-0.13"},
      {0.5, 15, 0, "1"},
      {1.5, 15, 0, "2"},
      {2.5, 15, 0, "3"},
      {-2.5, 15, 0, "-3"},
      {0.005, 15, 2, "0.01"},  // 5.00000000000000010e-3: only the carry survives
      // Binary values just below the half-way point round down.
      {2.675, 15, 2, "2.67"},   // 2.67499999999999982
      {1.005, 15, 2, "1.00"},   // 1.00499999999999989
      {0.045, 15, 2, "0.04"},   // 4.49999999999999983e-2
      {9.995, 15, 2, "9.99"},   // 9.99499999999999922
      {0.0045, 15, 2, "0.00"},  // 4.49999999999999966e-3
      // Carries into a new digit.
      {99.995, 15, 2, "100.00"},        // 9.99950000000000045e1
      {0.9999995, 7, 6, "1.000000"},    // 9.99999500000000041e-1
      {999999.95, 7, 1, "999999.9"},    // 9.99999949999999953e5
      {-1234.5, 4, 1, "-1235.0"},
      // Precision limits the digits before decimals do.
      {1234567.891, 7, 2, "1234568.00"},
      {123.456789, 7, 3, "123.457"},
      {123.456, 15, 18, "123.456000000000000000"},
      {123.456, 15, 40, "123.456000000000000000"},  // decimals clamp to 18
      {9999999.4, 7, 2, "9999999.00"},
      // Too many digits before the point: general scientific form.
      {12345678.9, 7, 2, "1.234568E07"},
      {9999999.6, 7, 2, "1E07"},  // the carry makes the eighth digit
      {1e22, 15, 2, "1E22"},
      {1e22, 18, 9, "1E0022"},  // at most 4 exponent digits
      {123.456, 1, 0, "1.2E2"},  // precision clamps to 2
      {1.7976931348623157e308, 15, 2, "1.79769313486232E308"},
      // Zero and values rounding to zero carry no sign.
      {0.0, 15, 0, "0"},
      {-0.0, 15, 2, "0.00"},
      {-0.001, 15, 2, "0.00"},
      {0.0001234, 7, 2, "0.00"},
      {5e-324, 18, 18, "0.000000000000000000"},
      {0.000001, 15, 6, "0.000001"},  // 9.99999999999999955e-7
      {42.0, 15, 0, "42"},
      {kNan, 15, 2, "NAN"},
      {kInf, 15, 2, "INF"},
      {-kInf, 15, 2, "-INF"},
  };
  for (const FixedCase& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.precision, c.decimals), c.expected)
        << "value " << c.value << " precision " << c.precision << " decimals " << c.decimals;
  }
}

struct GeneralCase {
  double value;
  int precision;
  int exponentDigits;
  const char* expected;
};

TEST(NumberFormat, GeneralTable) {
  const GeneralCase cases[] = {
      {12.5, 7, 0, "12.5"},
      {0.1 + 0.2, 7, 0, "0.3"},
      {0.1 + 0.2, 17, 0, "0.30000000000000004"},
      {0.125, 2, 0, "0.13"},
      {2.675, 3, 0, "2.67"},
      {0.00012345, 4, 0, "0.0001234"},  // 1.23449999999999992e-4
      {0.00012345, 7, 0, "0.00012345"},
      {-1234.5678, 6, 0, "-1234.57"},
      {1.5, 1, 0, "1.5"},  // precision clamps to 2
      {100.0, 7, 3, "100"},
      // Fixed down to 0.00001, judged on the rounded value.
      {1e-5, 7, 0, "0.00001"},
      {0.0000099999999, 7, 0, "0.00001"},
      {9.9e-6, 7, 0, "9.9E-6"},
      {0.000001, 7, 3, "1E-006"},
      {1.5e-7, 7, 4, "1.5E-0007"},
      {-1.5e-7, 7, 0, "-1.5E-7"},
      {5e-324, 15, 0, "4.94065645841247E-324"},
      // Fixed up to `precision` digits before the point.
      {1234567.0, 7, 0, "1234567"},
      {12345678.0, 7, 0, "1.234568E7"},
      {9999999.6, 7, 0, "1E7"},
      {999999999999999.0, 15, 0, "999999999999999"},
      {1e15, 15, 0, "1E15"},
      {123456789012345678.0, 18, 0, "123456789012345680"},
      {1e20, 15, 0, "1E20"},
      {1e20, 15, 3, "1E020"},
      {1e100, 15, 2, "1E100"},
      {-1e100, 15, 9, "-1E0100"},
      {0.0, 7, 0, "0"},
      {-0.0, 7, 0, "0"},
      {kNan, 7, 0, "NAN"},
      {kInf, 7, 0, "INF"},
      {-kInf, 7, 0, "-INF"},
  };
  for (const GeneralCase& c : cases) {
    EXPECT_EQ(FormatGeneral(c.value, c.precision, c.exponentDigits), c.expected)
        << "value " << c.value << " precision " << c.precision;
  }
}

TEST(NumberFormat, ScientificTable) {
  const GeneralCase cases[] = {
      {123.456, 5, 1, "1.2346E+2"},
      {123.0, 3, 0, "1.23E+2"},
      {-0.00123, 3, 2, "-1.23E-03"},
      {9.999, 3, 1, "1.00E+1"},  // carry into the exponent
      {0.125, 2, 0, "1.3E-1"},
      {-9.5e-10, 2, 0, "-9.5E-10"},
      {1e-300, 4, 2, "1.000E-300"},
      {1.0, 18, 4, "1.00000000000000000E+0000"},
      {2.5, 1, 0, "2.5E+0"},          // precision clamps to 2
      {12345.0, 3, 9, "1.23E+0004"},  // exponent digits clamp to 4
      {0.0, 5, 1, "0.0000E+0"},
      {-0.0, 3, 0, "0.00E+0"},
      {kNan, 5, 1, "NAN"},
      {kInf, 5, 1, "INF"},
      {-kInf, 5, 1, "-INF"},
  };
  for (const GeneralCase& c : cases) {
    EXPECT_EQ(FormatScientific(c.value, c.precision, c.exponentDigits), c.expected)
        << "value " << c.value << " precision " << c.precision;
  }
}

// Against the C library's own rounding. The two may only differ where the 18
// digits end in exactly "500" after the 15th: there the exact binary value
// can lie below the half-way point while the 18 digits say "round up".
TEST(NumberFormat, GeneralMatchesLibraryRoundingOnRandomValues) {
  std::mt19937_64 random(20240229);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> power(-40, 40);
  int compared = 0;
  for (int i = 0; i < 20000; ++i) {
    double x;
    if (i % 2 == 0) {
      x = mantissa(random) * std::pow(10.0, power(random));
    } else {
      const uint64_t bits = random();
      std::memcpy(&x, &bits, sizeof x);
      if (!std::isfinite(x)) continue;
    }
    if (i % 3 == 0) x = -x;

    char digits18[40];
    std::snprintf(digits18, sizeof digits18, "%.17e", x);
    const char* fraction = std::strchr(digits18, '.') + 1;
    if (std::strncmp(fraction + 14, "500", 3) == 0) continue;

    char reference[40];
    std::snprintf(reference, sizeof reference, "%.14e", x);
    const std::string text = FormatGeneral(x, 15);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(reference, nullptr))
        << "x " << digits18 << " text " << text;
    ++compared;
  }
  EXPECT_GT(compared, 19000);
}

TEST(NumberFormat, TruncationTowardZeroSaturates) {
  struct Case {
    double value;
    int32_t expected;
  };
  const Case cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {0.5, 0},
      {-0.5, 0},
      {2147483647.9, 2147483647},
      {2147483648.0, INT32_MAX},
      {1e300, INT32_MAX},
      {kInf, INT32_MAX},
      {-2147483648.9, INT32_MIN},
      {-2147483649.0, INT32_MIN},
      {-1e300, INT32_MIN},
      {-kInf, INT32_MIN},
      {kNan, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(TruncToInt32(c.value), c.expected) << c.value;
}

TEST(NumberFormat, Truncation64TowardZeroSaturates) {
  struct Case {
    double value;
    int64_t expected;
  };
  const Case cases[] = {
      {-3.99, -3},
      {4503599627370495.5, 4503599627370495},
      {9.2e18, 9200000000000000000},
      {9223372036854775808.0, INT64_MAX},
      {1e19, INT64_MAX},
      {kInf, INT64_MAX},
      {-9223372036854775808.0, INT64_MIN},
      {-1e19, INT64_MIN},
      {-kInf, INT64_MIN},
      {kNan, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(TruncToInt64(c.value), c.expected) << c.value;
}

TEST(NumberFormat, RoundingHalfAwayFromZeroSaturates) {
  struct Case {
    double value;
    int32_t expected;
  };
  const Case cases[] = {
      {2.5, 3},
      {-2.5, -3},
      {-0.5, -1},
      {0.49999999999999994, 0},
      {1.4999, 1},
      {-1.5001, -2},
      {2147483647.4, 2147483647},
      {2147483647.5, INT32_MAX},
      {-2147483648.4, INT32_MIN},
      {-2147483648.5, INT32_MIN},
      {kInf, INT32_MAX},
      {kNan, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundToInt32(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace quelvar
