#include "shell/RecordWriter.h"

#include <iterator>
#include <system_error>
#include <thread>
#include <utility>

#include "shell/RecordFilePrune.h"

namespace quelvar {

struct RecordWriter::Job {
  std::string directory;
  RecordPackage package;
  int32_t fileNum = 0;
  Done done;
  std::thread thread;
  bool finished = false;  // guarded by mutex_
};

RecordWriter::RecordWriter() = default;

RecordWriter::~RecordWriter() { JoinAll(); }

WriteResult RecordWriter::Write(Job& job) {
  WriteResult result = WriteRecordFile(job.directory, std::move(job.package));
  // A record that could not be written must not cost an older one.
  if (result.ok) PruneRecordFiles(job.directory, job.fileNum, result.fileName);
  return result;
}

void RecordWriter::Run(Job& job) {
  WriteResult result = Write(job);
  if (job.done) job.done(std::move(result));
  std::lock_guard lock(mutex_);
  job.finished = true;
  --running_;
}

bool RecordWriter::Start(std::string directory, RecordPackage package, int32_t fileNum, Done done) {
  ReapFinished();
  auto job = std::make_unique<Job>();
  job->directory = std::move(directory);
  job->package = std::move(package);
  job->fileNum = fileNum;
  job->done = std::move(done);

  std::unique_ptr<Job> unstarted;
  {
    std::lock_guard lock(mutex_);
    Job& started = *job;
    jobs_.push_back(std::move(job));
    try {
      // The thread gets only the job's address: if it cannot be started, the
      // record is still ours to write.
      started.thread = std::thread([this, &started] { Run(started); });
      ++running_;
      return true;
    } catch (const std::system_error&) {
      unstarted = std::move(jobs_.back());
      jobs_.pop_back();
    }
  }
  WriteResult result = Write(*unstarted);
  result.writtenSynchronously = true;
  if (unstarted->done) unstarted->done(std::move(result));
  return false;
}

void RecordWriter::ReapFinished() {
  std::list<std::unique_ptr<Job>> finished;
  {
    std::lock_guard lock(mutex_);
    for (auto it = jobs_.begin(); it != jobs_.end();) {
      auto next = std::next(it);
      if ((*it)->finished) finished.splice(finished.end(), jobs_, it);
      it = next;
    }
  }
  // Outside the lock: a finishing thread takes it last thing.
  for (auto& job : finished) job->thread.join();
}

void RecordWriter::JoinAll() {
  std::list<std::unique_ptr<Job>> all;
  {
    std::lock_guard lock(mutex_);
    all.swap(jobs_);
  }
  for (auto& job : all) job->thread.join();
}

size_t RecordWriter::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

}  // namespace quelvar
