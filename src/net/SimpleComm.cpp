#include "net/SimpleComm.h"

namespace quelvar {

std::string ComDeviceControlText(int32_t port, const std::string& settings) {
  if (!settings.empty() && (settings.front() == 'C' || settings.front() == 'c')) return settings;
  return "COM" + std::to_string(port) + ":" + settings;
}

bool SimpleComm::Open(const std::string& settings) {
  Close();
  if (!device_.Open(platform::ComDevicePath(Port))) return false;
  const auto line = platform::ParseSerialSettings(ComDeviceControlText(Port, settings));
  if (!line || !device_.Configure(*line)) {
    Close();
    return false;
  }
  uint32_t in = 0, out = 0;
  QueueStatus(in, out);
  return IsOpen();
}

void SimpleComm::SetupQueues(uint32_t inputBytes, uint32_t outputBytes) {
  device_.SetQueueSizes(inputBytes, outputBytes);
}

bool SimpleComm::Close() { return device_.Close(); }

int SimpleComm::QueueStatus(uint32_t& inputQueued, uint32_t& outputQueued) {
  inputQueued = 0;
  outputQueued = 0;
  if (!IsOpen()) return 0;
  inputQueued = device_.InputQueued();
  outputQueued = device_.OutputQueued();
  return 1;
}

uint32_t SimpleComm::Write(const void* data, uint32_t size) {
  return device_.Write(static_cast<const uint8_t*>(data), size);
}

uint32_t SimpleComm::Read(void* buffer, uint32_t size) { return device_.Read(static_cast<uint8_t*>(buffer), size); }

}  // namespace quelvar
