#pragma once

#include "net/RadioLink.h"
#include "net/RemoteControl.h"

namespace quelvar {

// One poll of the controlled side's COM port: reads at most one frame of the
// size the interpreter expects and runs it, with `host` replying (as radio
// frames on the same port).
//
// A payload whose frame was flushed as stale or dropped as corrupt will never
// come, and waiting for it would make every later frame the wrong size, so
// that nothing, not even command 11, could reach the interpreter again until
// the port is reopened. Such a wait is given up and frames are expected again.
template <RadioInputPort P>
RadioPoll PollControlledComPort(RadioFrameReader& reader, P& port, RemoteControlInterpreter& interpreter,
                                RemoteControlHost& host) {
  const RadioPoll result = reader.Poll(port, interpreter.ExpectedSize());
  if (result == RadioPoll::Received) {
    const auto payload = reader.Payload();
    interpreter.Feed(payload.data(), payload.size(), host);
  } else if ((result == RadioPoll::Flushed || result == RadioPoll::Dropped) && interpreter.ExpectCommandFrame() == 0) {
    interpreter.RestartFraming();
  }
  return result;
}

}  // namespace quelvar
