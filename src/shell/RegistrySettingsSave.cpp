// Writing the configuration to the settings tree, and deleting the tree.
#include <cstring>
#include <vector>

#include "platform/GbkText.h"
#include "platform/RegistryKey.h"
#include "platform/RegistryStore.h"
#include "shell/RegistryReader.h"
#include "shell/RegistrySettings.h"
#include "shell/StoredMarkKinds.h"

namespace quelvar {

namespace {

using platform::RegistryKey;

std::string ChannelList(const int32_t (&values)[kAlgorithmAssociated]) {
  return std::to_string(values[0]) + "," + std::to_string(values[1]) + "," + std::to_string(values[2]) + "," +
         std::to_string(values[3]);
}

void SaveCardKey(RegistryKey& k, const RegistryContext& ctx, const LiveConfig& live) {
  k.WriteInteger("IOBase", live.IOBase);
  k.WriteInteger("PhysAddr", static_cast<int32_t>(live.PhysAddr));
  k.WriteInteger("IRQNum", live.IRQNum);
  k.WriteInteger("NumBuf", live.NumBuf);
  k.WriteInteger("NumSamp", live.NumSamp);
  k.WriteInteger("BegChn", live.BegChn);
  k.WriteInteger("NumChn", live.NumChn);
  k.WriteInteger("NumVChn", live.NumVChn);
  k.WriteInteger("FrqSamp", live.FrqSamp);
  k.WriteInteger("AmpGain", live.AmpGain);
  k.WriteInteger("SimulateAD", live.SimulateAD);
  k.WriteInteger("SimulateRandom", live.SimulateRandom);
  k.WriteInteger("SimulateType", live.SimulateType);
  k.WriteInteger("SimulateInterval", live.SimulateInterval);
  k.WriteString("SimulateFile", live.SimulateFile);
  k.WriteInteger("OnlineFilter", live.OnlineFilter);
  k.WriteInteger("FilterCoe", live.FilterCoe);
  k.WriteInteger("OnlineResamp", live.OnlineResamp);
  k.WriteInteger("ResampNum", live.ResampNum);
  k.WriteInteger("ResampMode", live.ResampMode);
  if (!ctx.DriverUsable) k.WriteInteger("ADBit", live.ADBit);
  k.WriteInteger("AutoSendIOCtl", live.AutoSendIOCtl);
  k.WriteInteger("IOCtl_OutSize", live.IOCtl_OutSize);
  k.WriteInteger("Num_IOCtl", live.Num_IOCtl);
  if (live.Num_IOCtl > 0 && live.IOCtlData.size() >= static_cast<size_t>(live.Num_IOCtl)) {
    k.WriteBinary("IOCtlData", std::span(live.IOCtlData.data(), static_cast<size_t>(live.Num_IOCtl)));
  }
}

void SaveLayoutKey(RegistryKey& k, const RegistryContext& ctx, const LiveConfig& live) {
  if (ctx.PresentationMode != 1) {
    k.WriteInteger("Bus_Num", live.Bus_Num);
    k.WriteInteger("Line_Num", live.Line_Num);
  }
  k.WriteInteger("Total_Line", live.Total_Line);
  k.WriteInteger("Analog_Num", live.Analog_Num);
  k.WriteInteger("SW_Num", live.SW_Num);
  k.WriteInteger("TotalPages", live.TotalPages);
  k.WriteDouble("ACFrq", live.ACFrq);
  k.WriteDouble("EnvTemp", live.EnvTemp);
  k.WriteInteger("CompressRatio", live.CompressRatio);
  k.WriteInteger("CompressType", live.CompressType);
  for (int i = 0; i < live.Total_Line && i < kMaxLines; ++i) {
    const AnalConfig& line = live.LineTable[i];
    k.WriteString(Item("AName", i), line.AName);
    k.WriteString(Item("Units", i), line.Units);
    k.WriteInteger(Item("APhaseNum", i), line.APhaseNum);
    k.WriteInteger(Item("AStartID", i), line.AStartID);
  }
  for (int i = 0; i < live.Analog_Num && i < kMaxAnalogChannels; ++i) {
    const AnalogChannel& c = live.AnalogChannelTable[i];
    k.WriteString(Item("ChnName", i), c.ChnName);
    k.WriteString(Item("ChnUnits", i), c.ChnUnits);
    k.WriteInteger(Item("ChnGroupNo", i), c.ChnGroupNo);
    k.WriteDouble(Item("ChnCoeA", i), c.ChnCoeA);
    k.WriteDouble(Item("ChnCoeB", i), c.ChnCoeB);
    k.WriteInteger(Item("ChnIDDC", i), c.ChnIDDC);
    k.WriteInteger(Item("ChnPageNo", i), c.ChnPageNo);
    k.WriteDouble(Item("ChnPreAmp", i), c.ChnPreAmp);
    k.WriteInteger(Item("ChnACompressType", i), c.ChnACompressType);
    k.WriteInteger(Item("ChnDigiPoint", i), c.ChnDigiPoint);
    k.WriteInteger(Item("ChnAxialZero", i), c.ChnAxialZero);
    k.WriteInteger(Item("ChnYWeight", i), c.ChnYWeight);
    k.WriteInteger(Item("MultiFreq", i), c.MultiFreq);
  }
  for (int i = 0; i < live.SW_Num && i < kMaxSwitchInputs; ++i) {
    const SwitchChannel& s = live.SwitchChannelTable[i];
    k.WriteString(Item("SWName", i), s.SWName);
    k.WriteInteger(Item("SWStartID", i), s.SWStartID);
    k.WriteInteger(Item("SWPreRecordTime", i), s.SWPreRecordTime);
    k.WriteInteger(Item("SWRecordTime", i), s.SWRecordTime);
    k.WriteInteger(Item("SWCompressRecordTime", i), s.SWCompressRecordTime);
    k.WriteInteger(Item("SWPageNo", i), s.SWPageNo);
    k.WriteInteger(Item("SWBCompressType", i), s.SWBCompressType);
    k.WriteInteger(Item("SWYWeight", i), s.SWYWeight);
  }
  std::vector<uint8_t> order(sizeof live.GridOrder);
  std::memcpy(order.data(), live.GridOrder.data(), order.size());
  k.WriteBinary("GridOrder", order);
}

void SaveColorKey(RegistryKey& k, const LiveConfig& live) {
  k.WriteString("SavePath", live.SavePath);
  k.WriteInteger("ColorNum", live.ColorNum);
  for (int i = 0; i < live.ColorNum && i < kPaletteSlots; ++i) {
    k.WriteInteger(Item("Color", i), static_cast<int32_t>(live.ColorPalette[0][i]));
    k.WriteInteger(Item("Color_", i), static_cast<int32_t>(live.ColorPalette[1][i]));
  }
  k.WriteString("ScreenFontName", live.ScreenFontName);
  k.WriteInteger("ScreenFontSize", live.ScreenFontSize);
  k.WriteString("WMFFontName", live.WMFFontName);
  k.WriteInteger("WMFFontSize", live.WMFFontSize);
  k.WriteString("PrinterFontName", live.PrinterFontName);
  k.WriteInteger("PrinterFontSize", live.PrinterFontSize);
  k.WriteInteger("GraphMetafile", live.GraphMetafile);
  k.WriteInteger("SizeScreen", live.SizeScreen);
  k.WriteInteger("IsColor", live.IsColor);
  k.WriteInteger("WMFScaleNum", live.WMFScaleNum);
  k.WriteInteger("IDBGWhite", live.IDBGWhite);
  k.WriteInteger("IDIncludeInst", live.IDIncludeInst);
  k.WriteInteger("WMFLineWidth", live.WMFLineWidth);
}

void SaveQuelvarKey(RegistryKey& k, const LiveConfig& live, const MainViewSettings& v, const WaveViewState& wave) {
  k.WriteString("WinTitle", live.WinTitle);
  k.WriteInteger("MaxBlock", live.MaxBlock);
  k.WriteInteger("FaultBlockNum", live.FaultBlockNum);
  k.WriteInteger("CompressFaultBlockNum", live.CompressFaultBlockNum);
  k.WriteInteger("FileNum", live.FileNum);
  k.WriteInteger("EndBlock", live.EndBlock);
  k.WriteInteger("QuelvarDispFrq", live.QuelvarDispFrq);
  k.WriteInteger("AutoPrint", live.AutoPrint);
  k.WriteString("ServerIP", live.ServerIP);
  k.WriteInteger("AutoStart", live.AutoStart);
  k.WriteInteger("AutoRestoreCfg", live.AutoRestoreCfg);
  k.WriteInteger("NetworkStatus", live.NetworkStatus);
  k.WriteInteger("IDEnableRemote", v.IDEnableRemote);
  k.WriteInteger("IDTrace", v.IDTrace);
  k.WriteInteger("IDTraceTrans", v.IDTraceTrans);
  k.WriteInteger("AutoPlayInterval", v.AutoPlayInterval);
  k.WriteInteger("AutoPlayInc", v.AutoPlayInc);
  k.WriteInteger("IDPhase", v.IDPhase);
  k.WriteInteger("Mark1", v.Mark1);
  k.WriteInteger("Mark2", v.Mark2);
  k.WriteInteger("Mark1_V", v.Mark1_V);
  k.WriteInteger("Mark2_V", v.Mark2_V);
  SaveMarkKinds(k, wave);
  k.WriteInteger("DispScale", v.DispScale);
  k.WriteInteger("XAxialTime", v.XAxialTime);
  k.WriteInteger("AbsoluteTime", v.AbsoluteTime);
  k.WriteInteger("IDScope", v.IDScope);
  k.WriteInteger("BegDispChannel", v.BegDispChannel);
  k.WriteInteger("XZoom", v.XZoom);
  k.WriteInteger("DisplayWidth", v.DisplayWidth);
  k.WriteInteger("YZoom", v.YZoom);
  k.WriteInteger("IDDC", v.IDDC);
  k.WriteInteger("IDMonitor", v.IDMonitor);
  k.WriteInteger("IDViewXScale", v.IDViewXScale);
  k.WriteInteger("IDViewScaleAlways", v.IDViewScaleAlways);
  k.WriteInteger("IDViewGridLine", v.IDViewGridLine);
  k.WriteInteger("IDViewGridPoint", v.IDViewGridPoint);
  k.WriteInteger("IDViewYGrid", v.IDViewYGrid);
}

void SaveAlgorithmKey(RegistryKey& k, const LiveConfig& live) {
  k.WriteInteger("ConfirmTriggerNum", live.ConfirmTriggerNum);
  k.WriteInteger("IDStartBin", live.IDStartBin);
  k.WriteInteger("IDStartAnalog", live.IDStartAnalog);
  k.WriteInteger("IDPreventSameAlgorithm", live.IDPreventSameAlgorithm);
  k.WriteInteger("TriggerTimeRange", live.TriggerTimeRange);
  k.WriteInteger("TriggerUpNum", live.TriggerUpNum);
  k.WriteInteger("Algorithm_Num", live.Algorithm_Num);
  for (int i = 0; i < live.Algorithm_Num && i < kMaxAlgorithms; ++i) {
    const AlgorithmConfig& a = live.AlgorithmTable[i];
    k.WriteInteger(Item("Type", i), a.Type);
    k.WriteString(Item("Name", i), platform::ReadGbkField(a.Name, sizeof a.Name));
    k.WriteInteger(Item("UsedChn", i), a.UsedChn);
    for (int j = 0; j < a.UsedChn && j < kAlgorithmChannels; ++j) k.WriteInteger(SubItem("Channel", i, j), a.Channel[j]);
    k.WriteInteger(Item("SetPointNum", i), a.SetPointNum);
    for (int j = 0; j < a.SetPointNum && j < kAlgorithmSetPoints; ++j) {
      k.WriteDouble(SubItem("SetPoint", i, j), a.SetPoint[j]);
    }
    k.WriteInteger(Item("PreRecordTime", i), a.PreRecordTime);
    k.WriteInteger(Item("RecordTime", i), a.RecordTime);
    k.WriteInteger(Item("CompressRecordTime", i), a.CompressRecordTime);
    k.WriteInteger(Item("AssAnalogChnNum", i), a.AssAnalogChnNum);
    k.WriteString(Item("AssAnalogChn", i), ChannelList(a.AssAnalogChn));
    k.WriteInteger(Item("AssSWChnNum", i), a.AssSWChnNum);
    k.WriteString(Item("AssSWChn", i), ChannelList(a.AssSWChn));
  }
}

void SavePidKey(RegistryKey& k, const LiveConfig& live) {
  k.WriteInteger("PIDMode", live.PIDMode);
  k.WriteInteger("IOBaseDA", live.IOBaseDA);
  k.WriteInteger("DABit", live.DABit);
  k.WriteInteger("IOBaseIO", live.IOBaseIO);
  k.WriteInteger("DANumChn", live.DANumChn);
  k.WriteInteger("ADiChn", live.ADiChn);
  k.WriteInteger("DAiChn", live.DAiChn);
  k.WriteInteger("DAEnable", live.DAEnable);
  k.WriteDouble("SV", live.SV);
  k.WriteDouble("M", live.M);
  k.WriteDouble("Kp", live.Kp);
  k.WriteDouble("Ti", live.Ti);
  k.WriteDouble("Td", live.Td);
}

}  // namespace

bool SaveConfigToRegistry(platform::RegistryStore& store, const RegistryContext& ctx, const LiveConfig& live,
                          const MainViewSettings& view, const WaveViewState& wave) {
  store.BeginUpdate();
  {
    RegistryKey card(store, CardKeyPath(ctx, live));
    SaveCardKey(card, ctx, live);
    RegistryKey layout(store, LayoutKeyPath(ctx, live));
    SaveLayoutKey(layout, ctx, live);
    RegistryKey color(store, AppKeyPath(ctx) + "\\Color");
    SaveColorKey(color, live);
    RegistryKey quelvar(store, AppKeyPath(ctx) + "\\Quelvar");
    SaveQuelvarKey(quelvar, live, view, wave);
    RegistryKey algorithm(store, AppKeyPath(ctx) + "\\Algorithm");
    SaveAlgorithmKey(algorithm, live);
    if (ctx.PidMode == 1) {
      RegistryKey pid(store, AppKeyPath(ctx) + "\\PID");
      SavePidKey(pid, live);
    }
  }
  return store.EndUpdate();
}

bool DeleteRegistryTree(platform::RegistryStore& store, std::string_view key) {
  if (!store.KeyExists(key)) return true;
  const std::string path(key);
  const std::vector<std::string> subkeys = store.SubkeyNames(path);
  bool ok = true;
  for (auto it = subkeys.rbegin(); it != subkeys.rend(); ++it) ok = DeleteRegistryTree(store, path + "\\" + *it) && ok;
  return store.DeleteKey(path) && ok;
}

}  // namespace quelvar
