#include "shell/ConfigRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "common/AlgorithmTypeTable.h"
#include "common/ConfigBounds.h"
#include "platform/GbkText.h"

namespace quelvar {
namespace {

// The palette travels as raw palette memory: both rows back to back.
static_assert(sizeof(LiveConfig::ColorPalette) == sizeof(ConfigRecord::ColorPalette));
static_assert(sizeof(LiveConfig::AlgorithmTable) == sizeof(ConfigRecord::Algorithms));
static_assert(sizeof(LiveConfig::ScheduleTable) == sizeof(ConfigRecord::ScheduleSetting));
static_assert(sizeof(LiveConfig::LineFirstChannel) == sizeof(ConfigRecord::LineFirstChannel));
static_assert(sizeof(LiveConfig::AnalogDisplayOrder) == sizeof(ConfigRecord::AnalogDisplayOrder));

constexpr int32_t kMinFileNum = 20;
constexpr int32_t kMinColorNum = 5;

template <size_t N>
void PutText(const std::string& utf8, char (&field)[N]) {
  platform::WriteGbkField(utf8, field, N);
}

template <size_t N>
std::string GetText(const char (&field)[N]) {
  return platform::ReadGbkField(field, N);
}

// Eight bytes per colour; a bad count never reaches past the palette.
size_t PaletteBytes(int32_t colorNum) {
  const int64_t bytes = int64_t{colorNum} * 8;
  return static_cast<size_t>(std::clamp<int64_t>(bytes, 0, sizeof(ConfigRecord::ColorPalette)));
}

bool Outside(int32_t value, int32_t low, int32_t high) { return value < low || value > high; }

bool AlgorithmCountsValid(const AlgorithmConfig& a) {
  return !Outside(a.UsedChn, 0, kAlgorithmChannels) && !Outside(a.SetPointNum, 0, kAlgorithmSetPoints) &&
         !Outside(a.AssAnalogChnNum, 0, kAlgorithmAssociated) && !Outside(a.AssSWChnNum, 0, kAlgorithmAssociated);
}

// The card name becomes a registry key and a file name: nothing that climbs
// or crosses directories.
bool UsableCardName(std::string_view name) {
  return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos &&
         name.find("..") == std::string_view::npos;
}

void BuildLine(const AnalConfig& in, ConfigLineEntry& out) {
  PutText(in.AName, out.AName);
  PutText(in.Units, out.Units);
  out.GroupNo = in.GroupNo;
  out.APhaseNum = in.APhaseNum;
  out.AStartID = in.AStartID;
  std::memcpy(out.GroupTag, in.GroupTag.data(), sizeof out.GroupTag);
}

void ApplyLine(const ConfigLineEntry& in, AnalConfig& out) {
  out.AName = GetText(in.AName);
  out.Units = GetText(in.Units);
  out.GroupNo = in.GroupNo;
  out.APhaseNum = in.APhaseNum;
  out.AStartID = in.AStartID;
  std::memcpy(out.GroupTag.data(), in.GroupTag, sizeof in.GroupTag);
}

void BuildSwitch(const SwitchChannel& in, ConfigSwitchEntry& out) {
  PutText(in.SWName, out.SWName);
  out.Reserved1 = in.Reserved1;
  out.SWStartID = in.SWStartID;
  out.Reserved2 = in.Reserved2;
  out.SWPageNo = in.SWPageNo;
  out.SWPreRecordTime = in.SWPreRecordTime;
  out.SWRecordTime = in.SWRecordTime;
  out.SWCompressRecordTime = in.SWCompressRecordTime;
  out.SWBCompressType = in.SWBCompressType;
  out.SWYWeight = in.SWYWeight;
}

void ApplySwitch(const ConfigSwitchEntry& in, SwitchChannel& out) {
  out.SWName = GetText(in.SWName);
  out.Reserved1 = in.Reserved1;
  out.SWStartID = in.SWStartID;
  out.Reserved2 = in.Reserved2;
  out.SWPageNo = in.SWPageNo;
  out.SWPreRecordTime = in.SWPreRecordTime;
  out.SWRecordTime = in.SWRecordTime;
  out.SWCompressRecordTime = in.SWCompressRecordTime;
  out.SWBCompressType = in.SWBCompressType;
  out.SWYWeight = in.SWYWeight;
}

void BuildChannel(const AnalogChannel& in, ConfigChannelEntry& out) {
  PutText(in.ChnName, out.ChnName);
  PutText(in.ChnUnits, out.ChnUnits);
  out.ChnGroupNo = in.ChnGroupNo;
  out.ChnCoeA = in.ChnCoeA;
  out.ChnCoeB = in.ChnCoeB;
  out.ChnPageNo = in.ChnPageNo;
  out.ChnIDDC = in.ChnIDDC;
  out.ChnPreAmp = in.ChnPreAmp;
  out.ChnACompressType = in.ChnACompressType;
  out.ChnDigiPoint = in.ChnDigiPoint;
  out.ChnYWeight = in.ChnYWeight;
  out.ChnAxialZero = in.ChnAxialZero;
  out.MultiFreq = in.MultiFreq;
}

void ApplyChannel(const ConfigChannelEntry& in, AnalogChannel& out) {
  out.ChnName = GetText(in.ChnName);
  out.ChnUnits = GetText(in.ChnUnits);
  out.ChnGroupNo = in.ChnGroupNo;
  out.ChnCoeA = in.ChnCoeA;
  out.ChnCoeB = in.ChnCoeB;
  out.ChnPageNo = in.ChnPageNo;
  out.ChnIDDC = in.ChnIDDC;
  out.ChnPreAmp = in.ChnPreAmp;
  out.ChnACompressType = in.ChnACompressType;
  out.ChnDigiPoint = in.ChnDigiPoint;
  out.ChnYWeight = in.ChnYWeight;
  out.ChnAxialZero = in.ChnAxialZero;
  out.MultiFreq = in.MultiFreq;
}

}  // namespace

void BuildConfigRecord(const LiveConfig& live, const ConfigBuildExtras& extras, ConfigRecord& out) {
  std::memset(&out, 0, sizeof out);
  out.RecordSize = kConfigRecordSize;
  out.VersionMajor = kConfigRecordVersionMajor;
  out.VersionMinor = kConfigRecordVersionMinor;
  out.PresentationMode = extras.PresentationMode;

  PutText(live.CardNameText, out.CardName);
  out.IOBase = live.IOBase;
  out.IRQNum = live.IRQNum;
  out.NumBuf = live.NumBuf;
  out.AmpGain = live.AmpGain;
  out.BegChn = live.BegChn;
  out.NumChn = live.NumChn;
  out.PhysAddr = live.PhysAddr;
  out.NumSamp = live.NumSamp;
  out.FrqSamp = live.FrqSamp;
  out.StartParam = live.StartParam;
  out.MaxMultiFreq = live.MaxMultiFreq;
  out.NumVChn = live.NumVChn;
  out.SimulateAD = live.SimulateAD;
  out.ChannelRate = live.ChannelRate;
  out.VZero = live.VZero;
  out.ADMax = live.ADMax;
  out.ADBit = live.ADBit;

  out.ColorNum = live.ColorNum;
  std::memcpy(out.ColorPalette, &live.ColorPalette, PaletteBytes(live.ColorNum));
  PutText(live.ScreenFontName, out.ScreenFontName);
  PutText(live.WMFFontName, out.WMFFontName);
  PutText(live.PrinterFontName, out.PrinterFontName);
  out.ScreenFontSize = live.ScreenFontSize;
  out.WMFFontSize = live.WMFFontSize;
  out.PrinterFontSize = live.PrinterFontSize;
  out.ScreenFontStyle = live.ScreenFontStyle;
  out.WMFFontStyle = live.WMFFontStyle;
  out.PrinterFontStyle = live.PrinterFontStyle;

  out.MaxBlock = live.MaxBlock;
  out.FaultBlockNum = live.FaultBlockNum;
  out.CompressFaultBlockNum = live.CompressFaultBlockNum;
  out.FileNum = live.FileNum;
  out.QuelvarDispFrq = live.QuelvarDispFrq;

  out.Bus_Num = live.Bus_Num;
  out.Line_Num = live.Line_Num;
  out.Total_Line = live.Total_Line;
  out.Analog_Num = live.Analog_Num;
  out.SW_Num = live.SW_Num;
  out.SpareFactor = live.SpareFactor;
  out.ACFrq = live.ACFrq;
  out.EnvTemp = live.EnvTemp;
  out.TotalPages = live.TotalPages;
  out.CompressRatio = live.CompressRatio;
  out.CompressType = live.CompressType;
  std::memcpy(out.LineFirstChannel, live.LineFirstChannel.data(), sizeof out.LineFirstChannel);
  std::memcpy(out.AnalogDisplayOrder, live.AnalogDisplayOrder.data(), sizeof out.AnalogDisplayOrder);
  for (int i = 0; i < kMaxLines; ++i) BuildLine(live.LineTable[i], out.Lines[i]);
  for (int i = 0; i < kMaxSwitchInputs; ++i) BuildSwitch(live.SwitchChannelTable[i], out.Switches[i]);
  for (int i = 0; i < kMaxAnalogChannels; ++i) BuildChannel(live.AnalogChannelTable[i], out.Channels[i]);

  out.XZoom = extras.XZoom;
  out.DisplayWidth = extras.DisplayWidth;
  out.TriggerTimeRange = live.TriggerTimeRange;
  out.TriggerUpNum = live.TriggerUpNum;
  out.Algorithm_Num = live.Algorithm_Num;
  out.IDStartBin = live.IDStartBin;
  out.IDStartAnalog = live.IDStartAnalog;
  out.IDPreventSameAlgorithm = live.IDPreventSameAlgorithm;
  std::memcpy(out.Algorithms, live.AlgorithmTable.data(), sizeof out.Algorithms);

  out.PIDMode = live.PIDMode;
  out.IOBaseDA = live.IOBaseDA;
  out.DABit = live.DABit;
  out.IOBaseIO = live.IOBaseIO;
  out.ADiChn = live.ADiChn;
  out.DAiChn = live.DAiChn;
  out.DAEnable = live.DAEnable;
  out.SV = live.SV;
  out.M = live.M;
  out.Kp = live.Kp;
  out.Ti = live.Ti;
  out.Td = live.Td;

  out.IDIncludeDate = live.IDIncludeDate;
  out.IDIncludePageNo = live.IDIncludePageNo;
  out.PrintScaleNum = live.PrintScaleNum;
  out.PageSpaceLeftCM = live.PageSpaceLeftCM;
  out.PageSpaceRightCM = live.PageSpaceRightCM;
  out.PageSpaceUpCM = live.PageSpaceUpCM;
  out.PageSpaceBottomCM = live.PageSpaceBottomCM;
  out.LineSpaceCM = live.LineSpaceCM;
  out.PerPointCM = live.PerPointCM;
  out.PerSampTime = live.PerSampTime;
  out.WavePage = live.WavePage;
  out.IDWaveColor = live.IDWaveColor;
  out.IDGraphInst = live.IDGraphInst;
  out.IDFixedScale = live.IDFixedScale;
  out.IDAutoCover = live.IDAutoCover;

  out.NumScheduleSave = live.NumScheduleSave;
  out.idMaskScheduleSave = live.idMaskScheduleSave;
  std::memcpy(out.ScheduleSetting, live.ScheduleTable.data(), sizeof out.ScheduleSetting);
}

int ValidateConfigRecord(const ConfigRecord& r) {
  if (r.RecordSize != kConfigRecordSize) return 0;
  if (Outside(r.PresentationMode, 0, 1)) return 0;
  if (Outside(r.ADBit, 8, 16)) return 0;
  if (Outside(r.ColorNum, 4, kPaletteSlots)) return 0;
  if (r.NumChn < 0) return 0;
  if (Outside(r.Analog_Num, 0, kMaxAnalogChannels)) return 0;
  if (Outside(r.SW_Num, 0, kMaxSwitchInputs)) return 0;
  if (r.VZero >= r.ADMax) return 0;

  // Records come from files and the network: refuse what no program writes,
  // before it can index past a table or divide by zero.
  if (Outside(r.Total_Line, 0, kMaxLines)) return 0;
  if (Outside(r.Algorithm_Num, 0, kMaxAlgorithms)) return 0;
  for (int i = 0; i < r.Algorithm_Num; ++i) {
    if (!AlgorithmCountsValid(r.Algorithms[i])) return 0;
  }
  if (Outside(r.NumScheduleSave, 0, kScheduleEntries)) return 0;
  if (r.NumSamp <= 0) return 0;
  if (r.MaxBlock <= 0) return 0;
  // Multipliers beyond a row would overflow the sub-sample slot numbers; the
  // words of a row are counted in 64 bits before they are compared.
  if (Outside(r.MaxMultiFreq, 1, kMaxMultiFreq)) return 0;
  int64_t rowWords = (int64_t{r.SW_Num} + 15) / 16;
  for (int i = 0; i < r.Analog_Num; ++i) {
    if (Outside(r.Channels[i].MultiFreq, 1, kMaxMultiFreq)) return 0;
    rowWords += r.Channels[i].MultiFreq;
  }
  if (rowWords > kMaxRowWords) return 0;
  if (!std::isfinite(r.ChannelRate) || !std::isfinite(r.VZero) || !std::isfinite(r.ADMax)) return 0;
  if (r.ChannelRate <= 0 || r.VZero <= 0 || r.ADMax <= 0) return 0;
  // A vanishing AC frequency makes the samples per cycle unbounded.
  if (!ACFrqInRange(r.ACFrq)) return 0;
  return 1;
}

int ApplyConfigRecord(const ConfigRecord& r, LiveConfig& live) {
  if (!ValidateConfigRecord(r)) return 0;
  ApplyConfigRecordUnchecked(r, live);
  return 1;
}

void ApplyConfigRecordUnchecked(const ConfigRecord& r, LiveConfig& live) {

  // Judged after decoding: a GBK trail byte may equal '\\'.
  std::string cardName = GetText(r.CardName);
  if (UsableCardName(cardName)) live.CardNameText = std::move(cardName);
  live.IOBase = r.IOBase;
  live.IRQNum = r.IRQNum;
  live.NumBuf = r.NumBuf;
  live.AmpGain = r.AmpGain;
  live.BegChn = r.BegChn;
  live.NumChn = r.NumChn;
  live.PhysAddr = r.PhysAddr;
  live.NumSamp = r.NumSamp;
  live.FrqSamp = r.FrqSamp;
  live.StartParam = r.StartParam;
  live.MaxMultiFreq = r.MaxMultiFreq;
  live.NumVChn = r.NumVChn;
  live.ChannelRate = r.ChannelRate;
  live.VZero = r.VZero;
  live.ADMax = r.ADMax;
  live.ADBit = r.ADBit;

  // Only the colours the sender counted; the rest of the palette stays ours.
  live.ColorNum = r.ColorNum;
  std::memcpy(&live.ColorPalette, r.ColorPalette, PaletteBytes(r.ColorNum));
  live.ScreenFontName = GetText(r.ScreenFontName);
  live.WMFFontName = GetText(r.WMFFontName);
  live.PrinterFontName = GetText(r.PrinterFontName);
  live.ScreenFontSize = r.ScreenFontSize;
  live.WMFFontSize = r.WMFFontSize;
  live.PrinterFontSize = r.PrinterFontSize;
  live.ScreenFontStyle = r.ScreenFontStyle;
  live.WMFFontStyle = r.WMFFontStyle;
  live.PrinterFontStyle = r.PrinterFontStyle;

  live.MaxBlock = r.MaxBlock;
  live.FaultBlockNum = r.FaultBlockNum;
  live.CompressFaultBlockNum = r.CompressFaultBlockNum;
  // Fewer kept files would let pruning delete every record file.
  live.FileNum = std::max(r.FileNum, kMinFileNum);
  live.QuelvarDispFrq = r.QuelvarDispFrq;
  // The curve colour rule divides by ColorNum - 4.
  live.ColorNum = std::max(live.ColorNum, kMinColorNum);

  live.Bus_Num = r.Bus_Num;
  live.Line_Num = r.Line_Num;
  live.Total_Line = r.Total_Line;
  live.Analog_Num = r.Analog_Num;
  live.SW_Num = r.SW_Num;
  live.SpareFactor = r.SpareFactor;
  live.ACFrq = r.ACFrq;
  live.EnvTemp = r.EnvTemp;
  live.ColdJunctionTemp = r.EnvTemp;
  live.TotalPages = r.TotalPages;
  live.CompressRatio = r.CompressRatio;
  live.CompressType = r.CompressType;
  std::memcpy(live.LineFirstChannel.data(), r.LineFirstChannel, sizeof r.LineFirstChannel);
  std::memcpy(live.AnalogDisplayOrder.data(), r.AnalogDisplayOrder, sizeof r.AnalogDisplayOrder);
  for (int i = 0; i < kMaxLines; ++i) ApplyLine(r.Lines[i], live.LineTable[i]);
  for (int i = 0; i < kMaxSwitchInputs; ++i) ApplySwitch(r.Switches[i], live.SwitchChannelTable[i]);
  for (int i = 0; i < kMaxAnalogChannels; ++i) ApplyChannel(r.Channels[i], live.AnalogChannelTable[i]);

  live.TriggerTimeRange = r.TriggerTimeRange;
  live.TriggerUpNum = r.TriggerUpNum;
  live.Algorithm_Num = r.Algorithm_Num;
  live.IDStartBin = r.IDStartBin;
  live.IDStartAnalog = r.IDStartAnalog;
  live.IDPreventSameAlgorithm = r.IDPreventSameAlgorithm;
  std::memcpy(live.AlgorithmTable.data(), r.Algorithms, sizeof r.Algorithms);
  // All 60: the editor shows the records beyond the count when it is raised.
  // The checked path has refused bad counts of the used ones already; the
  // own record put back unchecked, and the types, are made safe here.
  for (AlgorithmConfig& a : live.AlgorithmTable) SanitizeAlgorithm(a);

  live.PIDMode = r.PIDMode;
  live.IOBaseDA = r.IOBaseDA;
  live.DABit = r.DABit;
  live.IOBaseIO = r.IOBaseIO;
  live.ADiChn = r.ADiChn;
  live.DAiChn = r.DAiChn;
  live.DAEnable = r.DAEnable;
  live.SV = r.SV;
  live.M = r.M;
  live.Kp = r.Kp;
  live.Ti = r.Ti;
  live.Td = r.Td;

  live.IDIncludeDate = r.IDIncludeDate;
  live.IDIncludePageNo = r.IDIncludePageNo;
  live.PrintScaleNum = r.PrintScaleNum;
  live.PageSpaceLeftCM = r.PageSpaceLeftCM;
  live.PageSpaceRightCM = r.PageSpaceRightCM;
  live.PageSpaceUpCM = r.PageSpaceUpCM;
  live.PageSpaceBottomCM = r.PageSpaceBottomCM;
  live.LineSpaceCM = r.LineSpaceCM;
  live.PerPointCM = r.PerPointCM;
  live.PerSampTime = r.PerSampTime;
  live.WavePage = r.WavePage;
  live.IDWaveColor = r.IDWaveColor;
  live.IDGraphInst = r.IDGraphInst;
  live.IDFixedScale = r.IDFixedScale;
  live.IDAutoCover = r.IDAutoCover;

  live.NumScheduleSave = r.NumScheduleSave;
  live.idMaskScheduleSave = r.idMaskScheduleSave;
  std::memcpy(live.ScheduleTable.data(), r.ScheduleSetting, sizeof r.ScheduleSetting);
}

}  // namespace quelvar
