#include "shell/DriverBinding.h"

#include "platform/GbkText.h"
#include "shell/CommandLine.h"

namespace quelvar {

namespace {

constexpr size_t kCardNameBytes = 16;
constexpr size_t kSettingNameBytes = 64;

template <typename Fn>
void Bind(const platform::DynamicLibrary& library, Fn& slot, const char* name) {
  slot = library.Entry<Fn>(name);
}

void BindPorts(const platform::DynamicLibrary& library, AdDriver& e) {
  Bind(library, e.outportb, "_outportb@8");
  Bind(library, e.inportb, "_inportb@4");
  Bind(library, e.outport, "_outport@8");
  Bind(library, e.inport, "_inport@4");
  Bind(library, e.outportdw, "_outportdw@8");
  Bind(library, e.inportdw, "_inportdw@4");
}

// Text the driver wrote into a fixed buffer: it need not end in a NUL, so
// never read past the buffer.
std::string DriverText(const char* buffer, size_t size) { return platform::ReadGbkField(buffer, size); }

}  // namespace

void BindEntries(const platform::DynamicLibrary& library, AdDriver& e) {
  Bind(library, e.Initial, "_Initial@16");
  Bind(library, e.StartIntr, "_StartIntr@28");
  Bind(library, e.StartSnapshot, "_StartSnapshot@32");
  Bind(library, e.RegisterNotify, "_RegisterNotify@20");
  Bind(library, e.StopIntr, "_StopIntr@0");
  Bind(library, e.QueryBuf, "_QueryBuf@0");
  Bind(library, e.ADResult, "_ADResult@4");
  Bind(library, e.ADResultRecent, "_ADResultRecent@4");
  Bind(library, e.GetSnapshot, "_GetSnapshot@12");
  Bind(library, e.ConfigInfo, "_ConfigInfo@32");
  Bind(library, e.ChannelFrq, "_ChannelFrq@8");
  Bind(library, e.CardFrequency, "_CardFrequency@4");
  Bind(library, e.IOCtl, "_IOCtl@16");
  Bind(library, e.GetLastADError, "_GetLastADError@0");
  Bind(library, e.GetADPropStrSize, "_GetADPropStrSize@0");
  Bind(library, e.GetADPropString, "_GetADPropString@4");
  Bind(library, e.SetMultiFreq, "_SetMultiFreq@8");
  BindPorts(library, e);
  Bind(library, e.CardSpecSetting, "_CardSpecSetting@0");
  Bind(library, e.GetCardSpecSettingName, "_GetCardSpecSettingName@4");
}

void BindDriver(DriverState& d, int32_t& pidMode, int32_t instanceNumber, LiveConfig& live) {
  d.Entries = AdDriver{};
  d.DriverUsable = 0;
  AdDriver& e = d.Entries;
  const bool loaded = d.DriverModule.Load(DriverLibraryNameOf(pidMode, instanceNumber));
  if (loaded) {
    BindEntries(d.DriverModule, e);
    d.ShowADPropString = e.GetADPropStrSize != nullptr && e.GetADPropString != nullptr;
    d.DriverUsable = e.Initial != nullptr && e.ChannelFrq != nullptr ? 1 : 0;
    if (pidMode == 1) {
      Bind(d.DriverModule, e.InitialDA, "_InitialDA@16");
      Bind(d.DriverModule, e.SetupPID, "_SetupPID@40");
      Bind(d.DriverModule, e.DisablePID, "_DisablePID@0");
      if (e.InitialDA == nullptr) pidMode = 0;
    }
  }
  if (e.outportb == nullptr && d.PortIoModule.Load("Pelvorn.DLL")) BindPorts(d.PortIoModule, e);

  if (d.DriverUsable == 1 && e.ConfigInfo != nullptr) {
    char name[kCardNameBytes] = "ADCard";
    int32_t scratch = 0;
    e.ConfigInfo(name, &d.CardMaxChannels, &scratch, &scratch, &d.CardMinBlockSamples, &live.VZero, &live.ADMax,
                 &d.CardMaxSwitchChannels);
    live.CardNameText = DriverText(name, sizeof name);
  } else {
    d.CardMaxChannels = 112;
    d.CardMaxSwitchChannels = 192;
    d.CardMinBlockSamples = 1024;
    live.VZero = 2048.0f;
    live.ADMax = 4095.0f;
    live.CardNameText = "ADCard" + (instanceNumber > 0 ? std::to_string(instanceNumber) : std::string());
  }

  d.CardSettingCaption = live.CardNameText + "专用配置面板";
  d.ShowCardSetting = d.DriverUsable == 1 && e.CardSpecSetting != nullptr;
  if (d.ShowCardSetting && e.GetCardSpecSettingName != nullptr) {
    char caption[kSettingNameBytes] = {};
    e.GetCardSpecSettingName(caption);
    d.CardSettingCaption = DriverText(caption, sizeof caption);
  }
}

}  // namespace quelvar
