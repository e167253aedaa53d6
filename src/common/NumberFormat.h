#pragma once

#include <cstdint>
#include <string>

namespace quelvar {

// Number texts. Every value is first taken to its 18 most significant decimal
// digits (correctly rounded) and those digits are then rounded half away from
// zero, so 0.125 -> "0.13" but 2.675 (2.67499999999999982) -> "2.67".
// A value that rounds to zero never shows a minus sign.
// NaN gives "NAN", infinities "INF" and "-INF" in every form.

// Fixed point with exactly `decimals` decimals (0..18), rounded to at most
// `precision` (2..18) significant digits. A value with more than `precision`
// digits before the point is written as FormatGeneral would write it in
// scientific notation, with at least `decimals` (at most 4) exponent digits.
std::string FormatFixed(double value, int precision, int decimals);

// Shortest text with at most `precision` (2..18) significant digits, no
// trailing zeros. Scientific ("1.5E-7", "1E20": no '+' sign, at least
// `exponentDigits` (0..4) exponent digits) when the rounded value has more
// than `precision` digits before the point or is below 0.00001.
std::string FormatGeneral(double value, int precision, int exponentDigits = 0);

// "-d.dddE+x": `precision` (2..18) significant digits, trailing zeros kept,
// signed exponent with at least `exponentDigits` (0..4) digits.
std::string FormatScientific(double value, int precision, int exponentDigits);

// Float to integer conversions truncate toward zero. The original conversion
// raised a crash on NaN or out-of-range values; here those saturate to the
// type's limits and NaN gives 0.
int32_t TruncToInt32(double value);
int64_t TruncToInt64(double value);

// Half away from zero (2.5 -> 3, -2.5 -> -3), saturating like TruncToInt32.
int32_t RoundToInt32(double value);

// A 64-bit count or product narrowed to 32 bits, saturating at the limits.
constexpr int32_t SaturateToInt32(int64_t value) {
  return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

}  // namespace quelvar
