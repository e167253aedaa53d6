#pragma once

#include <array>
#include <string>

namespace quelvar {

// The device-data panel's number-base tool: a decimal value and the eight
// byte fields (hexadecimal, little-endian) it converts to and from.
struct NumberBaseFields {
  std::string data;
  std::array<std::string, 8> bytes;
};

enum class NumberBaseButton {
  ByteTo,
  ByteFrom,
  ShortTo,
  ShortFrom,
  LongTo,
  LongFrom,
  FloatTo,
  FloatFrom,
  DoubleTo,
  DoubleFrom,
};

// One button's conversion. Texts that are not numbers count as 0; a byte
// field's low 8 bits are used; the byte fields a button does not name keep
// their text.
void ApplyNumberBaseButton(NumberBaseButton button, NumberBaseFields& fields);

}  // namespace quelvar
