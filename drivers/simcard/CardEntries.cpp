// The card library's entry points. Each variant is this file compiled with
// SIMCARD_OMIT_<entry> for the entries it lacks; SIMCARD_PID adds the PID
// entries of the PID-mode library.

#include "Acquisition.h"
#include "CardTexts.h"
#include "Env.h"
#include "Export.h"
#include "LastError.h"
#include "PortSpace.h"
#include "Recorded.h"
#include "Settings.h"
#include "platform/AdDriverAbi.h"

using quelvar::platform::DriverNotifyTarget;
using simcard::TheAcquisition;

#ifndef SIMCARD_OMIT_Initial
SIMCARD_EXPORT int32_t Initial(uint32_t, uint32_t, uint32_t, uint32_t) { return TheAcquisition().Initial(); }
SIMCARD_CHECK_TYPE(Initial, AdInitialFn);
#endif

#ifndef SIMCARD_OMIT_StartIntr
SIMCARD_EXPORT int32_t StartIntr(uint32_t numBuf, uint32_t numSamp, uint32_t, uint32_t numChn, uint32_t frqSamp,
                                 uint32_t, uint32_t) {
  return TheAcquisition().StartInterrupt({numBuf, numSamp, numChn, frqSamp});
}
SIMCARD_CHECK_TYPE(StartIntr, AdStartIntrFn);
#endif

#ifndef SIMCARD_OMIT_StartSnapshot
SIMCARD_EXPORT int32_t StartSnapshot(uint32_t numBuf, uint32_t samples, uint32_t, uint32_t numChn, uint32_t frqSamp,
                                     uint32_t, uint32_t, uint32_t) {
  return TheAcquisition().StartSnapshot({numBuf, samples, numChn, frqSamp});
}
SIMCARD_CHECK_TYPE(StartSnapshot, AdStartSnapshotFn);
#endif

#ifndef SIMCARD_OMIT_RegisterNotify
SIMCARD_EXPORT int32_t RegisterNotify(int32_t, DriverNotifyTarget* window, uint32_t message, uint32_t keyCode,
                                      int32_t) {
  TheAcquisition().RegisterNotify(window, message, keyCode);
  return 1;
}
SIMCARD_CHECK_TYPE(RegisterNotify, AdRegisterNotifyFn);
#endif

#ifndef SIMCARD_OMIT_StopIntr
SIMCARD_EXPORT int32_t StopIntr(void) {
  TheAcquisition().Stop();
  return 1;
}
SIMCARD_CHECK_TYPE(StopIntr, AdStopIntrFn);
#endif

#ifndef SIMCARD_OMIT_QueryBuf
SIMCARD_EXPORT uint16_t QueryBuf(void) { return TheAcquisition().QueuedBlocks(); }
SIMCARD_CHECK_TYPE(QueryBuf, AdQueryBufFn);
#endif

#ifndef SIMCARD_OMIT_ADResult
SIMCARD_EXPORT int32_t ADResult(uint16_t* block) { return TheAcquisition().TakeOldest(block); }
SIMCARD_CHECK_TYPE(ADResult, AdResultFn);
#endif

#ifndef SIMCARD_OMIT_ADResultRecent
SIMCARD_EXPORT int32_t ADResultRecent(uint16_t* block) { return TheAcquisition().CopyNewest(block); }
SIMCARD_CHECK_TYPE(ADResultRecent, AdResultFn);
#endif

#ifndef SIMCARD_OMIT_GetSnapshot
SIMCARD_EXPORT int32_t GetSnapshot(uint16_t* block, uint32_t numSamp, int32_t* count) {
  return TheAcquisition().Snapshot(block, numSamp, count);
}
SIMCARD_CHECK_TYPE(GetSnapshot, AdGetSnapshotFn);
#endif

#ifndef SIMCARD_OMIT_ConfigInfo
SIMCARD_EXPORT int32_t ConfigInfo(char* cardName16, int32_t* maxChannels, int32_t* scratch1, int32_t* scratch2,
                                  int32_t* minBlockSamples, float* vZero, float* adMax, int32_t* maxSwitchChannels) {
  simcard::ConfigInfo(cardName16, maxChannels, scratch1, scratch2, minBlockSamples, vZero, adMax, maxSwitchChannels);
  return 1;
}
SIMCARD_CHECK_TYPE(ConfigInfo, AdConfigInfoFn);
#endif

#ifndef SIMCARD_OMIT_ChannelFrq
SIMCARD_EXPORT float ChannelFrq(int32_t analogNum, int32_t frqSamp) {
  return static_cast<float>(simcard::RealChannelRate(simcard::EnvFlag("SIMCARD_RATE_DIVIDE"), analogNum, frqSamp));
}
SIMCARD_CHECK_TYPE(ChannelFrq, AdChannelFrqFn);
#endif

#ifndef SIMCARD_OMIT_CardFrequency
SIMCARD_EXPORT float CardFrequency(int32_t frqSamp) { return static_cast<float>(frqSamp); }
SIMCARD_CHECK_TYPE(CardFrequency, AdCardFrequencyFn);
#endif

