#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/LiveConfig.h"
#include "net/StationSend.h"
#include "net/ViewerReceive.h"
#include "shell/ConfigRecord.h"

namespace quelvar::test {

// The station's connection list: every send is kept, per connection and in
// the order of all sends.
class FakeConnections : public StationConnections {
 public:
  struct SendRecord {
    uint64_t id;
    std::vector<uint8_t> bytes;
  };

  explicit FakeConnections(int count = 1) {
    for (int i = 0; i < count; ++i) Connect();
  }
  uint64_t Connect() {
    ids_.push_back(nextId_);
    return nextId_++;
  }
  void Disconnect(int index) { ids_.erase(ids_.begin() + index); }

  int Count() const override { return static_cast<int>(ids_.size()); }
  uint64_t IdAt(int index) const override { return ids_.at(static_cast<size_t>(index)); }
  void Send(int index, const uint8_t* data, size_t size) override {
    sends.push_back({IdAt(index), std::vector<uint8_t>(data, data + size)});
  }
  void RequestNotSamplingTimer(uint64_t connectionId, int delayMs) override {
    timers.emplace_back(connectionId, delayMs);
  }

  // The sends to one connection, each as it was made.
  std::vector<std::vector<uint8_t>> SendsTo(uint64_t id) const {
    std::vector<std::vector<uint8_t>> out;
    for (const SendRecord& s : sends) {
      if (s.id == id) out.push_back(s.bytes);
    }
    return out;
  }
  // Everything sent to one connection, as its socket would carry it.
  std::vector<uint8_t> StreamTo(uint64_t id) const {
    std::vector<uint8_t> out;
    for (const SendRecord& s : sends) {
      if (s.id == id) out.insert(out.end(), s.bytes.begin(), s.bytes.end());
    }
    return out;
  }

  std::vector<SendRecord> sends;
  std::vector<std::pair<uint64_t, int>> timers;

 private:
  std::vector<uint64_t> ids_;
  uint64_t nextId_ = 0x100;
};

class FakeStationWindow : public StationWindowOutputs {
 public:
  void SetRatioText(const std::string& text) override { ratioTexts.push_back(text); }
  void SetGridText(int row, int column, const std::string& text) override { grid[{row, column}] = text; }

  std::string Cell(int row, int column) const {
    const auto found = grid.find({row, column});
    return found == grid.end() ? std::string("<untouched>") : found->second;
  }

  std::vector<std::string> ratioTexts;
  std::map<std::pair<int, int>, std::string> grid;
};

// The main window as the viewer sees it. The lending applies the record to
// the live configuration as the real one does; a stop closes the link, as
// the stop commands do.
class FakeViewerHost : public ViewerHost {
 public:
  explicit FakeViewerHost(LiveConfig& config) : config_(config) {}

  void Attach(ViewerReceiver& receiver) { receiver_ = &receiver; }

  bool TakesStream() override { return running; }
  void PostStatus(const std::string& text) override { statuses.push_back(text); }
  void AppendRunLog(const std::string& line) override { runLog.push_back(line); }
  void ApplyStationConfig(const ConfigRecord& record) override {
    ++applied;
    if (applyUnchecked) {
      ApplyConfigRecordUnchecked(record, config_);
    } else {
      ApplyConfigRecord(record, config_);
    }
  }
  bool PrepareStart() override {
    ++prepared;
    return prepareResult;
  }
  void StopRunningMode() override {
    ++stops;
    running = false;
    if (receiver_ != nullptr) receiver_->Close();
  }
  void SendBlockAck(const uint8_t* ack, size_t size) override { acks.emplace_back(ack, ack + size); }
  void AcceptBlock(const uint8_t* block, size_t size) override {
    blocks.emplace_back(block, block + size);
    if (stopAfterBlocks != 0 && blocks.size() == stopAfterBlocks) StopRunningMode();
  }
  double Now() override { return now; }

  bool running = true;
  bool prepareResult = true;
  bool applyUnchecked = false;  // lets a layout the checks refuse come into force
  size_t stopAfterBlocks = 0;  // a per-block stop, as the end-block limit makes
  double now = 0.0;
  int applied = 0;
  int prepared = 0;
  int stops = 0;
  std::vector<std::string> statuses;
  std::vector<std::string> runLog;
  std::vector<std::vector<uint8_t>> acks;
  std::vector<std::vector<uint8_t>> blocks;

 private:
  LiveConfig& config_;
  ViewerReceiver* receiver_ = nullptr;
};

// A station's configuration record with the given block layout.
inline ConfigRecord StationRecord(int32_t numChn, int32_t analogNum, int32_t numSamp) {
  LiveConfig station;
  station.NumChn = numChn;
  station.NumVChn = numChn;
  station.Analog_Num = analogNum;
  station.SW_Num = 16 * (numChn - analogNum);
  station.NumSamp = numSamp;
  station.ChannelRate = 1000.0f;
  ConfigRecord record{};
  BuildConfigRecord(station, ConfigBuildExtras{}, record);
  return record;
}

inline std::vector<uint8_t> BytesOfRecord(const ConfigRecord& record) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  return {bytes, bytes + sizeof record};
}

}  // namespace quelvar::test
