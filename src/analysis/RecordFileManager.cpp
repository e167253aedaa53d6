#include "analysis/RecordFileManager.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <new>
#include <filesystem>
#include <limits>

#include "common/NumberFormat.h"
#include "platform/AtomicFile.h"
#include "platform/DayTime.h"
#include "platform/GbkText.h"
#include "platform/ReadOnlyFile.h"
#include "platform/UiHost.h"
#include "shell/RecordFileCheck.h"

namespace quelvar {

namespace {

constexpr uint64_t kConfigBytes = sizeof(ConfigRecord);
static_assert(kRecordFileHeaderBytes + kConfigBytes == kRecordFileDataOffset);

const char* const kNoUserText = "\r\n无用户自定义信息!";
const char* const kNoValidUserText = "\r\n无有效的用户自定义信息!";
const char* const kRepairedComment = "修复的历史数据文件";
const char* const kNoValidFile = "未选定有效文件";
const char* const kCannotRepair = "此文件不能修复";
const char* const kRepairCaption = "修复操作无效";

std::string TriggerKindText(int32_t kind) {
  switch (kind) {
    case 0: return "手动";
    case 1: return "开关量通道";
    case 2: return "模拟量通道";
    default: return "未知(警告!)";
  }
}

int64_t FloorDiv(int64_t value, int64_t by) {
  const int64_t q = value / by;
  return (value % by != 0 && value < 0) ? q - 1 : q;
}

std::string ErrnoText(int err) { return std::strerror(err); }

// The header's lines of the report, for a header with the right tag.
std::string HeaderLines(const RecordFileHeader& h) {
  std::string text = "\r\n记录日期为:" + platform::FormatDayCount(h.StartTime, "yyyy-mm-dd") + "," +
                     platform::FormatDayCount(h.StartTime, "hh:nn:ss");
  text += "\r\n 文件版本为:" + std::to_string(h.VersionMajor) + "." + std::to_string(h.VersionMinor);
  text += "\r\n AD板总通道数=" + std::to_string(h.NumChn) + ",每块采样数=" + std::to_string(h.NumSamp) +
          ",AD芯片位数=" + std::to_string(h.ADBit) + ",通道组数=" + std::to_string(h.Total_Line) +
          ",模拟通道=" + std::to_string(h.Analog_Num) + ",开关通道=" + std::to_string(h.SW_Num);
  text += "\r\n 数据块数=" + std::to_string(h.BlockCount) + ",其中压缩块=" + std::to_string(h.CompressBlocks);
  if (h.CompressBlocks != 0) text += ",压缩比=" + std::to_string(h.CompressRatio);
  text += ",频率=" + FormatFixed(static_cast<double>(h.ChannelRate), 15, 2) + " Hz";
  text += "\r\n 记录触发类型: " + TriggerKindText(h.TriggerKind);
  text += "\r\n 要求数据容量=" + std::to_string(FloorDiv(h.DataBytes, 1000)) + "KB\r\n";
  return text;
}

// Writes all of `bytes` at `offset`, through short writes and interruptions.
bool WriteAllAt(int fd, const char* bytes, size_t size, uint64_t offset) {
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, bytes, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes += n;
    size -= static_cast<size_t>(n);
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

bool ParseWhole(const std::string& text, int64_t& out) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  size_t last = text.find_last_not_of(" \t") + 1;
  const char* begin = text.data() + first;
  const char* end = text.data() + last;
  if (*begin == '+') ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, out);
  return ec == std::errc{} && ptr == end;
}

}  // namespace

// Block, row and channel counts of at least 1 whose product in 64 bits is
// the stated data size.
bool DataSizeMatches(const RecordFileHeader& h) {
  if (h.BlockCount < 1 || h.NumSamp < 1 || h.NumChn < 1) return false;
  // Each step stays below 2^63: a partial product beyond DataBytes's range
  // already fails.
  int64_t bytes = int64_t{h.BlockCount} * h.NumSamp;
  if (bytes > std::numeric_limits<int32_t>::max()) return false;
  bytes *= int64_t{h.NumChn} * 2;
  return bytes == h.DataBytes;
}

bool ConfigAgrees(const ConfigRecord& c, const RecordFileHeader& h) {
  return ValidateConfigRecord(c) == 1 && c.NumChn == h.NumChn && c.Analog_Num == h.Analog_Num &&
         c.SW_Num == h.SW_Num && c.ADBit == h.ADBit && c.NumSamp == h.NumSamp;
}

