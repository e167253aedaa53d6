#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quelvar {

// Numbers as the channel set-up dialogs read them from edits and grid cells,
// and the message that refuses a field holding something else.

// A real number: blanks around it, an optional sign, decimal digits with an
// optional point and exponent. Nothing for any other text, "inf", "nan" and
// hexadecimal forms included, nor for a value beyond a double's range. Read
// the same whatever the process's locale.
std::optional<double> ParseDialogReal(std::string_view text);

// Caption of the messages that refuse a text which is not a number.
inline constexpr const char* kNotANumberCaption = "Quelvar";

// "<field>: 'text' is not a valid integer value" and the floating point form.
std::string FieldNotAnIntegerMessage(std::string_view field, std::string_view text);
std::string FieldNotANumberMessage(std::string_view field, std::string_view text);

}  // namespace quelvar
