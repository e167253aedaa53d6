#include "shell/PresentationCaptions.h"

namespace quelvar {

std::vector<PresentationRecaption> PresentationRecaptions(int32_t presentationMode, const std::string& windowWord) {
  if (presentationMode != 1) return {};
  using Change = PresentationRecaption::Change;
  return {
      {"menuStartQuelvar", Change::Caption, "启动" + windowWord + "(&S)"},
      {"ToolButtonStartQuelvar", Change::Hint, "启动" + windowWord},
      {"menuFault", Change::Caption, "历史数据管理(&M)"},
      {"menuSelectFault", Change::Caption, "选历史数据(&S)"},
      {"menuQuelvarConfig", Change::Caption, windowWord + "设置(&f)"},
      {"menuPhaseSingle", Change::Caption, "一道一轴(&C)"},
      {"menuPhaseMultiple", Change::Caption, "一组一轴(&G)"},
      {"menuScopeLine", Change::Caption, "单组(&G)"},
      {"menuAnalysisFault", Change::Hide, ""},
      {"menuLocate", Change::Hide, ""},
  };
}

}  // namespace quelvar
