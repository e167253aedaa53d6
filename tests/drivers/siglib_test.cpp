// The signal-processing library, loaded by path as the program loads it, and
// checked against GNU Octave with its signal package on the same data: the
// MATLAB data file it writes and each of its seven analyses.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/SignalLibraryAbi.h"
#include "platform/DynamicLibrary.h"

namespace {

namespace fs = std::filesystem;

// The library and its entries, bound by name.
struct SignalLib {
  quelvar::platform::DynamicLibrary lib;
  SignalLibSendArrayFn send = nullptr;
  SignalLibSaveADFn saveAD = nullptr;
  SignalLibCalcOneFn psd = nullptr;
  SignalLibCalcTwoFn cpsd = nullptr;
  SignalLibCalcBurgFn pburg = nullptr;
  SignalLibCalcTwoFn cohere = nullptr;
  SignalLibCalcTwoFn tfe = nullptr;
  SignalLibCalcOneFn autoCorr = nullptr;
  SignalLibCalcTwoFn corr = nullptr;
  SignalLibFreeResultFn freeResult = nullptr;

  SignalLib() {
    EXPECT_TRUE(lib.Load(QUELVAR_SIGLIB_PATH)) << lib.ErrorText();
    send = Bind<SignalLibSendArrayFn>("SendADToMatlabArray");
    saveAD = Bind<SignalLibSaveADFn>("SaveAD");
    psd = Bind<SignalLibCalcOneFn>("CalcPSD");
    cpsd = Bind<SignalLibCalcTwoFn>("CalcCPSD");
    pburg = Bind<SignalLibCalcBurgFn>("CalcPBurg");
    cohere = Bind<SignalLibCalcTwoFn>("CalcCohere");
    tfe = Bind<SignalLibCalcTwoFn>("CalcTFE");
    autoCorr = Bind<SignalLibCalcOneFn>("CalcAutoCorr");
    corr = Bind<SignalLibCalcTwoFn>("CalcCorr");
    freeResult = Bind<SignalLibFreeResultFn>("FreeResult");
  }
  template <typename Fn>
  Fn Bind(const char* name) {
    Fn fn = lib.Entry<Fn>(name);
    EXPECT_NE(fn, nullptr) << name;
    return fn;
  }
};

// Loaded once and never unloaded: the leak checker of the sanitizer build
// reads the thread-local blocks of every library the process has loaded at
// its exit, and one unloaded before then leaves it a stale block to read
// (it crashes instead of checking).
SignalLib& Lib() {
  static SignalLib* const lib = new SignalLib;
  return *lib;
}

// A display buffer as the program holds it: a ring of blocks of NumSamp rows
// of NumChn words (the analog channels, then a switch word).
struct Display {
  int32_t numSamp = 500;
  int32_t blocks = 12;
  int32_t firstBlock = 5;
  int32_t analogNum = 3;
  int32_t numChn = 4;
  int32_t xPosition = 200;
  int32_t displayWidth = 5000;
  float rate = 2500.0f;
  float vZero = 2048.0f;
  float adMax = 4095.0f;
  std::vector<float> coeA{0.5f, -1.0f, 2.0f};
  std::vector<float> coeB{2.0f, 0.25f, 10.0f};
  std::vector<uint16_t> words;

  int32_t Rows() const { return numSamp * blocks; }
  uint16_t& Word(int64_t row, int32_t w) { return words[static_cast<size_t>(row * numChn + w)]; }

