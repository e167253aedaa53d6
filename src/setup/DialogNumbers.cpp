#include "setup/DialogNumbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>


namespace quelvar {

namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<int32_t> ParseDialogInteger(std::string_view text) {
  text = Trimmed(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + (ch - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<uint32_t> ParseDialogHex(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char ch : text) {
    const int digit = HexDigit(ch);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

std::optional<double> ParseDialogReal(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  // from_chars alone would take "inf" and "nan".
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    const bool sign = (ch == '-' || ch == '+') && (i == 0 || text[i - 1] == 'e' || text[i - 1] == 'E');
    if (!(ch >= '0' && ch <= '9') && ch != '.' && ch != 'e' && ch != 'E' && !sign) return std::nullopt;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string NotAnIntegerMessage(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

std::string FieldNotAnIntegerMessage(std::string_view field, std::string_view text) {
  return std::string(field) + ": " + NotAnIntegerMessage(text);
}

std::string FieldNotANumberMessage(std::string_view field, std::string_view text) {
  return std::string(field) + ": '" + std::string(text) + "' is not a valid floating point value";
}

}  // namespace quelvar