std::string JoinRecordPath(const std::string& directory, const std::string& fileName) {
  if (!directory.empty() && directory.back() == '/') return directory + fileName;
  return directory + "/" + fileName;
}

std::string OlderRecordFormatName(const std::string& path) {
  if (IsValidRecordFileOld2(path)) return "版本V1的旧文件";
  if (IsValidRecordFileOld1(path)) return "版本V0的旧文件";
  return "未知格式";
}

RecordFileReport CheckRecordFileReport(const std::string& path, const std::string& fileName) {
  RecordFileReport r;
  platform::ReadOnlyFile file;
  if (!file.Open(path)) {
    r.status = kCheckCannotOpen;
    r.report = "非法的文件名!";
    return r;
  }
  r.report = "历史数据库:" + fileName;
  bool readError = false;
  if (!file.ReadAt(0, &r.header, sizeof r.header)) {
    readError = true;
    r.header = RecordFileHeader{};
  }
  const RecordFileHeader& h = r.header;

  [&] {
    if (h.Tag[0] != 'Q' || h.Tag[1] != 'V') {
      r.status = kCheckWrongTag;
      r.report += "\r\n文件头标志错误!";
      return;
    }
    r.report += HeaderLines(h);
    r.blockCount = h.BlockCount;

    if (!DataSizeMatches(h)) {
      r.status = kCheckHeaderFormat;
      r.report += "\r\n错误:文件头格式错误";
      return;
    }
    if (!file.ReadAt(kRecordFileHeaderBytes, &r.config, kConfigBytes)) {
      readError = true;
      r.status = kCheckConfiguration;
      r.report += "\r\n错误:文件配置信息格式错误";
      return;
    }
    if (!ConfigAgrees(r.config, h)) {
      r.status = kCheckConfiguration;
      r.report += "\r\n错误:文件配置信息格式错误";
      return;
    }

    // DataBytes >= 2 here, so the comment's place is past the configuration.
    const uint64_t commentAt = kRecordFileDataOffset + static_cast<uint64_t>(h.DataBytes);
    uint64_t commentPart = 0;
    bool commentBeyondFile = false;
    int32_t length = 0;
    if (!file.ReadAt(commentAt, &length, sizeof length)) {
      r.userText = kNoUserText;
    } else if (length == 0) {
      commentPart = 4;
      r.userText = kNoValidUserText;
    } else if (length < 0) {
      r.userText = kNoValidUserText;
    } else if (commentAt + 4 + static_cast<uint64_t>(length) > file.Size()) {
      // Not read: the length would make the file longer than it is.
      commentBeyondFile = true;
      r.userText = kNoValidUserText;
    } else {
      std::string gbk(static_cast<size_t>(length), '\0');
      if (file.ReadAt(commentAt + 4, gbk.data(), gbk.size())) {
        r.userText = platform::GbkToUtf8(gbk);
      } else {
        readError = true;
        r.userText = kNoValidUserText;
      }
      commentPart = 4 + static_cast<uint64_t>(length);
    }

    // The header size counts as the validator counts it: 104 and nothing else.
    const uint64_t expected = kRecordFileDataOffset + static_cast<uint64_t>(h.DataBytes) + commentPart;
    if (commentBeyondFile || h.HeaderSize != kRecordFileHeaderBytes || file.Size() != expected) {
      r.status = kCheckLength;
      r.report += "\r\n错误:文件尺寸不匹配";
      return;
    }
    r.valid = true;
  }();

  if (r.valid) {
    r.report = "结论: 可使用本历史数据文件!\r\n\r\n" + r.report + "\r\nOK! 文件内部格式正确!\r\n";
  } else {
    r.report = "结论: 本历史数据文件不可用(" + OlderRecordFormatName(path) + ")!\r\n\r\n" + r.report;
  }
  if (readError) r.report = "错误: 读文件内容失败!\r\n\r\n" + r.report;
  return r;
}

std::string RepairedCopyPath(const std::string& source) {
  const std::filesystem::path p(source);
  std::filesystem::path copy = p.parent_path() / (p.stem().string() + "-Fix" + p.extension().string());
  return copy.string();
}