  // Channel 0 a sine in noise, channel 1 a delayed, smoothed channel 0 in
  // noise, channel 2 noise; codes in 12 bits.
  void Fill() {
    words.assign(static_cast<size_t>(Rows()) * numChn, 0);
    uint32_t seed = 12345;
    auto noise = [&seed] {
      seed = seed * 1664525u + 1013904223u;
      return static_cast<double>(seed >> 8) / 16777216.0 - 0.5;
    };
    std::vector<double> ch0(static_cast<size_t>(Rows()));
    for (int64_t r = 0; r < Rows(); ++r) {
      ch0[static_cast<size_t>(r)] = 700.0 * std::sin(2.0 * std::numbers::pi * 60.0 * static_cast<double>(r) / rate) +
                                    300.0 * noise();
    }
    auto code = [](double v) { return static_cast<uint16_t>(std::clamp(std::lround(2048.0 + v), 0L, 4095L)); };
    for (int64_t r = 0; r < Rows(); ++r) {
      const auto i = static_cast<size_t>(r);
      const double delayed = r >= 3 ? 0.5 * (ch0[i - 3] + ch0[i - 2]) : 0.0;
      Word(r, 0) = code(ch0[i]);
      Word(r, 1) = code(0.8 * delayed + 150.0 * noise());
      Word(r, 2) = code(900.0 * noise());
      Word(r, 3) = static_cast<uint16_t>(r & 0xffff);
    }
  }

  int32_t Send() const {
    return Lib().send(words.data(), 7, 11, numSamp, Rows(), firstBlock, numChn, analogNum, coeA.data(), coeB.data(),
                      xPosition, displayWidth, rate, vZero, adMax);
  }

