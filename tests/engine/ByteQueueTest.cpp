#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "RecordingEvents.h"
#include "engine/ByteQueue.h"
#include "resources/StringTable.h"

namespace orvel {
namespace {

using test::RecordingEvents;
constexpr uint32_t kCap = ByteQueue::kCapacity;

std::vector<uint8_t> sequence(uint32_t n, uint32_t start) {
  std::vector<uint8_t> bytes(n);
  for (uint32_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>((start + i) * 7 + 3);
  return bytes;
}

class ByteQueueTest : public ::testing::Test {
 protected:
  void open(bool prebuffer) {
    queue.allocate(prebuffer);
    queue.beginConnection();
  }
  void appendSequence(uint32_t n) {
    const auto bytes = sequence(n, written);
    queue.append(bytes.data(), n);
    written += n;
  }
  void expectRead(uint32_t n) {
    std::vector<uint8_t> out(n);
    uint32_t got = 0;
    ASSERT_TRUE(queue.Read(out.data(), n, got));
    ASSERT_EQ(got, n);
    EXPECT_EQ(out, sequence(n, consumed));
    consumed += n;
  }

  RecordingEvents events;
  ByteQueue queue{&events};
  uint32_t written = 0;
  uint32_t consumed = 0;
};

TEST_F(ByteQueueTest, WrapsAndSplitsAtTheRingEnd) {
  open(false);
  // An append that ends exactly at the end of the ring leaves the write position at 0.
  appendSequence(kCap - 100);
  expectRead(kCap - 100);
  appendSequence(100);
  EXPECT_TRUE(queue.spaceEvent().isSet());
  // Empty ring with the read position at 0: a full-size append splits nowhere and fills it.
  expectRead(100);
  appendSequence(kCap);
  EXPECT_FALSE(queue.spaceEvent().isSet());
  EXPECT_EQ(queue.freeSpace(), 0u);
  expectRead(5000);
  // Write position == read position (ring full after this): the append splits at the end.
  appendSequence(5000);
  EXPECT_EQ(queue.GetFill(), 100);
  expectRead(kCap);
  // A read that spans the end copies both parts in order.
  appendSequence(70000);
  expectRead(70000);
}

TEST_F(ByteQueueTest, ReadChunkStopsAtTheRingEndAndAtTheChunkSize) {
  open(false);
  appendSequence(kCap - 1000);
  expectRead(kCap - 1000);
  appendSequence(3000);  // 1000 bytes up to the end, 2000 from the start
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  ASSERT_TRUE(queue.ReadChunk(data, length));
  EXPECT_EQ(std::vector<uint8_t>(data, data + length), sequence(1000, kCap - 1000));
  ASSERT_TRUE(queue.ReadChunk(data, length));
  EXPECT_EQ(std::vector<uint8_t>(data, data + length), sequence(2000, kCap));
  consumed = written;
  appendSequence(kCap);
  ASSERT_TRUE(queue.ReadChunk(data, length));
  EXPECT_EQ(length, ByteQueue::kChunkBufferBytes);
  EXPECT_EQ(std::vector<uint8_t>(data, data + length), sequence(length, consumed));
}

TEST_F(ByteQueueTest, FillIsRoundedDown) {
  EXPECT_EQ(queue.GetFill(), 0);  // no ring yet
  open(false);
  appendSequence(1310);
  EXPECT_EQ(queue.GetFill(), 0);
  appendSequence(65536 - 1310);
  EXPECT_EQ(queue.GetFill(), 50);
  queue.release();
  EXPECT_EQ(queue.GetFill(), 0);
}

TEST_F(ByteQueueTest, WithoutPrebufferingPlaybackStartsAtTheFirstAppend) {
  open(false);
  appendSequence(10);
  appendSequence(10);
  EXPECT_EQ(events.reports(), std::vector<int32_t>{kStrPlaybackStarted});
}

TEST_F(ByteQueueTest, PrebufferingHoldsUntilTheRingIsFull) {
  open(true);
  // Armed: data flows so the header lines and the decoder's probing can be read.
  appendSequence(3000);
  expectRead(3000);
  EXPECT_TRUE(events.reports().empty());

  queue.StartPrebuffering();
  appendSequence(2048);
  appendSequence(2048);
  EXPECT_EQ(events.reports(), std::vector<int32_t>{kStrBuffering});
  // Held: a read waits, and comes back once the ring has filled.
  std::thread consumer([&] { expectRead(100); });
  while (queue.freeSpace() > 0) appendSequence(std::min<uint32_t>(2048, queue.freeSpace()));
  consumer.join();
  EXPECT_EQ(events.reports(),
            (std::vector<int32_t>{kStrBuffering, RecordingEvents::kPrebufferComplete,
                                  kStrPlaybackStarted}));
  appendSequence(100);
  EXPECT_EQ(events.reports().size(), 3u);
}

TEST_F(ByteQueueTest, AnAppendThatFillsAtOnceSkipsBuffering) {
  open(true);
  appendSequence(kCap - 10);
  queue.StartPrebuffering();
  appendSequence(10);
  EXPECT_EQ(events.reports(),
            (std::vector<int32_t>{RecordingEvents::kPrebufferComplete, kStrPlaybackStarted}));
  EXPECT_EQ(queue.GetFill(), 100);
}

TEST_F(ByteQueueTest, PrebufferingStartedOnAFullRingCompletesAtOnce) {
  open(true);
  appendSequence(kCap);  // a burst filled the ring while the decoder opened
  queue.StartPrebuffering();
  EXPECT_EQ(events.reports(),
            (std::vector<int32_t>{RecordingEvents::kPrebufferComplete, kStrPlaybackStarted}));
  expectRead(kCap);
}

TEST_F(ByteQueueTest, EndedConnectionDrainsThenFailsAndWakesWaitingReads) {
  open(false);
  std::vector<uint8_t> out(100);
  uint32_t got = 0;
  std::thread waiting([&] { EXPECT_FALSE(queue.Read(out.data(), 100, got)); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  queue.endConnection();
  waiting.join();
  EXPECT_EQ(got, 0u);

  open(false);
  appendSequence(60);
  queue.setEndOfData();
  queue.endConnection();
  ASSERT_TRUE(queue.Read(out.data(), 100, got));  // what is left, short
  EXPECT_EQ(got, 60u);
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  EXPECT_FALSE(queue.ReadChunk(data, length));
}

TEST_F(ByteQueueTest, AStoppedProducerCanNeitherAppendNorClearTheSpaceEvent) {
  open(false);
  appendSequence(kCap - 10);
  queue.stopProducer();
  // The append that would fill the ring (and clear the event its producer then waits on) is
  // refused until the next connection.
  appendSequence(10);
  EXPECT_TRUE(queue.spaceEvent().isSet());
  EXPECT_EQ(queue.freeSpace(), 10u);
  open(false);
  appendSequence(kCap);
  EXPECT_FALSE(queue.spaceEvent().isSet());
}

TEST_F(ByteQueueTest, InterruptedReadsReturnWhatTheyHaveAndLoseNothing) {
  open(false);
  appendSequence(30);
  std::vector<uint8_t> out(100);
  uint32_t got = 0;
  // A read that waits for the rest of its bytes is woken and keeps the 30 it already had.
  std::thread waiting([&] { EXPECT_TRUE(queue.Read(out.data(), 100, got)); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  queue.interruptReads(true);
  waiting.join();
  ASSERT_EQ(got, 30u);
  out.resize(30);
  EXPECT_EQ(out, sequence(30, 0));
  consumed = 30;

  // While interrupted, queued bytes are still handed out and an empty queue fails at once.
  appendSequence(40);
  expectRead(40);
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  EXPECT_FALSE(queue.ReadChunk(data, length));
  EXPECT_FALSE(queue.isDrained());

  // Switched off, reads wait again and go on with the next byte.
  queue.interruptReads(false);
  std::thread reader([&] { expectRead(50); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  appendSequence(50);
  reader.join();
}

TEST_F(ByteQueueTest, NoReadCrossesASpliceAndTheConsumerLearnsOfEach) {
  open(false);
  appendSequence(kCap - 100);
  expectRead(kCap - 200);
  // 100 old bytes, then a new connection whose bytes wrap around the ring's end.
  queue.markSplice(7);
  appendSequence(250);
  int32_t note = 0;
  EXPECT_FALSE(queue.takeSplice(note));
  std::vector<uint8_t> out(1000);
  uint32_t got = 0;
  ASSERT_TRUE(queue.Read(out.data(), 1000, got));
  EXPECT_EQ(got, 100u);  // short: it stops at the splice instead of waiting for more
  EXPECT_FALSE(queue.takeSplice(note));
  consumed += 100;
  expectRead(250);
  ASSERT_TRUE(queue.takeSplice(note));
  EXPECT_EQ(note, 7);
  EXPECT_FALSE(queue.takeSplice(note));

  // Two reconnections with nothing between them meet at one place: the later note counts.
  queue.markSplice(1);
  appendSequence(30);
  queue.markSplice(2);
  queue.markSplice(3);
  appendSequence(40);
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  ASSERT_TRUE(queue.ReadChunk(data, length));
  EXPECT_EQ(std::vector<uint8_t>(data, data + length), sequence(30, consumed));
  ASSERT_TRUE(queue.takeSplice(note));
  EXPECT_EQ(note, 1);
  ASSERT_TRUE(queue.ReadChunk(data, length));
  EXPECT_EQ(std::vector<uint8_t>(data, data + length), sequence(40, consumed + 30));
  ASSERT_TRUE(queue.takeSplice(note));
  EXPECT_EQ(note, 3);
  // A new connection forgets splices not reached.
  queue.markSplice(4);
  open(false);
  appendSequence(10);
  consumed = written - 10;
  expectRead(10);
  EXPECT_FALSE(queue.takeSplice(note));
}

}  // namespace
}  // namespace orvel
