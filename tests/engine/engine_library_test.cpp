// The engine library over GNU Octave, loaded by its path as the program
// loads it. Needs octave-cli with the signal package (scripts/install-deps).

#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "analysis/EngineLibraryAbi.h"
#include "platform/DynamicLibrary.h"

namespace {

using quelvar::platform::DynamicLibrary;

constexpr int kTables = 112;  // entries of the program's rate tables

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// The processes this test process has started.
std::vector<pid_t> Children() {
  std::vector<pid_t> out;
  DIR* d = opendir("/proc");
  if (d == nullptr) return out;
  while (const dirent* e = readdir(d)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
    if (pid <= 0) continue;
    std::ifstream stat("/proc/" + std::string(e->d_name) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t paren = text.rfind(')');
    if (paren == std::string::npos) continue;
    char state = 0;
    int ppid = 0;
    if (std::sscanf(text.c_str() + paren + 1, " %c %d", &state, &ppid) == 2 && ppid == getpid()) out.push_back(pid);
  }
  closedir(d);
  return out;
}

size_t EntriesIn(const std::string& dir) {
  size_t n = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d)) {
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) ++n;
    }
    closedir(d);
  }
  return n;
}

void RemoveTree(const std::string& dir) {
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      const std::string path = dir + "/" + e->d_name;
      if (e->d_type == DT_DIR) RemoveTree(path);
      else unlink(path.c_str());
    }
    closedir(d);
  }
  rmdir(dir.c_str());
}

// An environment variable for the test's lifetime.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_.c_str(), old_->c_str(), 1);
    else unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// What the panel hands to a send: the display ring, its rate layout, the
// channels' names, units and coefficients, and the shown range.
struct Display {
  int32_t numSamp = 10;
  int32_t rows = 0;
  int32_t firstBlock = 0;
  int32_t numChn = 0;
  int32_t analogNum = 0;
  std::vector<uint16_t> words;
  std::array<int32_t, kTables> multi{};
  std::array<int32_t, kTables> extraFirst{};
  std::array<int32_t, kTables> extraLast{};
  std::vector<std::array<char, 32>> nameSlots, unitSlots;
  std::vector<char*> names, units;
  std::vector<float> coeA, coeB;
  int32_t xPosition = 0;
  int32_t width = 0;
  float rate = 1000.0f;
  float vZero = 2048.0f;
  float adMax = 4095.0f;

  // Every channel at the base rate.
  Display(int32_t channels, int32_t rowCount) : rows(rowCount), numChn(channels), analogNum(channels) {
    words.assign(static_cast<size_t>(rows) * numChn, 2048);
    multi.fill(1);
    extraFirst.fill(0);
    extraLast.fill(0);
    for (int32_t c = 0; c < channels; ++c) extraFirst[c] = extraLast[c] = numChn;
    for (int32_t c = 0; c < channels; ++c) {
      std::array<char, 32> n{}, u{};
      std::snprintf(n.data(), n.size(), "Chn %c", 'A' + c);
      std::snprintf(u.data(), u.size(), "V%d", c);
      nameSlots.push_back(n);
      unitSlots.push_back(u);
      coeA.push_back(0.0f);
      coeB.push_back(1.0f);
    }
    for (auto& s : nameSlots) names.push_back(s.data());
    for (auto& s : unitSlots) units.push_back(s.data());
    width = rows;
  }
  // Word `word` of matrix row `row`.
  uint16_t& At(int32_t row, int32_t word) { return words[static_cast<size_t>(row) * numChn + word]; }
};

class EngineLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OnPath("octave-cli")) << "octave-cli is not on PATH: the engine library runs GNU Octave with its "
                                         "signal package; scripts/install-deps installs octave and octave-signal";
    char pattern[] = "/tmp/engine-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    tmp_ = pattern;
    tmpEnv_.emplace("TMPDIR", tmp_);
    octaveEnv_.emplace("HALDREVON_OCTAVE", "octave-cli");
    Load();
  }
  void TearDown() override {
    if (lib_.IsLoaded() && close_ != nullptr) close_();
    lib_.Free();
    octaveEnv_.reset();
    tmpEnv_.reset();
    if (!tmp_.empty()) RemoveTree(tmp_);
  }

  void Load() {
    ASSERT_TRUE(lib_.Load(QUELVAR_ENGINE_LIBRARY)) << lib_.ErrorText();
    initial_ = lib_.Entry<EngineInitialFn>("InitialEngine");
    close_ = lib_.Entry<EngineCloseFn>("CloseEngine");
    sendAd_ = lib_.Entry<EngineSendAdFn>("SendADToMatlab");
    sendOrig_ = lib_.Entry<EngineSendOrigAdFn>("SendOrigADToMatlab");
    sendCmd_ = lib_.Entry<EngineSendCmdFn>("SendCmd");
    varSize_ = lib_.Entry<EngineGetVarSizeFn>("GetMatlabVarSize");
    getDouble_ = lib_.Entry<EngineGetDoubleVarFn>("GetMatlabDoubleVar");
    getComplex_ = lib_.Entry<EngineGetComplexVarFn>("GetMatlabComplexVar");
    for (const void* entry : {reinterpret_cast<const void*>(initial_), reinterpret_cast<const void*>(close_),
                              reinterpret_cast<const void*>(sendAd_), reinterpret_cast<const void*>(sendOrig_),
                              reinterpret_cast<const void*>(sendCmd_), reinterpret_cast<const void*>(varSize_),
                              reinterpret_cast<const void*>(getDouble_), reinterpret_cast<const void*>(getComplex_)}) {
      ASSERT_NE(entry, nullptr);
    }
  }

  int32_t SendOrig(Display& d) {
    return sendOrig_(d.words.data(), 0, 0, d.numSamp, d.rows, d.firstBlock, d.numChn, d.analogNum, d.names.data(),
                     d.units.data(), d.multi.data(), d.extraFirst.data(), d.extraLast.data(), d.xPosition, d.width,
                     d.rate);
  }
  int32_t SendEngineering(Display& d) {
    return sendAd_(d.words.data(), 0, 0, d.numSamp, d.rows, d.firstBlock, d.numChn, d.analogNum, d.names.data(),
                   d.units.data(), d.coeA.data(), d.coeB.data(), d.multi.data(), d.extraFirst.data(),
                   d.extraLast.data(), d.xPosition, d.width, d.rate, d.vZero, d.adMax);
  }

  // A variable as the panel fetches one: its count, then its values.
  std::vector<double> Fetch(const char* name, bool complex = false) {
    const int32_t n = varSize_(name);
    if (n <= 0) return {};
    std::vector<double> v(static_cast<size_t>(n));
    if ((complex ? getComplex_ : getDouble_)(v.data(), name) == 0) return {};
    return v;
  }

  // Two channels: a 125 Hz sine and a 125 Hz cosine with a 60 Hz part, as
  // raw codes, 1000 points at 1000 Hz.
  static Display TwoSines() {
    Display d(2, 1000);
    for (int32_t r = 0; r < d.rows; ++r) {
      const double t = r / 1000.0;
      d.At(r, 0) = static_cast<uint16_t>(std::lround(2048 + 1000 * std::sin(2 * M_PI * 125 * t)));
      d.At(r, 1) = static_cast<uint16_t>(
          std::lround(2048 + 600 * std::cos(2 * M_PI * 125 * t) + 300 * std::sin(2 * M_PI * 60 * t)));
    }
    return d;
  }

  // Raw codes, or volts around 0 V (no mean to hide a peak behind).
  void StartWithTwoSines(bool engineering = false) {
    ASSERT_EQ(initial_(), 1);
    Display d = TwoSines();
    ASSERT_NE(engineering ? SendEngineering(d) : SendOrig(d), 0);
  }

  std::string tmp_;
  std::optional<ScopedEnv> tmpEnv_, octaveEnv_;
  DynamicLibrary lib_;
  EngineInitialFn initial_ = nullptr;
  EngineCloseFn close_ = nullptr;
  EngineSendAdFn sendAd_ = nullptr;
  EngineSendOrigAdFn sendOrig_ = nullptr;
  EngineSendCmdFn sendCmd_ = nullptr;
  EngineGetVarSizeFn varSize_ = nullptr;
  EngineGetDoubleVarFn getDouble_ = nullptr;
  EngineGetComplexVarFn getComplex_ = nullptr;
};

