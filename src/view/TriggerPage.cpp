#include "view/TriggerPage.h"

#include <algorithm>
#include <array>

namespace quelvar {

namespace {

// RecordState.TriggerKind; 0 is a manual record.
inline constexpr int32_t kSwitchTrigger = 1;
inline constexpr int32_t kAlgorithmTrigger = 2;

// Channel keys of one trigger: analog channels first, then switch inputs.
struct TriggerKeys {
  std::array<int32_t, kAlgorithmChannels + 2 * kAlgorithmAssociated> keys{};
  int32_t count = 0;
  int32_t switches = 0;

  void AddAnalog(int32_t channel, int32_t analog) {
    if (channel >= 0 && channel < analog) keys[count++] = channel;
  }
  void AddSwitch(int32_t input, int32_t analog, int32_t switchNum) {
    if (input < 0 || input >= switchNum) return;
    keys[count++] = analog + input;
    ++switches;
  }
};

TriggerKeys KeysOf(const LiveConfig& live, const RecordState& record, int32_t analog, int32_t switchNum) {
  TriggerKeys list;
  if (record.TriggerKind == kSwitchTrigger) {
    list.AddSwitch(record.TriggerChannel, analog, switchNum);
    return list;
  }
  const int32_t algorithms = std::clamp(live.Algorithm_Num, 0, kMaxAlgorithms);
  if (record.TriggerAlgorithm < 0 || record.TriggerAlgorithm >= algorithms) return list;
  const AlgorithmConfig& a = live.AlgorithmTable[record.TriggerAlgorithm];
  for (int32_t i = 0; i < std::clamp(a.UsedChn, 0, kAlgorithmChannels); ++i) list.AddAnalog(a.Channel[i], analog);
  for (int32_t i = 0; i < std::clamp(a.AssAnalogChnNum, 0, kAlgorithmAssociated); ++i)
    list.AddAnalog(a.AssAnalogChn[i], analog);
  for (int32_t i = 0; i < std::clamp(a.AssSWChnNum, 0, kAlgorithmAssociated); ++i)
    list.AddSwitch(a.AssSWChn[i], analog, switchNum);
  return list;
}

}  // namespace

void BuildTriggerPage(PageTables& pages, const LiveConfig& live, const RecordState& record) {
  if (record.TriggerKind != kSwitchTrigger && record.TriggerKind != kAlgorithmTrigger) return;
  const int32_t analog = std::clamp(live.Analog_Num, 0, kMaxAnalogChannels);
  const int32_t switchNum = std::clamp(live.SW_Num, 0, kMaxSwitchInputs);
  const int64_t page = static_cast<int64_t>(live.TotalPages) + 1;
  const int64_t first = 2 * static_cast<int64_t>(analog + switchNum);
  if (page < 1 || page >= static_cast<int64_t>(pages.PageChannels.size()) ||
      page >= static_cast<int64_t>(pages.PageSwitches.size()))
    return;
  const int64_t room = static_cast<int64_t>(pages.Entries.size()) - first;
  if (room < 0) return;

  const TriggerKeys list = KeysOf(live, record, analog, switchNum);
  // A list longer than the channels of the configuration is cut at its end,
  // where the switch inputs are.
  const int64_t limit = std::min<int64_t>(analog + switchNum, room);
  int32_t count = list.count;
  int32_t switches = list.switches;
  if (count > limit) {
    switches = static_cast<int32_t>(std::max<int64_t>(switches - (count - limit), 0));
    count = static_cast<int32_t>(limit);
  }
  pages.PageChannels[page] = count;
  pages.PageSwitches[page] = switches;
  std::copy_n(list.keys.begin(), count, pages.Entries.begin() + first);
}

}  // namespace quelvar