  // Engineering value of channel c at display point p, worked out by hand:
  // the ring row p + firstBlock x numSamp, the program's volts, then A + B v.
  double Expected(int64_t point, int32_t c) const {
    const int64_t row = (point + int64_t{firstBlock} * numSamp) % Rows();
    const uint16_t w = words[static_cast<size_t>(row * numChn + c)];
    const double span = static_cast<double>(adMax) - vZero;
    const double volts = span == 0.0 ? 0.0 : (w - static_cast<double>(vZero)) / span * 5.0;
    return static_cast<double>(coeA[static_cast<size_t>(c)]) + static_cast<double>(coeB[static_cast<size_t>(c)]) * volts;
  }
};

// A directory of its own, removed afterwards.
struct TempDir {
  fs::path path;
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "siglib-test-XXXXXX").string();
    EXPECT_NE(::mkdtemp(tmpl.data()), nullptr);
    path = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Runs an Octave script (with the signal package loaded) in `dir`; its
// messages are returned in `log`. Octave is required: CI installs it.
bool RunOctave(const TempDir& dir, const std::string& body, std::string& log) {
  if (std::system("command -v octave-cli >/dev/null 2>&1") != 0) {
    log = "octave-cli not found: GNU Octave and its signal package are needed (scripts/install-deps)";
    return false;
  }
  const fs::path script = dir.path / "check.m";
  const fs::path messages = dir.path / "octave.log";
  std::ofstream(script) << "pkg load signal;\n" << body;
  const std::string command = "cd '" + dir.path.string() + "' && timeout 120 octave-cli -q --no-gui --norc " +
                              "--no-history check.m >octave.log 2>&1";
  const int rc = std::system(command.c_str());
  std::ifstream in(messages);
  std::stringstream text;
  text << in.rdbuf();
  log = text.str();
  return rc == 0;
}

std::vector<double> ReadDoubles(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<double> v;
  double d = 0;
  while (in.read(reinterpret_cast<char*>(&d), sizeof d)) v.push_back(d);
  return v;
}

// A Calc result copied out and handed back to the library.
struct Result {
  int32_t ok = 0;
  std::vector<double> y, x;
};

template <typename Call>
Result Take(Call call) {
  // Pointers of the caller's own on entry: the library must neither read nor
  // free them (freeing this stack array would be caught by the sanitizers).
  double own[2] = {0, 0};
  double* y = own;
  double* x = own + 1;
  int32_t n = -7;
  Result r;
  r.ok = call(&y, &x, &n);
  if (r.ok != 0 && n > 0 && y != own && x != own + 1) {
    r.y.assign(y, y + n);
    r.x.assign(x, x + n);
    Lib().freeResult(y);
    Lib().freeResult(x);
  }
  return r;
}

TEST(SignalLibrary, ExportsEveryEntryTheProgramBinds) {
  SignalLib& lib = Lib();
  EXPECT_TRUE(lib.send && lib.saveAD && lib.psd && lib.cpsd && lib.pburg && lib.cohere && lib.tfe && lib.autoCorr &&
              lib.corr && lib.freeResult);
  // Nothing but the entries leaves the library.
  EXPECT_EQ(lib.lib.Symbol("_ZN6siglib15PrepareAdMatrixERKNS_13DisplayBufferERNS_8AdMatrixE"), nullptr);
}

// The MATLAB data file, read back by Octave: the matrix (points x channels in
// engineering units), the variable names and Fs, exactly.
struct LayoutCase {
  const char* what;
  int32_t xPosition, displayWidth, firstBlock;
  float vZero, adMax;
  int64_t firstPoint, points;
};

TEST(SignalLibrary, SavedMatlabFileReadsBackInOctave) {
  const LayoutCase cases[] = {
      {"range across the ring's end", 200, 5000, 5, 2048.0f, 4095.0f, 200, 5000},
      {"range beyond the data is cut", 5500, 900, 0, 0.0f, 65535.0f, 5500, 500},
      {"start before the data is cut", -100, 300, 11, 2048.0f, 4095.0f, 0, 200},
      {"no span between zero and full scale: A", 0, 40, 3, 100.0f, 100.0f, 0, 40},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.what);
    Display d;
    d.xPosition = c.xPosition;
    d.displayWidth = c.displayWidth;
    d.firstBlock = c.firstBlock;
    d.vZero = c.vZero;
    d.adMax = c.adMax;
    d.Fill();
    ASSERT_NE(d.Send(), 0);
    TempDir dir;
    const fs::path file = dir.path / "DATA.MAT";
    ASSERT_NE(Lib().saveAD(file.c_str()), 0);
    std::string log;
    ASSERT_TRUE(RunOctave(dir,
                          "s = load('DATA.MAT');\n"
                          "names = sort(fieldnames(s));\n"
                          "fid = fopen('names.txt', 'w'); fprintf(fid, '%s\\n', names{:}); fclose(fid);\n"
                          "fid = fopen('ad.bin', 'w');\n"
                          "fwrite(fid, [size(s.AD) s.Fs isa(s.AD, 'double') isa(s.Fs, 'double')], 'double');\n"
                          "fwrite(fid, s.AD(:), 'double'); fclose(fid);\n",
                          log))
        << log;
    std::ifstream names(dir.path / "names.txt");
    std::stringstream text;
    text << names.rdbuf();
    EXPECT_EQ(text.str(), "AD\nFs\n");
    const std::vector<double> v = ReadDoubles(dir.path / "ad.bin");
    ASSERT_EQ(v.size(), 5 + static_cast<size_t>(c.points) * 3);
    EXPECT_EQ(v[0], static_cast<double>(c.points));
    EXPECT_EQ(v[1], 3.0);
    EXPECT_EQ(v[2], 2500.0);
    EXPECT_EQ(v[3], 1.0);
    EXPECT_EQ(v[4], 1.0);
    // Column-major: channel c's points one after the other.
    int mismatches = 0;
    for (int32_t ch = 0; ch < 3; ++ch) {
      for (int64_t i = 0; i < c.points; ++i) {
        const double got = v[5 + static_cast<size_t>(ch * c.points + i)];
        if (got != d.Expected(c.firstPoint + i, ch) && ++mismatches <= 3) {
          ADD_FAILURE() << "AD(" << i + 1 << "," << ch + 1 << ") = " << got << ", expected "
                        << d.Expected(c.firstPoint + i, ch);
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
    if (c.vZero == c.adMax) {
      EXPECT_EQ(v[5], 0.5);
    }
  }
}

TEST(SignalLibrary, SaveReplacesAnEarlierFileAndLeavesNoTemporary) {
  Display d;
  d.Fill();
  ASSERT_NE(d.Send(), 0);
  TempDir dir;
  const fs::path file = dir.path / "AD.MAT";
  std::ofstream(file) << "an earlier file";
  ASSERT_NE(Lib().saveAD(file.c_str()), 0);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"AD.MAT"});
  EXPECT_GT(fs::file_size(file), 5000u * 3 * 8);
}

// A file that cannot be written gives 0 and leaves nothing behind.
TEST(SignalLibrary, SaveToAnUnwritablePathFailsCleanly) {
  Display d;
  d.Fill();
  ASSERT_NE(d.Send(), 0);
  TempDir dir;
  fs::create_directory(dir.path / "taken");  // a directory where the file should go
  std::ofstream(dir.path / "plain") << "x";
  const fs::path targets[] = {dir.path / "taken", dir.path / "missing" / "AD.MAT", dir.path / "plain" / "AD.MAT",
                              fs::path("")};
  for (const fs::path& target : targets) {
    SCOPED_TRACE(target.string());
    EXPECT_EQ(Lib().saveAD(target.c_str()), 0);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"plain", "taken"}));
    EXPECT_TRUE(fs::is_empty(dir.path / "taken"));
  }
  EXPECT_EQ(Lib().saveAD(nullptr), 0);
  if (::geteuid() != 0) {  // root writes into a read-only directory anyway
    fs::permissions(dir.path, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(Lib().saveAD((dir.path / "AD.MAT").c_str()), 0);
    fs::permissions(dir.path, fs::perms::owner_all);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"plain", "taken"}));
  }
}

