#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace quelvar {

// Binary images that travel whole in files and over the network. They are
// plain standard-layout structs read and written as they lie in memory
// (little-endian); every offset is pinned below.

// One configured trigger algorithm: the live table entry, the unit of the
// algorithm file and a part of the configuration record, byte for byte.
struct AlgorithmConfig {
  int32_t Type;  // index into AlgorithmTypeTable, 0 = empty algorithm
  char Name[16];  // GBK, NUL-terminated within the field
  int32_t UsedChn;  // 0..8
  int32_t Channel[8];
  int32_t SetPointNum;  // 0..13
  float SetPoint[13];
  int32_t PreRecordTime;  // ms
  int32_t RecordTime;  // ms
  int32_t CompressRecordTime;  // ms
  int32_t AssAnalogChnNum;  // 0..4
  int32_t AssAnalogChn[4];
  int32_t AssSWChnNum;  // 0..4
  int32_t AssSWChn[4];
  int32_t Spare;
};
static_assert(std::is_standard_layout_v<AlgorithmConfig> && std::is_trivially_copyable_v<AlgorithmConfig>);
static_assert(sizeof(AlgorithmConfig) == 168);
static_assert(offsetof(AlgorithmConfig, Type) == 0);
static_assert(offsetof(AlgorithmConfig, Name) == 4);
static_assert(offsetof(AlgorithmConfig, UsedChn) == 20);
static_assert(offsetof(AlgorithmConfig, Channel) == 24);
static_assert(offsetof(AlgorithmConfig, SetPointNum) == 56);
static_assert(offsetof(AlgorithmConfig, SetPoint) == 60);
static_assert(offsetof(AlgorithmConfig, PreRecordTime) == 112);
static_assert(offsetof(AlgorithmConfig, RecordTime) == 116);
static_assert(offsetof(AlgorithmConfig, CompressRecordTime) == 120);
static_assert(offsetof(AlgorithmConfig, AssAnalogChnNum) == 124);
static_assert(offsetof(AlgorithmConfig, AssAnalogChn) == 128);
static_assert(offsetof(AlgorithmConfig, AssSWChnNum) == 144);
static_assert(offsetof(AlgorithmConfig, AssSWChn) == 148);
static_assert(offsetof(AlgorithmConfig, Spare) == 164);

inline constexpr int kAlgorithmChannels = 8;
inline constexpr int kAlgorithmSetPoints = 13;
inline constexpr int kAlgorithmAssociated = 4;

// One scheduled-save entry: stored whole in the registry and in the
// configuration record.
struct ScheduleEntry {
  uint8_t Type;  // 0 empty, 1 timed, 2 periodic
  uint8_t TimedMode;  // 0 daily, 1 hourly, 2 every minute
  uint8_t SafeBackup;
  uint8_t Reserved1;
  int16_t Hour;
  int16_t Minute;
  int16_t Second;
  int16_t BackupMin;
  uint8_t Reserved2[4];
  double DurationSec;
};
static_assert(std::is_standard_layout_v<ScheduleEntry> && std::is_trivially_copyable_v<ScheduleEntry>);
static_assert(sizeof(ScheduleEntry) == 24);
static_assert(offsetof(ScheduleEntry, Type) == 0);
static_assert(offsetof(ScheduleEntry, TimedMode) == 1);
static_assert(offsetof(ScheduleEntry, SafeBackup) == 2);
static_assert(offsetof(ScheduleEntry, Hour) == 4);
static_assert(offsetof(ScheduleEntry, Minute) == 6);
static_assert(offsetof(ScheduleEntry, Second) == 8);
static_assert(offsetof(ScheduleEntry, BackupMin) == 10);
static_assert(offsetof(ScheduleEntry, DurationSec) == 16);

inline constexpr int kScheduleEntries = 10;

}  // namespace quelvar
