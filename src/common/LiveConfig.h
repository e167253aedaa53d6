#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/BinaryLayouts.h"

namespace quelvar {

// Capacities of the configuration tables.
inline constexpr int kMaxLines = 100;
inline constexpr int kMaxAnalogChannels = 100;
inline constexpr int kMaxSwitchInputs = 192;
inline constexpr int kMaxAlgorithms = 60;
inline constexpr int kMaxDisplayPositions = 292;
inline constexpr int kPaletteSlots = 72;

// Texts of the tables are UTF-8 in memory; their widths are those of the
// stored GBK fields (39 bytes for channel and switch names and units).
inline constexpr size_t kChannelTextBytes = 39;

// One line (channel group).
struct AnalConfig {
  std::string AName;
  std::string Units;
  int32_t GroupNo = 0;
  int32_t APhaseNum = 4;
  int32_t AStartID = 1;
  std::array<uint8_t, 4> GroupTag{};
  std::array<float, 21> Work{};  // run-time work area, never stored
};

// One analog channel.
struct AnalogChannel {
  std::string ChnName;
  std::string ChnUnits;
  int32_t ChnGroupNo = 0;
  float ChnCoeA = 0.0f;
  float ChnCoeB = 1.0f;
  int32_t ChnIDDC = 1;
  int32_t ChnPageNo = 0;
  float ChnPreAmp = 1.0f;
  int32_t ChnACompressType = 0;
  int32_t ChnDigiPoint = 4;
  int32_t ChnYWeight = 100;
  int32_t ChnAxialZero = 2048;
  int32_t MultiFreq = 1;  // rate multiplier, 1 .. kMaxMultiFreq (common/ConfigBounds.h)
};

// One switch input.
struct SwitchChannel {
  int32_t Reserved1 = 0;
  std::string SWName;
  int32_t SWStartID = 0;
  int32_t Reserved2 = 0;
  int32_t SWPreRecordTime = 120;
  int32_t SWRecordTime = 520;
  int32_t SWCompressRecordTime = 0;
  int32_t SWPageNo = 0;
  int32_t SWBCompressType = 0;
  int32_t SWYWeight = 50;
};

// Font-style set as stored: bit 0 bold, 1 italic, 2 underline, 3 strike-out.
inline constexpr uint8_t kFontBold = 1, kFontItalic = 2, kFontUnderline = 4, kFontStrikeOut = 8;

// Device-specific data sent to the driver, and the reply asked of it, are
// edited byte by byte in a grid; their counts are held to this.
inline constexpr int32_t kMaxDeviceDataBytes = 65536;

// The live configuration: every setting the configuration record carries and
// the registry-only settings beside them, with their values at program start.
struct LiveConfig {
  LiveConfig();

  // Card and sampling.
  std::string CardNameText = "ADCard";
  uint16_t IOBase = 320;
  uint16_t IRQNum = 5;
  uint16_t NumBuf = 10;
  uint16_t AmpGain = 1;
  int32_t BegChn = 0;
  int32_t NumChn = 4;
  uint32_t PhysAddr = 0xD8000;
  int32_t NumSamp = 300;
  int32_t FrqSamp = 10000;
  int32_t StartParam = 5000;
  int32_t MaxMultiFreq = 1;
  int32_t NumVChn = 4;
  int32_t SimulateAD = 0;
  float ChannelRate = 10000.0f;
  float VZero = 2048.0f;
  float ADMax = 4095.0f;
  int32_t ADBit = 12;
  int32_t SimulateRandom = 0;
  int32_t SimulateInterval = 0;
  int32_t SimulateType = 0;
  std::string SimulateFile;
  int32_t OnlineFilter = 0;
  int32_t FilterCoe = 950;
  int32_t OnlineResamp = 0;
  int32_t ResampNum = 2;
  int32_t ResampMode = 1;
  int32_t AutoSendIOCtl = 0;
  int32_t IOCtl_OutSize = 0;
  int32_t Num_IOCtl = 0;
  std::vector<uint8_t> IOCtlData;  // Num_IOCtl bytes, at most kMaxDeviceDataBytes

  // Palette and fonts. Row 0 is the black-background row, row 1 the white one.
  int32_t ColorNum = 16;
  std::array<std::array<uint32_t, kPaletteSlots>, 2> ColorPalette{};
  std::string ScreenFontName;
  std::string WMFFontName;
  std::string PrinterFontName;
  int32_t ScreenFontSize = 9;
  int32_t WMFFontSize = 9;
  int32_t PrinterFontSize = 9;
  uint8_t ScreenFontStyle = 0;
  uint8_t WMFFontStyle = 0;
  uint8_t PrinterFontStyle = 0;

