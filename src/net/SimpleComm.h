#pragma once

#include <cstdint>
#include <string>

#include "platform/SerialPort.h"

namespace quelvar {

// The device-control text a port is configured with: `settings` itself when
// it starts with 'C' or 'c' (it names its port, "COM2:9600,N,8,1"), else
// "COM<port>:" + `settings`.
std::string ComDeviceControlText(int32_t port, const std::string& settings);

// The program's serial port: "COM<Port>" (see platform::ComDevicePath for
// where that is) opened with a settings text such as "19200,N,8,1". Nothing
// here waits: Read takes only what has arrived, Write queues what it is given
// and sends as the line allows; the owner keeps the output moving with a
// pump on Device() (platform/qt/QtSerialPump). Used on the GUI thread only.
// Destroying the object closes the port.
class SimpleComm {
 public:
  SimpleComm() = default;
  ~SimpleComm() { Close(); }
  SimpleComm(const SimpleComm&) = delete;
  SimpleComm& operator=(const SimpleComm&) = delete;

  // The port number, set by the owner before Open.
  int32_t Port = 1;
  // Set at construction only; the line actually used comes from the text
  // given to Open.
  int32_t BaudRate = 9600;
  int16_t DataBits = 8;
  int16_t Parity = 0;    // none
  int16_t StopBits = 0;  // one

  // The open port's descriptor; -1 when closed.
  int Handle() const { return device_.Fd(); }
  bool IsOpen() const { return device_.IsOpen(); }

  // Closes the port if open, opens "COM<Port>" and configures it from
  // ComDeviceControlText(Port, settings). False when the device cannot be
  // opened or the text is rejected (the port is then closed). Queues start
  // at their default sizes; ask for more with SetupQueues.
  bool Open(const std::string& settings);
  // Room in bytes for received and for outgoing data (at most
  // platform::SerialPort::kMaxQueueBytes each). Nothing while closed.
  void SetupQueues(uint32_t inputBytes, uint32_t outputBytes);
  // Closes an open port; unsent output is dropped. Returns whether it was open.
  bool Close();
  // The bytes waiting in the input and output queues (both 0 when closed);
  // 1 on an open port, 0 on a closed one. Reception is stopped by no error
  // on this port, so there is no error state to clear beyond this.
  int QueueStatus(uint32_t& inputQueued, uint32_t& outputQueued);
  // Queues up to `size` bytes for sending; returns how many were taken
  // (fewer when the output queue is full, 0 when closed).
  uint32_t Write(const void* data, uint32_t size);
  // At most `size` of the bytes received, never waiting; 0 when closed or
  // nothing has arrived.
  uint32_t Read(void* buffer, uint32_t size);
  // How many bytes Write takes now (0 when closed).
  uint32_t OutputRoom() const { return device_.OutputRoom(); }

  // The device underneath, for the owner's output pump.
  platform::SerialPort& Device() { return device_; }

 private:
  platform::SerialPort device_;
};

}  // namespace quelvar
