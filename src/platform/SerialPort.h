#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ByteQueue.h"

namespace quelvar::platform {

// Where "COMn" lives: the path in the environment variable QUELVAR_COM<n>
// when it is set and not empty, else /dev/ttyS<n-1>. Empty for n < 1, which
// names no port.
std::string ComDevicePath(int32_t port);

enum class SerialParity : uint8_t { None, Odd, Even, Mark, Space };
enum class SerialStopBits : uint8_t { One, OneAndHalf, Two };

struct SerialLineSettings {
  uint32_t BaudRate = 9600;
  uint8_t DataBits = 8;
  SerialParity Parity = SerialParity::None;
  SerialStopBits StopBits = SerialStopBits::One;
  bool operator==(const SerialLineSettings&) const = default;
};

// A device-control text: "baud,parity,data,stop", optionally after a device
// name "COMn:" (which only names the port and is skipped). Parity is one of
// N, O, E, M, S (either case); data bits 5 to 8; stop bits 1, 1.5 or 2.
// Spaces around the fields are allowed. Empty for anything else, including a
// baud rate the terminal interface has no speed for.
std::optional<SerialLineSettings> ParseSerialSettings(std::string_view text);

// A serial device over termios, used the way the program used its COM ports:
// it never blocks. Received bytes wait in an input queue of our own and
// bytes to send in an output queue, because the kernel keeps only a few KiB
// and the program asks for room for two configuration records. Pump() moves
// bytes between the device and the queues as far as the device allows; the
// reading and writing calls pump too, and whoever owns the port runs Pump()
// while output waits (see `SetOutputWaitingHandler`).
//
// Not thread-safe: one thread (the GUI thread) uses a port.
class SerialPort {
 public:
  // What a port holds before its queues are sized (a typical driver's).
  static constexpr uint32_t kDefaultQueueBytes = 4096;
  // No queue grows past this, whatever size is asked for.
  static constexpr uint32_t kMaxQueueBytes = 1u << 20;

  SerialPort() = default;
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Closes any open device, then opens `path` for reading and writing,
  // exclusively (TIOCEXCL), not as the controlling terminal. Only an
  // existing terminal device opens; false otherwise. The queues start empty
  // with their default sizes.
  bool Open(const std::string& path);
  // The line as given, raw: no flow control of any kind, no echo, line
  // editing, signals or character translation, parity errors not marked;
  // the DTR and RTS lines lowered and a break condition cleared where the
  // device has them. False when the device refuses the settings.
  bool Configure(const SerialLineSettings& settings);
  // Closes the device and empties both queues (output not yet sent is
  // dropped); returns whether it was open.
  bool Close();
  bool IsOpen() const { return fd_ >= 0; }
  // The open device's descriptor, -1 when closed.
  int Fd() const { return fd_; }

  // Room for received and for outgoing bytes, each at least 1 and at most
  // kMaxQueueBytes. Ignored while closed.
  void SetQueueSizes(uint32_t inputBytes, uint32_t outputBytes);

  // Sends what the device takes now from the output queue and receives what
  // it holds into the input queue (as far as there is room; the rest stays
  // with the device). Returns whether output still waits. A device that
  // fails a write for good (it hung up) loses the output queued for it.
  bool Pump();

  // Bytes waiting to be read, after a pump.
  uint32_t InputQueued();
  uint32_t OutputQueued() const { return static_cast<uint32_t>(output_.Size()); }
  // How many bytes Write takes now.
  uint32_t OutputRoom() const { return IsOpen() ? static_cast<uint32_t>(output_.Room()) : 0; }

  // At most `size` bytes of what has been received, never waiting; 0 when
  // closed or nothing is there.
  uint32_t Read(uint8_t* buffer, uint32_t size);
  // Queues as much of `data` as there is room for and starts sending it;
  // returns the bytes taken (0 when closed).
  uint32_t Write(const uint8_t* data, uint32_t size);

  // Called when a write leaves bytes in the output queue, so the owner
  // pumps until they are sent.
  void SetOutputWaitingHandler(std::function<void()> handler) { outputWaiting_ = std::move(handler); }

 private:
  void PumpOutput();
  void PumpInput();

  int fd_ = -1;
  ByteQueue input_{kDefaultQueueBytes};
  ByteQueue output_{kDefaultQueueBytes};
  std::function<void()> outputWaiting_;
};

}  // namespace quelvar::platform
