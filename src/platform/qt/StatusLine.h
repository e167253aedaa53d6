#pragma once

#include <QLabel>
#include <QStatusBar>

namespace quelvar::platform {

// A dialog's status bar "StatusBar1" holding one line of text across its
// width; the line is returned for the dialog's messages.
inline QLabel* AddStatusLine(QWidget* parent, QStatusBar*& bar) {
  bar = new QStatusBar(parent);
  bar->setObjectName("StatusBar1");
  bar->setSizeGripEnabled(false);
  auto* line = new QLabel(bar);
  bar->addWidget(line, 1);
  return line;
}

}  // namespace quelvar::platform
