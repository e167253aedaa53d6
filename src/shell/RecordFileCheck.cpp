#include "shell/RecordFileCheck.h"

#include <cstring>

#include "common/LiveConfig.h"
#include "platform/ReadOnlyFile.h"

namespace quelvar {

namespace {

// The comment length word at `commentAt` decides the expected length; a file
// that ends before the word ends there.
bool LengthMatches(const platform::ReadOnlyFile& file, uint64_t commentAt) {
  uint32_t commentBytes = 0;
  uint64_t expected = commentAt;
  if (file.ReadAt(commentAt, &commentBytes, sizeof commentBytes)) expected += sizeof commentBytes + commentBytes;
  return file.Size() == expected;
}

bool CheckRecordFile(const std::string& path, ConfigRecord& config, RecordFileHeader* headerOut) {
  platform::ReadOnlyFile file;
  if (!file.Open(path)) return false;
  RecordFileHeader header;
  if (!file.ReadAt(0, &header, sizeof header)) return false;
  if (headerOut) *headerOut = header;
  if (header.HeaderSize != kRecordFileHeaderBytes || header.Tag[0] != 'Q' || header.Tag[1] != 'V') return false;
  if (!file.ReadAt(kRecordFileHeaderBytes, &config, sizeof config)) return false;
  if (config.RecordSize != kConfigRecordSize || !ValidateConfigRecord(config)) return false;
  if (header.DataBytes < 0) return false;
  return LengthMatches(file, kRecordFileDataOffset + static_cast<uint64_t>(header.DataBytes));
}

// What an older configuration block lacks: the check reads some fields past
// 29944 bytes (MaxBlock, the algorithms, the schedule count), which the block
// must not decide by their absence. They take a fresh configuration's values.
const ConfigRecord& FreshRecord() {
  static const ConfigRecord fresh = [] {
    ConfigRecord record;
    BuildConfigRecord(LiveConfig{}, ConfigBuildExtras{}, record);
    return record;
  }();
  return fresh;
}

bool CheckOldRecordFile(const std::string& path, uint64_t configBytes) {
  platform::ReadOnlyFile file;
  if (!file.Open(path)) return false;
  char header[kOldRecordHeaderBytes];
  if (!file.ReadAt(0, header, sizeof header)) return false;
  if (header[0] != 'Q' || header[1] != 'V') return false;
  int32_t dataBytes = 0;
  std::memcpy(&dataBytes, header + kOldRecordDataBytesOffset, sizeof dataBytes);
  if (dataBytes < 0) return false;

  const uint64_t configAt = kOldRecordHeaderBytes + static_cast<uint64_t>(dataBytes);
  ConfigRecord record = FreshRecord();
  static_assert(kOld2ConfigBytes <= sizeof(ConfigRecord));
  if (!file.ReadAt(configAt, &record, configBytes)) return false;
  if (!ValidateConfigRecord(record)) return false;
  return LengthMatches(file, configAt + configBytes);
}

}  // namespace

bool IsValidRecordFile(const std::string& path) {
  ConfigRecord config;
  return CheckRecordFile(path, config, nullptr);
}

bool ReadRecordConfig(const std::string& path, ConfigRecord& out, RecordFileHeader* header) {
  return CheckRecordFile(path, out, header);
}

bool IsValidRecordFileOld1(const std::string& path) { return CheckOldRecordFile(path, kOld1ConfigBytes); }

bool IsValidRecordFileOld2(const std::string& path) { return CheckOldRecordFile(path, kOld2ConfigBytes); }

}  // namespace quelvar
