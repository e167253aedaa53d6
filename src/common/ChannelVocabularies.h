#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quelvar {

// The code sets of channel settings, as the set-up tables show and store them:
// code to text, text to code, and the text a click on the cell moves on to.
// Texts compare byte for byte (no trimming, no case folding); a text that is
// not in a set gives code 0.

// Analog channel type, codes 0..13. Out-of-range codes show as "直流". The
// cycle skips the J types and the period type, which have no next text.
std::string ChannelTypeText(int32_t code);
int32_t ChannelTypeCode(std::string_view text);
std::string NextChannelTypeText(std::string_view text);  // empty when unknown

// Analog compression, codes 0..5; out-of-range codes show as "中点值".
std::string AnalogCompressText(int32_t code);
int32_t AnalogCompressCode(std::string_view text);
std::string NextAnalogCompressText(std::string_view text);  // empty when unknown

// Switch start condition, codes 0..5; out-of-range codes show as "不启动".
std::string SwitchStartFlagText(int32_t code);
int32_t SwitchStartFlagCode(std::string_view text);
std::string NextSwitchStartFlagText(std::string_view text);  // "高电平" when unknown

// Switch compression, codes 0..5; out-of-range codes show as "外轮廓".
std::string SwitchCompressText(int32_t code);
int32_t SwitchCompressCode(std::string_view text);
std::string NextSwitchCompressText(std::string_view text);  // "低电平" when unknown

}  // namespace quelvar