  // Picture options and save path.
  std::string SavePath;
  int32_t GraphMetafile = 1;
  int32_t SizeScreen = 1;
  int32_t IsColor = 1;
  int32_t WMFScaleNum = 8;
  int32_t IDBGWhite = 0;
  int32_t IDIncludeInst = 1;
  int32_t WMFLineWidth = 1;

  // Channel layout.
  int32_t Bus_Num = 0;
  int32_t Line_Num = 1;
  int32_t Total_Line = 1;
  int32_t Analog_Num = 4;
  int32_t SW_Num = 0;
  float SpareFactor = 1.5f;
  std::array<int32_t, kMaxLines + 1> LineFirstChannel{};
  std::array<int32_t, kMaxAnalogChannels> AnalogDisplayOrder{};
  float ACFrq = 50.0f;  // nominal AC frequency, Hz, kMinACFrq .. kMaxACFrq
  float EnvTemp = 20.0f;
  float ColdJunctionTemp = 20.0f;
  int32_t TotalPages = 1;
  int32_t SamplesPerCycle = 1;  // per AC cycle at the channel rate
  int32_t CompressRatio = 1;
  int32_t CompressType = 0;
  // Text-grid row (minus 2) of each display position, then of each switch
  // input; signed 16-bit as stored.
  std::array<int16_t, kMaxDisplayPositions> GridOrder{};
  std::array<AnalConfig, kMaxLines> LineTable;
  std::array<AnalogChannel, kMaxAnalogChannels> AnalogChannelTable;
  std::array<SwitchChannel, kMaxSwitchInputs> SwitchChannelTable;

  // Recorder.
  std::string WinTitle;
  int32_t StartNum = 0;
  int32_t MaxBlock = 200;
  int32_t FaultBlockNum = 10;
  int32_t CompressFaultBlockNum = 0;
  int32_t FileNum = 400;
  int32_t EndBlock = 0;
  int32_t QuelvarDispFrq = 1000;
  int32_t AutoPrint = 0;
  std::string ServerIP;
  int32_t AutoStart = 0;
  int32_t AutoRestoreCfg = 0;
  int32_t NetworkStatus = 0;

  // Triggers.
  int32_t ConfirmTriggerNum = 4;
  int32_t IDStartBin = 0;
  int32_t IDStartAnalog = 1;
  int32_t IDPreventSameAlgorithm = 1;
  int32_t TriggerTimeRange = 0;
  int32_t TriggerUpNum = 0;
  int32_t Algorithm_Num = 0;
  std::array<AlgorithmConfig, kMaxAlgorithms> AlgorithmTable{};

  // PID output.
  int32_t PIDMode = 0;
  uint16_t IOBaseDA = 0x110;
  uint16_t DABit = 8;
  uint16_t IOBaseIO = 0x110;
  int32_t DANumChn = 1;
  int32_t ADiChn = 0;
  int32_t DAiChn = 0;
  int32_t DAEnable = 0;
  float SV = 1.0f;
  float M = 0.0f;
  float Kp = 1.0f;
  float Ti = 1.0f;
  float Td = 1.0f;
  int32_t PIDEnable = 0;  // the PID output is driven; never stored

  // Printing.
  int32_t IDIncludeDate = 1;
  int32_t IDIncludePageNo = 1;
  int32_t PrintScaleNum = 8;
  float PageSpaceLeftCM = 1.0f;
  float PageSpaceRightCM = 1.0f;
  float PageSpaceUpCM = 1.0f;
  float PageSpaceBottomCM = 1.0f;
  float LineSpaceCM = 0.0f;
  float PerPointCM = 1.0f;
  float PerSampTime = 200.0f;
  int32_t WavePage = 1;
  int32_t IDWaveColor = 0;
  int32_t IDGraphInst = 0;
  int32_t IDFixedScale = 0;
  int32_t IDAutoCover = 0;

  // Scheduled saving.
  int32_t NumScheduleSave = 1;
  int32_t idMaskScheduleSave = 0;
  std::array<ScheduleEntry, kScheduleEntries> ScheduleTable{};
};

// Default contents of table entries beyond their counts.
void SetDefaultLine(AnalConfig& line, int index);
void SetDefaultAnalogChannel(AnalogChannel& channel, int index, float vZero);
void SetDefaultSwitchChannel(SwitchChannel& input, int index);
// Type 0 with its name and record times; other fields keep their values.
void SetDefaultAlgorithm(AlgorithmConfig& algorithm, int index);

// The default palette: black row then white row, slots 0..15.
extern const std::array<std::array<uint32_t, 16>, 2> DefaultColorPalette;

}  // namespace quelvar
