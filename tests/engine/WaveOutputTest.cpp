// The wave output: the choice of a device format, the buffer cycle on its callback thread, and
// closing it from another thread and from the callback thread itself.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>

#include "audio/WaveFormatTable.h"
#include "audio/WaveOutput.h"
#include "platform/Event.h"

namespace orvel {
namespace {

WaveFormatEx pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormatEx format{};
  format.wFormatTag = kWaveFormatPcm;
  format.nChannels = channels;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = bits;
  format.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
  format.nAvgBytesPerSec = rate * format.nBlockAlign;
  format.cbSize = kWaveFormatCbSize;
  return format;
}

// Fills a given number of buffers, then refuses; can close the output from inside a refill.
class CountingClient : public WaveOutputClient {
 public:
  bool FillBuffer(WaveHeader* header, uint32_t capacity) override {
    // A fast device may finish the first buffer before the test has queued the second.
    if (startGate != nullptr) startGate->wait(10000);
    const int fill = ++fills;
    if (closeOnFill == fill) {
      closeResult = output->Close();
      closeReturned = true;
      return false;
    }
    if (fill > fillsAllowed) {
      if (fills - fillsAllowed == 2) bothDropped.set();
      return false;
    }
    header->dwBufferLength = capacity / 4;
    return true;
  }
  void PlaybackEnded() override {
    endedAfterClose = closeReturned.load() || closeOnFill == 0;
    ++ended;
    endedEvent.set();
  }

