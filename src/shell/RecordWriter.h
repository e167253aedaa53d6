#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "shell/RecordFile.h"

namespace quelvar {

// Writes each completed record on a thread of its own, so that acquisition
// goes on while the file is written; then prunes the directory. Records that
// complete faster than files are written are written side by side.
class RecordWriter {
 public:
  using Done = std::function<void(WriteResult)>;

  RecordWriter();
  // Waits for every record still being written.
  ~RecordWriter();
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  // Writes `package` into `directory` (absolute), then prunes it to fileNum
  // record files when the write succeeded, and calls `done` with the result
  // on the writing thread (post it on to the GUI thread from there; it must
  // not call JoinAll, which would wait for its own thread). True
  // when a thread took the record; false when none could be started and the
  // record was written here, before returning, with writtenSynchronously set.
  bool Start(std::string directory, RecordPackage package, int32_t fileNum, Done done);

  // Waits for every record started before the call.
  void JoinAll();

  // Records being written now.
  size_t Running() const;

 private:
  struct Job;
  static WriteResult Write(Job& job);
  void Run(Job& job);
  void ReapFinished();

  mutable std::mutex mutex_;
  std::list<std::unique_ptr<Job>> jobs_;  // started, not yet joined
  size_t running_ = 0;
};

}  // namespace quelvar
