#pragma once

#include <cstdint>

namespace simcard {

// Error codes, chosen from the numbers the program has reason texts for, so
// that its messages read sensibly.
inline constexpr int32_t kErrNone = 0;
inline constexpr int32_t kErrNotInitialised = 3;
inline constexpr int32_t kErrNumBuf = 10;
inline constexpr int32_t kErrNumSamp = 11;
inline constexpr int32_t kErrNoChannels = 12;
inline constexpr int32_t kErrTooManyChannels = 14;
inline constexpr int32_t kErrFrqSamp = 16;
inline constexpr int32_t kErrNoBlock = 18;
inline constexpr int32_t kErrRunning = 102;
inline constexpr int32_t kErrNoCard = 106;
inline constexpr int32_t kErrNoMemory = 109;
inline constexpr int32_t kErrBufferTooSmall = 112;
inline constexpr int32_t kErrNotSnapshot = 113;
inline constexpr int32_t kErrIoctl = 114;
inline constexpr int32_t kErrOther = 1000;

void SetLastError(int32_t code);
int32_t LastError();

// Records `code` and returns 0, the failure result of the entry points.
int32_t Fail(int32_t code);

}  // namespace simcard