RepairOutcome RepairRecordFile(const std::string& source) {
  RepairOutcome out;
  auto failRead = [&](std::string why) {
    out.report = "提示：修复数据文件失败!";
    out.error = std::move(why);
    return out;
  };
  auto refuse = [&](std::string why) {
    out.refused = true;
    out.error = std::move(why);
    return out;
  };
  platform::ReadOnlyFile file;
  if (!file.Open(source)) return failRead("the file cannot be opened");
  if (file.Size() < kRecordFileDataOffset) return refuse("shorter than header and configuration");

  RecordFileHeader header{};
  std::string bytes;
  if (!file.ReadAt(0, &header, sizeof header)) return failRead("the header cannot be read");
  if (header.NumChn < 1 || header.NumSamp < 1) return refuse("block size 0");
  const uint64_t blockBytes = uint64_t{static_cast<uint32_t>(header.NumChn)} * static_cast<uint32_t>(header.NumSamp) * 2;
  uint64_t blocks = (file.Size() - kRecordFileDataOffset) / blockBytes;
  // DataBytes is 32-bit: what it cannot count is not kept.
  blocks = std::min<uint64_t>(blocks, static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) / blockBytes);
  if (blocks == 0) return refuse("not one whole block");
  const uint64_t dataBytes = blocks * blockBytes;

  header.HeaderSize = kRecordFileHeaderBytes;
  header.BlockCount = static_cast<int32_t>(blocks);
  header.DataBytes = static_cast<int32_t>(dataBytes);
  const std::string comment = platform::Utf8ToGbk(kRepairedComment);
  const uint32_t commentLength = static_cast<uint32_t>(comment.size());

  try {
    bytes.resize(kRecordFileDataOffset + dataBytes);
  } catch (const std::bad_alloc&) {
    return failRead("not enough memory for the copy");
  }
  std::memcpy(bytes.data(), &header, sizeof header);
  if (!file.ReadAt(kRecordFileHeaderBytes, bytes.data() + kRecordFileHeaderBytes, kConfigBytes + dataBytes)) {
    return failRead("the samples cannot be read");
  }
  bytes.append(reinterpret_cast<const char*>(&commentLength), sizeof commentLength);
  bytes += comment;

  const std::string copy = RepairedCopyPath(source);
  std::string error;
  if (!platform::WriteUserFileAtomically(copy, bytes, error)) {
    out.report = "提示：建立新文件失败!";
    out.error = error;
    return out;
  }
  out.ok = true;
  out.copyPath = copy;
  return out;
}

bool WriteRecordUserText(const std::string& path, const RecordFileHeader& checkedHeader, const std::string& utf8Text,
                         std::string& error) {
  const std::string gbk = platform::Utf8ToGbk(utf8Text);
  if (gbk.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    error = "the text is too long";
    return false;
  }
  if (checkedHeader.DataBytes < 0) {
    error = "the file was not checked";
    return false;
  }
  // Not blocking on a FIFO put in the file's place.
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = ErrnoText(errno);
    return false;
  }
  auto fail = [&](std::string why) {
    ::close(fd);
    error = std::move(why);
    return false;
  };
  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(ErrnoText(errno));
  if (!S_ISREG(st.st_mode)) return fail("not a regular file");

  RecordFileHeader found{};
  if (::pread(fd, &found, sizeof found, 0) != static_cast<ssize_t>(sizeof found) ||
      std::memcmp(&found, &checkedHeader, sizeof found) != 0) {
    return fail("the file has changed since it was checked");
  }
  const uint64_t commentAt = kRecordFileDataOffset + static_cast<uint64_t>(checkedHeader.DataBytes);
  // A file cut short since the check would get a hole of zeros that passes
  // for samples.
  if (static_cast<uint64_t>(st.st_size) < commentAt) return fail("the file has changed since it was checked");
  const uint32_t length = static_cast<uint32_t>(gbk.size());
  std::string trailer(reinterpret_cast<const char*>(&length), sizeof length);
  trailer += gbk;
  if (!WriteAllAt(fd, trailer.data(), trailer.size(), commentAt)) return fail(ErrnoText(errno));
  if (::ftruncate(fd, static_cast<off_t>(commentAt + trailer.size())) != 0) return fail(ErrnoText(errno));
  if (::fsync(fd) != 0) return fail(ErrnoText(errno));
  if (::close(fd) != 0) {
    error = ErrnoText(errno);
    return false;
  }
  return true;
}

