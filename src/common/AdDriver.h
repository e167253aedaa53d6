#pragma once

#include <cstdint>
#include <string>

#include "platform/AdDriverAbi.h"
#include "platform/DynamicLibrary.h"

namespace quelvar {

// The driver library's entry points, bound once at start; an entry the
// library lacks stays empty and optional ones are tested before each use.
struct AdDriver {
  AdInitialFn Initial = nullptr;
  AdStartIntrFn StartIntr = nullptr;
  AdStartSnapshotFn StartSnapshot = nullptr;
  AdRegisterNotifyFn RegisterNotify = nullptr;
  AdStopIntrFn StopIntr = nullptr;
  AdQueryBufFn QueryBuf = nullptr;
  AdResultFn ADResult = nullptr;
  AdResultFn ADResultRecent = nullptr;
  AdGetSnapshotFn GetSnapshot = nullptr;
  AdConfigInfoFn ConfigInfo = nullptr;
  AdChannelFrqFn ChannelFrq = nullptr;
  AdCardFrequencyFn CardFrequency = nullptr;
  AdIOCtlFn IOCtl = nullptr;
  AdGetLastErrorFn GetLastADError = nullptr;
  AdGetPropStrSizeFn GetADPropStrSize = nullptr;
  AdGetPropStringFn GetADPropString = nullptr;
  AdSetMultiFreqFn SetMultiFreq = nullptr;
  AdInitialDAFn InitialDA = nullptr;
  AdSetupPIDFn SetupPID = nullptr;
  AdDisablePIDFn DisablePID = nullptr;
  AdOutPortBFn outportb = nullptr;
  AdInPortBFn inportb = nullptr;
  AdOutPortFn outport = nullptr;
  AdInPortFn inport = nullptr;
  AdOutPortDwFn outportdw = nullptr;
  AdInPortDwFn inportdw = nullptr;
  AdCardSpecSettingFn CardSpecSetting = nullptr;
  AdGetCardSpecSettingNameFn GetCardSpecSettingName = nullptr;
};

// The libraries and what binding learnt of the card.
struct DriverState {
  platform::DynamicLibrary DriverModule;
  platform::DynamicLibrary PortIoModule;  // the port-I/O library, when the driver lacks port output
  AdDriver Entries;
  int32_t DriverUsable = 0;
  int32_t CardMaxChannels = 112;
  int32_t CardMaxSwitchChannels = 192;
  int32_t CardMinBlockSamples = 1024;
  // Menu entries that depend on optional entry points.
  bool ShowADPropString = false;
  bool ShowCardSetting = false;
  std::string CardSettingCaption;
};

}  // namespace quelvar
