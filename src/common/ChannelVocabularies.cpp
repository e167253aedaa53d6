#include "common/ChannelVocabularies.h"

#include <array>
#include <cstddef>
#include <span>

namespace quelvar {

namespace {

constexpr int kNone = -1;

constexpr std::array<std::string_view, 14> kChannelTypes = {
    "交流", "直流", "计数", "原始量", "K型热偶", "补偿K型", "J型热偶",
    "补偿J型", "Pt热电阻", "周期", "扭矩1", "扭矩2", "扭矩3", "扭矩功率"};
// The code each channel type moves on to; J types and the period are not in the cycle.
constexpr std::array<int, 14> kNextChannelType = {1, 2, 3, 4, 5, 8, kNone, kNone, 10, kNone, 11, 12, 13, 0};

constexpr std::array<std::string_view, 6> kAnalogCompress = {"中点值", "有效值", "平均值",
                                                             "最大值", "最小值", "外轮廓"};
constexpr std::array<std::string_view, 6> kSwitchStartFlags = {"不启动", "高电平", "低电平",
                                                               "上升沿", "下降沿", "变位"};
constexpr std::array<std::string_view, 6> kSwitchCompress = {"中点值", "低电平", "高电平",
                                                             "上升沿", "下降沿", "外轮廓"};

std::string TextOf(std::span<const std::string_view> texts, int32_t code, int32_t fallback) {
  if (code < 0 || static_cast<std::size_t>(code) >= texts.size()) code = fallback;
  return std::string(texts[static_cast<std::size_t>(code)]);
}

// Index of `text` among texts[first..], or kNone.
int Find(std::span<const std::string_view> texts, std::string_view text, std::size_t first = 0) {
  for (std::size_t i = first; i < texts.size(); ++i) {
    if (texts[i] == text) return static_cast<int>(i);
  }
  return kNone;
}

int32_t CodeOf(std::span<const std::string_view> texts, std::string_view text) {
  const int code = Find(texts, text);
  return code == kNone ? 0 : code;
}

// The switch cycles never compare the text of code 0: it falls into the
// unknown case, which gives the text of code 1 -- its true successor anyway.
std::string NextInSwitchCycle(std::span<const std::string_view> texts, std::string_view text) {
  const int code = Find(texts, text, 1);
  if (code == kNone) return std::string(texts[1]);
  return std::string(texts[(static_cast<std::size_t>(code) + 1) % texts.size()]);
}

}  // namespace

std::string ChannelTypeText(int32_t code) { return TextOf(kChannelTypes, code, 1); }

int32_t ChannelTypeCode(std::string_view text) { return CodeOf(kChannelTypes, text); }

std::string NextChannelTypeText(std::string_view text) {
  const int code = Find(kChannelTypes, text);
  if (code == kNone) return {};
  const int next = kNextChannelType[static_cast<std::size_t>(code)];
  if (next == kNone) return {};
  return std::string(kChannelTypes[static_cast<std::size_t>(next)]);
}

std::string AnalogCompressText(int32_t code) { return TextOf(kAnalogCompress, code, 0); }

int32_t AnalogCompressCode(std::string_view text) { return CodeOf(kAnalogCompress, text); }

std::string NextAnalogCompressText(std::string_view text) {
  const int code = Find(kAnalogCompress, text);
  if (code == kNone) return {};
  return std::string(kAnalogCompress[(static_cast<std::size_t>(code) + 1) % kAnalogCompress.size()]);
}

std::string SwitchStartFlagText(int32_t code) { return TextOf(kSwitchStartFlags, code, 0); }

int32_t SwitchStartFlagCode(std::string_view text) { return CodeOf(kSwitchStartFlags, text); }

std::string NextSwitchStartFlagText(std::string_view text) { return NextInSwitchCycle(kSwitchStartFlags, text); }

std::string SwitchCompressText(int32_t code) { return TextOf(kSwitchCompress, code, 5); }

int32_t SwitchCompressCode(std::string_view text) { return CodeOf(kSwitchCompress, text); }

std::string NextSwitchCompressText(std::string_view text) { return NextInSwitchCycle(kSwitchCompress, text); }

}  // namespace quelvar
