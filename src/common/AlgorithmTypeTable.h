#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quelvar {

struct AlgorithmConfig;

// One of the built-in trigger-algorithm types. Slots beyond the counts are
// empty (texts) or zero (ranges).
struct AlgorithmTypeInfo {
  std::string_view Name;
  int32_t UsedChn;  // analog inputs the type takes, 0..7
  std::array<std::string_view, 8> ChnRole;
  int32_t SetPointNum;  // 0..3
  std::array<std::string_view, 4> SetPointName;
  // (minimum, maximum) per set point; equal values mean no range is stated.
  std::array<std::array<float, 2>, 4> SetPointRange;
  std::array<std::string_view, 4> SetPointUnit;
  int32_t PreRecordTime;  // ms
  int32_t RecordTime;  // ms
  int32_t CompressRecordTime;  // ms
  int32_t TypeNumber;  // index + 1
};

inline constexpr int kAlgorithmTypeCount = 23;

// The 23 types, 0 "空算法" to 22 "负序增量方向"; constant data.
extern const std::array<AlgorithmTypeInfo, kAlgorithmTypeCount> AlgorithmTypeTable;

// The first type whose name equals `name` byte for byte, or -1.
int FindAlgorithmType(std::string_view name);

// Range text of set point `index` of a type: "min~max" with one decimal each,
// followed by the unit; the unit alone when no range is stated.
std::string SetPointRangeText(const AlgorithmTypeInfo& type, int index);

// Makes an algorithm record from outside (a file, a configuration record,
// the settings tree) safe to use: a type outside this table becomes 0, the
// counts are clamped to the record's lists (channels 0..8, set points 0..13,
// associated channels 0..4), and a name that fills its field without a NUL
// is cut at a character boundary. A sound record is left byte for byte;
// counts that differ from the type's are kept. Whatever indexes this table
// by a record's Type relies on this having run where the record came in.
void SanitizeAlgorithm(AlgorithmConfig& algorithm);

}  // namespace quelvar
