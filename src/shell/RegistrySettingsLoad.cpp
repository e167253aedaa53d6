// Reading the settings tree at start-up, with every default and clamp.
#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <cstring>

#include "common/AlgorithmTypeTable.h"
#include "common/ConfigBounds.h"
#include "platform/GbkText.h"
#include "platform/RegistryStore.h"
#include "shell/RegistryReader.h"
#include "shell/RegistrySettings.h"
#include "shell/StoredMarkKinds.h"

namespace quelvar {

namespace {

// Texts of the channel and switch tables hold at most 39 bytes once stored.
std::string ChannelText(std::string text) { return platform::FitGbk(text, kChannelTextBytes); }

bool ReadsAdBit(const RegistryContext& ctx, const LiveConfig& live) {
  if (ctx.DriverUsable) return false;
  // Instances 1 and 2 name their card "ADCard1" and "ADCard2" and keep their
  // resolution too.
  if (live.CardNameText == "ADCard") return true;
  return ctx.InstanceNumber > 0 && live.CardNameText == "ADCard" + std::to_string(ctx.InstanceNumber);
}

int32_t AdBitFromZero(float vZero) {
  const auto zero = static_cast<int64_t>(std::isfinite(vZero) ? vZero : 0.0f);
  for (int32_t bits = 8; bits <= 16; ++bits) {
    if (zero == (int64_t{1} << (bits - 1))) return bits;
  }
  return 8;
}

void LoadCardKey(platform::RegistryStore& store, const RegistryContext& ctx, LiveConfig& live) {
  RegistryReader r(store, CardKeyPath(ctx, live));
  live.IOBase = static_cast<uint16_t>(r.Int("IOBase", 320));
  live.PhysAddr = static_cast<uint32_t>(r.Int("PhysAddr", 0xD8000));
  live.IRQNum = static_cast<uint16_t>(r.Int("IRQNum", 5));
  live.NumBuf = static_cast<uint16_t>(r.Int("NumBuf", 10));
  live.NumSamp = r.Int("NumSamp", 300);
  live.BegChn = r.Int("BegChn", 0);
  live.NumChn = r.Int("NumChn", 4);
  live.NumVChn = r.Int("NumVChn", 4);
  live.FrqSamp = r.Int("FrqSamp", 10000);
  live.AmpGain = static_cast<uint16_t>(r.Int("AmpGain", 1));
  live.SimulateAD = r.Int("SimulateAD", 0);
  live.SimulateRandom = r.Int("SimulateRandom", 0);
  live.SimulateInterval = r.Int("SimulateInterval", 0);
  live.SimulateType = r.Int("SimulateType", 0);
  live.SimulateFile = r.Text("SimulateFile", "");
  live.OnlineFilter = r.Int("OnlineFilter", 0);
  live.FilterCoe = std::clamp(r.Int("FilterCoe", 950), 1, 999);
  live.OnlineResamp = r.Int("OnlineResamp", 0);
  live.ResampNum = std::clamp(r.Int("ResampNum", 2), 2, 1000);
  live.ResampMode = r.Int("ResampMode", 1) == 1 ? 1 : 2;
  if (ReadsAdBit(ctx, live)) {
    live.ADBit = std::clamp(r.Int("ADBit", 12), 8, 16);
    live.VZero = static_cast<float>(1 << (live.ADBit - 1));
    live.ADMax = static_cast<float>((1 << live.ADBit) - 1);
  } else {
    live.ADBit = AdBitFromZero(live.VZero);
  }
  live.AutoSendIOCtl = r.Int("AutoSendIOCtl", live.AutoSendIOCtl);
  live.IOCtl_OutSize = r.Int("IOCtl_OutSize", 0);
  live.Num_IOCtl = std::max(r.Int("Num_IOCtl", 0), 0);
  // A count beyond what the panel edits is not trusted.
  if (live.Num_IOCtl > kMaxDeviceDataBytes) live.Num_IOCtl = 0;
  live.IOCtlData.resize(static_cast<size_t>(live.Num_IOCtl) + 1);
  if (live.Num_IOCtl > 0) {
    if (auto bytes = r.Key().ReadBinary("IOCtlData", static_cast<size_t>(live.Num_IOCtl))) {
      std::copy(bytes->begin(), bytes->end(), live.IOCtlData.begin());
    }
  }
}

void CompletePalette(LiveConfig& live) {
  if (live.ColorNum < 4) {
    for (int row = 0; row < 2; ++row) {
      for (int slot = live.ColorNum; slot < 4; ++slot) live.ColorPalette[row][slot] = DefaultColorPalette[row][slot];
    }
    live.ColorNum = 4;
  }
  for (int row = 0; row < 2; ++row) {
    for (int slot = live.ColorNum; slot < kPaletteSlots; ++slot) {
      live.ColorPalette[row][slot] = DefaultColorPalette[row][4 + (slot - 4) % 12];
    }
  }
  if (live.ColorNum < 16) live.ColorNum = 16;
}

void LoadColorKey(platform::RegistryStore& store, const RegistryContext& ctx, LiveConfig& live) {
  RegistryReader r(store, AppKeyPath(ctx) + "\\Color");
  live.SavePath = r.TextOr("SavePath", ctx.ProgramDir);
  live.ColorNum = std::clamp(r.Int("ColorNum", 0), 0, kPaletteSlots);
  for (int i = 0; i < live.ColorNum; ++i) {
    live.ColorPalette[0][i] = static_cast<uint32_t>(r.Int(Item("Color", i), 0x8000));
    live.ColorPalette[1][i] = static_cast<uint32_t>(r.Int(Item("Color_", i), 0x8000));
  }
  CompletePalette(live);

  live.ScreenFontName = r.TextOr("ScreenFontName", ctx.screenFont.name);
  live.ScreenFontSize = r.Int("ScreenFontSize", ctx.screenFont.size);
  live.ScreenFontStyle = ctx.screenFont.style;
  live.WMFFontName = r.TextOr("WMFFontName", ctx.NtPlatform ? "宋体" : ctx.screenFont.name);
  live.WMFFontSize = r.Int("WMFFontSize", ctx.printerFont.size);
  live.WMFFontStyle = ctx.printerFont.style;
  live.PrinterFontName = r.TextOr("PrinterFontName", ctx.printerFont.name);
  live.PrinterFontSize = r.Int("PrinterFontSize", ctx.printerFont.size);
  live.PrinterFontStyle = ctx.printerFont.style;

  live.GraphMetafile = r.Int("GraphMetaFile", 1);
  live.SizeScreen = r.Int("SizeScreen", 1);
  live.IsColor = r.Int("IsColor", 1);
  live.WMFScaleNum = std::clamp(r.Int("WMFScaleNum", 8), kMinPictureScaleNum, kMaxPictureScaleNum);
  live.IDBGWhite = r.Int("IDBGWhite", 0);
  live.IDIncludeInst = r.Int("IDIncludeInst", 1);
  live.WMFLineWidth = std::clamp(r.Int("WMFLineWidth", 1), kMinPictureLineWidth, kMaxPictureLineWidth);
}

void LoadRecorderValues(RegistryReader& r, const RegistryContext& ctx, LiveConfig& live) {
  live.WinTitle = r.TextOr("WinTitle", ctx.WindowWord);
  // StartNum counts program starts.
  const int32_t starts = r.Int("StartNum", 0);
  live.StartNum = starts == std::numeric_limits<int32_t>::max() ? starts : starts + 1;
  r.Key().WriteInteger("StartNum", live.StartNum);
  live.MaxBlock = r.Int("MaxBlock", 200);
  // 64-bit arithmetic: stored values are not trusted to stay away from the limits.
  const int64_t maxBlock = live.MaxBlock;
  int64_t fault = r.Int("FaultBlockNum", 10);
  if (fault > maxBlock - 10) fault = maxBlock - 10;
  if (fault < 0) fault = 1;
  live.FaultBlockNum = static_cast<int32_t>(fault);
  int64_t compressed = r.Int("CompressFaultBlockNum", 0);
  if (fault + compressed > maxBlock - 5) compressed = maxBlock - 5 - fault;
  if (compressed < 0) compressed = 0;
  live.CompressFaultBlockNum = static_cast<int32_t>(std::min<int64_t>(compressed, std::numeric_limits<int32_t>::max()));
  live.FileNum = std::max(r.Int("FileNum", 400), 20);
  live.EndBlock = std::max(r.Int("EndBlock", 0), 0);
  live.QuelvarDispFrq = std::clamp(r.Int("QuelvarDispFrq", 1000), 50, 15000);
  live.AutoPrint = r.Int("AutoPrint", 0);
  live.ServerIP = r.TextOr("ServerIP", "127.0.0.1");
  live.AutoStart = r.Int("AutoStart", 0);
  live.AutoRestoreCfg = r.Int("AutoRestoreCfg", 1);
  live.NetworkStatus = r.Int("NetworkStatus", 0);
}

void LoadViewValues(RegistryReader& r, MainViewSettings& v) {
  v.IDEnableRemote = r.Int("IDEnableRemote", 1);
  v.IDTrace = r.Int("IDTrace", 1);
  v.IDPhase = r.Int("IDPhase", 0);
  v.IDScope = r.Int("IDScope", 0);
  v.BegDispChannel = r.Int("BegDispChannel", 0);
  v.IDTraceTrans = r.Int("IDTraceTrans", 1);
  v.AutoPlayInterval = std::clamp(r.Int("AutoPlayInterval", v.AutoPlayInterval), 100, 10000);
  v.AutoPlayInc = std::clamp(r.Int("AutoPlayInc", v.AutoPlayInc), 2, 10);
  // Every line is a single channel after loading, so the line views are off.
  v.IDPhase = 0;
  if (v.IDScope == 1) v.IDScope = 0;
  v.Mark1 = r.Int("Mark1", v.Mark1);
  v.Mark2 = r.Int("Mark2", v.Mark2);
  v.Mark1_V = r.Int("Mark1_V", v.Mark1_V);
  v.Mark2_V = r.Int("Mark2_V", v.Mark2_V);
  v.DispScale = r.Int("DispScale", v.DispScale);
  if (v.DispScale < kMinGraduations) v.DispScale = kDefaultGraduations;
  v.DispScale = std::min(v.DispScale, kMaxGraduations);
  v.XAxialTime = r.Int("XAxialTime", 1);
  v.AbsoluteTime = r.Int("AbsoluteTime", 0);
  if (v.AbsoluteTime == 1) v.XAxialTime = 1;
}

void LoadZoomValues(RegistryReader& r, MainViewSettings& v) {
  v.XZoom = r.Int("XZoom", 4);
  if (v.XZoom != 1 && v.XZoom != 2 && v.XZoom != 4 && v.XZoom != 8 && v.XZoom != 16) v.XZoom = 32;
  v.DisplayWidth = r.Int("DisplayWidth", 100);
  v.YZoom = r.Int("YZoom", 1);
  static constexpr int32_t kYZooms[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
  if (std::find(std::begin(kYZooms), std::end(kYZooms), v.YZoom) == std::end(kYZooms)) v.YZoom = 2000;
  v.IDDC = r.Int("IDDC", 0) == 1 ? 1 : 0;
  v.IDMonitor = r.Int("IDMonitor", 1);
  v.IDViewXScale = r.Int("IDViewXScale", 1);
  v.IDViewGridLine = r.Int("IDViewGridLine", 0);
  v.IDViewGridPoint = r.Int("IDViewGridPoint", 0);
  v.IDViewYGrid = r.Int("IDViewYGrid", 0);
  v.IDViewScaleAlways = r.Int("IDViewScaleAlways", 0);
}

void LoadLayoutKey(platform::RegistryStore& store, const RegistryContext& ctx, LiveConfig& live) {
  RegistryReader r(store, LayoutKeyPath(ctx, live));
  const bool lineKey = ctx.PresentationMode == 0;
  if (lineKey) {
    live.Bus_Num = r.Int("Bus_Num", live.Bus_Num);
    live.Line_Num = r.Int("Line_Num", live.Line_Num);
  }
  // Counts beyond the tables, negative ones included, would index past them.
  live.Total_Line = std::clamp(r.Int("Total_Line", live.Total_Line), 0, kMaxLines);
  if (!lineKey) {
    live.Bus_Num = 0;
    live.Line_Num = live.Total_Line;
  }
  live.Analog_Num = std::clamp(r.Int("Analog_Num", live.Analog_Num), 0, kMaxAnalogChannels);
  live.SW_Num = std::clamp(r.Int("SW_Num", live.SW_Num), 0, kMaxSwitchInputs);
  live.TotalPages = r.Int("TotalPages", 1);
  live.ACFrq = r.Float("ACFrq", live.ACFrq);
  if (!(live.ACFrq > kMinACFrq)) live.ACFrq = 50.0f;
  // Infinity included: samples per cycle and the dialog's reading need a bound.
  live.ACFrq = std::min(live.ACFrq, kMaxACFrq);
  live.EnvTemp = r.Float("EnvTemp", live.EnvTemp);
  live.ColdJunctionTemp = live.EnvTemp;
  live.CompressRatio = std::max(r.Int("CompressRatio", 1), 1);
  live.CompressType = r.Int("CompressType", 0);
  if (live.CompressType < 0 || live.CompressType > 4) live.CompressType = 1;

  for (int i = 0; i < kMaxLines; ++i) {
    AnalConfig& line = live.LineTable[i];
    SetDefaultLine(line, i);
    if (i < live.Total_Line) {
      line.AName = r.TextOr(Item("AName", i), line.AName);
      line.Units = r.TextOr(Item("Units", i), "V");
      line.APhaseNum = r.Int(Item("APhaseNum", i), 4);
      line.AStartID = r.Int(Item("AStartID", i), 1);
    }
    line.Work.fill(0.0f);
  }

  const int32_t axialZero = static_cast<int32_t>(live.VZero);
  for (int i = 0; i < kMaxAnalogChannels; ++i) {
    AnalogChannel& c = live.AnalogChannelTable[i];
    SetDefaultAnalogChannel(c, i, live.VZero);
    if (i >= live.Analog_Num) continue;
    c.ChnName = ChannelText(r.TextOr(Item("ChnName", i), c.ChnName));
    c.ChnUnits = ChannelText(r.TextOr(Item("ChnUnits", i), "V"));
    c.ChnGroupNo = r.Int(Item("ChnGroupNo", i), i / 4);
    c.ChnCoeA = r.Float(Item("ChnCoeA", i), 0.0f);
    c.ChnCoeB = r.Float(Item("ChnCoeB", i), 1.0f);
    c.ChnIDDC = r.Int(Item("ChnIDDC", i), 1);
    c.ChnPageNo = r.Int(Item("ChnPageNo", i), 0);
    c.ChnPreAmp = r.Float(Item("ChnPreAmp", i), 1.0f);
    c.ChnACompressType = r.Int(Item("ChnACompressType", i), 0);
    c.ChnDigiPoint = r.Int(Item("ChnDigiPoint", i), 4);
    c.ChnAxialZero = r.Int(Item("ChnAxialZero", i), axialZero);
    c.ChnYWeight = std::max(r.Int(Item("ChnYWeight", i), 100), 5);
    c.MultiFreq = ClampMultiFreq(r.Int(Item("MultiFreq", i), 1));
  }

  for (int i = 0; i < kMaxSwitchInputs; ++i) {
    SwitchChannel& s = live.SwitchChannelTable[i];
    SetDefaultSwitchChannel(s, i);
    if (i >= live.SW_Num) continue;
    s.SWName = ChannelText(r.TextOr(Item("SWName", i), s.SWName));
    s.SWStartID = r.Int(Item("SWStartID", i), 0);
    s.SWPreRecordTime = r.Int(Item("SWPreRecordTime", i), 120);
    s.SWRecordTime = r.Int(Item("SWRecordTime", i), 520);
    s.SWCompressRecordTime = r.Int(Item("SWCompressRecordTime", i), 0);
    s.SWPageNo = r.Int(Item("SWPageNo", i), 0);
    s.SWBCompressType = r.Int(Item("SWBCompressType", i), 0);
    s.SWYWeight = std::max(r.Int(Item("SWYWeight", i), 50), 5);
  }

  // Every channel becomes a line of its own.
  live.Total_Line = live.Analog_Num;
  for (AnalConfig& line : live.LineTable) line.APhaseNum = 1;
  for (int i = 0; i < kMaxAnalogChannels; ++i) live.AnalogChannelTable[i].ChnGroupNo = i;

  for (int k = 0; k < kMaxDisplayPositions; ++k) live.GridOrder[k] = static_cast<int16_t>(k);
  if (auto order = r.Key().ReadBinary("GridOrder", sizeof live.GridOrder)) {
    std::memcpy(live.GridOrder.data(), order->data(), sizeof live.GridOrder);
  }
}

// "3,7" sets entries 0 and 1; entries without a number keep their values.
// Numbers are read as "%d,%d,%d,%d" reads them, but out-of-range numbers are
// clamped instead of being undefined.
void ParseChannelList(const std::string& text, int32_t (&out)[kAlgorithmAssociated]) {
  const char* p = text.c_str();
  for (int k = 0; k < kAlgorithmAssociated; ++k) {
    if (k > 0) {
      if (*p != ',') return;
      ++p;
    }
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(p, &end, 10);
    if (end == p) return;
    out[k] = static_cast<int32_t>(std::clamp<long long>(value, std::numeric_limits<int32_t>::min(),
                                                       std::numeric_limits<int32_t>::max()));
    p = end;
  }
}

void LoadAlgorithm(RegistryReader& r, int i, AlgorithmConfig& a) {
  a.Type = r.Int(Item("Type", i), 0);
  a.UsedChn = r.Int(Item("UsedChn", i), 0);
  a.SetPointNum = r.Int(Item("SetPointNum", i), 0);
  a.AssAnalogChnNum = r.Int(Item("AssAnalogChnNum", i), 0);
  a.AssSWChnNum = r.Int(Item("AssSWChnNum", i), 0);
  // The type and the counts index tables below: made safe before any use.
  SanitizeAlgorithm(a);
  const AlgorithmTypeInfo& type = AlgorithmTypeTable[a.Type];
  const std::string fallbackName = "启动算法" + std::to_string(i);
  platform::WriteGbkField(r.TextOr(Item("Name", i), fallbackName), a.Name, sizeof a.Name);
  for (int j = 0; j < a.UsedChn; ++j) a.Channel[j] = r.Int(SubItem("Channel", i, j), 0);
  for (int j = 0; j < a.SetPointNum; ++j) a.SetPoint[j] = r.Float(SubItem("SetPoint", i, j), 0.0f);
  a.PreRecordTime = r.Int(Item("PreRecordTime", i), type.PreRecordTime);
  a.RecordTime = r.Int(Item("RecordTime", i), type.RecordTime);
  a.CompressRecordTime = r.Int(Item("CompressRecordTime", i), type.CompressRecordTime);
  ParseChannelList(r.Text(Item("AssAnalogChn", i), ""), a.AssAnalogChn);
  ParseChannelList(r.Text(Item("AssSWChn", i), ""), a.AssSWChn);
}

}  // namespace

std::string AppKeyPath(const RegistryContext& ctx) { return "\\SOFTWARE\\" + ctx.AppKeyName; }

std::string CardKeyPath(const RegistryContext& ctx, const LiveConfig& live) {
  return AppKeyPath(ctx) + "\\" + live.CardNameText;
}

std::string LayoutKeyPath(const RegistryContext& ctx, const LiveConfig& live) {
  return CardKeyPath(ctx, live) + (ctx.PresentationMode == 1 ? "\\Group" : "\\Line");
}

float ComputeChannelRate(const LiveConfig& live, const RegistryContext& ctx, int32_t analogNum) {
  float rate = static_cast<float>(live.FrqSamp);
  if (ctx.channelFrq) {
    rate = ctx.channelFrq(analogNum, live.FrqSamp);
    if (live.OnlineResamp) rate /= static_cast<float>(live.ResampNum);
  }
  if (std::isnan(rate) || rate < 0.0f) rate = 1.0f;
  return rate;
}

void LoadCardAndViewSettings(platform::RegistryStore& store, const RegistryContext& ctx, LiveConfig& live,
                             MainViewSettings& view, WaveViewState& wave) {
  LoadCardKey(store, ctx, live);
  LoadColorKey(store, ctx, live);
  RegistryReader quelvar(store, AppKeyPath(ctx) + "\\Quelvar");
  LoadRecorderValues(quelvar, ctx, live);
  LoadViewValues(quelvar, view);
  LoadMarkKinds(quelvar, wave);
  // The layout is not read yet: the rate is that of the channel count held now.
  live.ChannelRate = ComputeChannelRate(live, ctx, live.Analog_Num);
  LoadZoomValues(quelvar, view);
  LoadLayoutKey(store, ctx, live);
  live.NumChn = static_cast<int16_t>(live.Analog_Num + (live.SW_Num + 15) / 16);
  if (ctx.CardMaxSwitchChannels != 0) live.BegChn = live.Analog_Num;
}

void LoadAlgorithmSettings(platform::RegistryStore& store, const RegistryContext& ctx, LiveConfig& live) {
  RegistryReader r(store, AppKeyPath(ctx) + "\\Algorithm");
  live.ConfirmTriggerNum = std::clamp(r.Int("ConfirmTriggerNum", 4), 1, 10);
  live.IDStartBin = r.Int("IDStartBin", 0);
  live.IDStartAnalog = r.Int("IDStartAnalog", 1);
  live.IDPreventSameAlgorithm = r.Int("IDPreventSameAlgorithm", 1);
  live.TriggerTimeRange = r.Int("TriggerTimeRange", 0);
  live.TriggerUpNum = r.Int("TriggerUpNum", 0);
  live.Algorithm_Num = std::clamp(r.Int("Algorithm_Num", 0), 0, kMaxAlgorithms);
  for (int i = 0; i < live.Algorithm_Num; ++i) LoadAlgorithm(r, i, live.AlgorithmTable[i]);
  for (int i = live.Algorithm_Num; i < kMaxAlgorithms; ++i) SetDefaultAlgorithm(live.AlgorithmTable[i], i);

  if (ctx.PidMode != 1) return;
  RegistryReader pid(store, AppKeyPath(ctx) + "\\PID");
  live.PIDMode = pid.Int("PIDMode", 1);
  live.IOBaseDA = static_cast<uint16_t>(pid.Int("IOBaseDA", 0x110));
  live.DABit = static_cast<uint16_t>(pid.Int("DABit", 8));
  live.IOBaseIO = static_cast<uint16_t>(pid.Int("IOBaseIO", 0x110));
  live.DANumChn = std::max(pid.Int("DANumChn", 1), 1);
  live.ADiChn = pid.Int("ADiChn", 0);
  live.DAiChn = pid.Int("DAiChn", 0);
  live.DAEnable = pid.Int("DAEnable", 0);
  live.SV = pid.Float("SV", 1.0f);
  live.M = pid.Float("M", 1.0f);
  live.Kp = pid.Float("Kp", 1.0f);
  live.Ti = pid.Float("Ti", 1.0f);
  live.Td = pid.Float("Td", 1.0f);
}

}  // namespace quelvar
