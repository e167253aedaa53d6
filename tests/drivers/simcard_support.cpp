#include "drivers/simcard_support.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numbers>
#include <thread>

extern char** environ;

namespace simcard_test {

namespace {

constexpr const char kPrefix[] = "SIMCARD_";

std::vector<std::string> SimCardNames() {
  std::vector<std::string> names;
  for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
    const std::string entry(*e);
    const auto eq = entry.find('=');
    if (entry.rfind(kPrefix, 0) == 0 && eq != std::string::npos) names.push_back(entry.substr(0, eq));
  }
  return names;
}

}  // namespace

SimCardEnv::SimCardEnv() {
  for (const std::string& name : SimCardNames()) {
    saved_.emplace_back(name, std::getenv(name.c_str()));
    ::unsetenv(name.c_str());
  }
}

SimCardEnv::~SimCardEnv() {
  for (const std::string& name : SimCardNames()) ::unsetenv(name.c_str());
  for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
}

void SimCardEnv::Set(const std::string& name, const std::string& value) {
  ASSERT_EQ(name.rfind(kPrefix, 0), 0u) << "only SIMCARD_* variables are restored";
  ::setenv(name.c_str(), value.c_str(), 1);
}

void SimCardEnv::Unset(const std::string& name) { ::unsetenv(name.c_str()); }

DriverLibrary::DriverLibrary(const std::string& file) : path_(std::string(QUELVAR_DRIVER_DIR) + "/" + file) {
  EXPECT_TRUE(lib_.Load(path_)) << lib_.ErrorText();
}

Card::Card(const std::string& file)
    : lib(file),
      initial(lib.Entry<AdInitialFn>("_Initial@16")),
      startIntr(lib.Entry<AdStartIntrFn>("_StartIntr@28")),
      startSnapshot(lib.Entry<AdStartSnapshotFn>("_StartSnapshot@32")),
      registerNotify(lib.Entry<AdRegisterNotifyFn>("_RegisterNotify@20")),
      stopIntr(lib.Entry<AdStopIntrFn>("_StopIntr@0")),
      queryBuf(lib.Entry<AdQueryBufFn>("_QueryBuf@0")),
      adResult(lib.Entry<AdResultFn>("_ADResult@4")),
      adResultRecent(lib.Entry<AdResultFn>("_ADResultRecent@4")),
      getSnapshot(lib.Entry<AdGetSnapshotFn>("_GetSnapshot@12")),
      lastError(lib.Entry<AdGetLastErrorFn>("_GetLastADError@0")) {}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

uint16_t ExpectedSwitchWord(uint32_t word, uint64_t sample, const SignalParams& p) {
  const double tenths = std::floor(10.0 * static_cast<double>(sample) / p.rowRate);
  return static_cast<uint16_t>(static_cast<uint64_t>(tenths) + word);
}

double ExpectedAnalogWord(uint32_t channel, uint64_t sample, const SignalParams& p) {
  const double t = static_cast<double>(sample) / p.rowRate;
  const double value = std::round(p.vZero + p.amplitude * std::sin(2.0 * std::numbers::pi * 50.0 * (channel + 1) * t));
  return std::clamp(value, 0.0, p.adMax);
}

::testing::AssertionResult RowsAsDocumented(const uint16_t* rows, uint64_t firstSample, uint32_t numRows,
                                            const SignalParams& p) {
  const uint32_t switches = std::min(p.switchWords, p.numChn);
  const uint32_t analog = p.numChn - switches;
  for (uint32_t r = 0; r < numRows; ++r) {
    const uint64_t sample = firstSample + r;
    const uint16_t* row = rows + static_cast<size_t>(r) * p.numChn;
    for (uint32_t c = 0; c < analog; ++c) {
      const double want = ExpectedAnalogWord(c, sample, p);
      if (std::abs(row[c] - want) > 1.0) {
        return ::testing::AssertionFailure() << "sample " << sample << " word " << c << ": " << row[c] << ", want "
                                             << want;
      }
    }
    for (uint32_t w = 0; w < switches; ++w) {
      const uint16_t want = ExpectedSwitchWord(w, sample, p);
      if (row[analog + w] != want) {
        return ::testing::AssertionFailure() << "sample " << sample << " switch word " << w << ": "
                                             << row[analog + w] << ", want " << want;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

TempFile::TempFile(const std::string& stem) {
  static int counter = 0;
  path_ = ::testing::TempDir() + "/quelvar-" + stem + "-" + std::to_string(::getpid()) + "-" +
          std::to_string(++counter) + ".log";
  std::remove(path_.c_str());
}

TempFile::~TempFile() { std::remove(path_.c_str()); }

std::vector<std::string> TempFile::Lines() const {
  std::vector<std::string> lines;
  std::ifstream in(path_);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace simcard_test
