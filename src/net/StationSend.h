#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/GrayTables.h"
#include "net/StationStream.h"
#include "shell/ConfigRecord.h"

namespace quelvar {

class LzssCodec;

// The station's viewer connections (ServerSocket1's list), in its order.
class StationConnections {
 public:
  virtual ~StationConnections() = default;
  virtual int Count() const = 0;
  // Stays with a connection for its life (the socket handle), so a delayed
  // message finds its viewer even when the list has changed meanwhile.
  virtual uint64_t IdAt(int index) const = 0;
  // One socket send; queued, never blocks.
  virtual void Send(int index, const uint8_t* data, size_t size) = 0;
  // Asks for SendStationNotSampling(.., connectionId, ..) once, delayMs from now.
  virtual void RequestNotSamplingTimer(uint64_t connectionId, int delayMs) = 0;
};

// What the station window shows of the stream.
class StationWindowOutputs {
 public:
  virtual ~StationWindowOutputs() = default;
  virtual void SetRatioText(const std::string& text) = 0;                  // LabelRatio
  virtual void SetGridText(int row, int column, const std::string& text) = 0;  // GridServer
};

// GridServer columns the stream writes; connection i is row i + 1.
inline constexpr int kGridColumnSentBlock = 3;
inline constexpr int kGridColumnAckedBlock = 4;

// A viewer that connects to an idle station hears "not sampling" this long
// after the configuration.
inline constexpr int kNotSamplingDelayMs = 1000;

struct StationLink {
  StationConnections& connections;
  StationWindowOutputs& window;
};

// The station window's switches.
struct StationStreamSettings {
  int32_t ServerCompress = 0;  // compress blocks while recording
  int32_t ServerDPCM = 1;      // pack them before compressing
};

// The block layout of the configuration in force.
struct StationBlockShape {
  int32_t NumChn = 0;
  int32_t Analog_Num = 0;
  int32_t NumSamp = 0;
};

// R of the shape when the block holds that many bytes, else 0 (nothing is sent).
uint64_t SendableBytes(const StationBlockShape& shape, std::span<const uint16_t> block);

// A new viewer connection at `index`: Started and the record; while the
// station is idle, a request for NotSampling after kNotSamplingDelayMs.
void GreetStationViewer(StationLink& link, int index, const ConfigRecord& record, int32_t runState);

// The timer of GreetStationViewer: NotSampling to that viewer if it is still
// connected and the station still idle (a start meanwhile has told it more).
void SendStationNotSampling(StationLink& link, uint64_t connectionId, int32_t runState);

// Recording or oscilloscope start: Started and the record to every viewer.
void BroadcastStationStart(StationLink& link, const ConfigRecord& record);

// Either stop: Stopped to every viewer.
void BroadcastStationStop(StationLink& link);

// One recorded block (sequence word, then the rows) to every viewer,
// compressed once when compression is on and someone listens; updates the
// ratio label and each viewer's sent-block cell. `packed` is the packing
// buffer (PackedBlockBuffer), grown only if it is too small. A block shorter
// than the shape says is not sent.
void SendStationBlock(StationLink& link, const StationStreamSettings& settings, const StationBlockShape& shape,
                      std::span<const uint16_t> block, LzssCodec& codec, const GrayTables& gray,
                      std::vector<uint16_t>& packed);

// One oscilloscope block, always raw, to every viewer.
void SendStationRawBlock(StationLink& link, const StationBlockShape& shape, std::span<const uint16_t> block);

// The bytes of a viewer's answer that a read left unfinished, kept with the
// connection for its life: the network may cut an answer anywhere.
struct BlockAckAccumulator {
  uint8_t bytes[kBlockAckBytes] = {};
  size_t fill = 0;
};

// What one read of connection `index` gave (all it had buffered), joined to
// what `pending` holds of the connection's last answer. Every whole answer
// marks the connection's row; a byte left over waits in `pending`.
void HandleStationBlockAck(StationLink& link, int index, BlockAckAccumulator& pending, const uint8_t* data,
                           size_t size);

}  // namespace quelvar
