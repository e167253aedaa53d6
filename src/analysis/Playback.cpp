#include "analysis/Playback.h"

#include <algorithm>

#include "setup/DialogNumbers.h"

namespace quelvar {

std::optional<std::string> PlayStartRefusal(int32_t dispValid, int32_t runState) {
  if (dispValid == 0) return std::string("警告：无波形可显示!");
  if (runState != 0) return std::string("警告：采集过程中不能持续显示波形!");
  return std::nullopt;
}

int32_t PlaybackStep(int32_t displayWidth, int32_t playInc) {
  return std::max(displayWidth / std::max(playInc, 1), 1);
}

PlaybackMove PlaybackTick(int32_t direction, int32_t position, int32_t step, int32_t dispPoints,
                          int32_t displayWidth) {
  // 64 bits: a position near the end plus a step must not wrap.
  int64_t p = position;
  if (direction == kPlayEarlier) {
    p -= step;
    if (p <= 0) return {0, true};
    return {static_cast<int32_t>(p), false};
  }
  if (direction == kPlayLater) {
    p += step;
    // Data shorter than the screen have their only screen at point 0.
    const int64_t last = std::max<int64_t>(int64_t{dispPoints} - displayWidth, 0);
    if (p >= last) return {static_cast<int32_t>(last), true};
    return {static_cast<int32_t>(p), false};
  }
  return {position, true};
}

int32_t ClampPlayInterval(int64_t interval) {
  return static_cast<int32_t>(std::clamp<int64_t>(interval, kMinPlayInterval, kMaxPlayInterval));
}

int32_t ClampPlayInc(int64_t inc) { return static_cast<int32_t>(std::clamp<int64_t>(inc, kMinPlayInc, kMaxPlayInc)); }

int32_t FasterPlayInterval(int32_t interval) { return ClampPlayInterval(interval / 2); }

int32_t SlowerPlayInterval(int32_t interval) { return ClampPlayInterval(int64_t{interval} * 2); }

namespace {
int32_t WholeNumberOr(const std::optional<std::string>& answer, int32_t current) {
  if (!answer) return current;
  return ParseDialogInteger(*answer).value_or(current);
}
}  // namespace

int32_t PlayIntervalFromAnswer(const std::optional<std::string>& answer, int32_t current) {
  return ClampPlayInterval(WholeNumberOr(answer, current));
}

int32_t PlayIncFromAnswer(const std::optional<std::string>& answer, int32_t current) {
  return ClampPlayInc(WholeNumberOr(answer, current));
}

std::string PlayIntervalCaption(int32_t interval) { return "播放时间间隔(" + std::to_string(interval) + "ms)"; }

std::string PlayIncCaption(int32_t inc) { return "每次移动整屏的1/" + std::to_string(inc); }

}  // namespace quelvar