// --- Starting and closing ---------------------------------------------------

TEST_F(EngineLibraryTest, OneEngineRunsUntilClosedAndItsDirectoryGoesWithIt) {
  ASSERT_EQ(initial_(), 1);
  const std::vector<pid_t> engine = Children();
  ASSERT_EQ(engine.size(), 1u);
  EXPECT_EQ(EntriesIn(tmp_), 1u);  // its private directory
  EXPECT_EQ(initial_(), 1);        // already running: the same engine
  EXPECT_EQ(Children(), engine);

  close_();
  EXPECT_TRUE(Children().empty());
  EXPECT_EQ(EntriesIn(tmp_), 0u);
  EXPECT_EQ(sendCmd_("x = 1;"), 0);

  // A restart after the close works.
  ASSERT_EQ(initial_(), 1);
  EXPECT_EQ(sendCmd_("x = [1 2 3];"), 1);
  EXPECT_EQ(Fetch("x"), (std::vector<double>{1, 2, 3}));
}

TEST_F(EngineLibraryTest, UnloadingTheLibraryClosesTheEngine) {
  ASSERT_EQ(initial_(), 1);
  ASSERT_EQ(Children().size(), 1u);
  lib_.Free();
  EXPECT_TRUE(Children().empty());
  EXPECT_EQ(EntriesIn(tmp_), 0u);
}

TEST_F(EngineLibraryTest, WithoutOctaveTheEngineDoesNotStart) {
  ScopedEnv missing("HALDREVON_OCTAVE", tmp_ + "/no-such-octave-cli");
  EXPECT_EQ(initial_(), 0);
  EXPECT_EQ(EntriesIn(tmp_), 0u);
  Display d = TwoSines();
  EXPECT_EQ(SendOrig(d), 0);
  EXPECT_EQ(sendCmd_("x = 1;"), 0);
  EXPECT_EQ(varSize_("x"), 0);
}

// --- A dead engine ----------------------------------------------------------

struct EngineEnd {
  const char* name;
  bool killed;  // killed from outside, else ended by a command
};

void PrintTo(const EngineEnd& c, std::ostream* os) { *os << c.name; }

class DeadEngineTest : public EngineLibraryTest, public ::testing::WithParamInterface<EngineEnd> {};

TEST_P(DeadEngineTest, LaterCallsFailAndARestartWorks) {
  StartWithTwoSines();
  ASSERT_EQ(sendCmd_("[Pxx,f]=pwelch(AD(:,1),[],[],256,Fs);"), 1);
  ASSERT_EQ(varSize_("Pxx"), 129);
  if (GetParam().killed) {
    const std::vector<pid_t> engine = Children();
    ASSERT_EQ(engine.size(), 1u);
    ASSERT_EQ(kill(engine[0], SIGKILL), 0);
    EXPECT_EQ(sendCmd_("x = 1;"), 0);
  } else {
    EXPECT_EQ(sendCmd_("exit(3);"), 0);
  }
  std::vector<double> out(129, -1.0);
  EXPECT_EQ(getDouble_(out.data(), "Pxx"), 0);
  EXPECT_EQ(out[0], -1.0);
  EXPECT_EQ(varSize_("Pxx"), 0);
  Display d = TwoSines();
  EXPECT_EQ(SendOrig(d), 0);
  EXPECT_EQ(sendCmd_("x = 1;"), 0);
  EXPECT_TRUE(Children().empty());
  EXPECT_EQ(EntriesIn(tmp_), 0u);

  ASSERT_EQ(initial_(), 1);
  ASSERT_NE(SendOrig(d), 0);
  EXPECT_EQ(sendCmd_("[Pxx,f]=pwelch(AD(:,1),[],[],256,Fs);"), 1);
  EXPECT_EQ(Fetch("Pxx").size(), 129u);
}