// Each analysis against Octave's own on the saved data: the values within
// 1e-9 of the largest value, the axis within 1e-12 of its largest value.
struct AnalysisCase {
  const char* what;
  const char* octave;  // leaves the result in y, the axis in x
  std::function<int32_t(double**, double**, int32_t*)> call;
};

// Runs the cases on the data `d` holds, and Octave on the same data saved.
void ExpectAgreement(const Display& d, const std::vector<AnalysisCase>& cases) {
  ASSERT_NE(d.Send(), 0);
  TempDir dir;
  ASSERT_NE(Lib().saveAD((dir.path / "AD.MAT").c_str()), 0);
  std::string script = "load('AD.MAT');\n";
  for (size_t i = 0; i < cases.size(); ++i) {
    script += std::string(cases[i].octave) + "\nfid=fopen('r" + std::to_string(i) +
              ".bin','w'); fwrite(fid,[numel(y); y(:); x(:)],'double'); fclose(fid);\n";
  }
  std::string log;
  ASSERT_TRUE(RunOctave(dir, script, log)) << log;

  for (size_t i = 0; i < cases.size(); ++i) {
    const AnalysisCase& c = cases[i];
    SCOPED_TRACE(c.what);
    const std::vector<double> want = ReadDoubles(dir.path / ("r" + std::to_string(i) + ".bin"));
    ASSERT_FALSE(want.empty());
    const auto count = static_cast<size_t>(want[0]);
    ASSERT_EQ(want.size(), 1 + 2 * count);
    const Result got = Take(c.call);
    ASSERT_NE(got.ok, 0);
    ASSERT_EQ(got.y.size(), count);
    double yMax = 0.0;
    double xMax = 0.0;
    for (size_t k = 0; k < count; ++k) {
      yMax = std::max(yMax, std::abs(want[1 + k]));
      xMax = std::max(xMax, std::abs(want[1 + count + k]));
    }
    ASSERT_GT(yMax, 0.0);
    double yErr = 0.0;
    double xErr = 0.0;
    for (size_t k = 0; k < count; ++k) {
      yErr = std::max(yErr, std::abs(got.y[k] - want[1 + k]));
      xErr = std::max(xErr, std::abs(got.x[k] - want[1 + count + k]));
    }
    EXPECT_LE(yErr, 1e-9 * yMax) << "largest difference " << yErr / yMax << " of the largest value";
    EXPECT_LE(xErr, 1e-12 * xMax);
  }
}

