#pragma once

#include <QWidget>

#include <string>

#include "common/AppState.h"
#include "setup/PciLocator.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The port I/O panel: a test tool that writes a typed value to a typed port
// or reads one, by byte, word or double word, and looks up the I/O base
// address of the card maker's PCI cards through the optional locator
// library. Made once at start-up, shown modeless; it remembers its fields
// under "\IOPanel".
class TFormIOPanel : public QWidget {
  Q_OBJECT
 public:
  // `locatorLibrary` is the locator's library name (a path in tests).
  TFormIOPanel(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr,
               const std::string& locatorLibrary = "Vostrani.DLL");
  ~TFormIOPanel() override;

  QLineEdit* EditIOBase = nullptr;
  QLineEdit* EditWriteHex = nullptr;
  QLineEdit* EditReadHex = nullptr;
  QPushButton* ButtonOutportb = nullptr;
  QPushButton* ButtonOutport = nullptr;
  QPushButton* ButtonOutportdw = nullptr;
  QPushButton* ButtonInportb = nullptr;
  QPushButton* ButtonInport = nullptr;
  QPushButton* ButtonInportdw = nullptr;
  QCheckBox* CheckBoxTopmost = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QComboBox* ComboBoxCardNo = nullptr;
  QLineEdit* EditCardIOBase = nullptr;
  QPushButton* ButtonReadIOBase = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  void ButtonOutportbClick();
  void ButtonOutportClick();
  void ButtonOutportdwClick();
  void ButtonInportbClick();
  void ButtonInportClick();
  void ButtonInportdwClick();
  void ButtonReadIOBaseClick();
  void CheckBoxTopmostClick();

  bool LocatorUsable() const { return locator_.Usable(); }
  std::string StatusText() const;

 private:
  struct PortAndValue {
    uint16_t port = 0;
    uint32_t value = 0;
  };
  void BuildControls();
  void FormCreate(const std::string& locatorLibrary);
  void FormDestroy();
  PortAndValue ReadPortAndValue() const;
  void SetStatus(const std::string& text);

  AppState& state_;
  platform::RegistryStore& registry_;
  PciLocator locator_;
  QLabel* statusLine_ = nullptr;
  bool destroyed_ = false;
};

}  // namespace quelvar
