#pragma once

#include <cstdint>
#include <string>

#include "common/LiveConfig.h"

namespace quelvar {

// The picture options dialog's controls as plain values: which radio
// buttons and check boxes are checked and what the edits hold.
struct PictureOptionFields {
  bool Metafile = true;      // else the bitmap
  bool ScreenSize = false;   // size: the screen's ...
  bool PrinterPage = true;   // ... the printer page's, else the user's
  std::string Width = "100";
  std::string Height = "100";
  bool Colour = true;        // else monochrome
  std::string ScaleNum = "8";
  std::string LineWidth = "1";
  bool WhiteBG = false;
  bool IncludeInst = true;
};

// The user's picture size, in pixels; not stored, it lives as long as the
// dialog's edits.
struct PictureSize {
  int32_t Width = 100;
  int32_t Height = 100;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// The controls from the picture options (the opening command): every field
// but the two size edits, which keep what the user typed last.
void FillPictureOptionFields(const LiveConfig& config, PictureOptionFields& fields);

// Reading the dialog (OK and preview): the options from the controls, the
// user size from its edits (not a whole number: 100; the edits keep their
// text), the scale divisions (not a whole number: 8, then held within 4 ..
// 1000) and the trace width (not a whole number: 1, then held within 1 ..
// 100), both written back into their edits.
void ReadPictureOptions(PictureOptionFields& fields, LiveConfig& config, PictureSize& userSize);

// The sides a picture may have. A printer page at 1200 dots per inch fits
// (A3 is 14031 x 19843 pixels); anything larger, or a typed size of millions,
// is no picture to paste and would only exhaust memory.
inline constexpr int32_t kMinPictureSide = 16;
inline constexpr int32_t kMaxPictureSide = 20000;

// The picture's size by the size option (0 the screen view's, 1 the printer
// page's, any other the user's), each side held within the sides above.
PictureSize ChoosePictureSize(int32_t sizeScreen, PictureSize screen, PictureSize page, PictureSize user);

}  // namespace quelvar