TEST_F(EngineLibraryTest, ACommandThatDoesNotEndIsGivenUpAndTheEngineKilled) {
  StartWithTwoSines();
  ScopedEnv shortTimeOut("HALDREVON_EVALUATE_SECONDS", "1");
  EXPECT_EQ(sendCmd_("pause(600);"), 0);
  EXPECT_TRUE(Children().empty());
  EXPECT_EQ(EntriesIn(tmp_), 0u);
  EXPECT_EQ(varSize_("AD"), 0);
  ASSERT_EQ(initial_(), 1);
  EXPECT_EQ(sendCmd_("x = 1;"), 1);
}

INSTANTIATE_TEST_SUITE_P(Ends, DeadEngineTest,
                         ::testing::Values(EngineEnd{"Killed", true}, EngineEnd{"ExitCommand", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Sending the display data -----------------------------------------------

TEST_F(EngineLibraryTest, RawCodesNamesUnitsAndRateArriveExactly) {
  ASSERT_EQ(initial_(), 1);
  Display d(3, 50);
  for (int32_t r = 0; r < d.rows; ++r) {
    for (int32_t c = 0; c < 3; ++c) d.At(r, c) = static_cast<uint16_t>((r * 977 + c * 31337) % 65536);
  }
  std::snprintf(d.nameSlots[1].data(), 32, "%s", "压力 B");
  d.rate = 12345.678f;
  ASSERT_NE(SendOrig(d), 0);
  const std::vector<double> ad = Fetch("AD");
  ASSERT_EQ(ad.size(), 150u);
  for (int32_t c = 0; c < 3; ++c) {
    for (int32_t r = 0; r < d.rows; ++r) EXPECT_EQ(ad[static_cast<size_t>(c * 50 + r)], d.At(r, c)) << r << "," << c;
  }
  EXPECT_EQ(Fetch("Fs"), (std::vector<double>{static_cast<double>(d.rate)}));
  EXPECT_EQ(sendCmd_("ok = [strcmp(deblank(ChnName(2,:)), '压力 B'), strcmp(deblank(ChnUint(3,:)), 'V2'), "
                     "rows(ChnName), rows(ChnUint)];"),
            1);
  EXPECT_EQ(Fetch("ok"), (std::vector<double>{1, 1, 3, 3}));
}

TEST_F(EngineLibraryTest, EngineeringUnitsAreTheLinearValueOfTheVoltage) {
  ASSERT_EQ(initial_(), 1);
  Display d(2, 40);
  for (int32_t r = 0; r < d.rows; ++r) {
    d.At(r, 0) = static_cast<uint16_t>(r * 100);
    d.At(r, 1) = static_cast<uint16_t>(4095 - r * 7);
  }
  d.coeA = {0.1f, -3.5f};
  d.coeB = {2.0f, 0.37f};
  ASSERT_NE(SendEngineering(d), 0);
  const std::vector<double> ad = Fetch("AD");
  ASSERT_EQ(ad.size(), 80u);
  for (int32_t c = 0; c < 2; ++c) {
    for (int32_t r = 0; r < d.rows; ++r) {
      const double volts = (d.At(r, c) - static_cast<double>(d.vZero)) / (static_cast<double>(d.adMax) - d.vZero) * 5.0;
      const double expected = static_cast<double>(d.coeA[c]) + static_cast<double>(d.coeB[c]) * volts;
      EXPECT_EQ(ad[static_cast<size_t>(c * 40 + r)], expected) << r << "," << c;
    }
  }
  // A card without a span reads 0 V: every value is A.
  d.adMax = d.vZero;
  ASSERT_NE(SendEngineering(d), 0);
  const std::vector<double> flat = Fetch("AD");
  ASSERT_EQ(flat.size(), 80u);
  EXPECT_EQ(flat[5], static_cast<double>(d.coeA[0]));
  EXPECT_EQ(flat[45], static_cast<double>(d.coeA[1]));
}

// Channel 0 at the base rate, channel 1 at four times it; the ring's display
// row 0 is matrix row 30 (block 3 of 10 rows). Channel 1's sub-sample s reads
// s, channel 0's display row r reads 10000 + r.
struct RateCase {
  int32_t xPosition;
  int32_t width;
  int64_t fastFirst;                 // channel 1's first sub-sample
  std::vector<int64_t> slowRows;     // channel 0's display rows, in order
};

void PrintTo(const RateCase& c, std::ostream* os) { *os << "XPosition " << c.xPosition << " width " << c.width; }

class MultiRateTest : public EngineLibraryTest, public ::testing::WithParamInterface<RateCase> {};

std::vector<int64_t> Span(int64_t from, int64_t count) {
  std::vector<int64_t> v;
  for (int64_t i = 0; i < count; ++i) v.push_back(from + i);
  return v;
}

TEST_P(MultiRateTest, EachColumnHoldsItsChannelsOwnSamplesFromTheFirstShownPoint) {
  ASSERT_EQ(initial_(), 1);
  Display d(2, 100);
  d.numChn = 5;  // words 2..4: sub-samples 1..3 of channel 1
  d.words.assign(static_cast<size_t>(d.rows) * d.numChn, 0);
  d.multi[1] = 4;
  d.extraFirst = {};
  d.extraLast = {};
  d.extraFirst[0] = d.extraLast[0] = 2;
  d.extraFirst[1] = 2;
  d.extraLast[1] = 5;
  d.firstBlock = 3;
  for (int32_t r = 0; r < d.rows; ++r) {
    const int32_t row = (r + 30) % d.rows;
    d.At(row, 0) = static_cast<uint16_t>(10000 + r);
    d.At(row, 1) = static_cast<uint16_t>(4 * r);
    for (int32_t k = 1; k < 4; ++k) d.At(row, 2 + k - 1) = static_cast<uint16_t>(4 * r + k);
  }
  const RateCase& rc = GetParam();
  d.xPosition = rc.xPosition;
  d.width = rc.width;
  ASSERT_NE(SendOrig(d), 0);
  const std::vector<double> ad = Fetch("AD");
  ASSERT_EQ(ad.size(), static_cast<size_t>(2 * rc.width));
  ASSERT_EQ(rc.slowRows.size(), static_cast<size_t>(rc.width));
  for (int32_t i = 0; i < rc.width; ++i) {
    EXPECT_EQ(ad[static_cast<size_t>(i)], 10000 + rc.slowRows[static_cast<size_t>(i)]) << "slow row " << i;
    EXPECT_EQ(ad[static_cast<size_t>(rc.width + i)], rc.fastFirst + i) << "fast row " << i;
  }
}

std::vector<int64_t> Twice(int64_t count) {
  std::vector<int64_t> v = Span(0, count);
  const std::vector<int64_t> again = Span(0, count);
  v.insert(v.end(), again.begin(), again.end());
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, MultiRateTest,
    ::testing::Values(
        // The slow channel starts at the first shown point's instant and runs on.
        RateCase{40, 80, 40, Span(10, 80)},
        // Near the end it starts earlier, so that it ends at its last sample.
        RateCase{320, 80, 320, Span(20, 80)},
        // Fewer samples than rows: the ring is read round.
        RateCase{0, 200, 0, Twice(100)}));

TEST_F(EngineLibraryTest, SendsRefuseWhatCannotBeRead) {
  ASSERT_EQ(initial_(), 1);
  struct Case {
    const char* what;
    void (*spoil)(Display&);
  };
  const Case cases[] = {
      {"no analog channel", [](Display& d) { d.analogNum = 0; }},
      {"more analog channels than words", [](Display& d) { d.analogNum = d.numChn + 1; }},
      {"no rows", [](Display& d) { d.rows = 0; }},
      {"nothing shown", [](Display& d) { d.width = 0; }},
  };
  for (const Case& c : cases) {
    Display d = TwoSines();
    c.spoil(d);
    EXPECT_EQ(SendOrig(d), 0) << c.what;
  }
  Display d = TwoSines();
  EXPECT_EQ(sendOrig_(nullptr, 0, 0, d.numSamp, d.rows, 0, d.numChn, d.analogNum, d.names.data(), d.units.data(),
                      d.multi.data(), d.extraFirst.data(), d.extraLast.data(), 0, d.width, d.rate),
            0);
  EXPECT_EQ(sendAd_(d.words.data(), 0, 0, d.numSamp, d.rows, 0, d.numChn, d.analogNum, d.names.data(),
                    d.units.data(), nullptr, nullptr, d.multi.data(), d.extraFirst.data(), d.extraLast.data(), 0,
                    d.width, d.rate, d.vZero, d.adMax),
            0);
  // The engine is still there for a good send.
  EXPECT_NE(SendOrig(d), 0);
}

// --- The panel's commands ---------------------------------------------------

struct PanelCommand {
  const char* name;
  const char* command;
  const char* result;
  const char* axis;
  bool complex;
  size_t count;
};

void PrintTo(const PanelCommand& c, std::ostream* os) { *os << c.command; }

class PanelCommandTest : public EngineLibraryTest, public ::testing::WithParamInterface<PanelCommand> {};

TEST_P(PanelCommandTest, EvaluatesAndGivesResultAndAxisOfOneCount) {
  StartWithTwoSines();
  const PanelCommand& pc = GetParam();
  ASSERT_EQ(sendCmd_(pc.command), 1);
  // The panel's fetch: the result's count, then the result and the axis.
  const int32_t count = varSize_(pc.result);
  ASSERT_EQ(count, static_cast<int32_t>(pc.count));
  std::vector<double> y(pc.count), x(pc.count);
  EXPECT_NE((pc.complex ? getComplex_ : getDouble_)(y.data(), pc.result), 0);
  EXPECT_NE(getDouble_(x.data(), pc.axis), 0);
  for (size_t i = 0; i < pc.count; ++i) {
    ASSERT_TRUE(std::isfinite(y[i])) << i;
    ASSERT_TRUE(std::isfinite(x[i])) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PanelCommandTest,
    ::testing::Values(
        PanelCommand{"Psd", "[Pxx,f]=pwelch(AD(:,1),[],[],256,Fs);", "Pxx", "f", false, 129},
        PanelCommand{"PsdOlderForm", "[Pxx,f]=pwelch(AD(:,1),256,Fs);", "Pxx", "f", false, 129},
        PanelCommand{"PsdFasterChannel", "[Pxx,f]=pwelch(AD(:,2),[],[],512,Fs*4);", "Pxx", "f", false, 257},
        PanelCommand{"CrossSpectrum", "[Pxy,f]=csd(AD(:,1),AD(:,2),256,Fs);", "Pxy", "f", true, 129},
        PanelCommand{"Burg", "[Pxx,f]=pburg(AD(:,1),10,256,Fs);", "Pxx", "f", false, 256},
        PanelCommand{"Coherence", "[Cxy,f]=cohere(AD(:,1),AD(:,2),256,Fs);", "Cxy", "f", false, 129},
        PanelCommand{"Transfer", "[Txy,f]=tfe(AD(:,1),AD(:,2),256,Fs);", "Txy", "f", false, 129},
        PanelCommand{"AutoCorrelation", "[c,lags]=xcorr(AD(:,1),'coeff');lags = lags/Fs;", "c", "lags", false,
                     1999},
        PanelCommand{"CrossCorrelation", "[c,lags]=xcorr(AD(:,1),AD(:,2),'coeff');lags = lags/(Fs*2);", "c",
                     "lags", false, 1999}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineLibraryTest, PowerSpectrumOfASinePeaksAtItsFrequency) {
  StartWithTwoSines(true);
  for (const char* command : {"[Pxx,f]=pwelch(AD(:,1),[],[],256,Fs);", "[Pxx,f]=pwelch(AD(:,1),256,Fs);"}) {
    ASSERT_EQ(sendCmd_(command), 1) << command;
    const std::vector<double> p = Fetch("Pxx");
    ASSERT_EQ(p.size(), 129u);
    std::vector<double> f(129);
    ASSERT_NE(getDouble_(f.data(), "f"), 0);
    const size_t peak = static_cast<size_t>(std::max_element(p.begin(), p.end()) - p.begin());
    EXPECT_EQ(peak, 32u) << command;  // 125 Hz = 32 x 1000 / 256
    EXPECT_EQ(f[peak], 125.0) << command;
  }
}

TEST_F(EngineLibraryTest, CorrelationOfAChannelWithItselfIsOneAtLagZero) {
  StartWithTwoSines();
  for (const char* command : {"[c,lags]=xcorr(AD(:,1),'coeff');lags = lags/Fs;",
                              "[c,lags]=xcorr(AD(:,2),AD(:,2),'coeff');lags = lags/Fs;"}) {
    ASSERT_EQ(sendCmd_(command), 1) << command;
    const std::vector<double> c = Fetch("c");
    ASSERT_EQ(c.size(), 1999u);
    std::vector<double> lags(1999);
    ASSERT_NE(getDouble_(lags.data(), "lags"), 0);
    EXPECT_NEAR(c[999], 1.0, 1e-12) << command;
    EXPECT_EQ(lags[999], 0.0);
    EXPECT_EQ(lags[1000], 1.0 / 1000.0);
    EXPECT_EQ(*std::max_element(c.begin(), c.end()), c[999]);
  }
}

// --- Results of an earlier analysis -----------------------------------------

TEST_F(EngineLibraryTest, AFailedAnalysisLeavesNoEarlierResultBehind) {
  StartWithTwoSines();
  ASSERT_EQ(sendCmd_("[Pxx,f]=pwelch(AD(:,1),[],[],256,Fs);"), 1);
  ASSERT_EQ(varSize_("Pxx"), 129);
  EXPECT_EQ(sendCmd_("[Pxx,f]=pwelch(AD(:,9),[],[],256,Fs);"), 0);  // no channel 8
  EXPECT_EQ(varSize_("Pxx"), 0);
  EXPECT_EQ(varSize_("f"), 0);
}

TEST_F(EngineLibraryTest, EverySendClearsTheResults) {
  StartWithTwoSines();
  ASSERT_EQ(sendCmd_("[Pxy,f]=csd(AD(:,1),AD(:,2),256,Fs);[c,lags]=xcorr(AD(:,1),'coeff');"), 1);
  Display d = TwoSines();
  ASSERT_NE(SendOrig(d), 0);
  for (const char* name : {"Pxy", "f", "c", "lags"}) EXPECT_EQ(varSize_(name), 0) << name;
}

TEST_F(EngineLibraryTest, ThePlotAfterACorrelationStillFindsItsResults) {
  StartWithTwoSines();
  ASSERT_EQ(sendCmd_("[c,lags]=xcorr(AD(:,1),'coeff');lags = lags/Fs;"), 1);
  sendCmd_("stem(lags,c);xlabel('Lags(s)');ylabel('Auto Correlation');");  // no figures without a display
  EXPECT_EQ(varSize_("c"), 1999);
  EXPECT_EQ(varSize_("lags"), 1999);
}

// --- A known state before every command -------------------------------------

struct Disturbance {
  const char* name;
  const char* command;
};

void PrintTo(const Disturbance& c, std::ostream* os) { *os << c.command; }

class KnownStateTest : public EngineLibraryTest, public ::testing::WithParamInterface<Disturbance> {};

TEST_P(KnownStateTest, TheNextAnalysisRunsAsIfNothingHadHappened) {
  StartWithTwoSines();
  sendCmd_(GetParam().command);
  ASSERT_EQ(sendCmd_("[Pxx,f]=pwelch(AD(:,1),[],[],256,Fs);"), 1);
  EXPECT_EQ(Fetch("Pxx").size(), 129u);
  ASSERT_EQ(sendCmd_("[Pxy,f]=csd(AD(:,1),AD(:,2),256,Fs);"), 1);
  EXPECT_EQ(Fetch("Pxy", true).size(), 129u);
}

INSTANTIATE_TEST_SUITE_P(
    Disturbances, KnownStateTest,
    ::testing::Values(
        // Fails inside pwelch while csd has switched it to the old argument order.
        Disturbance{"FailedCrossSpectrum", "[Pxy,f]=csd(AD(:,1),AD(:,2),256,Fs,'bogus');"},
        Disturbance{"OldOrderLeftOn", "pwelch('R11-');"},
        Disturbance{"PlotWithoutFigures", "pwelch(AD(:,1),[],[],256,Fs);"},
        Disturbance{"ParseError", "x = [1 2"},
        Disturbance{"Error", "error('boom');"},
        Disturbance{"OlderFormAfterFailure", "[Pxx,f]=pwelch(AD(:,9),256,Fs);"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The getters --------------------------------------------------------------

TEST_F(EngineLibraryTest, AMissingVariableHasNoSizeAndCannotBeFetched) {
  StartWithTwoSines();
  for (const char* name : {"NoSuchThing", "x y", "x;exit", "", "1x", "ChnName2"}) {
    EXPECT_EQ(varSize_(name), 0) << name;
    double guard = -7.0;
    EXPECT_EQ(getDouble_(&guard, name), 0) << name;
    EXPECT_EQ(getComplex_(&guard, name), 0) << name;
    EXPECT_EQ(guard, -7.0);
  }
  EXPECT_EQ(sendCmd_("s = struct('a', 1);"), 1);
  EXPECT_EQ(varSize_("s"), 0);  // not an array of numbers
  EXPECT_EQ(Children().size(), 1u);
}

TEST_F(EngineLibraryTest, GettersCopyExactlyTheCountLastReported) {
  StartWithTwoSines();
  ASSERT_EQ(sendCmd_("[Pxx,f]=pwelch(AD(:,1),[],[],256,Fs);"), 1);
  std::vector<double> out(2000, -1.0);
  // No count reported yet.
  EXPECT_EQ(getDouble_(out.data(), "Pxx"), 0);
  ASSERT_EQ(varSize_("Pxx"), 129);
  // A variable of another count is refused, the destination untouched.
  EXPECT_EQ(getDouble_(out.data(), "AD"), 0);
  EXPECT_EQ(getComplex_(out.data(), "Fs"), 0);
  EXPECT_EQ(out[0], -1.0);
  // The axis of the same count is copied, and nothing beyond it.
  EXPECT_NE(getDouble_(out.data(), "f"), 0);
  EXPECT_EQ(out[128], 500.0);
  EXPECT_EQ(out[129], -1.0);
  // A command forgets the count.
  ASSERT_EQ(sendCmd_("y = 1;"), 1);
  EXPECT_EQ(getDouble_(out.data(), "Pxx"), 0);
}

TEST_F(EngineLibraryTest, ComplexValuesComeAsMagnitudesOrRealParts) {
  ASSERT_EQ(initial_(), 1);
  ASSERT_EQ(sendCmd_("z = [3+4i; -5; -2i]; r = [0.1, -2.5e-300, 1/3];"), 1);
  EXPECT_EQ(Fetch("z", true), (std::vector<double>{5, 5, 2}));
  EXPECT_EQ(Fetch("z", false), (std::vector<double>{3, -5, 0}));
  EXPECT_EQ(Fetch("r", false), (std::vector<double>{0.1, -2.5e-300, 1.0 / 3.0}));
  EXPECT_EQ(Fetch("r", true), (std::vector<double>{0.1, 2.5e-300, 1.0 / 3.0}));
}

}  // namespace
