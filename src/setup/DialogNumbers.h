#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quelvar {

// Numbers as the set-up dialogs read them from edits and grid cells, and the
// messages that refuse a field holding something else.

// A whole number: blanks around it, an optional sign, decimal digits, within
// 32 bits. Nothing for any other text.
std::optional<int32_t> ParseDialogInteger(std::string_view text);
// Hexadecimal digits without a prefix (blanks around allowed), within 32 bits.
std::optional<uint32_t> ParseDialogHex(std::string_view text);

// A real number: blanks around it, an optional sign, decimal digits with an
// optional point and exponent. Nothing for any other text, "inf", "nan" and
// hexadecimal forms included, nor for a value beyond a double's range. Read
// the same whatever the process's locale.
std::optional<double> ParseDialogReal(std::string_view text);

// Caption of the messages that refuse a text which is not a number.
inline constexpr const char* kNotANumberCaption = "Quelvar";

// "'text' is not a valid integer value": stops OK at a field without a
// default (a number is all such a field can hold).
std::string NotAnIntegerMessage(std::string_view text);
// "<field>: 'text' is not a valid integer value" and the floating point form.
std::string FieldNotAnIntegerMessage(std::string_view field, std::string_view text);
std::string FieldNotANumberMessage(std::string_view field, std::string_view text);

}  // namespace quelvar
