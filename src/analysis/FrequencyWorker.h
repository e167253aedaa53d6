#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "analysis/FrequencyAnalysis.h"

namespace quelvar {

// Long frequency analyses off the GUI thread. The live display data may
// change under acquisition at any time, so the samples an analysis reads are
// first copied on the GUI thread; a worker thread
// then runs the engine against the copy alone.

// A copy of the shown range of the channels an analysis reads, with the
// configuration it needs; `Source` reads only the copy.
struct SpectrumSnapshot {
  SpectrumSource Source;
};
SpectrumSnapshot TakeSpectrumSnapshot(const SpectrumSource& live, const FftSettings& settings,
                                      const SpectrumRequest& request);

class SpectrumWorker {
 public:
  SpectrumWorker() = default;
  SpectrumWorker(const SpectrumWorker&) = delete;
  SpectrumWorker& operator=(const SpectrumWorker&) = delete;
  // Cancels a running analysis and waits for it.
  ~SpectrumWorker();

  // Starts an analysis into a copy of `seed` (curves of a refused analysis
  // stay as they were). A running one is cancelled and waited for first,
  // and its result is never handed out. `progress` (0..1) and `finished`
  // are called on the worker thread; `finished` once the result can be
  // taken.
  void Start(const FftSettings& settings, SpectrumSnapshot snapshot, const SpectrumRequest& request,
             const SpectrumResult& seed, std::function<void(double)> progress, std::function<void()> finished);
  // Asks a running analysis to stop, and waits for the thread; a finished
  // result not yet taken is dropped too.
  void Cancel();
  // Waits for the running analysis to end.
  void Join();
  // True while an analysis runs or its result waits to be taken.
  bool Busy() const;
  // True while an analysis runs.
  bool Running() const { return running_.load(); }
  // The running analysis's finished fraction, 0..1.
  double Progress() const { return progress_.load(); }
  // The finished analysis's result and status text, once; false when none
  // waits.
  bool Take(SpectrumResult& result, std::string& status);

 private:
  std::unique_ptr<SpectrumEngine> engine_;  // made at the first analysis
  std::thread thread_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> running_{false};
  std::atomic<double> progress_{0.0};
  mutable std::mutex mutex_;
  bool ready_ = false;
  SpectrumResult result_;
  std::string status_;
};

}  // namespace quelvar
