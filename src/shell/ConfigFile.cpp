#include "shell/ConfigFile.h"

#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/ReadOnlyFile.h"

namespace quelvar {

namespace {

constexpr char kMagic[4] = {'Q', 'C', 'f', 'g'};

}  // namespace

ConfigFileContent ReadConfigFile(const std::string& path) {
  ConfigFileContent content;
  platform::ReadOnlyFile file;
  // Only a regular file is read: a FIFO or a directory is refused without hanging.
  if (!file.Open(path)) return content;
  if (file.Size() != kConfigFileSize) {
    content.status = ConfigFileStatus::WrongSize;
    return content;
  }
  char magic[4];
  if (!file.ReadAt(0, magic, sizeof magic)) return content;
  if (std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
    content.status = ConfigFileStatus::BadMagic;
    return content;
  }
  auto record = std::make_unique<ConfigRecord>();
  if (!file.ReadAt(sizeof magic, record.get(), sizeof(ConfigRecord))) return content;
  content.status = ConfigFileStatus::Ok;
  content.record = std::move(record);
  return content;
}

bool WriteConfigFile(const std::string& path, const ConfigRecord& record, std::string& error) {
  std::string data(kMagic, sizeof kMagic);
  data.append(reinterpret_cast<const char*>(&record), sizeof record);
  return platform::WriteUserFileAtomically(path, data, error);
}

}  // namespace quelvar
