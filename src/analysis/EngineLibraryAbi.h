#pragma once

// The entry points of the engine library ("Haldrevon.DLL") that the engine
// analysis panel binds by name: plain C functions, 32-bit integers, 4-byte
// floats. A command's failure never shows in "SendCmd"'s result to the panel;
// it shows as a missing result variable.
//
// The getters take no capacity: each copies exactly the element count that
// the last "GetMatlabVarSize" reported (whatever variable it named), and
// refuses a variable of any other count, so a destination sized by that count
// is never overrun. Every command and every send forgets that count.

#include <stdint.h>

extern "C" {

// 1 when the engine runs (started now or already running).
typedef int32_t (*EngineInitialFn)(void);
typedef void (*EngineCloseFn)(void);

// The display buffer's range (XPosition, DisplayWidth) into the engine as
// AD, Fs, ChnName and ChnUint; nonzero on success. `names` and `units` hold
// analogNum pointers to NUL-terminated texts of at most 31 bytes.
typedef int32_t (*EngineSendAdFn)(const uint16_t* dispData, int32_t dispTriggerBlock, int32_t dispTriggerPoint,
                                  int32_t numSamp, int32_t dispRows, int32_t dispFirstBlock, int32_t numChn,
                                  int32_t analogNum, char** names, char** units, const float* coeA,
                                  const float* coeB, const int32_t* multiFreqTable, const int32_t* extraSlotFirst,
                                  const int32_t* extraSlotLast, int32_t xPosition, int32_t displayWidth,
                                  float channelRate, float vZero, float adMax);
typedef int32_t (*EngineSendOrigAdFn)(const uint16_t* dispData, int32_t dispTriggerBlock, int32_t dispTriggerPoint,
                                      int32_t numSamp, int32_t dispRows, int32_t dispFirstBlock, int32_t numChn,
                                      int32_t analogNum, char** names, char** units, const int32_t* multiFreqTable,
                                      const int32_t* extraSlotFirst, const int32_t* extraSlotLast,
                                      int32_t xPosition, int32_t displayWidth, float channelRate);

// Evaluates a command; nonzero when it ran without error (the panel ignores it).
typedef int32_t (*EngineSendCmdFn)(const char* command);

// Element count of a numeric, logical or text variable; 0 when it is missing.
typedef int32_t (*EngineGetVarSizeFn)(const char* name);

// Copies the variable as doubles (a complex one by its real part); nonzero on success.
typedef int32_t (*EngineGetDoubleVarFn)(double* destination, const char* name);

// Copies the magnitude of each element; nonzero on success.
typedef int32_t (*EngineGetComplexVarFn)(double* destination, const char* name);

}  // extern "C"
