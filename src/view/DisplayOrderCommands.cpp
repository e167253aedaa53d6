#include "view/DisplayOrderCommands.h"

#include <algorithm>
#include <string>

#include "platform/UiHost.h"
#include "view/DisplayLayout.h"
#include "view/DisplayOrderFile.h"

namespace quelvar {

namespace {

using platform::MsgButtons;

constexpr const char* kFilter = "显示顺序文件 (*.grd)|*.grd|所有文件 (*.*)|*.*";
constexpr const char* kFileError = "打开显示顺序文件错误";

platform::FileDialogRequest OrderFileDialog(const char* title, bool mustExist) {
  platform::FileDialogRequest request;
  request.title = title;
  request.defaultExt = "GRD";
  request.filter = kFilter;
  request.mustExist = mustExist;
  return request;
}

}  // namespace

bool LoadDisplayOrderCommand(platform::UiHost& ui, LiveConfig& config, const DisplayDescriptor& display) {
  const auto path = ui.OpenFileName(OrderFileDialog("选定要读取的显示顺序文件", true));
  if (!path) return false;
  DisplayOrder order{};
  switch (ReadDisplayOrderFile(*path, order)) {
    case DisplayOrderFileStatus::CannotOpen: return false;
    case DisplayOrderFileStatus::WrongSize: ui.MessageBox("文件大小不对!", kFileError, MsgButtons::OkCancel); return false;
    case DisplayOrderFileStatus::BadTag: ui.MessageBox("文件头标志错误!", kFileError, MsgButtons::OkCancel); return false;
    case DisplayOrderFileStatus::Ok: break;
  }
  config.GridOrder = order;
  if (display.DispValid != 0) {
    const int32_t entries =
        std::clamp(config.Analog_Num, 0, kMaxAnalogChannels) + std::clamp(config.SW_Num, 0, kMaxSwitchInputs);
    NormalizeDisplayOrder(config.GridOrder, entries);
  }
  return true;
}

void SaveDisplayOrderCommand(platform::UiHost& ui, const LiveConfig& config) {
  const auto path = ui.SaveFileName(OrderFileDialog("指定要保存的显示顺序文件名", false));
  if (!path) return;
  std::string error;
  if (!WriteDisplayOrderFile(*path, config.GridOrder, error)) {
    ui.MessageBox("不能创建新文件!", kFileError, MsgButtons::OkCancel);
  }
}

}  // namespace quelvar
