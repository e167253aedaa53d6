#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "common/GrayTables.h"
#include "net/LzssCodec.h"
#include "net/StationSend.h"

namespace quelvar {

// What the station sends every viewer for one recorded block, once decided:
// the raw block, or the codec's bytes of it (packed or not).
struct StationBlockOutcome {
  uint8_t code = 0;                 // StationMessage::RawBlock, CompressedBlock or PackedBlock
  std::vector<uint8_t> compressed;  // codes CompressedBlock and PackedBlock
  std::string ratioText;            // LabelRatio's new text; empty: left as it is
};

// The deciding half of SendStationBlock: packs and compresses when
// compression is on and `connections` viewers listen. r: the block's R (the
// block holds at least that many bytes). Nothing (no message at all) when
// packing is refused or memory runs out. codecUsed, if given, is set to
// whether the codec compressed r bytes (and so changed its window).
std::optional<StationBlockOutcome> DecideStationBlock(const StationStreamSettings& settings,
                                                      const StationBlockShape& shape, std::span<const uint16_t> block,
                                                      uint64_t r, int connections, LzssCodec& codec,
                                                      const GrayTables& gray, std::vector<uint16_t>& packed,
                                                      bool* codecUsed = nullptr);

// The sending half: the outcome to every viewer connected now, the ratio
// label and each viewer's sent-block cell.
void SendStationBlockOutcome(StationLink& link, std::span<const uint16_t> block, uint64_t r,
                             const StationBlockOutcome& outcome);

// Whether compressing a block of this shape may take longer than the block
// lasts at channelRate (rows a second), so that it must not hold up the
// thread that takes the blocks in.
bool StationCompressionMayOutlastBlock(const StationBlockShape& shape, double channelRate);

// Compresses the station's recorded blocks on threads of their own and
// gives them back in the order they were given, as the very bytes one codec
// compressing them one after the other would give. Each thread has its own
// codec: a block of at least kLzssWindowSize bytes compresses the same
// whatever window it starts with, so such blocks go side by side; a shorter
// one waits for every block before it and starts from the window they left.
// The station's codec gets that window as blocks come out, and is the
// threads' only while blocks are waiting: the owner uses it only once Idle().
class StationCompressionWorker {
 public:
  // A block taken in, as the owner is to send it.
  struct Done {
    std::vector<uint16_t> block;  // the raw block, R bytes
    uint64_t r = 0;
    std::optional<StationBlockOutcome> outcome;  // nothing: the block is not sent
  };

  // `ready` is called on a worker thread after blocks come out; it should
  // make the owner call TakeDone soon. codec and gray outlive the worker.
  // threads: how many compress at once (at least one).
  StationCompressionWorker(LzssCodec& codec, const GrayTables& gray, std::function<void()> ready,
                           unsigned threads = DefaultThreads());
  // Stops after the blocks in hand (blocks still waiting are dropped) and joins.
  ~StationCompressionWorker();
  StationCompressionWorker(const StationCompressionWorker&) = delete;
  StationCompressionWorker& operator=(const StationCompressionWorker&) = delete;

  // Copies the first r bytes of the block; the settings and the number of
  // viewers are those of now. When kMaxWaitingBlocks are waiting already, it
  // first waits for the oldest (memory stays bounded, no block is lost).
  void Submit(const StationStreamSettings& settings, const StationBlockShape& shape, std::span<const uint16_t> block,
              uint64_t r, int connections);
  // The blocks done since the last call, in the order given.
  std::vector<Done> TakeDone();
  // Waits until every block given is done.
  void WaitIdle();
  // Every block given is compressed and taken by TakeDone: the codec is free,
  // and a block sent now comes after all of them.
  bool Idle() const;

  // Two threads keep up with full-size blocks at 40 kHz; one core is left
  // to the rest of the station.
  static unsigned DefaultThreads();

  // Blocks of about a second at a high block rate.
  static constexpr size_t kMaxWaitingBlocks = 64;

 private:
  struct Job {
    uint64_t sequence = 0;
    StationStreamSettings settings;
    StationBlockShape shape;
    std::vector<uint16_t> block;
    uint64_t r = 0;
    int connections = 0;
  };
  // A block compressed, waiting for those before it to come out.
  struct Finished {
    Done done;
    std::optional<LzssWindow> window;  // the window it left; none: it left the window alone
  };
  // One thread's own codec and packing buffer.
  struct Lane {
    LzssCodec codec;
    std::vector<uint16_t> packed;
    std::thread thread;
  };
  void Run(Lane& lane);
  // Whether the oldest waiting job may start now.
  bool FrontMayStart() const;
  // Moves the finished jobs that are next in order to done_.
  void ReleaseInOrder();

  LzssCodec& codec_;
  const GrayTables& gray_;
  std::function<void()> ready_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> waiting_;
  std::map<uint64_t, Finished> finished_;
  std::vector<Done> done_;
  uint64_t nextSequence_ = 0;  // the next job given
  uint64_t released_ = 0;      // every job before this one is in done_
  bool stopping_ = false;
  std::vector<std::unique_ptr<Lane>> lanes_;  // last: threads start once everything above exists
};

}  // namespace quelvar