  WaveOutput* output = nullptr;
  Event* startGate = nullptr;  // when set, refills wait for it
  int fillsAllowed = 0;
  int closeOnFill = 0;
  std::atomic<int> fills{0};
  std::atomic<int> ended{0};
  std::atomic<bool> closeReturned{false};
  std::atomic<bool> closeResult{false};
  std::atomic<bool> endedAfterClose{false};
  Event bothDropped{Event::Reset::Manual};
  Event endedEvent{Event::Reset::Manual};
};

TEST(WaveFormatTableTest, ChoosesTheFirstFasterSupportedRowElseTheLast) {
  EXPECT_EQ(WaveFormatTable::chooseRow(44100, 0xF0), 7);  // no faster row: the last one
  EXPECT_EQ(WaveFormatTable::chooseRow(16000, 0xF0), 4);
  EXPECT_EQ(WaveFormatTable::chooseRow(44100, 0), 0);
  EXPECT_EQ(WaveFormatTable::chooseRow(22050, 0xFFF), 8);  // equal rates are not "faster"
  WaveFormatEx format = pcm(2, 48000, 16);
  WaveFormatTable::applyRow(format, 6);
  EXPECT_EQ(format.nChannels, 1);
  EXPECT_EQ(format.nSamplesPerSec, 22050u);
  EXPECT_EQ(format.nBlockAlign, 2);
  EXPECT_EQ(format.nAvgBytesPerSec, 44100u);
}

TEST(WaveOutputTest, NegotiatesWithTheDevice) {
  CountingClient client;
  auto limited = WaveDriver::create("null?caps=0xF0");
  ASSERT_TRUE(limited);
  WaveOutput output(&client, limited.get());
  bool direct = true;

  WaveFormatEx wide = pcm(2, 44100, 24);  // never asked: made 16-bit at once
  ASSERT_TRUE(output.Negotiate(&wide, &direct));
  EXPECT_FALSE(direct);
  EXPECT_EQ(wide.wBitsPerSample, 16);
  EXPECT_EQ(wide.nBlockAlign, 4);
  EXPECT_EQ(wide.nSamplesPerSec, 44100u);

  WaveFormatEx supported = pcm(2, 22050, 16);
  ASSERT_TRUE(output.Negotiate(&supported, &direct));
  EXPECT_TRUE(direct);

  WaveFormatEx cd = pcm(2, 44100, 16);
  ASSERT_TRUE(output.Negotiate(&cd, &direct));
  EXPECT_FALSE(direct);
  EXPECT_EQ(WaveFormatTable::toPcm(cd), kStandardFormats[7]);

  WaveFormatEx voice = pcm(1, 16000, 16);
  ASSERT_TRUE(output.Negotiate(&voice, &direct));
  EXPECT_EQ(WaveFormatTable::toPcm(voice), kStandardFormats[4]);

  WaveFormatEx surround = pcm(6, 44100, 16);
  EXPECT_FALSE(output.Negotiate(&surround, &direct));
  WaveFormatEx compressed = pcm(2, 44100, 16);
  compressed.wFormatTag = 85;
  EXPECT_FALSE(output.Negotiate(&compressed, &direct));
}

class WaveOutputCycleTest : public testing::Test {
 protected:
  void SetUp() override {
    m_folder =
        std::filesystem::temp_directory_path() / ("orvel-wave-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_folder);
    m_driver = WaveDriver::create("wav-fast:" + (m_folder / "out.wav").string());
    ASSERT_TRUE(m_driver);
  }
  void TearDown() override { std::filesystem::remove_all(m_folder); }

  std::filesystem::path m_folder;
  std::unique_ptr<WaveDriver> m_driver;
};

TEST_F(WaveOutputCycleTest, RefillsUntilTheClientStopsThenCloses) {
  CountingClient client;
  client.fillsAllowed = 6;
  WaveOutput output(&client, m_driver.get());
  client.output = &output;
  const WaveFormatEx format = pcm(2, 44100, 16);
  ASSERT_TRUE(output.Open(&format, 176401));
  char* data = nullptr;
  uint32_t size = 0;
  ASSERT_TRUE(output.GetBuffer(1, &data, &size));
  EXPECT_EQ(size, 176402u);  // the remainder is added
  EXPECT_FALSE(output.GetBuffer(2, &data, &size));
  EXPECT_FALSE(output.GetBuffer(0, nullptr, &size));
  ASSERT_TRUE(output.Queue(4096, 0));
  ASSERT_TRUE(output.Queue(4096, 1));
  ASSERT_TRUE(client.bothDropped.wait(10000));
  EXPECT_EQ(client.fills.load(), 8);  // six refills, then each buffer refused once
  EXPECT_EQ(client.ended.load(), 0);
  EXPECT_TRUE(output.Close());
  EXPECT_EQ(client.ended.load(), 1);
  EXPECT_TRUE(output.Close());  // already closed
  EXPECT_FALSE(output.Pause());
  EXPECT_EQ(client.ended.load(), 1);

  // The output opens again after a close.
  client.fillsAllowed = 1000000;
  ASSERT_TRUE(output.Open(&format, 8192));
  ASSERT_TRUE(output.Queue(8192, 0));
  ASSERT_TRUE(output.Queue(8192, 1));
  EXPECT_TRUE(output.Close());  // buffers in flight come back first
  EXPECT_EQ(client.ended.load(), 2);
}

TEST_F(WaveOutputCycleTest, ClosesFromItsOwnThreadWithoutWaiting) {
  CountingClient client;
  client.fillsAllowed = 1000000;
  client.closeOnFill = 3;
  Event bothQueued{Event::Reset::Manual};
  client.startGate = &bothQueued;
  auto output = std::make_unique<WaveOutput>(&client, m_driver.get());
  client.output = output.get();
  const WaveFormatEx format = pcm(2, 44100, 16);
  ASSERT_TRUE(output->Open(&format, 8192));
  ASSERT_TRUE(output->Queue(8192, 0));
  ASSERT_TRUE(output->Queue(8192, 1));
  bothQueued.set();
  ASSERT_TRUE(client.endedEvent.wait(10000));
  EXPECT_TRUE(client.closeResult.load());
  EXPECT_TRUE(client.endedAfterClose.load());
  EXPECT_EQ(client.ended.load(), 1);
  output.reset();  // joins the ended thread
  EXPECT_EQ(client.fills.load(), 3);
}

}  // namespace
}  // namespace orvel