#ifndef SIMCARD_OMIT_IOCtl
SIMCARD_EXPORT int32_t IOCtl(int32_t sendCount, const uint8_t* send, int32_t receiveSize, uint8_t* receive) {
  return simcard::IoCtl(sendCount, send, receiveSize, receive);
}
SIMCARD_CHECK_TYPE(IOCtl, AdIOCtlFn);
#endif

#ifndef SIMCARD_OMIT_GetLastADError
SIMCARD_EXPORT int32_t GetLastADError(void) { return simcard::LastError(); }
SIMCARD_CHECK_TYPE(GetLastADError, AdGetLastErrorFn);
#endif

#ifndef SIMCARD_OMIT_GetADPropStrSize
SIMCARD_EXPORT int32_t GetADPropStrSize(void) { return simcard::PropertyTextSize(); }
SIMCARD_CHECK_TYPE(GetADPropStrSize, AdGetPropStrSizeFn);
#endif

#ifndef SIMCARD_OMIT_GetADPropString
SIMCARD_EXPORT int32_t GetADPropString(char* text) { return simcard::PropertyText(text); }
SIMCARD_CHECK_TYPE(GetADPropString, AdGetPropStringFn);
#endif

#ifndef SIMCARD_OMIT_SetMultiFreq
SIMCARD_EXPORT int32_t SetMultiFreq(int32_t numVChn, const int32_t* multiFreqTable) {
  return simcard::SetMultiFreq(numVChn, multiFreqTable);
}
SIMCARD_CHECK_TYPE(SetMultiFreq, AdSetMultiFreqFn);
#endif

#if defined(SIMCARD_PID) && !defined(SIMCARD_OMIT_InitialDA)
SIMCARD_EXPORT int32_t InitialDA(uint32_t ioBaseDA, int32_t daNumChn, uint32_t daBit, uint32_t ioBaseIO) {
  return simcard::InitialDA(ioBaseDA, daNumChn, daBit, ioBaseIO);
}
SIMCARD_CHECK_TYPE(InitialDA, AdInitialDAFn);
#endif

#if defined(SIMCARD_PID) && !defined(SIMCARD_OMIT_SetupPID)
SIMCARD_EXPORT int32_t SetupPID(int32_t pidMode, int32_t daEnable, int32_t adiChn, int32_t daiChn, float sv, float m,
                                float kp, float periodMs, float ti, float td) {
  return simcard::SetupPID(pidMode, daEnable, adiChn, daiChn, sv, m, kp, periodMs, ti, td);
}
SIMCARD_CHECK_TYPE(SetupPID, AdSetupPIDFn);
#endif

#if defined(SIMCARD_PID) && !defined(SIMCARD_OMIT_DisablePID)
SIMCARD_EXPORT int32_t DisablePID(void) { return simcard::DisablePID(); }
SIMCARD_CHECK_TYPE(DisablePID, AdDisablePIDFn);
#endif

#ifndef SIMCARD_OMIT_outportb
SIMCARD_EXPORT void outportb(uint32_t port, uint32_t value) { simcard::ThePortSpace().Out8(port, value); }
SIMCARD_CHECK_TYPE(outportb, AdOutPortBFn);
#endif

#ifndef SIMCARD_OMIT_inportb
SIMCARD_EXPORT uint8_t inportb(uint32_t port) { return simcard::ThePortSpace().In8(port); }
SIMCARD_CHECK_TYPE(inportb, AdInPortBFn);
#endif

#ifndef SIMCARD_OMIT_outport
SIMCARD_EXPORT void outport(uint32_t port, uint32_t value) { simcard::ThePortSpace().Out16(port, value); }
SIMCARD_CHECK_TYPE(outport, AdOutPortFn);
#endif

#ifndef SIMCARD_OMIT_inport
SIMCARD_EXPORT uint16_t inport(uint32_t port) { return simcard::ThePortSpace().In16(port); }
SIMCARD_CHECK_TYPE(inport, AdInPortFn);
#endif

#ifndef SIMCARD_OMIT_outportdw
SIMCARD_EXPORT void outportdw(uint32_t port, uint32_t value) { simcard::ThePortSpace().Out32(port, value); }
SIMCARD_CHECK_TYPE(outportdw, AdOutPortDwFn);
#endif

#ifndef SIMCARD_OMIT_inportdw
SIMCARD_EXPORT uint32_t inportdw(uint32_t port) { return simcard::ThePortSpace().In32(port); }
SIMCARD_CHECK_TYPE(inportdw, AdInPortDwFn);
#endif

#ifndef SIMCARD_OMIT_CardSpecSetting
// The card's own settings panel: a driver without windows has nothing to show.
SIMCARD_EXPORT int32_t CardSpecSetting(void) { return 1; }
SIMCARD_CHECK_TYPE(CardSpecSetting, AdCardSpecSettingFn);
#endif

#ifndef SIMCARD_OMIT_GetCardSpecSettingName
SIMCARD_EXPORT int32_t GetCardSpecSettingName(char* text64) { return simcard::SettingName(text64); }
SIMCARD_CHECK_TYPE(GetCardSpecSettingName, AdGetCardSpecSettingNameFn);
#endif