TEST(SignalLibrary, AnalysesAgreeWithOctave) {
  SignalLib& L = Lib();
  const std::vector<AnalysisCase> cases = {
      {"psd, NFFT above the segment", "[y,x]=pwelch(AD(:,1),[],[],1024,Fs);",
       [&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, 0, 1024); }},
      {"psd, NFFT below the segment", "[y,x]=pwelch(AD(:,3),[],[],32,Fs);",
       [&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, 2, 32); }},
      {"psd, odd NFFT", "[y,x]=pwelch(AD(:,2),[],[],999,Fs);",
       [&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, 1, 999); }},
      {"cross spectrum (magnitude)", "[y,x]=csd(AD(:,1),AD(:,2),256,Fs); y=abs(y);",
       [&](double** y, double** x, int32_t* n) { return L.cpsd(y, x, n, 0, 1, 256); }},
      {"cross spectrum, odd NFFT", "[y,x]=csd(AD(:,2),AD(:,3),255,Fs); y=abs(y);",
       [&](double** y, double** x, int32_t* n) { return L.cpsd(y, x, n, 1, 2, 255); }},
      {"cross spectrum, NFFT above the data", "[y,x]=csd(AD(:,1),AD(:,2),8192,Fs); y=abs(y);",
       [&](double** y, double** x, int32_t* n) { return L.cpsd(y, x, n, 0, 1, 8192); }},
      {"burg, power-of-two NFFT", "[y,x]=pburg(AD(:,1),10,256,Fs);",
       [&](double** y, double** x, int32_t* n) { return L.pburg(y, x, n, 0, 10, 256); }},
      {"burg, other NFFT", "[y,x]=pburg(AD(:,2),4,1000,Fs);",
       [&](double** y, double** x, int32_t* n) { return L.pburg(y, x, n, 1, 4, 1000); }},
      {"coherence", "[y,x]=cohere(AD(:,1),AD(:,2),512,Fs);",
       [&](double** y, double** x, int32_t* n) { return L.cohere(y, x, n, 0, 1, 512); }},
      {"transfer function (magnitude)", "[y,x]=tfe(AD(:,1),AD(:,2),512,Fs); y=abs(y);",
       [&](double** y, double** x, int32_t* n) { return L.tfe(y, x, n, 0, 1, 512); }},
      {"autocorrelation", "[y,x]=xcorr(AD(:,1),'coeff'); x=x/Fs;",
       [&](double** y, double** x, int32_t* n) { return L.autoCorr(y, x, n, 0, 256); }},
      {"cross-correlation", "[y,x]=xcorr(AD(:,1),AD(:,2),'coeff'); x=x/Fs;",
       [&](double** y, double** x, int32_t* n) { return L.corr(y, x, n, 0, 1, 256); }},
      {"cross-correlation, reversed", "[y,x]=xcorr(AD(:,3),AD(:,1),'coeff'); x=x/Fs;",
       [&](double** y, double** x, int32_t* n) { return L.corr(y, x, n, 2, 0, 256); }},
  };
  Display d;
  d.Fill();
  ExpectAgreement(d, cases);
}

// A range shorter than a segment: zero-padded as Octave pads it.
TEST(SignalLibrary, AnalysesOfAShortRangeAgreeWithOctave) {
  SignalLib& L = Lib();
  const std::vector<AnalysisCase> cases = {
      {"psd", "[y,x]=pwelch(AD(:,1),[],[],64,Fs);",
       [&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, 0, 64); }},
      {"cross spectrum", "[y,x]=csd(AD(:,1),AD(:,2),32,Fs); y=abs(y);",
       [&](double** y, double** x, int32_t* n) { return L.cpsd(y, x, n, 0, 1, 32); }},
      {"coherence", "[y,x]=cohere(AD(:,1),AD(:,2),16,Fs);",
       [&](double** y, double** x, int32_t* n) { return L.cohere(y, x, n, 0, 1, 16); }},
      {"transfer function", "[y,x]=tfe(AD(:,3),AD(:,2),33,Fs); y=abs(y);",
       [&](double** y, double** x, int32_t* n) { return L.tfe(y, x, n, 2, 1, 33); }},
      {"burg", "[y,x]=pburg(AD(:,1),4,32,Fs);",
       [&](double** y, double** x, int32_t* n) { return L.pburg(y, x, n, 0, 4, 32); }},
      {"autocorrelation", "[y,x]=xcorr(AD(:,2),'coeff'); x=x/Fs;",
       [&](double** y, double** x, int32_t* n) { return L.autoCorr(y, x, n, 1, 32); }},
      {"cross-correlation", "[y,x]=xcorr(AD(:,2),AD(:,3),'coeff'); x=x/Fs;",
       [&](double** y, double** x, int32_t* n) { return L.corr(y, x, n, 1, 2, 32); }},
  };
  Display d;
  d.displayWidth = 7;
  d.Fill();
  ExpectAgreement(d, cases);
}

