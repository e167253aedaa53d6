#include "platform/SerialPort.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace quelvar::platform {

namespace {

// Bytes moved from the device per read call.
constexpr size_t kReadChunkBytes = 4096;

struct SpeedEntry {
  uint32_t baud;
  speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}};

std::optional<speed_t> SpeedOf(uint32_t baud) {
  for (const SpeedEntry& e : kSpeeds) {
    if (e.baud == baud) return e.speed;
  }
  return std::nullopt;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::optional<uint32_t> Unsigned(std::string_view s) {
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return value;
}

// Skips a leading device name "COMn:"; false when the text starts like one
// but is not.
bool SkipDeviceName(std::string_view& text) {
  text = Trim(text);
  if (text.empty() || (text.front() != 'C' && text.front() != 'c')) return true;
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon < 4) return false;
  const std::string_view name = text.substr(0, 3);
  for (size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return false;
  }
  if (!Unsigned(text.substr(3, colon - 3))) return false;
  text.remove_prefix(colon + 1);
  return true;
}

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t comma = text.find(',');
    fields.push_back(Trim(text.substr(0, comma)));
    if (comma == std::string_view::npos) return fields;
    text.remove_prefix(comma + 1);
  }
}

bool TransientError(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

std::string ComDevicePath(int32_t port) {
  if (port < 1) return {};
  const std::string variable = "QUELVAR_COM" + std::to_string(port);
  if (const char* path = std::getenv(variable.c_str()); path != nullptr && *path != '\0') return path;
  return "/dev/ttyS" + std::to_string(port - 1);
}

std::optional<SerialLineSettings> ParseSerialSettings(std::string_view text) {
  if (!SkipDeviceName(text)) return std::nullopt;
  const std::vector<std::string_view> f = Fields(text);
  if (f.size() != 4) return std::nullopt;
  SerialLineSettings s;

  const auto baud = Unsigned(f[0]);
  if (!baud || !SpeedOf(*baud)) return std::nullopt;
  s.BaudRate = *baud;

  if (f[1].size() != 1) return std::nullopt;
  switch (std::toupper(static_cast<unsigned char>(f[1][0]))) {
    case 'N': s.Parity = SerialParity::None; break;
    case 'O': s.Parity = SerialParity::Odd; break;
    case 'E': s.Parity = SerialParity::Even; break;
    case 'M': s.Parity = SerialParity::Mark; break;
    case 'S': s.Parity = SerialParity::Space; break;
    default: return std::nullopt;
  }

  const auto bits = Unsigned(f[2]);
  if (!bits || *bits < 5 || *bits > 8) return std::nullopt;
  s.DataBits = static_cast<uint8_t>(*bits);

  if (f[3] == "1") {
    s.StopBits = SerialStopBits::One;
  } else if (f[3] == "1.5") {
    s.StopBits = SerialStopBits::OneAndHalf;
  } else if (f[3] == "2") {
    s.StopBits = SerialStopBits::Two;
  } else {
    return std::nullopt;
  }
  return s;
}

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Open(const std::string& path) {
  Close();
  if (path.empty()) return false;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  termios t{};
  if (tcgetattr(fd, &t) != 0) {  // not a terminal device
    ::close(fd);
    return false;
  }
  // Nobody else opens the port while we hold it (root excepted).
  if (ioctl(fd, TIOCEXCL) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  input_ = ByteQueue(kDefaultQueueBytes);
  output_ = ByteQueue(kDefaultQueueBytes);
  return true;
}

bool SerialPort::Configure(const SerialLineSettings& settings) {
  if (!IsOpen()) return false;
  const auto speed = SpeedOf(settings.BaudRate);
  if (!speed || settings.DataBits < 5 || settings.DataBits > 8) return false;
  // termios has no one and a half stop bits.
  if (settings.StopBits == SerialStopBits::OneAndHalf) return false;
  termios t{};
  if (tcgetattr(fd_, &t) != 0) return false;

  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                      IXANY | INPCK | IMAXBEL | IUCLC);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= CREAD | CLOCAL;
  constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  t.c_cflag |= kSizes[settings.DataBits - 5];
  switch (settings.Parity) {
    case SerialParity::None: break;
    case SerialParity::Odd: t.c_cflag |= PARENB | PARODD; break;
    case SerialParity::Even: t.c_cflag |= PARENB; break;
    case SerialParity::Mark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case SerialParity::Space: t.c_cflag |= PARENB | CMSPAR; break;
  }
  if (settings.StopBits == SerialStopBits::Two) t.c_cflag |= CSTOPB;
  // Reads return at once with what is there.
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (cfsetispeed(&t, *speed) != 0 || cfsetospeed(&t, *speed) != 0) return false;
  if (tcsetattr(fd_, TCSANOW, &t) != 0) return false;

  // Modem lines and break exist only on real ports; a pseudo-terminal
  // refuses these requests, which is fine.
  int lines = TIOCM_DTR | TIOCM_RTS;
  (void)ioctl(fd_, TIOCMBIC, &lines);
  (void)ioctl(fd_, TIOCCBRK);
  return true;
}

bool SerialPort::Close() {
  if (!IsOpen()) return false;
  // The exclusive mark would otherwise outlive us on a device kept open
  // elsewhere (the other end of a pseudo-terminal).
  (void)ioctl(fd_, TIOCNXCL);
  // Output not yet sent is dropped: close would otherwise wait for a real
  // line to drain (seconds at 19200 baud) on the GUI thread.
  (void)tcflush(fd_, TCIOFLUSH);
  ::close(fd_);
  fd_ = -1;
  input_.Clear();
  output_.Clear();
  return true;
}

void SerialPort::SetQueueSizes(uint32_t inputBytes, uint32_t outputBytes) {
  if (!IsOpen()) return;
  input_.SetCapacity(std::clamp<uint32_t>(inputBytes, 1, kMaxQueueBytes));
  output_.SetCapacity(std::clamp<uint32_t>(outputBytes, 1, kMaxQueueBytes));
}

bool SerialPort::Pump() {
  if (!IsOpen()) return false;
  PumpOutput();
  PumpInput();
  return !output_.Empty();
}

void SerialPort::PumpOutput() {
  while (!output_.Empty()) {
    const ssize_t n = ::write(fd_, output_.Front(), output_.Size());
    if (n > 0) {
      output_.Drop(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && !TransientError(errno)) output_.Clear();  // the device is gone
    return;
  }
}

void SerialPort::PumpInput() {
  uint8_t chunk[kReadChunkBytes];
  while (input_.Room() > 0) {
    const ssize_t n = ::read(fd_, chunk, std::min(sizeof chunk, input_.Room()));
    if (n > 0) {
      input_.Push(chunk, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    // Nothing more now (0 or EAGAIN), or a hung-up device (EIO): either
    // way there is nothing to take.
    return;
  }
}

uint32_t SerialPort::InputQueued() {
  if (!IsOpen()) return 0;
  Pump();
  return static_cast<uint32_t>(input_.Size());
}

uint32_t SerialPort::Read(uint8_t* buffer, uint32_t size) {
  if (!IsOpen() || size == 0) return 0;
  if (input_.Size() < size) PumpInput();
  return static_cast<uint32_t>(input_.Pop(buffer, size));
}

uint32_t SerialPort::Write(const uint8_t* data, uint32_t size) {
  if (!IsOpen() || size == 0) return 0;
  const auto taken = static_cast<uint32_t>(output_.Push(data, size));
  PumpOutput();
  if (!output_.Empty() && outputWaiting_) outputWaiting_();
  return taken;
}

}  // namespace quelvar::platform
