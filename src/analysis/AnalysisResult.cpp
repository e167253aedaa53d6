#include "analysis/AnalysisResult.h"

#include <algorithm>

namespace quelvar {

int32_t AnalysisResult::Usable() const {
  const size_t held = std::min(X.size(), Y.size());
  return std::max(0, std::min(Points, static_cast<int32_t>(std::min<size_t>(held, INT32_MAX))));
}

std::string AnalysisKindGridName(int32_t kind) {
  switch (kind) {
    case kAnalysisPowerDensity: return "功率谱";
    case kAnalysisCrossPower: return "互功率谱";
    case kAnalysisBurg: return "Burg法谱";
    case kAnalysisTransfer: return "传递函数";
    case kAnalysisAutoCorrelation: return "自相关函数";
    case kAnalysisCrossCorrelation: return "互相关函数";
    default: return "相干函数";
  }
}

AnalysisTexts AnalysisKindTexts(int32_t kind, const std::string& a, const std::string& b) {
  const std::string frequency = "频率(Hz)";
  const std::string lag = "时间延迟(s)";
  const std::string pair = a + " 与 " + b;
  switch (kind) {
    case kAnalysisPowerDensity: return {a + "的功率谱", frequency, "功率谱"};
    case kAnalysisCrossPower: return {pair + "的互功率谱", frequency, "互功率谱"};
    case kAnalysisBurg: return {a + "的Burg谱", frequency, "功率谱"};
    case kAnalysisTransfer: return {pair + "的传递函数", frequency, "传递函数"};
    case kAnalysisAutoCorrelation: return {a + "的自相关函数", lag, "自相关函数"};
    case kAnalysisCrossCorrelation: return {pair + "的互相关函数", lag, "互相关函数"};
    case kAnalysisCoherence: return {pair + "的相干函数", frequency, "相干函数"};
    default: return {};
  }
}

bool StoreAnalysisResult(AnalysisResult& result, int32_t kind, const std::vector<double>& x,
                         const std::vector<double>& y, const std::string& a, const std::string& b) {
  result.Valid = 0;
  if (y.empty() || x.size() != y.size() || y.size() > static_cast<size_t>(INT32_MAX)) return false;
  result.Y = y;
  result.X = x;
  result.Count = static_cast<int32_t>(y.size());
  result.Points = result.Count;
  result.Curves = 1;
  result.Kind = kind;
  AnalysisTexts texts = AnalysisKindTexts(kind, a, b);
  result.Title = std::move(texts.Title);
  result.XLabel = std::move(texts.XLabel);
  result.YLabel = std::move(texts.YLabel);
  return true;
}

}  // namespace quelvar
