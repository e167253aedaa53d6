#include "acquisition/ContinuousSave.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>

#include "platform/GbkText.h"

namespace quelvar {

// The file's words are written as they lie in memory.
static_assert(std::endian::native == std::endian::little);

namespace {

// Backup copies go through a buffer of this size, taken once.
constexpr size_t kCopyBufferBytes = 64 * 1024;
// Blocks a backup copy takes per append: more than one, so the copy always
// catches up with the acquisition before the next is due.
constexpr int32_t kCopyBlocksPerAppend = 4;

// Operations left until the one a test makes fail; 0 for none.
std::atomic<int64_t> g_faultIn{0};

// Whether this file operation is the one a test makes fail (errno EIO).
bool Faulted() {
  if (g_faultIn.load(std::memory_order_relaxed) <= 0 || g_faultIn.fetch_sub(1) != 1) return false;
  errno = EIO;
  return true;
}

bool WriteAt(int fd, const void* data, uint64_t bytes, uint64_t offset) {
  if (Faulted()) return false;
  const char* p = static_cast<const char*>(data);
  while (bytes > 0) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(bytes, 1u << 30));
    const ssize_t n = ::pwrite(fd, p, want, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    p += n;
    bytes -= static_cast<uint64_t>(n);
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

bool ReadAt(int fd, void* data, uint64_t bytes, uint64_t offset) {
  if (Faulted()) return false;
  char* p = static_cast<char*>(data);
  while (bytes > 0) {
    const ssize_t n = ::pread(fd, p, static_cast<size_t>(bytes), static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    p += n;
    bytes -= static_cast<uint64_t>(n);
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

bool Sync(int fd) { return !Faulted() && ::fdatasync(fd) == 0; }

bool Truncate(int fd, uint64_t length) { return !Faulted() && ::ftruncate(fd, static_cast<off_t>(length)) == 0; }

void (*g_backupHook)(BackupCopyStep) = nullptr;

void Reached(BackupCopyStep step) {
  if (g_backupHook != nullptr) g_backupHook(step);
}

std::string SystemError(const std::string& what) { return what + " (" + std::strerror(errno) + ")"; }

// A relative name is taken in the given directory, never in whatever the
// process's current directory happens to be.
bool Resolve(const std::string& directory, const std::string& name, std::string& out) {
  if (name.empty()) return false;
  if (name.front() == '/') {
    out = name;
    return true;
  }
  if (directory.empty() || directory.front() != '/') return false;
  out = (std::filesystem::path(directory) / name).string();
  return true;
}

// The comment as stored: its u32 length, then its GBK bytes.
bool Trailer(const std::string& utf8, std::string& out) {
  const std::string gbk = platform::Utf8ToGbk(utf8);
  if (gbk.size() > std::numeric_limits<uint32_t>::max()) return false;
  const uint32_t length = static_cast<uint32_t>(gbk.size());
  out.assign(reinterpret_cast<const char*>(&length), sizeof length);
  out += gbk;
  return true;
}

}  // namespace

void SetBackupCopyHookForTesting(void (*hook)(BackupCopyStep)) { g_backupHook = hook; }

void SetWriteFaultForTesting(int64_t n) { g_faultIn.store(std::max<int64_t>(n, 0)); }

int64_t WriteFaultCountdownForTesting() { return g_faultIn.load(); }

ContinuousSave::~ContinuousSave() { CloseFiles(); }

uint64_t ContinuousSave::BlockBytes() const {
  return static_cast<uint64_t>(header_.NumSamp) * static_cast<uint64_t>(header_.NumChn) * 2;
}

uint64_t ContinuousSave::DataEnd(int32_t blocks) const {
  return kRecordFileDataOffset + static_cast<uint64_t>(blocks) * BlockBytes();
}

void ContinuousSave::CloseFiles() {
  if (file_ >= 0) ::close(file_);
  if (backupFile_ >= 0) ::close(backupFile_);
  file_ = -1;
  backupFile_ = -1;
}

int ContinuousSave::Open(const ContinuousSaveContent& content, const std::string& fileName,
                         const std::string& backupName, int32_t backupInterval, double startTime) {
  if (isOpen_) return 0;
  failed_ = false;
  blocksWritten_ = 0;
  blocksCopied_ = 0;
  copyNext_ = 0;
  copyTarget_ = 0;
  copying_ = false;
  dataGap_ = 0;
  backupInterval_ = std::max(backupInterval, 1);
  error_.clear();
  fileName_.clear();
  backupName_.clear();

  if (!Resolve(content.directory, fileName, fileName_)) {
    error_ = "no usable path for the continuous file \"" + fileName + "\" in \"" + content.directory + "\"";
    return 0;
  }
  if (!backupName.empty() && !Resolve(content.directory, backupName, backupName_)) {
    error_ = "no usable path for the backup \"" + backupName + "\" in \"" + content.directory + "\"";
    return 0;
  }
  RecordHeaderValues values;
  values.NumChn = content.header.NumChn;
  values.Total_Line = content.header.Total_Line;
  values.Analog_Num = content.header.Analog_Num;
  values.SW_Num = content.header.SW_Num;
  values.NumSamp = content.header.NumSamp;
  values.MaxMultiFreq = content.header.MaxMultiFreq;
  values.ChannelRate = content.header.ChannelRate;
  values.ADBit = content.header.ADBit;
  values.StartTime = startTime;
  values.CompressRatio = 1;
  const auto header = MakeRecordFileHeader(values);
  // Blocks without words could not be told apart from a stopped run.
  if (!header || values.NumChn <= 0 || values.NumSamp <= 0) {
    error_ = "the block layout cannot be saved";
    return 0;
  }
  header_ = *header;
  if (!Trailer(content.comment, comment_) || !Trailer(content.backupComment, backupComment_)) {
    error_ = "the comment is too long";
    return 0;
  }

  file_ = ::open(fileName_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (file_ < 0) {
    error_ = SystemError("cannot create " + fileName_);
    return 0;
  }
  if (!WriteAt(file_, &header_, sizeof header_, 0) ||
      !WriteAt(file_, &content.config, sizeof content.config, kRecordFileHeaderBytes)) {
    error_ = SystemError("cannot write " + fileName_);
    CloseFiles();
    return 0;
  }
  if (!backupName_.empty()) {
    if (copyBuffer_.empty()) copyBuffer_.resize(kCopyBufferBytes);
    // The backup starts as a valid record file without blocks.
    backupFile_ = ::open(backupName_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (backupFile_ < 0 || !WriteAt(backupFile_, &content.config, sizeof content.config, kRecordFileHeaderBytes) ||
        !WriteBackupEnd(0)) {
      error_ = SystemError("cannot create " + backupName_);
      CloseFiles();
      return 0;
    }
  }
  isOpen_ = true;
  return 1;
}

int ContinuousSave::Append(std::span<const uint16_t> block, int32_t numChn, int32_t numSamp) {
  if (!isOpen_ || failed_) return 0;
  // A block of another layout would make the whole file unreadable.
  if (numChn != header_.NumChn || numSamp != header_.NumSamp ||
      block.size() < 1 + static_cast<uint64_t>(numChn) * static_cast<uint64_t>(numSamp)) {
    Fail("a block of another layout was given");
    return 0;
  }
  // The header counts the data in 32 bits; a block past that is refused, not wrapped.
  if (DataEnd(blocksWritten_ + 1) - kRecordFileDataOffset > uint64_t{std::numeric_limits<int32_t>::max()}) {
    Fail("the continuous file is full");
    return 0;
  }
  if (!WriteAt(file_, block.data() + 1, BlockBytes(), DataEnd(blocksWritten_))) {
    Fail(SystemError("cannot write " + fileName_));
    return 0;
  }
  ++blocksWritten_;
  if (copying_) {
    // While the backup is behind, the record file is the valid one: it gets
    // its comment and count after every block.
    if (!KeepRecordValid() || !CopyToBackup(kCopyBlocksPerAppend)) return 0;
  } else if (!backupName_.empty() && blocksWritten_ - blocksCopied_ >= backupInterval_) {
    if (!Finish()) return 0;
    copying_ = true;
    copyTarget_ = blocksWritten_;
    if (!CopyToBackup(kCopyBlocksPerAppend)) return 0;
  }
  return 1;
}

int ContinuousSave::Close() {
  if (!isOpen_ || failed_) return 0;
  if (!Finish()) return 0;
  if (!backupName_.empty()) {
    copying_ = true;
    copyTarget_ = blocksWritten_;
    if (!CopyToBackup(INT32_MAX)) return 0;
  }
  const int fd = file_;
  const int backup = backupFile_;
  file_ = -1;
  backupFile_ = -1;
  isOpen_ = false;
  // A delayed write error can surface only here.
  const bool backupClosed = backup < 0 || ::close(backup) == 0;
  if (::close(fd) != 0 || !backupClosed) {
    failed_ = true;
    error_ = SystemError("cannot close " + fileName_);
    return 0;
  }
  return 1;
}

// The trailer and the data reach the disk before the header that counts them.
bool ContinuousSave::Finish() {
  const uint64_t end = DataEnd(blocksWritten_);
  if (!WriteAt(file_, comment_.data(), comment_.size(), end) || !Sync(file_)) {
    Fail(SystemError("cannot finish " + fileName_));
    return false;
  }
  header_.BlockCount = blocksWritten_;
  header_.DataBytes = static_cast<int32_t>(end - kRecordFileDataOffset);
  header_.DataGap = dataGap_;
  if (!WriteAt(file_, &header_, sizeof header_, 0) || !Sync(file_)) {
    Fail(SystemError("cannot finish " + fileName_));
    return false;
  }
  return true;
}

// A copy brings the backup up to the blocks the record file had when it
// was completed on disk (Finish), at most `maxBlocks` blocks per call, so a
// long interval never stalls one block. The backup counts the new blocks
// only once they and its comment are on disk, and until then the record file
// is kept valid: one of the two files is always a valid record file.
bool ContinuousSave::CopyToBackup(int32_t maxBlocks) {
  const int32_t last = static_cast<int32_t>(std::min<int64_t>(int64_t{copyNext_} + maxBlocks, copyTarget_));
  const uint64_t from = DataEnd(copyNext_), to = DataEnd(last);
  for (uint64_t at = from; at < to;) {
    const uint64_t chunk = std::min<uint64_t>(copyBuffer_.size(), to - at);
    if (!ReadAt(file_, copyBuffer_.data(), chunk, at) || !WriteAt(backupFile_, copyBuffer_.data(), chunk, at)) {
      Fail(SystemError("cannot copy to " + backupName_));
      return false;
    }
    at += chunk;
  }
  copyNext_ = last;
  if (copyNext_ < copyTarget_) return true;
  Reached(BackupCopyStep::BlocksCopied);
  if (!WriteBackupEnd(copyTarget_)) {
    Fail(SystemError("cannot finish " + backupName_));
    return false;
  }
  blocksCopied_ = copyTarget_;
  copying_ = false;
  return true;
}

// The record file's comment after the newest block and its header counting
// it, without waiting for the disk: valid for a reader and after a crash of
// the program.
bool ContinuousSave::KeepRecordValid() {
  const uint64_t end = DataEnd(blocksWritten_);
  RecordFileHeader header = header_;
  header.BlockCount = blocksWritten_;
  header.DataBytes = static_cast<int32_t>(end - kRecordFileDataOffset);
  header.DataGap = dataGap_;
  if (!WriteAt(file_, comment_.data(), comment_.size(), end) || !WriteAt(file_, &header, sizeof header, 0)) {
    Fail(SystemError("cannot write " + fileName_));
    return false;
  }
  return true;
}

// The backup's comment after `blocks` blocks, then its header counting them.
bool ContinuousSave::WriteBackupEnd(int32_t blocks) {
  const uint64_t end = DataEnd(blocks);
  if (!WriteAt(backupFile_, backupComment_.data(), backupComment_.size(), end) ||
      !Truncate(backupFile_, end + backupComment_.size()) || !Sync(backupFile_)) {
    return false;
  }
  Reached(BackupCopyStep::TrailerWritten);
  RecordFileHeader header = header_;
  header.BlockCount = blocks;
  header.DataBytes = static_cast<int32_t>(end - kRecordFileDataOffset);
  header.DataGap = dataGap_;
  if (!WriteAt(backupFile_, &header, sizeof header, 0) || !Sync(backupFile_)) return false;
  Reached(BackupCopyStep::HeaderWritten);
  return true;
}

// A copy that failed half-way: the backup goes back to the blocks its header
// counts, with its comment after them.
void ContinuousSave::RestoreBackup() {
  if (backupFile_ < 0) return;
  const uint64_t end = DataEnd(blocksCopied_);
  if (Truncate(backupFile_, end) &&
      WriteAt(backupFile_, backupComment_.data(), backupComment_.size(), end)) {
    ::fsync(backupFile_);
  }
}

// Leaves the files valid with every whole block they hold: the header may
// count them only once they are on disk, and a torn block is cut off. The
// saver is closed; it can be opened again for a new file.
void ContinuousSave::Fail(const std::string& what) {
  failed_ = true;
  isOpen_ = false;
  error_ = what;
  RestoreBackup();
  if (file_ >= 0 && Truncate(file_, DataEnd(blocksWritten_)) && ::fsync(file_) == 0) {
    header_.BlockCount = blocksWritten_;
    header_.DataBytes = static_cast<int32_t>(DataEnd(blocksWritten_) - kRecordFileDataOffset);
    header_.DataGap = dataGap_;
    if (WriteAt(file_, &header_, sizeof header_, 0)) ::fsync(file_);
  }
  CloseFiles();
}

}  // namespace quelvar
