#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "common/BinaryLayouts.h"
#include "common/LiveConfig.h"

namespace quelvar {

// The configuration record: the one binary image of the whole configuration.
// It follows the header of every record file and the magic of every
// configuration file, and travels over the network, so every byte is pinned
// below. Little-endian; strings are GBK, NUL-terminated within their field.

inline constexpr uint32_t kConfigRecordSize = 40728;
// The record's own format version, fixed with its layout.
inline constexpr uint16_t kConfigRecordVersionMajor = 2;
inline constexpr uint16_t kConfigRecordVersionMinor = 5;

struct ConfigLineEntry {
  char AName[32];
  char Units[16];
  int32_t GroupNo;
  int32_t APhaseNum;
  int32_t AStartID;
  uint8_t GroupTag[4];
};
static_assert(std::is_standard_layout_v<ConfigLineEntry> && std::is_trivially_copyable_v<ConfigLineEntry>);
static_assert(sizeof(ConfigLineEntry) == 64);
static_assert(offsetof(ConfigLineEntry, AName) == 0);
static_assert(offsetof(ConfigLineEntry, Units) == 32);
static_assert(offsetof(ConfigLineEntry, GroupNo) == 48);
static_assert(offsetof(ConfigLineEntry, APhaseNum) == 52);
static_assert(offsetof(ConfigLineEntry, AStartID) == 56);
static_assert(offsetof(ConfigLineEntry, GroupTag) == 60);

// Field order differs from the live switch entry.
struct ConfigSwitchEntry {
  char SWName[32];
  int32_t Reserved1;
  int32_t SWStartID;
  int32_t Reserved2;
  int32_t SWPageNo;
  int32_t SWPreRecordTime;
  int32_t SWRecordTime;
  int32_t SWCompressRecordTime;
  int32_t SWBCompressType;
  int32_t SWYWeight;
};
static_assert(std::is_standard_layout_v<ConfigSwitchEntry> && std::is_trivially_copyable_v<ConfigSwitchEntry>);
static_assert(sizeof(ConfigSwitchEntry) == 68);
static_assert(offsetof(ConfigSwitchEntry, SWName) == 0);
static_assert(offsetof(ConfigSwitchEntry, Reserved1) == 32);
static_assert(offsetof(ConfigSwitchEntry, SWStartID) == 36);
static_assert(offsetof(ConfigSwitchEntry, Reserved2) == 40);
static_assert(offsetof(ConfigSwitchEntry, SWPageNo) == 44);
static_assert(offsetof(ConfigSwitchEntry, SWPreRecordTime) == 48);
static_assert(offsetof(ConfigSwitchEntry, SWRecordTime) == 52);
static_assert(offsetof(ConfigSwitchEntry, SWCompressRecordTime) == 56);
static_assert(offsetof(ConfigSwitchEntry, SWBCompressType) == 60);
static_assert(offsetof(ConfigSwitchEntry, SWYWeight) == 64);

// ChnPageNo comes before ChnIDDC here, unlike the live channel entry.
struct ConfigChannelEntry {
  char ChnName[32];
  char ChnUnits[16];
  int32_t ChnGroupNo;
  float ChnCoeA;
  float ChnCoeB;
  int32_t ChnPageNo;
  int32_t ChnIDDC;
  float ChnPreAmp;
  int32_t ChnACompressType;
  int32_t ChnDigiPoint;
  int32_t ChnYWeight;
  int32_t ChnAxialZero;
  int32_t MultiFreq;
};
static_assert(std::is_standard_layout_v<ConfigChannelEntry> && std::is_trivially_copyable_v<ConfigChannelEntry>);
static_assert(sizeof(ConfigChannelEntry) == 92);
static_assert(offsetof(ConfigChannelEntry, ChnName) == 0);
static_assert(offsetof(ConfigChannelEntry, ChnUnits) == 32);
static_assert(offsetof(ConfigChannelEntry, ChnGroupNo) == 48);
static_assert(offsetof(ConfigChannelEntry, ChnCoeA) == 52);
static_assert(offsetof(ConfigChannelEntry, ChnCoeB) == 56);
static_assert(offsetof(ConfigChannelEntry, ChnPageNo) == 60);
static_assert(offsetof(ConfigChannelEntry, ChnIDDC) == 64);
static_assert(offsetof(ConfigChannelEntry, ChnPreAmp) == 68);
static_assert(offsetof(ConfigChannelEntry, ChnACompressType) == 72);
static_assert(offsetof(ConfigChannelEntry, ChnDigiPoint) == 76);
static_assert(offsetof(ConfigChannelEntry, ChnYWeight) == 80);
static_assert(offsetof(ConfigChannelEntry, ChnAxialZero) == 84);
static_assert(offsetof(ConfigChannelEntry, MultiFreq) == 88);

inline constexpr int kConfigPaletteWords = 2 * kPaletteSlots;

struct ConfigRecord {
  uint32_t RecordSize;
  uint16_t VersionMajor;
  uint16_t VersionMinor;
  int32_t PresentationMode;
  char CardName[16];
  uint16_t IOBase;
  uint16_t IRQNum;
  uint16_t NumBuf;
  uint16_t AmpGain;
  int32_t BegChn;
  int32_t NumChn;
  uint32_t PhysAddr;
  int32_t NumSamp;
  int32_t FrqSamp;
  int32_t StartParam;
  int32_t MaxMultiFreq;
  int32_t NumVChn;
  int32_t SimulateAD;
  float ChannelRate;
  float VZero;
  float ADMax;
  int32_t ADBit;
  int32_t ColorNum;
  // The first ColorNum x 8 bytes of the palette memory: black row, white row.
  uint32_t ColorPalette[kConfigPaletteWords];
  char ScreenFontName[16];
  char WMFFontName[16];
  char PrinterFontName[16];
  int32_t ScreenFontSize;
  int32_t WMFFontSize;
  int32_t PrinterFontSize;
  uint8_t ScreenFontStyle;
  uint8_t WMFFontStyle;
  uint8_t PrinterFontStyle;
  uint8_t Reserved1[1];
  int32_t Bus_Num;
  int32_t Line_Num;
  int32_t Total_Line;
  int32_t Analog_Num;
  int32_t SW_Num;
  float SpareFactor;
  int32_t LineFirstChannel[kMaxLines + 1];
  int32_t AnalogDisplayOrder[kMaxAnalogChannels];
  float ACFrq;
  float EnvTemp;
  int32_t TotalPages;
  int32_t CompressRatio;
  int32_t CompressType;
  ConfigLineEntry Lines[kMaxLines];
  ConfigSwitchEntry Switches[kMaxSwitchInputs];
  ConfigChannelEntry Channels[kMaxAnalogChannels];
  int32_t MaxBlock;
  int32_t FaultBlockNum;
  int32_t CompressFaultBlockNum;
  int32_t FileNum;
  int32_t QuelvarDispFrq;
  int32_t XZoom;
  int32_t DisplayWidth;
  int32_t Algorithm_Num;
  int32_t TriggerUpNum;
  int32_t TriggerTimeRange;
  uint8_t Reserved2[4];
  AlgorithmConfig Algorithms[kMaxAlgorithms];
  int32_t IDStartBin;
  int32_t IDStartAnalog;
  int32_t IDPreventSameAlgorithm;
  int32_t PIDMode;
  uint16_t IOBaseDA;
  uint16_t DABit;
  uint16_t IOBaseIO;
  uint8_t Reserved3[6];
  int32_t ADiChn;
  int32_t DAiChn;
  int32_t DAEnable;
  float SV;
  float M;
  float Kp;
  float Ti;
  float Td;
  int32_t IDIncludeDate;
  int32_t IDIncludePageNo;
  int32_t PrintScaleNum;
  float PageSpaceLeftCM;
  float PageSpaceRightCM;
  float PageSpaceUpCM;
  float PageSpaceBottomCM;
  float LineSpaceCM;
  float PerPointCM;
  float PerSampTime;
  int32_t WavePage;
  int32_t IDWaveColor;
  int32_t IDGraphInst;
  int32_t IDFixedScale;
  int32_t IDAutoCover;
  int32_t NumScheduleSave;
  int32_t idMaskScheduleSave;
  ScheduleEntry ScheduleSetting[kScheduleEntries];
};
static_assert(std::is_standard_layout_v<ConfigRecord> && std::is_trivially_copyable_v<ConfigRecord>);
static_assert(sizeof(ConfigRecord) == kConfigRecordSize);
static_assert(offsetof(ConfigRecord, RecordSize) == 0);
static_assert(offsetof(ConfigRecord, VersionMajor) == 4);
static_assert(offsetof(ConfigRecord, VersionMinor) == 6);
static_assert(offsetof(ConfigRecord, PresentationMode) == 8);
static_assert(offsetof(ConfigRecord, CardName) == 12);
static_assert(offsetof(ConfigRecord, IOBase) == 28);
static_assert(offsetof(ConfigRecord, IRQNum) == 30);
static_assert(offsetof(ConfigRecord, NumBuf) == 32);
static_assert(offsetof(ConfigRecord, AmpGain) == 34);
static_assert(offsetof(ConfigRecord, BegChn) == 36);
static_assert(offsetof(ConfigRecord, NumChn) == 40);
static_assert(offsetof(ConfigRecord, PhysAddr) == 44);
static_assert(offsetof(ConfigRecord, NumSamp) == 48);
static_assert(offsetof(ConfigRecord, FrqSamp) == 52);
static_assert(offsetof(ConfigRecord, StartParam) == 56);
static_assert(offsetof(ConfigRecord, MaxMultiFreq) == 60);
static_assert(offsetof(ConfigRecord, NumVChn) == 64);
static_assert(offsetof(ConfigRecord, SimulateAD) == 68);
static_assert(offsetof(ConfigRecord, ChannelRate) == 72);
static_assert(offsetof(ConfigRecord, VZero) == 76);
static_assert(offsetof(ConfigRecord, ADMax) == 80);
static_assert(offsetof(ConfigRecord, ADBit) == 84);
static_assert(offsetof(ConfigRecord, ColorNum) == 88);
static_assert(offsetof(ConfigRecord, ColorPalette) == 92);
static_assert(offsetof(ConfigRecord, ScreenFontName) == 668);
static_assert(offsetof(ConfigRecord, WMFFontName) == 684);
static_assert(offsetof(ConfigRecord, PrinterFontName) == 700);
static_assert(offsetof(ConfigRecord, ScreenFontSize) == 716);
static_assert(offsetof(ConfigRecord, WMFFontSize) == 720);
static_assert(offsetof(ConfigRecord, PrinterFontSize) == 724);
static_assert(offsetof(ConfigRecord, ScreenFontStyle) == 728);
static_assert(offsetof(ConfigRecord, WMFFontStyle) == 729);
static_assert(offsetof(ConfigRecord, PrinterFontStyle) == 730);
static_assert(offsetof(ConfigRecord, Reserved1) == 731);
static_assert(offsetof(ConfigRecord, Bus_Num) == 732);
static_assert(offsetof(ConfigRecord, Line_Num) == 736);
static_assert(offsetof(ConfigRecord, Total_Line) == 740);
static_assert(offsetof(ConfigRecord, Analog_Num) == 744);
static_assert(offsetof(ConfigRecord, SW_Num) == 748);
static_assert(offsetof(ConfigRecord, SpareFactor) == 752);
static_assert(offsetof(ConfigRecord, LineFirstChannel) == 756);
static_assert(offsetof(ConfigRecord, AnalogDisplayOrder) == 1160);
static_assert(offsetof(ConfigRecord, ACFrq) == 1560);
static_assert(offsetof(ConfigRecord, EnvTemp) == 1564);
static_assert(offsetof(ConfigRecord, TotalPages) == 1568);
static_assert(offsetof(ConfigRecord, CompressRatio) == 1572);
static_assert(offsetof(ConfigRecord, CompressType) == 1576);
static_assert(offsetof(ConfigRecord, Lines) == 1580);
static_assert(offsetof(ConfigRecord, Switches) == 7980);
static_assert(offsetof(ConfigRecord, Channels) == 21036);
static_assert(offsetof(ConfigRecord, MaxBlock) == 30236);
static_assert(offsetof(ConfigRecord, FaultBlockNum) == 30240);
static_assert(offsetof(ConfigRecord, CompressFaultBlockNum) == 30244);
static_assert(offsetof(ConfigRecord, FileNum) == 30248);
static_assert(offsetof(ConfigRecord, QuelvarDispFrq) == 30252);
static_assert(offsetof(ConfigRecord, XZoom) == 30256);
static_assert(offsetof(ConfigRecord, DisplayWidth) == 30260);
static_assert(offsetof(ConfigRecord, Algorithm_Num) == 30264);
static_assert(offsetof(ConfigRecord, TriggerUpNum) == 30268);
static_assert(offsetof(ConfigRecord, TriggerTimeRange) == 30272);
static_assert(offsetof(ConfigRecord, Reserved2) == 30276);
static_assert(offsetof(ConfigRecord, Algorithms) == 30280);
static_assert(offsetof(ConfigRecord, IDStartBin) == 40360);
static_assert(offsetof(ConfigRecord, IDStartAnalog) == 40364);
static_assert(offsetof(ConfigRecord, IDPreventSameAlgorithm) == 40368);
static_assert(offsetof(ConfigRecord, PIDMode) == 40372);
static_assert(offsetof(ConfigRecord, IOBaseDA) == 40376);
static_assert(offsetof(ConfigRecord, DABit) == 40378);
static_assert(offsetof(ConfigRecord, IOBaseIO) == 40380);
static_assert(offsetof(ConfigRecord, Reserved3) == 40382);
static_assert(offsetof(ConfigRecord, ADiChn) == 40388);
static_assert(offsetof(ConfigRecord, DAiChn) == 40392);
static_assert(offsetof(ConfigRecord, DAEnable) == 40396);
static_assert(offsetof(ConfigRecord, SV) == 40400);
static_assert(offsetof(ConfigRecord, M) == 40404);
static_assert(offsetof(ConfigRecord, Kp) == 40408);
static_assert(offsetof(ConfigRecord, Ti) == 40412);
static_assert(offsetof(ConfigRecord, Td) == 40416);
static_assert(offsetof(ConfigRecord, IDIncludeDate) == 40420);
static_assert(offsetof(ConfigRecord, IDIncludePageNo) == 40424);
static_assert(offsetof(ConfigRecord, PrintScaleNum) == 40428);
static_assert(offsetof(ConfigRecord, PageSpaceLeftCM) == 40432);
static_assert(offsetof(ConfigRecord, PageSpaceRightCM) == 40436);
static_assert(offsetof(ConfigRecord, PageSpaceUpCM) == 40440);
static_assert(offsetof(ConfigRecord, PageSpaceBottomCM) == 40444);
static_assert(offsetof(ConfigRecord, LineSpaceCM) == 40448);
static_assert(offsetof(ConfigRecord, PerPointCM) == 40452);
static_assert(offsetof(ConfigRecord, PerSampTime) == 40456);
static_assert(offsetof(ConfigRecord, WavePage) == 40460);
static_assert(offsetof(ConfigRecord, IDWaveColor) == 40464);
static_assert(offsetof(ConfigRecord, IDGraphInst) == 40468);
static_assert(offsetof(ConfigRecord, IDFixedScale) == 40472);
static_assert(offsetof(ConfigRecord, IDAutoCover) == 40476);
static_assert(offsetof(ConfigRecord, NumScheduleSave) == 40480);
static_assert(offsetof(ConfigRecord, idMaskScheduleSave) == 40484);
static_assert(offsetof(ConfigRecord, ScheduleSetting) == 40488);

// Values the record carries that live outside LiveConfig: the writer's view.
struct ConfigBuildExtras {
  int32_t PresentationMode = 0;
  int32_t XZoom = 0;
  int32_t DisplayWidth = 0;
};

// The whole record from the live configuration. Bytes not carried (reserved
// gaps, palette beyond ColorNum) are zero, so equal configurations give equal
// records.
void BuildConfigRecord(const LiveConfig& live, const ConfigBuildExtras& extras, ConfigRecord& out);

// 1 when the record may be applied, 0 when it is rejected. Besides the
// counts and numbers that index tables or divide, the used channels'
// MultiFreq (1 .. kMaxMultiFreq, and a row of at most kMaxRowWords words),
// MaxMultiFreq (1 .. kMaxMultiFreq) and ACFrq (kMinACFrq .. kMaxACFrq) are
// bounded (common/ConfigBounds.h).
int ValidateConfigRecord(const ConfigRecord& record);

// 1 when applied; 0 when rejected by ValidateConfigRecord, with `live`
// untouched. The view values (PresentationMode, XZoom, DisplayWidth) and
// SimulateAD stay the receiver's own.
int ApplyConfigRecord(const ConfigRecord& record, LiveConfig& live);

// Applies without the checks. Only for the machine's own record, which was
// built from its live settings: it must come back even where those settings
// fail the checks meant for foreign records. Every copy is bounded by the
// tables' capacities, so no record can overrun them.
void ApplyConfigRecordUnchecked(const ConfigRecord& record, LiveConfig& live);

}  // namespace quelvar
