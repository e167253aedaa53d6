#include "view/ColorDialogRules.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "view/Palette.h"

namespace quelvar {

namespace {

template <typename T>
bool ParseWhole(const std::string& text, int base, T& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  const auto [end, error] = std::from_chars(first, last, value, base);
  return !text.empty() && error == std::errc() && end == last;
}

}  // namespace

std::string ColorHexText(uint32_t color) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(color));
  return text;
}

uint32_t ParseColorText(const std::string& text) {
  uint32_t value = 0;
  return ParseWhole(text, 16, value) ? value : kBadColorTextValue;
}

int32_t ParseColorNumText(const std::string& text, int32_t colorNumInForce) {
  int32_t value = 0;
  return ClampColorNum(ParseWhole(text, 10, value) ? value : colorNumInForce);
}

std::string SlotUseText(int slot) {
  switch (slot) {
    case kSlotScale: return "刻度线颜色";
    case kSlotText: return "文字颜色";
    case kSlotRedMark: return "红标线颜色";
    case kSlotYellowMark: return "黄标线颜色";
    default: return "第" + std::to_string(slot - kSystemColorSlots) + "号曲线";
  }
}

std::string SlotNumberText(int slot) { return "颜色号" + std::to_string(slot); }

std::string SlotChannelsText(const LiveConfig& config, int slot) {
  std::string text = "对应:";
  if (slot < kSystemColorSlots) return text + " (系统)";
  const int analogNum = std::clamp(config.Analog_Num, 0, kMaxAnalogChannels);
  const int switchNum = std::clamp(config.SW_Num, 0, kMaxSwitchInputs);
  // Listed are the channels the renderer draws in this slot: analog key n,
  // switch input s with the key Analog_Num + s. A slot at or beyond the count
  // in force serves no channel.
  for (int n = 0; n < analogNum; ++n) {
    if (ChannelColorSlot(config.ColorNum, n) == slot) {
      text += " " + config.AnalogChannelTable[static_cast<size_t>(n)].ChnName + ",";
    }
  }
  for (int s = 0; s < switchNum; ++s) {
    if (ChannelColorSlot(config.ColorNum, analogNum + s) == slot) {
      text += " " + config.SwitchChannelTable[static_cast<size_t>(s)].SWName + "*";
    }
  }
  return text;
}

std::string ColorNoteText(int32_t analogNum) {
  return "注:每曲线1色需" + std::to_string(static_cast<int64_t>(analogNum) + kSystemColorSlots) + "种方案";
}

platform::FontChoice FontChoiceOf(const std::string& name, int32_t size, uint8_t style) {
  platform::FontChoice font;
  font.name = name;
  font.size = size;
  font.bold = (style & kFontBold) != 0;
  font.italic = (style & kFontItalic) != 0;
  font.underline = (style & kFontUnderline) != 0;
  font.strikeOut = (style & kFontStrikeOut) != 0;
  return font;
}

void TakeFontChoice(const platform::FontChoice& choice, std::string& name, int32_t& size, uint8_t& style) {
  name = choice.name;
  size = choice.size;
  style = static_cast<uint8_t>((choice.bold ? kFontBold : 0) | (choice.italic ? kFontItalic : 0) |
                               (choice.underline ? kFontUnderline : 0) | (choice.strikeOut ? kFontStrikeOut : 0));
}

}  // namespace quelvar
