// The main window's torque-zero command.
#include <span>

#include "shell/FormMain.h"
#include "view/TorqueZero.h"

namespace quelvar {

void TFormMain::ToolButtonTorqueZeroClick() {
  AcquisitionState& acq = state_.acq;
  std::span<const uint16_t> block;
  if (acq.CurrentBlockOffset < acq.BlockWithPrefix.size())
    block = std::span<const uint16_t>(acq.BlockWithPrefix).subspan(acq.CurrentBlockOffset);
  const TorqueZeroOutcome outcome =
      ZeroTorqueChannels(state_.config, state_.torque, state_.layout, state_.display.DataSourceMode, block);
  PostStatusText(TorqueZeroMessage(outcome));
}

}  // namespace quelvar