// A channel without energy: zero spectra and correlations, 0 where a ratio
// has nothing to divide by, and no Burg model.
TEST(SignalLibrary, SilentChannelGivesZerosNotInvalidValues) {
  SignalLib& L = Lib();
  Display d;
  d.coeA = {0.0f, 0.0f, 0.0f};
  d.Fill();
  for (int32_t r = 0; r < d.Rows(); ++r) d.Word(r, 2) = 2048;  // channel 2 at zero volts
  ASSERT_NE(d.Send(), 0);
  const Result results[] = {
      Take([&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, 2, 256); }),
      Take([&](double** y, double** x, int32_t* n) { return L.cohere(y, x, n, 0, 2, 256); }),
      Take([&](double** y, double** x, int32_t* n) { return L.tfe(y, x, n, 2, 0, 256); }),
      Take([&](double** y, double** x, int32_t* n) { return L.autoCorr(y, x, n, 2, 256); }),
      Take([&](double** y, double** x, int32_t* n) { return L.corr(y, x, n, 0, 2, 256); }),
  };
  for (const Result& r : results) {
    ASSERT_NE(r.ok, 0);
    EXPECT_TRUE(std::all_of(r.y.begin(), r.y.end(), [](double v) { return v == 0.0; }));
  }
  EXPECT_EQ(Take([&](double** y, double** x, int32_t* n) { return L.pburg(y, x, n, 2, 4, 256); }).ok, 0);
}

// Refused arguments give 0 and leave the caller's pointers and count alone.
TEST(SignalLibrary, RefusesBadArguments) {
  SignalLib& L = Lib();
  Display d;
  d.Fill();
  ASSERT_NE(d.Send(), 0);
  using Call = std::function<int32_t(double**, double**, int32_t*)>;
  const std::pair<const char*, Call> refused[] = {
      {"channel -1", [&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, -1, 256); }},
      {"channel Analog_Num", [&](double** y, double** x, int32_t* n) { return L.autoCorr(y, x, n, 3, 256); }},
      {"second channel Analog_Num", [&](double** y, double** x, int32_t* n) { return L.cpsd(y, x, n, 0, 3, 256); }},
      {"second channel -1", [&](double** y, double** x, int32_t* n) { return L.corr(y, x, n, 0, -1, 256); }},
      {"first channel of two", [&](double** y, double** x, int32_t* n) { return L.tfe(y, x, n, 7, 0, 256); }},
      {"NFFT 1", [&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, 0, 1); }},
      {"NFFT 0", [&](double** y, double** x, int32_t* n) { return L.cohere(y, x, n, 0, 1, 0); }},
      {"NFFT negative", [&](double** y, double** x, int32_t* n) { return L.cpsd(y, x, n, 0, 1, -256); }},
      {"NFFT too large", [&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, 0, kSignalLibMaxNfft + 1); }},
      {"NFFT negative, correlation", [&](double** y, double** x, int32_t* n) { return L.autoCorr(y, x, n, 0, -1); }},
      {"Burg order 0", [&](double** y, double** x, int32_t* n) { return L.pburg(y, x, n, 0, 0, 256); }},
      {"Burg order negative", [&](double** y, double** x, int32_t* n) { return L.pburg(y, x, n, 0, -3, 256); }},
      {"Burg order points - 2", [&](double** y, double** x, int32_t* n) { return L.pburg(y, x, n, 0, 4998, 256); }},
      {"Burg NFFT 1", [&](double** y, double** x, int32_t* n) { return L.pburg(y, x, n, 0, 10, 1); }},
  };
  for (const auto& [what, call] : refused) {
    SCOPED_TRACE(what);
    double own[2] = {1.0, 2.0};
    double* y = own;
    double* x = own + 1;
    int32_t n = 42;
    EXPECT_EQ(call(&y, &x, &n), 0);
    EXPECT_EQ(y, own);
    EXPECT_EQ(x, own + 1);
    EXPECT_EQ(n, 42);
  }
  double* y = nullptr;
  double* x = nullptr;
  int32_t n = 0;
  EXPECT_EQ(L.psd(nullptr, &x, &n, 0, 256), 0);
  EXPECT_EQ(L.psd(&y, nullptr, &n, 0, 256), 0);
  EXPECT_EQ(L.psd(&y, &x, nullptr, 0, 256), 0);
  // The largest Burg order still fits: points - 3.
  EXPECT_NE(Take([&](double** yy, double** xx, int32_t* nn) { return L.pburg(yy, xx, nn, 0, 4997, 64); }).ok, 0);
}

