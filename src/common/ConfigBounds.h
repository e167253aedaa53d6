#pragma once

#include <cstdint>

namespace quelvar {

// Limits of the channel-rate settings that come from outside (configuration
// files, record files, stations, the settings tree), and the one place the
// samples per AC cycle are derived from them.

// Words of one sample row: the card takes the row's word count (NumChn) as a
// signed 16-bit number, and the settings tree keeps it in 16 bits.
inline constexpr int32_t kMaxRowWords = 32767;

// A channel's rate multiplier: all its sub-samples of a row lie in that row.
inline constexpr int32_t kMaxMultiFreq = kMaxRowWords;

// Nominal AC frequency, Hz. The low end is the channel-group dialog's own
// floor; the high end lies far above any power system or converter output
// (16.7 Hz to tens of kHz) and keeps the dialog's whole-hertz reading of the
// field inside 32 bits.
// X graduations of a waveform view: at least 3; more than a screen's pixels
// only make the time axis's tick loop long enough to stall the window, and a
// few hundred are already unreadable.
inline constexpr int32_t kMinGraduations = 3;
inline constexpr int32_t kDefaultGraduations = 5;
inline constexpr int32_t kMaxGraduations = 1000;

// A picture's scale divisions and trace width in pixels. Beyond these a
// picture is no more readable, and a pen a million pixels wide or a scale
// loop of millions would stall the preview, the clipboard and printing.
inline constexpr int32_t kMinPictureScaleNum = 4;
inline constexpr int32_t kMaxPictureScaleNum = 1000;
inline constexpr int32_t kMinPictureLineWidth = 1;
inline constexpr int32_t kMaxPictureLineWidth = 100;

inline constexpr float kMinACFrq = 0.001f;
inline constexpr float kMaxACFrq = 1.0e6f;

// Samples per cycle are capped here. A longer cycle could never run: the
// cycle algorithms need two cycles a block and a run's buffers are refused
// beyond 2^30 words. The cap keeps every product of a cycle length with the
// algorithms' small factors (up to 9 cycles, 8 x a cycle) inside 32 bits.
inline constexpr int32_t kMaxSamplesPerCycle = int32_t{1} << 26;

// ChannelRate / ACFrq truncated, at least 1 (a rate or frequency that is not
// a positive number gives 1), at most kMaxSamplesPerCycle.
int32_t SamplesPerCycleOf(float channelRate, float acFrq);

// A multiplier brought into 1 .. kMaxMultiFreq.
int32_t ClampMultiFreq(int32_t multiFreq);

// True when `acFrq` is a number within kMinACFrq .. kMaxACFrq.
bool ACFrqInRange(float acFrq);

}  // namespace quelvar
