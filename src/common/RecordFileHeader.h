#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace quelvar {

// The 104-byte header of a record file. The file is: this header, the
// writer's ConfigRecord, BlockCount blocks of NumSamp x NumChn words (without
// sequence words, oldest first), a u32 comment length and the comment.
struct RecordFileHeader {
  uint32_t HeaderSize;  // 104
  uint16_t VersionMajor;  // 2
  uint16_t VersionMinor;  // 5
  char Tag[2];  // "QV", no terminator
  uint8_t Reserved1[2];
  int32_t NumChn;
  int32_t Total_Line;
  int32_t Analog_Num;
  int32_t SW_Num;
  int32_t NumSamp;
  int32_t MaxMultiFreq;
  float ChannelRate;
  int32_t ADBit;
  uint8_t Reserved2[4];
  double StartTime;  // day count, local time
  int32_t PreBlocks;
  int32_t TriggerPoint;
  int32_t BlockCount;
  int32_t DataBytes;
  int32_t CompressRatio;
  int32_t CompressType;
  int32_t CompressBlocks;
  int32_t DataGap;
  int32_t TriggerKind;  // 0 manual, 1 switch input, 2 trigger algorithm
  int32_t TriggerChannel;
  int32_t TriggerAlgorithm;
  int32_t TriggerEdge;
};
static_assert(std::is_standard_layout_v<RecordFileHeader> && std::is_trivially_copyable_v<RecordFileHeader>);
static_assert(sizeof(RecordFileHeader) == 104);
static_assert(offsetof(RecordFileHeader, HeaderSize) == 0);
static_assert(offsetof(RecordFileHeader, VersionMajor) == 4);
static_assert(offsetof(RecordFileHeader, VersionMinor) == 6);
static_assert(offsetof(RecordFileHeader, Tag) == 8);
static_assert(offsetof(RecordFileHeader, NumChn) == 12);
static_assert(offsetof(RecordFileHeader, Total_Line) == 16);
static_assert(offsetof(RecordFileHeader, Analog_Num) == 20);
static_assert(offsetof(RecordFileHeader, SW_Num) == 24);
static_assert(offsetof(RecordFileHeader, NumSamp) == 28);
static_assert(offsetof(RecordFileHeader, MaxMultiFreq) == 32);
static_assert(offsetof(RecordFileHeader, ChannelRate) == 36);
static_assert(offsetof(RecordFileHeader, ADBit) == 40);
static_assert(offsetof(RecordFileHeader, StartTime) == 48);
static_assert(offsetof(RecordFileHeader, PreBlocks) == 56);
static_assert(offsetof(RecordFileHeader, TriggerPoint) == 60);
static_assert(offsetof(RecordFileHeader, BlockCount) == 64);
static_assert(offsetof(RecordFileHeader, DataBytes) == 68);
static_assert(offsetof(RecordFileHeader, CompressRatio) == 72);
static_assert(offsetof(RecordFileHeader, CompressType) == 76);
static_assert(offsetof(RecordFileHeader, CompressBlocks) == 80);
static_assert(offsetof(RecordFileHeader, DataGap) == 84);
static_assert(offsetof(RecordFileHeader, TriggerKind) == 88);
static_assert(offsetof(RecordFileHeader, TriggerChannel) == 92);
static_assert(offsetof(RecordFileHeader, TriggerAlgorithm) == 96);
static_assert(offsetof(RecordFileHeader, TriggerEdge) == 100);

inline constexpr uint64_t kRecordFileHeaderBytes = 104;
// Header and configuration record: where the samples begin.
inline constexpr uint64_t kRecordFileDataOffset = 104 + 40728;

}  // namespace quelvar
