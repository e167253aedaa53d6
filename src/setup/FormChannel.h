#pragma once

#include <QDialog>

#include "common/AppState.h"
#include "platform/UiHost.h"

class QLabel;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The analog channel dialog: every analog channel's properties in a grid, a
// column per channel, stored with the line records on OK, all or nothing. The
// channel-group dialog sizes and fills both grids before it shows it. The
// group grid stays hidden: each channel is a line of its own.
class TFormChannel : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormChannel(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormChannel() override;

  QLabel* Label2 = nullptr;
  StringGrid* Grid_Analog = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* LabelChnProp = nullptr;
  StringGrid* Grid_Channel = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonCheck = nullptr;

  // Whether the rate multiplier row is shown and stored; the channel-group
  // dialog sets it when it activates.
  int32_t MultiFreqMode = 0;

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void FormShow();
  void Grid_ChannelClick();
  void Grid_ChannelDblClick();
  bool ButtonCheckClick();
  void ButtonOKClick();
  void ButtonCancelClick() { reject(); }
  void ShowChannelProperties();

  // Sizes both grids for `count` channels and fills them from the live tables;
  // an accepted OK keeps the pages below `totalPages` and then makes it the
  // live page count, so the stored pages and the count agree.
  void FillFromTables(int32_t count, int32_t totalPages);
  // The channel the property line describes, kept between openings.
  int32_t SelectedChannel() const { return selectedChannel_; }

  int RunModal() override { return exec() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel; }
  std::string DialogName() const override { return "FormChannel"; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  int32_t selectedChannel_ = 0;
  int32_t totalPages_ = 1;
  bool destroyed_ = false;
};

}  // namespace quelvar
