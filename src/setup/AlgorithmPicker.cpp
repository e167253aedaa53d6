#include "setup/AlgorithmPicker.h"

#include <algorithm>

#include "common/AlgorithmTypeTable.h"
#include "platform/GbkText.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

// Any number names a record of the table, so a note never reads past it.
const AlgorithmConfig& RecordOf(const LiveConfig& config, int32_t n) {
  return config.AlgorithmTable[static_cast<size_t>(std::clamp(n, 0, kMaxAlgorithms - 1))];
}

}  // namespace

std::string AlgorithmPickerEntry(const LiveConfig& config, int32_t k) {
  const AlgorithmConfig& a = RecordOf(config, k);
  const int32_t type = a.Type >= 0 && a.Type < kAlgorithmTypeCount ? a.Type : 0;
  return std::to_string(k) + ": " + platform::ReadGbkField(a.Name, sizeof a.Name) + ",类型:" +
         std::string(AlgorithmTypeTable[static_cast<size_t>(type)].Name);
}

std::string AlgorithmChannelNote(const LiveConfig& config, int32_t n) {
  return "注：算法 " + std::to_string(n) + " 使用 " + std::to_string(RecordOf(config, n).UsedChn) + " 通道";
}

std::string AlgorithmAssociationNote(const LiveConfig& config, int32_t n) {
  const AlgorithmConfig& a = RecordOf(config, n);
  return "关联" + std::to_string(a.AssAnalogChnNum) + "模拟通道," + std::to_string(a.AssSWChnNum) + "开关通道";
}

int32_t PickerEditNumber(const std::string& text) { return ParseDialogInteger(text).value_or(0); }

int32_t PickerLimitedNumber(const std::string& text, int32_t algorithmCount) {
  return std::max(std::min(PickerEditNumber(text), algorithmCount - 1), 0);
}

}  // namespace quelvar
