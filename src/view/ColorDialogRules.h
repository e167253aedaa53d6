#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/LiveConfig.h"
#include "platform/UiHost.h"

namespace quelvar {

// What the colour-and-font dialog shows and how it reads what is typed.

// A colour text that cannot be read stores this (green), so a bad entry is
// visible in the slot's labels instead of being lost silently.
inline constexpr uint32_t kBadColorTextValue = 0x8000;

inline constexpr int kColorGridColumns = 4;
inline constexpr int kColorGridColumnBlack = 2;
inline constexpr int kColorGridColumnWhite = 3;
inline constexpr std::array<const char*, kColorGridColumns> kColorGridHeadings = {
    "颜色序号", "用途", "黑底颜色值(Hex)", "白底颜色值(Hex)"};

// A colour as the grid shows it: eight hexadecimal digits, upper case.
std::string ColorHexText(uint32_t color);
// A colour typed into the grid: the text is read as hexadecimal digits (as
// if "0x" stood before it); anything else, or more than 32 bits, gives
// kBadColorTextValue.
uint32_t ParseColorText(const std::string& text);
// The slot count typed into its edit: a decimal integer, clamped to
// 16..72; text that is not one gives the count in force (clamped too).
int32_t ParseColorNumText(const std::string& text, int32_t colorNumInForce);

// Column 1 of a slot's grid row.
std::string SlotUseText(int slot);
// The detail line: "颜色号" + slot, and the channels drawn in that slot
// under the palette in force.
std::string SlotNumberText(int slot);
std::string SlotChannelsText(const LiveConfig& config, int slot);
// How many slots give every analog channel a colour of its own.
std::string ColorNoteText(int32_t analogNum);

// The stored font (name, size, style bits) as the font chooser takes it,
// and the chooser's answer back into the stored form.
platform::FontChoice FontChoiceOf(const std::string& name, int32_t size, uint8_t style);
void TakeFontChoice(const platform::FontChoice& choice, std::string& name, int32_t& size, uint8_t& style);

}  // namespace quelvar
