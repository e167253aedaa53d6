#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SampleBlockForTest.h"
#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/PackedBlock.h"

namespace {

using namespace quelvar;
using quelvar::test::RealisticSampleBlock;

// A full-size block: 100 analog channels and 12 switch words a row, 1000 rows.
constexpr int32_t kWords = 112;
constexpr int32_t kAnalog = 100;
constexpr int32_t kRows = 1000;
constexpr size_t kRawBytes = (static_cast<size_t>(kWords) * kRows + 1) * 2;

// A station and a viewer, each with its own codec, as in two processes.
class BlockCodecRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override { InitGrayTables(gray); }
  std::vector<uint16_t> Block(uint16_t sequence) {
    return RealisticSampleBlock(kWords, kAnalog, kRows, sequence, sequence, (sequence - 1) * kRows);
  }
  GrayTables gray;
  std::unique_ptr<LzssCodec> station = std::make_unique<LzssCodec>();
  std::unique_ptr<LzssCodec> viewer = std::make_unique<LzssCodec>();
};

TEST_F(BlockCodecRoundTrip, PackedBlocksCompressBelowTheRawSizeAndComeBackWhole) {
  std::vector<uint8_t> packed(kRawBytes);
  std::vector<uint16_t> received(kRawBytes / 2);
  for (uint16_t sequence = 1; sequence <= 3; ++sequence) {
    const std::vector<uint16_t> raw = Block(sequence);
    ASSERT_TRUE(PackSampleBlock(raw, packed, kWords, kAnalog, kRows, gray));
    const CodecBuffer sent = station->LzssCompress(packed.data(), packed.size());
    EXPECT_LT(sent.size(), kRawBytes) << "the station would send this block raw";
    const std::vector<uint8_t> expanded = viewer->LzssExpand(sent.data(), sent.size(), kRawBytes);
    ASSERT_EQ(expanded.size(), kRawBytes);
    ASSERT_TRUE(UnpackSampleBlock(received, expanded, kWords, kAnalog, kRows, gray));
    EXPECT_EQ(received, raw) << "block " << sequence;
  }
}

TEST_F(BlockCodecRoundTrip, RawBlocksComeBackWhole) {
  for (uint16_t sequence = 1; sequence <= 2; ++sequence) {
    const std::vector<uint16_t> raw = Block(sequence);
    const auto* bytes = reinterpret_cast<const uint8_t*>(raw.data());
    const CodecBuffer sent = station->LzssCompress(bytes, kRawBytes);
    const std::vector<uint8_t> expanded = viewer->LzssExpand(sent.data(), sent.size(), kRawBytes);
    ASSERT_EQ(expanded.size(), kRawBytes);
    EXPECT_TRUE(std::equal(expanded.begin(), expanded.end(), bytes)) << "block " << sequence;
  }
}

TEST_F(BlockCodecRoundTrip, TwoStationsSendTheSameBytesForTheSameBlocks) {
  auto other = std::make_unique<LzssCodec>();
  std::vector<uint8_t> packed(kRawBytes);
  for (uint16_t sequence = 1; sequence <= 2; ++sequence) {
    ASSERT_TRUE(PackSampleBlock(Block(sequence), packed, kWords, kAnalog, kRows, gray));
    const CodecBuffer a = station->LzssCompress(packed.data(), packed.size());
    const std::vector<uint8_t> first(a.begin(), a.end());
    const CodecBuffer b = other->LzssCompress(packed.data(), packed.size());
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.end()), first) << "block " << sequence;
  }
}

}  // namespace
