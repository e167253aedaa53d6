#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quelvar {

// Playback scrolls the waveform view through the shown data, one step per
// tick, until it is stopped or reaches an end of the data.

inline constexpr int32_t kPlayStopped = 0;
inline constexpr int32_t kPlayEarlier = 1;  // the first shown point decreases
inline constexpr int32_t kPlayLater = 2;

// Bounds of the tick period (ms) and of the screen fraction a tick moves.
inline constexpr int32_t kMinPlayInterval = 100;
inline constexpr int32_t kMaxPlayInterval = 10000;
inline constexpr int32_t kMinPlayInc = 2;
inline constexpr int32_t kMaxPlayInc = 10;

// Why a play command does not start: the status message, or nothing.
std::optional<std::string> PlayStartRefusal(int32_t dispValid, int32_t runState);

// Points a tick moves: a playInc-th of the screen, rounded down, at least 1.
int32_t PlaybackStep(int32_t displayWidth, int32_t playInc);

// One tick: the new first point of the view, and whether playback stops
// because an end of the data was reached. Towards earlier data it stops at
// point 0; towards later data at the last full screen, dispPoints -
// displayWidth, or at point 0 when the data are shorter than the screen.
struct PlaybackMove {
  int32_t position = 0;
  bool stop = false;
};
PlaybackMove PlaybackTick(int32_t direction, int32_t position, int32_t step, int32_t dispPoints,
                          int32_t displayWidth);

// The speed commands: half and double the interval, then clamped.
int32_t ClampPlayInterval(int64_t interval);
int32_t ClampPlayInc(int64_t inc);
int32_t FasterPlayInterval(int32_t interval);
int32_t SlowerPlayInterval(int32_t interval);
// The input boxes' answers: a whole number replaces the value, other text
// (or no answer) keeps it; then clamped.
int32_t PlayIntervalFromAnswer(const std::optional<std::string>& answer, int32_t current);
int32_t PlayIncFromAnswer(const std::optional<std::string>& answer, int32_t current);

// Captions of the two setting items.
std::string PlayIntervalCaption(int32_t interval);
std::string PlayIncCaption(int32_t inc);

}  // namespace quelvar
