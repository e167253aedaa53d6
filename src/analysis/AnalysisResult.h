#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelvar {

// The curve the analysis panels hand to the analysis-result window: one
// curve of doubles over increasing abscissae (frequency in Hz or lag in s),
// what it is, its title and axis labels. One instance lives in the window
// (created once at start-up); the panels write it through
// HandOverAnalysisResult and the window reads it at its timer ticks.
//
// The program owns both arrays: every hand-over copies the producer's values
// in, whoever allocated them, so a library's own buffers are never kept,
// resized or freed here.

// What a result curve is; the record stores the number.
enum AnalysisKind : int32_t {
  kAnalysisNone = 0,  // set while the library panel prepares its data
  kAnalysisPowerDensity = 1,
  kAnalysisCrossPower = 2,
  kAnalysisBurg = 3,
  kAnalysisTransfer = 4,
  kAnalysisAutoCorrelation = 5,
  kAnalysisCrossCorrelation = 6,
  kAnalysisCoherence = 7,
};

struct AnalysisResult {
  std::vector<double> Y;
  std::vector<double> X;
  // The element count the producer reports during its call.
  int32_t Count = 0;
  std::string Title;
  std::string XLabel;
  std::string YLabel;
  int32_t Points = 0;
  int32_t Curves = 0;
  int32_t Kind = kAnalysisNone;
  int32_t Valid = 0;
  int32_t RedrawPending = 0;

  // Points that both arrays really hold (never more than Points).
  int32_t Usable() const;
};

// The name of a kind in the value grid; a kind other than 1 to 6 is named
// as the coherence.
std::string AnalysisKindGridName(int32_t kind);

// Title and axis labels of a kind; `a` and `b` are the names of the first
// and second channel. Kind 0 (and any unknown kind) has empty texts.
struct AnalysisTexts {
  std::string Title;
  std::string XLabel;
  std::string YLabel;
};
AnalysisTexts AnalysisKindTexts(int32_t kind, const std::string& a, const std::string& b);

// The record's share of a hand-over: clears Valid, then, when `y` holds at
// least one value and `x` as many, copies both in and sets Count, Points,
// Curves = 1, Kind and the texts; returns whether it did. A refused result
// leaves the previous arrays and texts (Valid stays 0). Valid and
// RedrawPending are set by the window's hand-over once the view is ready.
bool StoreAnalysisResult(AnalysisResult& result, int32_t kind, const std::vector<double>& x,
                         const std::vector<double>& y, const std::string& a, const std::string& b);

}  // namespace quelvar
