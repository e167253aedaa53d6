#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace quelvar {

// A text for a status-bar panel, posted by any handler and shown by the next
// interface-timer tick. Texts posted between two ticks are not queued: only
// the last one is shown.
struct PostedText {
  std::string Text;
  int32_t Pending = 0;

  void Post(std::string text) {
    Text = std::move(text);
    Pending = 1;
  }
  // The text to show now, once per post.
  bool Take(std::string& out) {
    if (Pending == 0) return false;
    Pending = 0;
    out = Text;
    return true;
  }
};

}  // namespace quelvar
