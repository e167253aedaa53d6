#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/GrayTables.h"
#include "common/LiveConfig.h"
#include "net/StationStream.h"
#include "shell/ConfigRecord.h"

namespace quelvar {

class LzssCodec;

// Said when the station's stream carries a message code no station sends.
inline constexpr const char* kUnknownBlockStatus = "接收到未知类型的数据块,停止!";

// What the viewer's receive state machine needs of the main window.
class ViewerHost {
 public:
  virtual ~ViewerHost() = default;
  // True while the viewer role is held and a run is on (RunState not 0);
  // anything that arrives otherwise is discarded.
  virtual bool TakesStream() = 0;
  virtual void PostStatus(const std::string& text) = 0;
  virtual void AppendRunLog(const std::string& line) = 0;
  // Lends the station's configuration: the own record kept aside while none
  // is lent, TempConfigActive, the captions, ApplyConfigRecord. Only a
  // record that has passed ValidateConfigRecord is given.
  virtual void ApplyStationConfig(const ConfigRecord& record) = 0;
  // The start preparation for the configuration now in force.
  virtual bool PrepareStart() = 0;
  // Stops the recording or the oscilloscope, whichever runs.
  virtual void StopRunningMode() = 0;
  // The 2-byte BlockAck to the station.
  virtual void SendBlockAck(const uint8_t* ack, size_t size) = 0;
  // A received raw block of R bytes, sequence word first, to be processed as
  // an acquired one (block time, per-block processing, repaint requests).
  virtual void AcceptBlock(const uint8_t* block, size_t size) = 0;
  // Local date and time as a day count.
  virtual double Now() = 0;
};

// The viewer's side of the station stream, fed with whatever bytes arrive,
// in any split. Everything given is consumed: what the stream cannot use
// is dropped.
class ViewerReceiver {
 public:
  // `config` is the configuration in force: the block layout and the texts
  // are read from it after the configuration phase.
  ViewerReceiver(ViewerHost& host, const LiveConfig& config, LzssCodec& codec, const GrayTables& gray);

  // The connection is being opened: the first byte expected is a code.
  void Open();
  // The connection is closed: nothing more is taken until the next Open.
  void Close();

  void Feed(const uint8_t* data, size_t size);

  int32_t ViewerPhase() const { return phase_; }
  int32_t ViewerStep() const { return step_; }
  uint64_t ViewerExpected() const { return expected_; }
  uint64_t ViewerReceived() const { return received_; }
  // R of the configuration taken, 0 before one.
  uint64_t BlockBytes() const { return blockBytes_; }

 private:
  size_t ReceiveConfig(const uint8_t* data, size_t size);
  void FinishConfig();
  bool PrepareBuffers();
  void Fail(const std::string& status);
  size_t ReadCode(uint8_t code);
  size_t ReceiveLength(const uint8_t* data, size_t size);
  size_t ReceiveCompressed(const uint8_t* data, size_t size);
  size_t ReceiveRaw(const uint8_t* data, size_t size);
  void EnterStep(int32_t step, uint64_t expected);
  void ExpandCompressed(uint64_t n);
  void Accept();

  ViewerHost& host_;
  const LiveConfig& config_;
  LzssCodec& codec_;
  const GrayTables& gray_;

  bool open_ = false;
  int32_t phase_ = 0;
  int32_t step_ = 0;
  uint64_t expected_ = 0;
  uint64_t received_ = 0;
  uint8_t code_ = 0;

  ConfigRecord configArea_{};
  uint8_t lengthBytes_[kBlockLengthBytes] = {};
  // The block layout taken at the end of the configuration phase.
  uint64_t blockBytes_ = 0;
  int32_t numChn_ = 0;
  int32_t analogColumns_ = 0;
  int32_t numSamp_ = 0;
  // Sized once per configuration: compressed bytes (below R) and the block.
  std::vector<uint8_t> compressed_;
  std::vector<uint8_t> expanded_;  // reused for every compressed block
  std::vector<uint16_t> block_;
};

}  // namespace quelvar
