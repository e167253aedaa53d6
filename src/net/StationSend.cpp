#include "net/StationSend.h"

#include <optional>

#include "net/StationCompression.h"

namespace quelvar {

namespace {

void SendByte(StationConnections& connections, int index, uint8_t byte) { connections.Send(index, &byte, 1); }

void SendStarted(StationConnections& connections, int index, const ConfigRecord& record) {
  SendByte(connections, index, StationMessage::Started);
  connections.Send(index, reinterpret_cast<const uint8_t*>(&record), sizeof record);
}

const uint8_t* BytesOf(std::span<const uint16_t> block) { return reinterpret_cast<const uint8_t*>(block.data()); }

std::string SequenceText(std::span<const uint16_t> block) { return std::to_string(block[0]); }

void SendRawToAll(StationLink& link, std::span<const uint16_t> block, uint64_t r) {
  const std::string sequence = SequenceText(block);
  for (int i = 0; i < link.connections.Count(); ++i) {
    SendByte(link.connections, i, StationMessage::RawBlock);
    link.connections.Send(i, BytesOf(block), static_cast<size_t>(r));
    link.window.SetGridText(i + 1, kGridColumnSentBlock, sequence);
  }
}

}  // namespace

uint64_t SendableBytes(const StationBlockShape& shape, std::span<const uint16_t> block) {
  const uint64_t r = RawBlockBytes(shape.NumChn, shape.NumSamp);
  return r != 0 && block.size_bytes() >= r ? r : 0;
}

void GreetStationViewer(StationLink& link, int index, const ConfigRecord& record, int32_t runState) {
  if (index < 0 || index >= link.connections.Count()) return;
  SendStarted(link.connections, index, record);
  if (runState == 0) link.connections.RequestNotSamplingTimer(link.connections.IdAt(index), kNotSamplingDelayMs);
}

void SendStationNotSampling(StationLink& link, uint64_t connectionId, int32_t runState) {
  if (runState != 0) return;
  for (int i = 0; i < link.connections.Count(); ++i) {
    if (link.connections.IdAt(i) == connectionId) {
      SendByte(link.connections, i, StationMessage::NotSampling);
      return;
    }
  }
}

void BroadcastStationStart(StationLink& link, const ConfigRecord& record) {
  for (int i = 0; i < link.connections.Count(); ++i) SendStarted(link.connections, i, record);
}

void BroadcastStationStop(StationLink& link) {
  for (int i = 0; i < link.connections.Count(); ++i) SendByte(link.connections, i, StationMessage::Stopped);
}

void SendStationBlock(StationLink& link, const StationStreamSettings& settings, const StationBlockShape& shape,
                      std::span<const uint16_t> block, LzssCodec& codec, const GrayTables& gray,
                      std::vector<uint16_t>& packed) {
  const uint64_t r = SendableBytes(shape, block);
  if (r == 0) return;
  const std::optional<StationBlockOutcome> outcome =
      DecideStationBlock(settings, shape, block, r, link.connections.Count(), codec, gray, packed);
  if (outcome) SendStationBlockOutcome(link, block, r, *outcome);
}

void SendStationRawBlock(StationLink& link, const StationBlockShape& shape, std::span<const uint16_t> block) {
  const uint64_t r = SendableBytes(shape, block);
  if (r != 0) SendRawToAll(link, block, r);
}

void HandleStationBlockAck(StationLink& link, int index, BlockAckAccumulator& pending, const uint8_t* data,
                           size_t size) {
  if (index < 0 || data == nullptr) return;
  for (size_t at = 0; at < size; ++at) {
    pending.bytes[pending.fill++] = data[at];
    if (pending.fill < kBlockAckBytes) continue;
    pending.fill = 0;
    const auto sequence = static_cast<uint16_t>(pending.bytes[0] | (pending.bytes[1] << 8));
    link.window.SetGridText(index + 1, kGridColumnAckedBlock, std::to_string(sequence));
  }
}

}  // namespace quelvar
