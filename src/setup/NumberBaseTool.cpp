#include "setup/NumberBaseTool.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "common/NumberFormat.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

// Significant digits of the general notation the program shows values in.
constexpr int kGeneralDigits = 15;

std::string Hex(uint64_t value, int minDigits) {
  char text[24];
  std::snprintf(text, sizeof text, "%0*llX", minDigits, static_cast<unsigned long long>(value));
  return text;
}

int32_t DataAsInteger(const NumberBaseFields& f) { return ParseDialogInteger(f.data).value_or(0); }
double DataAsReal(const NumberBaseFields& f) { return ParseDialogReal(f.data).value_or(0.0); }

// A value beyond a single's range becomes an infinity, as the processor
// would round it, without an undefined conversion.
float AsSingle(double value) {
  if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
  if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

uint8_t ByteOf(const NumberBaseFields& f, int i) { return static_cast<uint8_t>(ParseDialogHex(f.bytes[i]).value_or(0) & 0xFFu); }

uint64_t BytesValue(const NumberBaseFields& f, int count) {
  uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | ByteOf(f, i);
  return value;
}

void SetBytes(NumberBaseFields& f, uint64_t value, int count) {
  for (int i = 0; i < count; ++i) f.bytes[i] = Hex((value >> (8 * i)) & 0xFFu, 2);
}

}  // namespace

void ApplyNumberBaseButton(NumberBaseButton button, NumberBaseFields& f) {
  switch (button) {
    case NumberBaseButton::ByteTo:
      // The whole integer, so a value beyond a byte shows as such (300 -> 12C).
      f.bytes[0] = Hex(static_cast<uint32_t>(DataAsInteger(f)), 2);
      break;
    case NumberBaseButton::ByteFrom: f.data = std::to_string(ByteOf(f, 0)); break;
    case NumberBaseButton::ShortTo: SetBytes(f, static_cast<uint32_t>(DataAsInteger(f)), 2); break;
    case NumberBaseButton::ShortFrom: f.data = std::to_string(static_cast<int16_t>(BytesValue(f, 2))); break;
    case NumberBaseButton::LongTo: SetBytes(f, static_cast<uint32_t>(DataAsInteger(f)), 4); break;
    case NumberBaseButton::LongFrom: f.data = std::to_string(static_cast<int32_t>(BytesValue(f, 4))); break;
    case NumberBaseButton::FloatTo:
      SetBytes(f, std::bit_cast<uint32_t>(AsSingle(DataAsReal(f))), 4);
      break;
    case NumberBaseButton::FloatFrom:
      f.data = FormatGeneral(std::bit_cast<float>(static_cast<uint32_t>(BytesValue(f, 4))), kGeneralDigits);
      break;
    case NumberBaseButton::DoubleTo: SetBytes(f, std::bit_cast<uint64_t>(DataAsReal(f)), 8); break;
    case NumberBaseButton::DoubleFrom:
      f.data = FormatGeneral(std::bit_cast<double>(BytesValue(f, 8)), kGeneralDigits);
      break;
  }
}

}  // namespace quelvar
