#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelvar {

// How the recording-oscilloscope presentation changes one main-window item.
struct PresentationRecaption {
  enum class Change { Caption, Hint, Hide };
  const char* item;  // the item's name (its objectName)
  Change change;
  std::string text;  // the new caption or hint; empty for Hide
};

// The main window's items that the presentation renames or hides, in the
// order they are applied; none in the wave-recorder presentation (0), whose
// captions are the designed ones.
std::vector<PresentationRecaption> PresentationRecaptions(int32_t presentationMode, const std::string& windowWord);

}  // namespace quelvar
