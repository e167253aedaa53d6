#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/RecordFileHeader.h"
#include "shell/ConfigRecord.h"
#include "shell/RecordFile.h"

namespace quelvar {

// The comments closing the record file and its backup (UTF-8; stored as GBK).
inline constexpr const char* kContinuousSaveComment = "录波器自动连续保存AD数据！";
inline constexpr const char* kContinuousBackupComment = "录波器自动连续保存AD数据的备份！";

// What a continuous file holds besides its blocks, fixed when it is opened.
struct ContinuousSaveContent {
  // Relative file names are taken inside this directory, which must be
  // absolute when such a name is given.
  std::string directory;
  // NumChn, Total_Line, Analog_Num, SW_Num, NumSamp, MaxMultiFreq,
  // ChannelRate and ADBit are used; the other fields are the saver's own.
  RecordHeaderValues header;
  ConfigRecord config{};
  std::string comment = kContinuousSaveComment;
  std::string backupComment = kContinuousBackupComment;
};

// Writes every acquired block into one record file as it arrives, and keeps
// an optional backup copy brought up to date every so many blocks, so that a
// valid file survives a crash. Between two backup copies the record file's
// header still counts the blocks of the last copy. A copy first completes the
// record file on disk, then adds only the blocks since the last copy to the
// backup, a few blocks per append (the record file kept valid meanwhile): its
// cost per block is bounded, never growing with the file or the interval,
// and one of the two files is always a valid record file. Used by one
// thread at a time (the caller's, or a SaveWriter's).
//
// A failed write closes the saver, leaving the files valid with the blocks
// they hold whole; appends and closes then report 0 until it is opened again.
class ContinuousSave {
 public:
  ContinuousSave() = default;
  ~ContinuousSave();
  ContinuousSave(const ContinuousSave&) = delete;
  ContinuousSave& operator=(const ContinuousSave&) = delete;

  // 1 when the file (and, with a backup name, its backup) was created with
  // its header and configuration record. 0 while open, or when a file cannot
  // be created; a record file created before the failure is left as it is.
  int Open(const ContinuousSaveContent& content, const std::string& fileName, const std::string& backupName,
           int32_t backupInterval, double startTime);

  // Appends one block: `block` starts with its sequence word (not stored),
  // followed by numSamp rows of numChn words, the layout the file was opened
  // with. Makes the backup copy when its interval is reached. 1 while no
  // write has failed.
  int Append(std::span<const uint16_t> block, int32_t numChn, int32_t numSamp);

  // Writes the final header and the comment and brings the backup up to all
  // blocks. 1 when all of it succeeded; 0 when the saver was not open or
  // failed now (it is closed either way).
  int Close();

  // Marks the run as having lost blocks; the header says so from the next
  // time it is written.
  void SetDataGap(bool gap) { dataGap_ = gap ? 1 : 0; }

  int32_t BlocksWritten() const { return blocksWritten_; }
  int32_t BlocksCopied() const { return blocksCopied_; }
  bool IsOpen() const { return isOpen_; }
  bool Failed() const { return failed_; }
  const std::string& FileName() const { return fileName_; }
  const std::string& BackupName() const { return backupName_; }
  // Why the saver failed or the last open was refused.
  const std::string& Error() const { return error_; }

 private:
  uint64_t BlockBytes() const;
  uint64_t DataEnd(int32_t blocks) const;
  bool Finish();
  bool CopyToBackup(int32_t maxBlocks);
  bool KeepRecordValid();
  bool WriteBackupEnd(int32_t blocks);
  void Fail(const std::string& what);
  void RestoreBackup();
  void CloseFiles();

  std::string fileName_;
  std::string backupName_;
  std::string comment_;        // GBK, with its length word in front
  std::string backupComment_;  // likewise
  RecordFileHeader header_{};
  std::vector<char> copyBuffer_;
  std::string error_;
  int file_ = -1;
  int backupFile_ = -1;
  bool isOpen_ = false;
  bool failed_ = false;
  int32_t backupInterval_ = 1;
  int32_t blocksWritten_ = 0;
  int32_t blocksCopied_ = 0;  // blocks the backup counts
  int32_t copyNext_ = 0;  // next block a running copy takes
  int32_t copyTarget_ = 0;  // blocks the running copy brings the backup to
  bool copying_ = false;
  int32_t dataGap_ = 0;
};

// Points of a backup copy where a test may stop the writing process.
enum class BackupCopyStep {
  BlocksCopied,    // the new blocks are in the backup, its old end overwritten
  TrailerWritten,  // the backup's comment follows them, its header still old
  HeaderWritten,   // the backup counts the new blocks
};

// Called at every BackupCopyStep; nullptr (the default) for none.
void SetBackupCopyHookForTesting(void (*hook)(BackupCopyStep));

// Makes the n-th file operation of the savers from now (a write, read,
// truncation or wait for the disk, in any saver) fail once with EIO; 0 for
// none. The countdown left: 0 once the failure has happened.
void SetWriteFaultForTesting(int64_t n);
int64_t WriteFaultCountdownForTesting();

}  // namespace quelvar
