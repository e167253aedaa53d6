#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "auxwin/CompositeValues.h"
#include "common/AppState.h"
#include "platform/UiHost.h"

class QAction;
class QMenu;
class QTimer;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The composite value panel: one cell per item of the live definition, the
// values of the latest block drawn into an off-screen bitmap at most once
// per display interval (every block with interval 0). The rules are in
// CompositeValues; this window keeps the settings, the pop-up menu and the
// bitmap. Its settings live under "\CompositeParam".
class TFormComposite : public QWidget {
  Q_OBJECT
 public:
  TFormComposite(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormComposite() override;

  QWidget* Image1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* menuTopMost = nullptr;
  QAction* menuBlackGnd = nullptr;
  QAction* menuAutoView = nullptr;
  QAction* menuDisplayInterval = nullptr;
  QAction* menuConfigComposite = nullptr;
  QAction* menuChangeConfigFile = nullptr;
  QTimer* Timer1 = nullptr;

  void FormCreate();
  void FormDestroy();
  void FormShow();
  void FormHide();
  void FormResize();
  void Timer1Timer() { redraw_ = true; }
  void Image1Paint();
  void menuTopMostClick();
  void menuBlackGndClick();
  void menuAutoViewClick();
  void menuDisplayIntervalClick();
  void menuChangeConfigFileClick();
  void menuConfigCompositeClick();
  class TFormConfComposite* Editor() const { return editor_; }

  // Per-block processing while the panel is shown.
  void DrawCompositeValues(const uint16_t* block);

  const CompositeDef& Definition() const { return def_; }
  const std::string& CompositeDefFile() const { return defFile_; }
  int32_t DisplayInterval() const { return displayInterval_; }
  int32_t CompositePal() const { return pal_; }
  const QImage& Bitmap() const { return bitmap_; }
  bool RedrawPending() const { return redraw_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ReadDefinition();
  void RedrawCurrentBlock();
  void CaptionInterval();
  void ApplyInterval();

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  CompositeDef def_;
  std::string defFile_ = kCompositeDefaultFile;
  int32_t displayInterval_ = kCompositeDefaultInterval;
  int32_t pal_ = 0;
  bool redraw_ = true;
  QImage bitmap_;
  std::vector<CompositeCell> cells_;
  class TFormConfComposite* editor_ = nullptr;  // a child window
};

}  // namespace quelvar
