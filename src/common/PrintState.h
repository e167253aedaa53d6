#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quelvar {

// The print settings the configuration record does not carry (kept under
// "\PrintProp"), and what printing derives from all print settings. The
// settings the record carries (margins, scale, page count, ...) live in
// LiveConfig.
struct PrintState {
  std::string PageHeader;
  std::string PageFooter;
  int32_t WavePrintPreviewScale = 0;  // 1: the preview keeps the page's proportions
  int32_t LineWidth = 1;              // pen width of the traces on paper, 1..100
  int32_t IDSpecialCover = 0;         // kept and written back unchanged
  std::string CoverPageTextFile;
  std::string CoverPageProgFile;
  std::string CoverPageDataFile;

  // Derived at every print and by the settings dialog's page model: the
  // margins (left, right, top, bottom) and lengths in printer pixels.
  std::array<int32_t, 4> PageMarginPixels{};
  int32_t LineSpacePixels = 0;
  int32_t PerPointCMPixels = 1;   // at least 1
  int32_t PerSampTimePoints = 1;  // at least 1
  int32_t PagePoints = 1;         // at least 1
  // Pages of the waveform print as the page model counts them; bounds the
  // preview page (0-based), which is kept from one showing to the next.
  int32_t PrintPageCount = 1;
  int32_t PreviewPage = 0;
  // Set when the external cover program was started: the next cover page
  // is skipped once.
  int32_t CoverProgramRan = 0;
};

}  // namespace quelvar
