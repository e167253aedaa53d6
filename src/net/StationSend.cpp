#include "net/StationSend.h"

#include <algorithm>
#include <new>

#include "net/LzssCodec.h"
#include "net/PackedBlock.h"

namespace quelvar {

namespace {

void SendByte(StationConnections& connections, int index, uint8_t byte) { connections.Send(index, &byte, 1); }

void SendStarted(StationConnections& connections, int index, const ConfigRecord& record) {
  SendByte(connections, index, StationMessage::Started);
  connections.Send(index, reinterpret_cast<const uint8_t*>(&record), sizeof record);
}

const uint8_t* BytesOf(std::span<const uint16_t> block) { return reinterpret_cast<const uint8_t*>(block.data()); }

// R of the shape when the block holds that many bytes, else 0.
uint64_t SendableBytes(const StationBlockShape& shape, std::span<const uint16_t> block) {
  const uint64_t r = RawBlockBytes(shape.NumChn, shape.NumSamp);
  return r != 0 && block.size_bytes() >= r ? r : 0;
}

std::string SequenceText(std::span<const uint16_t> block) { return std::to_string(block[0]); }

void SendRawToAll(StationLink& link, std::span<const uint16_t> block, uint64_t r) {
  const std::string sequence = SequenceText(block);
  for (int i = 0; i < link.connections.Count(); ++i) {
    SendByte(link.connections, i, StationMessage::RawBlock);
    link.connections.Send(i, BytesOf(block), static_cast<size_t>(r));
    link.window.SetGridText(i + 1, kGridColumnSentBlock, sequence);
  }
}

// The start preparation sizes the packing buffer; this only covers a caller
// that did not.
bool GrowPackingBuffer(std::vector<uint16_t>& packed, size_t words) {
  try {
    packed.resize(words);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

}  // namespace

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
  if (settings.ServerCompress == 0 || link.connections.Count() <= 0) {
    SendRawToAll(link, block, r);
    return;
  }

  uint8_t code = StationMessage::CompressedBlock;
  const uint8_t* source = BytesOf(block);
  if (settings.ServerDPCM != 0) {
    const size_t words = static_cast<size_t>(r / 2);
    if (packed.size() < words && !GrowPackingBuffer(packed, words)) return;
    // A layout with more analog channels than words per row packs every
    // column as analog.
    const int32_t analog = std::clamp(shape.Analog_Num, 0, shape.NumChn);
    const std::span<uint8_t> packedBytes(reinterpret_cast<uint8_t*>(packed.data()), static_cast<size_t>(r));
    if (!PackSampleBlock(block, packedBytes, shape.NumChn, analog, shape.NumSamp, gray)) return;
    source = packedBytes.data();
    code = StationMessage::PackedBlock;
  }
  // Compressed once; every viewer gets the same bytes. Memory that runs out
  // while the codec grows its buffer sends nothing.
  CodecBuffer compressed;
  try {
    compressed = codec.LzssCompress(source, static_cast<size_t>(r));
  } catch (const std::bad_alloc&) {
    return;
  }
  const uint64_t n = compressed.size();
  if (n >= r) {
    link.window.SetRatioText("压缩比：0%");
    SendRawToAll(link, block, r);
    return;
  }
  link.window.SetRatioText("压缩比：" + std::to_string((r - n) * 100 / r) + "%");
  const auto length = static_cast<uint32_t>(n);
  const std::string sequence = SequenceText(block);
  for (int i = 0; i < link.connections.Count(); ++i) {
    SendByte(link.connections, i, code);
    link.connections.Send(i, reinterpret_cast<const uint8_t*>(&length), sizeof length);
    link.connections.Send(i, compressed.data(), compressed.size());
    link.window.SetGridText(i + 1, kGridColumnSentBlock, sequence);
  }
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
