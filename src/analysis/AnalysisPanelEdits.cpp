#include "analysis/AnalysisPanelEdits.h"

#include <algorithm>

#include "setup/DialogNumbers.h"

namespace quelvar {

int32_t RoundFftPoints(std::string_view text, int32_t unparsed) {
  const std::optional<int32_t> typed = ParseDialogInteger(text);
  if (!typed) return unparsed;
  if (*typed >= kPanelFftMaxPoints) return kPanelFftMaxPoints;
  int32_t points = kPanelFftMinPoints;
  while (points * 2 <= *typed) points *= 2;
  return points;
}

int32_t FftPointsOfOrder(int32_t order) {
  return int32_t{1} << std::clamp(order, kPanelFftMinOrder, kPanelFftMaxOrder);
}

int32_t WrapPanelChannel(std::string_view text, int32_t analogNum) {
  if (analogNum <= 0) return 0;
  const int32_t typed = ParseDialogInteger(text).value_or(0);
  if (typed < 0) return analogNum - 1;
  if (typed >= analogNum) return 0;
  return typed;
}

PanelChannel ResolvePanelChannel(int32_t edit, std::string_view text, int32_t analogNum, int32_t dataSourceMode,
                                 const OscilToolSettings& oscil) {
  int32_t channel = WrapPanelChannel(text, analogNum);
  if (dataSourceMode == 2) {
    if (edit == 1) {
      channel = oscil.UseChn1 != 0 ? oscil.ChnAd1 : oscil.ChnAD2;
    } else if (oscil.UseChn1 != 0 && oscil.UseChn2 != 0) {
      channel = oscil.ChnAD2;
    }
  }
  PanelChannel out;
  out.channel = channel;
  out.analog = channel >= 0 && channel < analogNum;
  return out;
}

}  // namespace quelvar
