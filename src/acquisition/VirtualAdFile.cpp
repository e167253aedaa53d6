#include "acquisition/VirtualAdFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/RecordFileHeader.h"

namespace quelvar {

namespace {

constexpr const char* kMissing = "虚拟AD板所需波形文件不存在!";
constexpr const char* kBadSize = "虚拟AD板所需波形文件大小不对!";
constexpr const char* kBadFormat = "虚拟AD板所需波形文件格式不对!";

bool ReadAt(int fd, void* buffer, size_t size, uint64_t offset) {
  auto* out = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t n = ::pread(fd, out, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool Fail(VirtualAdReplay& replay, std::string& statusText, const char* text) {
  CloseVirtualAdFile(replay);
  statusText = text;
  return false;
}

}  // namespace

bool OpenVirtualAdFile(const std::string& path, const LiveConfig& live, VirtualAdReplay& replay,
                       std::string& statusText) {
  CloseVirtualAdFile(replay);
  // Non-blocking: a FIFO of that name must not hang the start.
  replay.Fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (replay.Fd < 0) return Fail(replay, statusText, kMissing);
  struct stat info {};
  if (::fstat(replay.Fd, &info) != 0 || !S_ISREG(info.st_mode)) return Fail(replay, statusText, kMissing);
  const uint64_t length = static_cast<uint64_t>(info.st_size);

  RecordFileHeader h{};
  if (!ReadAt(replay.Fd, &h, sizeof h, 0)) return Fail(replay, statusText, kBadSize);
  if (std::memcmp(h.Tag, "QV", 2) != 0 || h.ADBit != live.ADBit || h.NumChn != live.NumChn ||
      h.Total_Line != live.Total_Line || h.Analog_Num != live.Analog_Num || h.SW_Num != live.SW_Num ||
      h.NumSamp != live.NumSamp || h.MaxMultiFreq != live.MaxMultiFreq || h.HeaderSize != kRecordFileHeaderBytes) {
    return Fail(replay, statusText, kBadFormat);
  }
  // Sizes from the file are checked in 64 bits before anything is read by
  // them; both counts are positive, so the block size stays below 2^63 and
  // the blocks are compared by division, never by a product that could wrap.
  if (h.NumSamp <= 0 || h.NumChn <= 0 || h.DataBytes < 0 || h.BlockCount < 0) {
    return Fail(replay, statusText, kBadSize);
  }
  const uint64_t blockBytes = static_cast<uint64_t>(h.NumSamp) * static_cast<uint64_t>(h.NumChn) * 2;
  if (static_cast<uint64_t>(h.BlockCount) > static_cast<uint64_t>(h.DataBytes) / blockBytes) {
    return Fail(replay, statusText, kBadSize);
  }
  const uint64_t commentAt = kRecordFileDataOffset + static_cast<uint64_t>(h.DataBytes);
  uint32_t commentLength = 0;
  const uint64_t expected =
      ReadAt(replay.Fd, &commentLength, sizeof commentLength, commentAt) ? commentAt + 4 + commentLength : commentAt;
  if (length != expected) return Fail(replay, statusText, kBadSize);

  replay.VirtualAdBlocks = h.BlockCount;
  replay.VirtualAdBlocksRead = 0;
  if (::lseek(replay.Fd, static_cast<off_t>(kRecordFileDataOffset), SEEK_SET) < 0) {
    return Fail(replay, statusText, kBadSize);
  }
  return true;
}

bool ReadVirtualAdBlock(VirtualAdReplay& replay, uint16_t* rows, size_t words) {
  if (replay.Fd < 0) return false;
  // The header's count says where the blocks end: bytes after them (data the
  // count leaves out, the comment) are no samples.
  if (replay.VirtualAdBlocksRead >= replay.VirtualAdBlocks) {
    CloseVirtualAdFile(replay);
    return false;
  }
  auto* out = reinterpret_cast<char*>(rows);
  size_t size = words * sizeof(uint16_t);
  while (size > 0) {
    const ssize_t n = ::read(replay.Fd, out, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A file that fails mid-way ends the replay rather than misaligning it.
      CloseVirtualAdFile(replay);
      return false;
    }
    out += n;
    size -= static_cast<size_t>(n);
  }
  replay.VirtualAdBlocksRead += 1;
  return true;
}

void CloseVirtualAdFile(VirtualAdReplay& replay) {
  if (replay.Fd >= 0) ::close(replay.Fd);
  replay.Fd = -1;
}

}  // namespace quelvar
