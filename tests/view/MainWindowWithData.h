#pragma once

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <memory>

#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace quelvar::test {

// A main window's world with data on display.
class MainWindowWithData : public MainWindowFixture {
 protected:
  // A shown main window past its start-up with a ring of 4 blocks of the
  // default four channels on display; block b's words all hold b. A
  // `numSamp` above 0 sets the points a block.
  std::unique_ptr<TFormMain> WithData(int32_t numSamp = 0, int width = 900, int height = 700) {
    auto form = NewMainWindow();
    form->Timer2Timer();
    form->resize(width, height);
    form->show();
    form->Timer2->stop();  // the test ticks
    QApplication::processEvents();
    LiveConfig& c = state.config;
    const int32_t blocks = 4;
    if (numSamp > 0) c.NumSamp = numSamp;
    c.MaxBlock = blocks;
    c.NumChn = c.Analog_Num;
    c.MaxMultiFreq = 1;
    state.acq.RingBlocks = blocks;
    state.acq.RingBuffer.assign(static_cast<size_t>(blocks) * c.NumSamp * c.NumChn, 0);
    for (size_t i = 0; i < state.acq.RingBuffer.size(); ++i) {
      state.acq.RingBuffer[i] = static_cast<uint16_t>(i / (static_cast<size_t>(c.NumSamp) * c.NumChn));
    }
    state.acq.BufferLayoutValid = 1;
    state.acq.RingWriteBlock = 0;
    state.display.DispRowWords = c.NumChn;
    form->menuMonitor->setChecked(false);
    form->menuMonitorClick();
    return form;
  }
};

}  // namespace quelvar::test
