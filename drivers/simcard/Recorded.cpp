#include "Recorded.h"

#include <cstdio>
#include <string>

#include "Env.h"
#include "LastError.h"
#include "LogFile.h"

namespace simcard {

namespace {

// Enough digits that a float reads back to the same value.
std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

}  // namespace

int32_t IoCtl(int32_t sendCount, const uint8_t* send, int32_t receiveSize, uint8_t* receive) {
  if (sendCount < 0 || receiveSize < 0 || (sendCount > 0 && send == nullptr) ||
      (receiveSize > 0 && receive == nullptr)) {
    return Fail(kErrIoctl);
  }
  AppendLogLine("SIMCARD_IOCTL_LOG", HexBytes(send, static_cast<size_t>(sendCount)));
  if (EnvFlag("SIMCARD_FAIL_IOCTL")) return Fail(kErrIoctl);
  for (int32_t i = 0; i < receiveSize; ++i) receive[i] = i < sendCount ? send[i] : 0;
  return 1;
}

int32_t SetMultiFreq(int32_t numVChn, const int32_t* multiFreqTable) {
  if (numVChn < 0 || numVChn > 65535 || (numVChn > 0 && multiFreqTable == nullptr)) return Fail(kErrOther);
  std::string line = std::to_string(numVChn) + ":";
  for (int32_t i = 0; i < numVChn; ++i) line += " " + std::to_string(multiFreqTable[i]);
  AppendLogLine("SIMCARD_MULTIFREQ_LOG", line);
  return 1;
}

int32_t InitialDA(uint32_t ioBaseDA, int32_t daNumChn, uint32_t daBit, uint32_t ioBaseIO) {
  AppendLogLine("SIMCARD_PID_LOG", "InitialDA " + std::to_string(ioBaseDA) + " " + std::to_string(daNumChn) + " " +
                                       std::to_string(daBit) + " " + std::to_string(ioBaseIO));
  return 1;
}

int32_t SetupPID(int32_t pidMode, int32_t daEnable, int32_t adiChn, int32_t daiChn, float sv, float m, float kp,
                 float periodMs, float ti, float td) {
  std::string line = "SetupPID " + std::to_string(pidMode) + " " + std::to_string(daEnable) + " " +
                     std::to_string(adiChn) + " " + std::to_string(daiChn);
  for (const float f : {sv, m, kp, periodMs, ti, td}) line += " " + Number(f);
  AppendLogLine("SIMCARD_PID_LOG", line);
  return 1;
}

int32_t DisablePID() {
  AppendLogLine("SIMCARD_PID_LOG", "DisablePID");
  return 1;
}

}  // namespace simcard
