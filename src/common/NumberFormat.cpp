#include "common/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace quelvar {

namespace {

constexpr int kMaxDigits = 18;

// A finite value as significant decimal digits: value = d0.d1d2... * 10^exponent.
// Trailing zeros are never kept, so count == 0 means the value is zero.
struct Decimal {
  bool negative = false;
  int count = 0;
  int exponent = 0;
  char digits[kMaxDigits] = {};

  bool IsZero() const { return count == 0; }
  // Digit standing for 10^power, '0' outside the stored digits.
  char DigitAt(int power) const {
    const int index = exponent - power;
    return index >= 0 && index < count ? digits[index] : '0';
  }
};

void DropTrailingZeros(Decimal& d) {
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
  if (d.count == 0) d.exponent = 0;
}

Decimal ToDecimal(double value) {
  // 17 decimals in scientific form: exactly 18 correctly rounded significant
  // digits, as "%.17e" would give, only faster.
  char text[40];
  const char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 17).ptr;
  Decimal d;
  const char* p = text;
  if (*p == '-') {
    d.negative = true;
    ++p;
  }
  for (; *p != 'e'; ++p) {
    if (*p != '.') d.digits[d.count++] = *p;
  }
  ++p;  // 'e'
  const bool negativeExponent = *p == '-';
  ++p;
  int exponent = 0;
  for (; p != end; ++p) exponent = exponent * 10 + (*p - '0');
  d.exponent = negativeExponent ? -exponent : exponent;
  DropTrailingZeros(d);
  return d;
}

// Keeps `keep` significant digits, half away from zero on the decimal digits.
// keep may be 0 (only a carry into a new leading digit can survive) or negative.
void RoundTo(Decimal& d, int keep) {
  if (d.IsZero() || keep >= d.count) return;
  if (keep < 0) {
    d.count = 0;
    d.exponent = 0;
    return;
  }
  const bool up = d.digits[keep] >= '5';
  d.count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
      ++d.digits[i];
    } else {
      d.digits[0] = '1';
      d.count = 1;
      ++d.exponent;
    }
  }
  DropTrailingZeros(d);
}

bool NonFiniteText(double value, std::string& out) {
  if (std::isnan(value)) {
    out = "NAN";
  } else if (std::isinf(value)) {
    out = value < 0 ? "-INF" : "INF";
  } else {
    return false;
  }
  return true;
}

void AppendExponentDigits(std::string& out, int exponent, int minDigits) {
  char text[8];
  char* end = std::to_chars(text, text + sizeof text, exponent < 0 ? -exponent : exponent).ptr;
  for (auto length = end - text; length < minDigits; ++length) out += '0';
  out.append(text, static_cast<size_t>(end - text));
}

// "d.dddE-x": trailing zeros already dropped, no '+' for a positive exponent.
void AppendGeneralScientific(std::string& out, const Decimal& d, int exponentDigits) {
  out += d.digits[0];
  if (d.count > 1) {
    out += '.';
    out.append(d.digits + 1, static_cast<size_t>(d.count - 1));
  }
  out += 'E';
  if (d.exponent < 0) out += '-';
  AppendExponentDigits(out, d.exponent, exponentDigits);
}

// Positional digits: at least one digit before the point, `decimals` after it.
void AppendPositional(std::string& out, const Decimal& d, int decimals) {
  for (int power = std::max(d.exponent, 0); power >= 0; --power) out += d.DigitAt(power);
  if (decimals > 0) {
    out += '.';
    for (int power = -1; power >= -decimals; --power) out += d.DigitAt(power);
  }
}

}  // namespace

std::string FormatFixed(double value, int precision, int decimals) {
  std::string out;
  if (NonFiniteText(value, out)) return out;
  precision = std::clamp(precision, 2, kMaxDigits);
  decimals = std::clamp(decimals, 0, kMaxDigits);

  Decimal d = ToDecimal(value);
  RoundTo(d, std::min(precision, d.exponent + 1 + decimals));
  if (d.IsZero()) d.negative = false;
  if (d.negative) out += '-';
  // Checked after rounding: a carry can add the digit that no longer fits.
  // The rounding above kept `precision` digits in that case, as the
  // scientific text needs.
  if (d.exponent + 1 > precision) {
    AppendGeneralScientific(out, d, std::min(decimals, 4));
  } else {
    AppendPositional(out, d, decimals);
  }
  return out;
}

std::string FormatGeneral(double value, int precision, int exponentDigits) {
  std::string out;
  if (NonFiniteText(value, out)) return out;
  precision = std::clamp(precision, 2, kMaxDigits);
  exponentDigits = std::clamp(exponentDigits, 0, 4);

  Decimal d = ToDecimal(value);
  RoundTo(d, precision);
  if (d.IsZero()) return "0";
  if (d.negative) out += '-';
  // The limits apply to the rounded value: 9.9999999e-6 at 7 digits is 0.00001.
  if (d.exponent + 1 <= precision && d.exponent >= -5) {
    AppendPositional(out, d, std::max(d.count - 1 - d.exponent, 0));
  } else {
    AppendGeneralScientific(out, d, exponentDigits);
  }
  return out;
}

std::string FormatScientific(double value, int precision, int exponentDigits) {
  std::string out;
  if (NonFiniteText(value, out)) return out;
  precision = std::clamp(precision, 2, kMaxDigits);
  exponentDigits = std::clamp(exponentDigits, 0, 4);

  Decimal d = ToDecimal(value);
  RoundTo(d, precision);
  if (d.IsZero()) d.negative = false;
  if (d.negative) out += '-';
  out += d.DigitAt(d.exponent);
  out += '.';
  for (int power = d.exponent - 1; power > d.exponent - precision; --power) out += d.DigitAt(power);
  out += 'E';
  out += d.exponent < 0 ? '-' : '+';
  AppendExponentDigits(out, d.exponent, exponentDigits);
  return out;
}

int32_t TruncToInt32(double value) {
  if (std::isnan(value)) return 0;
  // Both limits are exact doubles; everything strictly between them truncates
  // into range.
  if (value >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483649.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

int64_t TruncToInt64(double value) {
  if (std::isnan(value)) return 0;
  // 2^63 is exact; -2^63 itself converts, anything below it saturates.
  if (value >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (value < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}

int32_t RoundToInt32(double value) {
  // std::round is half away from zero and exact, so only the range remains.
  return TruncToInt32(std::round(value));
}

}  // namespace quelvar