// A preparation the library refuses drops the earlier copy: every analysis
// and the save refuse until the next preparation succeeds.
TEST(SignalLibrary, RefusedPreparationLeavesNothingToAnalyse) {
  SignalLib& L = Lib();
  Display good;
  good.Fill();
  struct Bad {
    const char* what;
    std::function<void(Display&)> change;
    bool nullData = false;
  };
  const Bad bad[] = {
      {"no data", [](Display&) {}, true},
      {"no rows", [](Display& d) { d.blocks = 0; }},
      {"no analog channel", [](Display& d) { d.analogNum = 0; }},
      {"more analog channels than words", [](Display& d) { d.analogNum = 5; }},
      {"no words", [](Display& d) { d.numChn = 0; }},
      {"negative NumSamp", [](Display& d) { d.numSamp = -500; d.blocks = -12; }},
      {"no width", [](Display& d) { d.displayWidth = 0; }},
      {"range past the data", [](Display& d) { d.xPosition = 6000; }},
      {"range before the data", [](Display& d) { d.xPosition = -300; d.displayWidth = 300; }},
      {"rate 0", [](Display& d) { d.rate = 0.0f; }},
      {"rate negative", [](Display& d) { d.rate = -1.0f; }},
      {"rate not a number", [](Display& d) { d.rate = std::nanf(""); }},
      {"full scale infinite", [](Display& d) { d.adMax = INFINITY; }},
  };
  TempDir dir;
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.what);
    ASSERT_NE(good.Send(), 0);
    Display d = good;
    b.change(d);
    const uint16_t* data = b.nullData ? nullptr : d.words.data();
    EXPECT_EQ(L.send(data, 0, 0, d.numSamp, d.numSamp * d.blocks, d.firstBlock, d.numChn, d.analogNum, d.coeA.data(),
                     d.coeB.data(), d.xPosition, d.displayWidth, d.rate, d.vZero, d.adMax),
              0);
    EXPECT_EQ(Take([&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, 0, 256); }).ok, 0);
    EXPECT_EQ(Take([&](double** y, double** x, int32_t* n) { return L.corr(y, x, n, 0, 1, 256); }).ok, 0);
    EXPECT_EQ(L.saveAD((dir.path / "AD.MAT").c_str()), 0);
    EXPECT_TRUE(dir.Names().empty());
  }
  EXPECT_EQ(L.send(good.words.data(), 0, 0, good.numSamp, good.Rows(), good.firstBlock, good.numChn, good.analogNum,
                   nullptr, good.coeB.data(), 0, 100, good.rate, good.vZero, good.adMax),
            0);
  EXPECT_EQ(L.send(good.words.data(), 0, 0, good.numSamp, good.Rows(), good.firstBlock, good.numChn, good.analogNum,
                   good.coeA.data(), nullptr, 0, 100, good.rate, good.vZero, good.adMax),
            0);
  ASSERT_NE(good.Send(), 0);
  EXPECT_NE(Take([&](double** y, double** x, int32_t* n) { return L.psd(y, x, n, 0, 256); }).ok, 0);
}

}  // namespace
