#pragma once

// The entry points of the AD card's driver library, as our Linux builds of
// such libraries export them: plain C functions named without the stdcall
// decoration ("_Initial@16" is exported as "Initial"). Integer arguments are
// 32-bit (16-bit values zero-extended), "float" is 4 bytes. The "window
// handle" given to RegisterNotify is a DriverNotifyTarget*.

#include <stdint.h>

#include "platform/DriverNotify.h"

extern "C" {

typedef int32_t (*AdInitialFn)(uint32_t ioBase, uint32_t irqNum, uint32_t physAddr, uint32_t initParam);
typedef int32_t (*AdStartIntrFn)(uint32_t numBuf, uint32_t numSamp, uint32_t begChn, uint32_t numChn,
                                 uint32_t frqSamp, uint32_t startParam, uint32_t ampGain);
typedef int32_t (*AdStartSnapshotFn)(uint32_t numBuf, uint32_t samples, uint32_t begChn, uint32_t numChn,
                                     uint32_t frqSamp, uint32_t startParam, uint32_t ampGain, uint32_t zero);
typedef int32_t (*AdRegisterNotifyFn)(int32_t one, quelvar::platform::DriverNotifyTarget* window, uint32_t message,
                                      uint32_t keyCode, int32_t zero);
typedef int32_t (*AdStopIntrFn)(void);
typedef uint16_t (*AdQueryBufFn)(void);
typedef int32_t (*AdResultFn)(uint16_t* block);
typedef int32_t (*AdGetSnapshotFn)(uint16_t* block, uint32_t numSamp, int32_t* count);
typedef int32_t (*AdConfigInfoFn)(char* cardName16, int32_t* maxChannels, int32_t* scratch1, int32_t* scratch2,
                                  int32_t* minBlockSamples, float* vZero, float* adMax, int32_t* maxSwitchChannels);
typedef float (*AdChannelFrqFn)(int32_t analogNum, int32_t frqSamp);
typedef float (*AdCardFrequencyFn)(int32_t frqSamp);
typedef int32_t (*AdIOCtlFn)(int32_t sendCount, const uint8_t* send, int32_t receiveSize, uint8_t* receive);
typedef int32_t (*AdGetLastErrorFn)(void);
typedef int32_t (*AdGetPropStrSizeFn)(void);
typedef int32_t (*AdGetPropStringFn)(char* text);
typedef int32_t (*AdSetMultiFreqFn)(int32_t numVChn, const int32_t* multiFreqTable);
typedef int32_t (*AdInitialDAFn)(uint32_t ioBaseDA, int32_t daNumChn, uint32_t daBit, uint32_t ioBaseIO);
typedef int32_t (*AdSetupPIDFn)(int32_t pidMode, int32_t daEnable, int32_t adiChn, int32_t daiChn, float sv, float m,
                                float kp, float periodMs, float ti, float td);
typedef int32_t (*AdDisablePIDFn)(void);
typedef void (*AdOutPortBFn)(uint32_t port, uint32_t value);
typedef uint8_t (*AdInPortBFn)(uint32_t port);
typedef void (*AdOutPortFn)(uint32_t port, uint32_t value);
typedef uint16_t (*AdInPortFn)(uint32_t port);
typedef void (*AdOutPortDwFn)(uint32_t port, uint32_t value);
typedef uint32_t (*AdInPortDwFn)(uint32_t port);
typedef int32_t (*AdCardSpecSettingFn)(void);
typedef int32_t (*AdGetCardSpecSettingNameFn)(char* text64);

}  // extern "C"
