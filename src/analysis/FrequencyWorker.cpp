#include "analysis/FrequencyWorker.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace quelvar {

namespace {

// The copied samples of one channel: its own sample indices from `start`.
struct ChannelCopy {
  int32_t channel = -1;
  int64_t start = 0;
  std::vector<double> values;
  std::vector<uint16_t> raw;
};

struct SnapshotData {
  std::vector<ChannelCopy> channels;
  std::vector<double> engineeringZero;  // RawToEngineering(c, 0) per analog channel

  const ChannelCopy* Find(int32_t channel) const {
    for (const ChannelCopy& c : channels) {
      if (c.channel == channel) return &c;
    }
    return nullptr;
  }
};

}  // namespace

SpectrumSnapshot TakeSpectrumSnapshot(const SpectrumSource& live, const FftSettings& settings,
                                      const SpectrumRequest& request) {
  auto data = std::make_shared<SnapshotData>();
  const bool raw = settings.FFTResultType == kAmplitudeDensity;
  const size_t inputs = std::min(request.AnalogChannels.size(), static_cast<size_t>(kMaxSpectrumInputs));
  // Every channel of an analysis shares one rate, and a pair is read over
  // its first channel's range: the first channel's range serves them all.
  const SpectrumSampleRange range =
      inputs > 0 ? SampleRangeOf(live, request.AnalogChannels[0], request.XPosition, request.DisplayWidth)
                 : SpectrumSampleRange{};
  for (size_t k = 0; k < inputs; ++k) {
    const int32_t c = request.AnalogChannels[k];
    if (data->Find(c) != nullptr) continue;
    ChannelCopy copy;
    copy.channel = c;
    copy.start = range.start;
    if (raw) {
      copy.raw.resize(static_cast<size_t>(range.count));
      for (int64_t i = 0; i < range.count; ++i) copy.raw[static_cast<size_t>(i)] = live.Raw(range.start + i, c);
    } else {
      copy.values.resize(static_cast<size_t>(range.count));
      for (int64_t i = 0; i < range.count; ++i) copy.values[static_cast<size_t>(i)] = live.Value(range.start + i, c);
    }
    data->channels.push_back(std::move(copy));
  }
  for (size_t c = 0; c < live.ChnName.size(); ++c) {
    data->engineeringZero.push_back(live.RawToEngineering ? live.RawToEngineering(static_cast<int32_t>(c), 0.0) : 0.0);
  }

  SpectrumSnapshot snapshot;
  SpectrumSource& s = snapshot.Source;
  s = live;
  s.Value = [data](int64_t point, int32_t channel) {
    const ChannelCopy* c = data->Find(channel);
    if (c == nullptr) return 0.0;
    const int64_t i = point - c->start;
    return i >= 0 && static_cast<size_t>(i) < c->values.size() ? c->values[static_cast<size_t>(i)] : 0.0;
  };
  s.Raw = [data](int64_t point, int32_t channel) -> uint16_t {
    const ChannelCopy* c = data->Find(channel);
    if (c == nullptr) return 0;
    const int64_t i = point - c->start;
    return i >= 0 && static_cast<size_t>(i) < c->raw.size() ? c->raw[static_cast<size_t>(i)] : uint16_t{0};
  };
  // Only the value at code 0 is asked for (the axis of one amplitude curve).
  s.RawToEngineering = [data](int32_t channel, double) {
    return channel >= 0 && static_cast<size_t>(channel) < data->engineeringZero.size()
               ? data->engineeringZero[static_cast<size_t>(channel)]
               : 0.0;
  };
  return snapshot;
}

SpectrumWorker::~SpectrumWorker() { Cancel(); }

void SpectrumWorker::Start(const FftSettings& settings, SpectrumSnapshot snapshot, const SpectrumRequest& request,
                           const SpectrumResult& seed, std::function<void(double)> progress,
                           std::function<void()> finished) {
  Cancel();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ready_ = false;
  }
  if (!engine_) engine_ = std::make_unique<SpectrumEngine>();
  cancel_.store(false);
  progress_.store(0.0);
  running_.store(true);
  auto job = [this, settings, snapshot = std::move(snapshot), request, result = seed,
              progress = std::move(progress), finished = std::move(finished)]() mutable {
    engine_->SetCancelFlag(&cancel_);
    engine_->SetProgress([this, progress = std::move(progress)](double fraction) {
      progress_.store(fraction);
      if (progress) progress(fraction);
    });
    std::string status = engine_->Analyse(settings, snapshot.Source, request, result);
    const bool cancelled = engine_->Cancelled();
    engine_->SetProgress({});
    engine_->SetCancelFlag(nullptr);
    if (!cancelled) {
      const std::lock_guard<std::mutex> lock(mutex_);
      result_ = std::move(result);
      status_ = std::move(status);
      ready_ = true;
    }
    running_.store(false);
    if (!cancelled && finished) finished();
  };
  thread_ = std::thread(std::move(job));
}

void SpectrumWorker::Cancel() {
  cancel_.store(true);
  Join();
  // A result that finished just before is as outdated as a cancelled one:
  // whoever cancels shows something newer, or nothing.
  const std::lock_guard<std::mutex> lock(mutex_);
  ready_ = false;
}

void SpectrumWorker::Join() {
  if (thread_.joinable()) thread_.join();
}

bool SpectrumWorker::Busy() const {
  if (running_.load()) return true;
  const std::lock_guard<std::mutex> lock(mutex_);
  return ready_;
}

bool SpectrumWorker::Take(SpectrumResult& result, std::string& status) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!ready_) return false;
  ready_ = false;
  std::swap(result, result_);
  status = std::move(status_);
  return true;
}

}  // namespace quelvar
