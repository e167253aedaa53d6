#pragma once

// The offline filter panel's values under "\FilterSetting": read when the
// panel is made (each with its default when it cannot be read, then brought
// into range), written when it goes; and the rules of the panel's edits.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// Filter types; high-pass, band-pass and band-stop are offered disabled and
// filter nothing.
inline constexpr int32_t kFilterMedian = 0;
inline constexpr int32_t kFilterLowPass = 1;
inline constexpr int32_t kFilterTypeCount = 5;
// Channel scopes: all analog channels, the drawn ones, one channel.
inline constexpr int32_t kFilterAllChannels = 0;
inline constexpr int32_t kFilterDrawnChannels = 1;
inline constexpr int32_t kFilterOneChannel = 2;
// Row scopes: all rows, the rows on screen, the rows between the marks.
inline constexpr int32_t kFilterAllRows = 0;
inline constexpr int32_t kFilterScreenRows = 1;
inline constexpr int32_t kFilterMarkRows = 2;
// Low-pass kinds.
inline constexpr int32_t kLowPassFir = 0;
inline constexpr int32_t kLowPassIir = 1;

inline constexpr int32_t kFilterOrderMax = 1024;
inline constexpr float kFilterCutoffFallback = 0.1f;

struct FilterSetting {
  int32_t FilterType = kFilterMedian;
  int32_t FilterChnType = kFilterAllChannels;
  int32_t FilterTimeType = kFilterAllRows;
  int32_t LowPassType = kLowPassFir;
  int32_t LowPassOrder = 10;
  int32_t LowPassWindowType = 4;  // Blackman
  float LowPassFrq = 10.0f;       // Hz
  double IIRCoeA = 0.95;
};

// Read, then brought into range (ClampFilterSetting).
FilterSetting ReadFilterSetting(platform::RegistryStore& store, const std::string& appKeyName);
// All eight values; the two real ones as floating-point values.
void WriteFilterSetting(platform::RegistryStore& store, const std::string& appKeyName, const FilterSetting& s);

// The ranges on reading: an unknown choice becomes the first one; the order
// below 0 becomes 1 and above 1024 becomes 1024; a cut-off that is negative
// or no finite number becomes 0.1; a between 0 and 1 (no number: 0.95).
void ClampFilterSetting(FilterSetting& s);

// The edits' rules. Each takes the edit's text and the value so far and
// gives the new value; a text that is not a number keeps the value so far.
float CutoffFromEdit(std::string_view text, float last);        // negative -> 0.1
int32_t OrderFromEdit(std::string_view text, int32_t last);     // <0 -> 1, >1024 -> 1024
// a within 0..1; `clamped` tells whether the text must be written back.
double CoefficientFromEdit(std::string_view text, double last, bool& clamped);
// A channel edit: not a number -> 0, then within 0..analogNum - 1.
int32_t ChannelFromEdit(std::string_view text, int32_t analogNum);

// The texts the panel writes.
std::string CutoffText(double hz);        // fixed, two decimals
std::string CoefficientText(double a);    // general, up to seven digits
std::string SampleRateText(double rate);  // "采样频率=" ... "Hz"
std::string ChannelHint(const std::string& channelName);  // "通道名称：" + name

// The cut-off the FIR design uses: not >= 0 -> 0.1, above half the rate ->
// half the rate (the rate taken as it is when it is not above 0).
double DesignCutoff(double cutoffHz, double rate);

}  // namespace quelvar