std::pair<int32_t, int32_t> ClampBlockRange(const std::string& beginText, const std::string& endText,
                                            int32_t blockCount) {
  const int64_t last = std::max<int64_t>(blockCount, 1) - 1;
  auto clamp = [&](const std::string& text) {
    int64_t value = 0;
    if (!ParseWhole(text, value)) value = 0;
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, last));
  };
  const int32_t begin = clamp(beginText);
  const int32_t end = std::max(begin, clamp(endText));
  return {begin, end};
}

bool IsFileMask(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

std::vector<std::string> ListMatchingFiles(const std::string& directory, const std::string& mask) {
  std::vector<std::string> patterns;
  size_t start = 0;
  while (start <= mask.size()) {
    const size_t stop = std::min(mask.find(';', start), mask.size());
    std::string one = mask.substr(start, stop - start);
    // "*.*" names every file, with or without an extension.
    if (one == "*.*") one = "*";
    if (!one.empty()) patterns.push_back(one);
    start = stop + 1;
  }
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const std::string name = it->path().filename().string();
    for (const std::string& pattern : patterns) {
      if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) {
        names.push_back(name);
        break;
      }
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> ListSubdirectories(const std::string& directory) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// --- The manager's commands ---------------------------------------------------

const RecordFileReport& RecordFileManager::Check(const std::string& directory, const std::string& fileName) {
  checkedFileValid_ = false;
  historyFilePath_ = JoinRecordPath(directory, fileName);
  last_ = CheckRecordFileReport(historyFilePath_, fileName);
  if (last_.valid) {
    checkedFileValid_ = true;
  } else {
    recordCheckStatus_ = last_.status;
  }
  return last_;
}

bool RecordFileManager::ConfirmSelection() {
  if (checkedFileValid_) return true;
  ui_.MessageBox(kNoValidFile, "确定操作无效", platform::MsgButtons::OkCancel);
  return false;
}

bool RecordFileManager::DeleteCheckedFile() {
  if (!checkedFileValid_) {
    ui_.MessageBox(kNoValidFile, "删除操作无效", platform::MsgButtons::OkCancel);
    return false;
  }
  const std::string question = "确定要删除文件 " + historyFilePath_ + " 吗?";
  if (ui_.MessageBox(question, "删除文件", platform::MsgButtons::YesNo, platform::MsgIcon::Question) !=
      platform::MsgResult::Yes) {
    return false;
  }
  std::string error;
  if (!platform::RemoveFileDurably(historyFilePath_, error)) {
    ui_.MessageBox("删除文件失败!\r\n" + error, "删除操作无效", platform::MsgButtons::Ok, platform::MsgIcon::Error);
    return false;
  }
  // Nothing checked is left to confirm.
  checkedFileValid_ = false;
  return true;
}

bool RecordFileManager::UpdateUserText(const std::string& utf8Text) {
  if (!checkedFileValid_) {
    ui_.MessageBox(kNoValidFile, "更新说明信息无效", platform::MsgButtons::OkCancel);
    return false;
  }
  std::string error;
  if (!WriteRecordUserText(historyFilePath_, last_.header, utf8Text, error)) {
    ui_.MessageBox("更新标识信息失败!\r\n" + error, "更新说明信息无效", platform::MsgButtons::Ok,
                   platform::MsgIcon::Error);
    return false;
  }
  return true;
}

std::optional<std::string> RecordFileManager::Repair(std::string& report) {
  report.clear();
  if (!RepairAllowed()) {
    ui_.MessageBox(kCannotRepair, kRepairCaption, platform::MsgButtons::OkCancel);
    return std::nullopt;
  }
  const RepairOutcome outcome = RepairRecordFile(historyFilePath_);
  if (outcome.refused) {
    ui_.MessageBox(kCannotRepair, kRepairCaption, platform::MsgButtons::OkCancel);
    return std::nullopt;
  }
  if (!outcome.ok) {
    report = outcome.report;
    if (!outcome.error.empty()) report += "\r\n" + outcome.error;
    return std::nullopt;
  }
  return std::filesystem::path(outcome.copyPath).filename().string();
}

}  // namespace quelvar
