#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/AdDriverAbi.h"
#include "platform/DynamicLibrary.h"

namespace simcard_test {

// Clears every SIMCARD_* variable for the test's lifetime and puts the
// process environment back as it was afterwards, whatever the test set.
class SimCardEnv {
 public:
  SimCardEnv();
  ~SimCardEnv();
  SimCardEnv(const SimCardEnv&) = delete;
  SimCardEnv& operator=(const SimCardEnv&) = delete;

  void Set(const std::string& name, const std::string& value);
  void Unset(const std::string& name);

 private:
  std::vector<std::pair<std::string, std::string>> saved_;
};

// One of the built driver libraries, loaded by its full path.
class DriverLibrary {
 public:
  explicit DriverLibrary(const std::string& file);
  bool Loaded() const { return lib_.IsLoaded(); }
  const std::string& Path() const { return path_; }
  void Free() { lib_.Free(); }

  // The entry bound by its decorated name, as the program binds it; a
  // missing entry fails the test.
  template <typename Fn>
  Fn Entry(const char* name) const {
    Fn fn = lib_.Entry<Fn>(name);
    EXPECT_NE(fn, nullptr) << name << " missing in " << path_;
    return fn;
  }
  bool Has(const char* name) const { return lib_.Symbol(name) != nullptr; }

 private:
  std::string path_;
  quelvar::platform::DynamicLibrary lib_;
};

// The card library with the entries the acquisition tests call.
struct Card {
  explicit Card(const std::string& file = "ADCard.DLL");

  DriverLibrary lib;
  AdInitialFn initial;
  AdStartIntrFn startIntr;
  AdStartSnapshotFn startSnapshot;
  AdRegisterNotifyFn registerNotify;
  AdStopIntrFn stopIntr;
  AdQueryBufFn queryBuf;
  AdResultFn adResult;
  AdResultFn adResultRecent;
  AdGetSnapshotFn getSnapshot;
  AdGetLastErrorFn lastError;

  // StartIntr / StartSnapshot with the arguments that matter to the card.
  int32_t StartIntr(uint32_t numBuf, uint32_t numSamp, uint32_t numChn, uint32_t frqSamp) const {
    return startIntr(numBuf, numSamp, 0, numChn, frqSamp, 0, 1);
  }
  int32_t StartSnapshot(uint32_t samples, uint32_t numChn, uint32_t frqSamp) const {
    return startSnapshot(2, samples, 0, numChn, frqSamp, 0, 1, 0);
  }
};

// Polls `done` until it holds, for at most `limit`. The limit only ends a
// hung test; it is generous so that a loaded or sanitized build never trips it.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(60));

// The signal the card's README documents for its rows.
struct SignalParams {
  uint32_t numChn = 0;
  uint32_t switchWords = 0;
  double rowRate = 1000.0;
  double vZero = 2048.0;
  double adMax = 4095.0;
  double amplitude = 1000.0;
};
uint16_t ExpectedSwitchWord(uint32_t word, uint64_t sample, const SignalParams& p);
double ExpectedAnalogWord(uint32_t channel, uint64_t sample, const SignalParams& p);

// Rows as documented, sample numbers firstSample, firstSample + 1, ...;
// analog words within one code (rounding of sin may differ by a unit).
::testing::AssertionResult RowsAsDocumented(const uint16_t* rows, uint64_t firstSample, uint32_t numRows,
                                            const SignalParams& p);

// A file name in the test temporary directory, removed on destruction.
class TempFile {
 public:
  explicit TempFile(const std::string& stem);
  ~TempFile();
  const std::string& Path() const { return path_; }
  std::vector<std::string> Lines() const;

 private:
  std::string path_;
};

}  // namespace simcard_test
