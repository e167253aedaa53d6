#include "shell/ConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/AtomicFile.h"

namespace quelvar {

namespace {

constexpr char kMagic[4] = {'Q', 'C', 'f', 'g'};

bool ReadExactly(int fd, void* buffer, size_t size) {
  auto* out = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t n = ::read(fd, out, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

ConfigFileContent ReadOpen(int fd) {
  ConfigFileContent content;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return content;
  if (static_cast<uint64_t>(info.st_size) != kConfigFileSize) {
    content.status = ConfigFileStatus::WrongSize;
    return content;
  }
  char magic[4];
  if (!ReadExactly(fd, magic, sizeof magic)) return content;
  if (std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
    content.status = ConfigFileStatus::BadMagic;
    return content;
  }
  auto record = std::make_unique<ConfigRecord>();
  if (!ReadExactly(fd, record.get(), sizeof(ConfigRecord))) return content;
  content.status = ConfigFileStatus::Ok;
  content.record = std::move(record);
  return content;
}

}  // namespace

ConfigFileContent ReadConfigFile(const std::string& path) {
  // Non-blocking open: a FIFO of that name must not hang the program.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  ConfigFileContent content = ReadOpen(fd);
  ::close(fd);
  return content;
}

bool WriteConfigFile(const std::string& path, const ConfigRecord& record, std::string& error) {
  std::string data(kMagic, sizeof kMagic);
  data.append(reinterpret_cast<const char*>(&record), sizeof record);
  return platform::WriteUserFileAtomically(path, data, error);
}

}  // namespace quelvar
