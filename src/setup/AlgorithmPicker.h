#pragma once

#include <cstdint>
#include <string>

#include "common/LiveConfig.h"

namespace quelvar {

// The trigger-algorithm picker's texts and numbers, over the live table.

// List entry of algorithm k: k, ": ", its name, ",类型:" and its type's name.
std::string AlgorithmPickerEntry(const LiveConfig& config, int32_t k);
// The notes under the list for algorithm n (of the table, configured or not):
// "注：算法 n 使用 c 通道" and "关联a模拟通道,s开关通道".
std::string AlgorithmChannelNote(const LiveConfig& config, int32_t n);
std::string AlgorithmAssociationNote(const LiveConfig& config, int32_t n);

// The number in the picker's edit as an integer (0 when it is none).
int32_t PickerEditNumber(const std::string& text);
// The edit's number limited to the configured algorithms: at most
// Algorithm_Num - 1, then at least 0.
int32_t PickerLimitedNumber(const std::string& text, int32_t algorithmCount);

}  // namespace quelvar
