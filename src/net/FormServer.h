#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>

#include "common/AppState.h"
#include "net/QtStationServer.h"
#include "net/StationSend.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The station window: the connected viewers with the blocks sent to and
// acknowledged by each, and the station's compression switches. Created at
// start and hidden; closing it only hides it. The switches are read from the
// settings tree when it is created and written back when it is destroyed.
//
// GridServer's row 0 is its heading row; connection i is row i + 1.
class TFormServer : public QWidget, public StationWindowOutputs {
  Q_OBJECT
 public:
  TFormServer(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormServer() override;

  QPushButton* ButtonFresh = nullptr;
  QPushButton* ButtonHide = nullptr;
  QPushButton* ButtonTopmost = nullptr;
  QCheckBox* CheckBoxCompress = nullptr;
  QCheckBox* CheckBoxDPCM = nullptr;
  QLabel* LabelRatio = nullptr;
  QTableWidget* GridServer = nullptr;

  // The station's switches (0 or 1).
  int32_t ServerCompress = 0;
  int32_t ServerDPCM = 1;

  void FormCreate();
  void FormDestroy();
  void FormResize();
  void FormActivate() { RefreshGrid(); }
  // Never lets the window close: it is hidden instead.
  bool FormCloseQuery();
  void ButtonHideClick() { hide(); }
  void ButtonTopmostClick();
  void ButtonFreshClick() { RefreshGrid(); }
  void CheckBoxCompressClick();
  void CheckBoxDPCMClick();
  // The connection columns from the listener's list.
  void RefreshGrid();

  // The listener whose connections the grid lists (none: no connection).
  void SetServerSocket(QtStationServer* server) { server_ = server; }
  StationStreamSettings Settings() const { return {ServerCompress, ServerDPCM}; }

  void SetRatioText(const std::string& text) override;
  void SetGridText(int row, int column, const std::string& text) override;
  // Grid rows, the heading row included, and a cell's text.
  int RowCount() const;
  std::string Cell(int row, int column) const;

 protected:
  void closeEvent(class QCloseEvent* event) override;
  void resizeEvent(class QResizeEvent* event) override;
  bool event(class QEvent* event) override;

 private:
  void SetRowCount(int rows);

  AppState& state_;
  platform::RegistryStore& registry_;
  QPointer<QtStationServer> server_;
  // The window's size less the grid's, taken as designed.
  int gridWidthMargin_ = 0;
  int gridHeightMargin_ = 0;
  bool destroyed_ = false;
};

}  // namespace quelvar
