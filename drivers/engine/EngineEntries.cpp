// The engine library's entry points, bound by name by the engine analysis
// panel. One engine per process; every entry holds the lock for its whole
// exchange, so calls from any thread come one after another.

#include <cstdint>
#include <cstring>
#include <new>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "DisplayColumns.h"
#include "OctaveEngine.h"
#include "analysis/EngineLibraryAbi.h"

#define HALDREVON_EXPORT extern "C" __attribute__((visibility("default")))
#define HALDREVON_CHECK_TYPE(entry, type) static_assert(std::is_same_v<decltype(&entry), type>)

namespace {

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

// Closed when the library is unloaded (the program frees it at exit) or
// the process ends.
haldrevon::OctaveEngine& Engine() {
  static haldrevon::OctaveEngine engine;
  return engine;
}

std::vector<std::string> Texts(char** texts, int32_t count) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < count; ++i) {
    const char* t = texts[i];
    // A slot is 32 bytes with the text cut to 31: never read beyond it.
    out.emplace_back(t != nullptr ? std::string(t, strnlen(t, 31)) : std::string{});
  }
  return out;
}

int32_t Send(const haldrevon::DisplayBuffer& buffer, const haldrevon::Scaling& scaling, char** names, char** units,
             float channelRate) {
  std::lock_guard guard(Lock());
  if (!haldrevon::IsReadable(buffer, scaling) || names == nullptr || units == nullptr) return 0;
  std::vector<double> ad;
  try {
    ad = haldrevon::BuildAdMatrix(buffer, scaling);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return Engine().SendAd(ad, buffer.displayWidth, buffer.analogNum, channelRate, Texts(names, buffer.analogNum),
                         Texts(units, buffer.analogNum))
             ? 1
             : 0;
}

}  // namespace

HALDREVON_EXPORT int32_t InitialEngine(void) {
  std::lock_guard guard(Lock());
  return Engine().Start() ? 1 : 0;
}
HALDREVON_CHECK_TYPE(InitialEngine, EngineInitialFn);

HALDREVON_EXPORT void CloseEngine(void) {
  std::lock_guard guard(Lock());
  Engine().Close();
}
HALDREVON_CHECK_TYPE(CloseEngine, EngineCloseFn);

HALDREVON_EXPORT int32_t SendADToMatlab(const uint16_t* dispData, int32_t, int32_t, int32_t numSamp, int32_t dispRows,
                                        int32_t dispFirstBlock, int32_t numChn, int32_t analogNum, char** names,
                                        char** units, const float* coeA, const float* coeB,
                                        const int32_t* multiFreqTable, const int32_t* extraSlotFirst,
                                        const int32_t* extraSlotLast, int32_t xPosition, int32_t displayWidth,
                                        float channelRate, float vZero, float adMax) {
  const haldrevon::DisplayBuffer buffer{dispData,       numSamp,        dispRows,      dispFirstBlock,
                                        numChn,         analogNum,      multiFreqTable, extraSlotFirst,
                                        extraSlotLast,  xPosition,      displayWidth};
  const haldrevon::Scaling scaling{false, coeA, coeB, vZero, adMax};
  return Send(buffer, scaling, names, units, channelRate);
}
HALDREVON_CHECK_TYPE(SendADToMatlab, EngineSendAdFn);

HALDREVON_EXPORT int32_t SendOrigADToMatlab(const uint16_t* dispData, int32_t, int32_t, int32_t numSamp,
                                            int32_t dispRows, int32_t dispFirstBlock, int32_t numChn,
                                            int32_t analogNum, char** names, char** units,
                                            const int32_t* multiFreqTable, const int32_t* extraSlotFirst,
                                            const int32_t* extraSlotLast, int32_t xPosition, int32_t displayWidth,
                                            float channelRate) {
  const haldrevon::DisplayBuffer buffer{dispData,       numSamp,        dispRows,      dispFirstBlock,
                                        numChn,         analogNum,      multiFreqTable, extraSlotFirst,
                                        extraSlotLast,  xPosition,      displayWidth};
  return Send(buffer, haldrevon::Scaling{}, names, units, channelRate);
}
HALDREVON_CHECK_TYPE(SendOrigADToMatlab, EngineSendOrigAdFn);

HALDREVON_EXPORT int32_t SendCmd(const char* command) {
  std::lock_guard guard(Lock());
  if (command == nullptr) return 0;
  return Engine().Evaluate(command) ? 1 : 0;
}
HALDREVON_CHECK_TYPE(SendCmd, EngineSendCmdFn);

HALDREVON_EXPORT int32_t GetMatlabVarSize(const char* name) {
  std::lock_guard guard(Lock());
  return name != nullptr ? Engine().VariableSize(name) : 0;
}
HALDREVON_CHECK_TYPE(GetMatlabVarSize, EngineGetVarSizeFn);

HALDREVON_EXPORT int32_t GetMatlabDoubleVar(double* destination, const char* name) {
  std::lock_guard guard(Lock());
  return name != nullptr && Engine().Variable(destination, name, false) ? 1 : 0;
}
HALDREVON_CHECK_TYPE(GetMatlabDoubleVar, EngineGetDoubleVarFn);

HALDREVON_EXPORT int32_t GetMatlabComplexVar(double* destination, const char* name) {
  std::lock_guard guard(Lock());
  return name != nullptr && Engine().Variable(destination, name, true) ? 1 : 0;
}
HALDREVON_CHECK_TYPE(GetMatlabComplexVar, EngineGetComplexVarFn);
