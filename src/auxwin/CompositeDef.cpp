#include "auxwin/CompositeDef.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/GbkText.h"

namespace quelvar {

namespace {

constexpr std::array<const char*, 4> kKindTexts = {"最新值", "块内平均值", "块内最大值", "块内最小值"};
constexpr std::array<const char*, 5> kAlarmTexts = {"不报警", "小于值1", "大于值1", "在值1与值2之间",
                                                    "在值1与值2之外"};

template <size_t N>
std::string TextOf(const std::array<const char*, N>& table, int32_t code) {
  return code >= 0 && static_cast<size_t>(code) < N ? table[static_cast<size_t>(code)] : table[0];
}

template <size_t N>
int32_t CodeOf(const std::array<const char*, N>& table, const std::string& text) {
  for (size_t i = 0; i < N; ++i) {
    if (text == table[i]) return static_cast<int32_t>(i);
  }
  return 0;
}

template <size_t N>
std::string NextOf(const std::array<const char*, N>& table, const std::string& text) {
  for (size_t i = 0; i < N; ++i) {
    if (text == table[i]) return table[(i + 1) % N];
  }
  return table[0];
}

}  // namespace

CompositeItem BlankCompositeItem() {
  CompositeItem item;
  std::memset(&item, 0, sizeof item);
  return item;
}

std::string CompositeItemName(const CompositeItem& item) {
  return platform::ReadGbkField(item.Name, sizeof item.Name);
}

void SetCompositeItemName(CompositeItem& item, const std::string& utf8) {
  platform::WriteGbkField(utf8, item.Name, sizeof item.Name);
}

void DefaultCompositeDef(CompositeDef& def, const LiveConfig& config) {
  def.Count = 4;
  def.Columns = 2;
  def.FontSize = 30;
  def.Chars = 7;
  def.Items.assign(4, BlankCompositeItem());
  for (int32_t i = 0; i < 4; ++i) {
    CompositeItem& item = def.Items[static_cast<size_t>(i)];
    item.Channel = i;
    item.Decimals = 2;
    item.Kind = kCompositeLatest;
    item.Alarm = i % 3 + 1;
    const AnalogChannel& channel = config.AnalogChannelTable[static_cast<size_t>(i)];
    SetCompositeItemName(item, channel.ChnName + channel.ChnUnits);
    item.Value1 = 0.05;
    item.Value2 = 0.4;
  }
}

void SanitizeCompositeItem(CompositeItem& item) {
  if (item.Kind < kCompositeLatest || item.Kind > kCompositeMinimum) item.Kind = kCompositeLatest;
  if (item.Alarm < kCompositeNoAlarm || item.Alarm > kCompositeOutside) item.Alarm = kCompositeNoAlarm;
  if (item.Decimals < 0 || item.Decimals > kCompositeMaxDecimals) item.Decimals = 0;
  item.Name[sizeof item.Name - 1] = '\0';
}

int32_t CompositeChannel(int32_t channel, const LiveConfig& config) {
  const int32_t analog = std::clamp(config.Analog_Num, 0, kMaxAnalogChannels);
  const int32_t switches = std::clamp(config.SW_Num, 0, kMaxSwitchInputs);
  if (analog + switches == 0) return -1;
  return std::clamp(channel, 0, analog + switches - 1);
}

std::string CompositeKindText(int32_t code) { return TextOf(kKindTexts, code); }
int32_t CompositeKindCode(const std::string& text) { return CodeOf(kKindTexts, text); }
std::string NextCompositeKindText(const std::string& text) { return NextOf(kKindTexts, text); }
std::string CompositeAlarmText(int32_t code) { return TextOf(kAlarmTexts, code); }
int32_t CompositeAlarmCode(const std::string& text) { return CodeOf(kAlarmTexts, text); }
std::string NextCompositeAlarmText(const std::string& text) { return NextOf(kAlarmTexts, text); }

}  // namespace quelvar
