#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace quelvar {

// A point where a trigger algorithm fired in the shown history record.
struct FoundTriggerPoint {
  int32_t Algorithm = 0;  // algorithm number
  int32_t Type = 0;       // index into AlgorithmTypeTable
  int32_t Point = 0;      // display point of the record
};

// One entry per configured algorithm at most, so the table of algorithms
// bounds the list.
inline constexpr int kMaxTriggerPoints = 60;

// The points the trigger-point search found in the record on display; the
// waveform renderer marks them while a history record is shown. Emptied
// when another record is shown and when a live record starts.
struct FoundTriggerPoints {
  std::array<FoundTriggerPoint, kMaxTriggerPoints> TriggerPointList{};
  int32_t TriggerPointCount = 0;

  // The entries in use; a count beyond the table is read as a full table.
  std::span<const FoundTriggerPoint> InUse() const {
    const int32_t n = TriggerPointCount < 0 ? 0 : TriggerPointCount > kMaxTriggerPoints ? kMaxTriggerPoints
                                                                                          : TriggerPointCount;
    return std::span<const FoundTriggerPoint>(TriggerPointList).first(static_cast<size_t>(n));
  }
  // False (nothing kept) when the table is full.
  bool Append(const FoundTriggerPoint& point) {
    if (TriggerPointCount < 0) TriggerPointCount = 0;
    if (TriggerPointCount >= kMaxTriggerPoints) return false;
    TriggerPointList[static_cast<size_t>(TriggerPointCount++)] = point;
    return true;
  }
};

}  // namespace quelvar
