#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/MessageQueue.h"
#include "platform/Registry.h"
#include "platform/wave/AlsaLibrary.h"
#include "platform/wave/WaveDriver.h"
#include "platform/wave/WaveVolume.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

using Clock = std::chrono::steady_clock;
constexpr PcmFormat kCd{2, 44100, 16};

uint32_t le32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

std::vector<uint8_t> tone(uint32_t bytes, uint8_t seed) {
  std::vector<uint8_t> data(bytes);
  for (uint32_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(seed + i * 7);
  return data;
}

TEST(WaveDriver, NamesAndCapabilityMasks) {
  for (const char* good :
       {"alsa", "null", "null?caps=0x0F0", "wav:/tmp/x.wav", "wav-fast:/tmp/y.wav?caps=2048"}) {
    EXPECT_TRUE(WaveDriver::create(good)) << good;
  }
  for (const char* bad :
       {"", "pulse", "wav:", "null?caps=", "null?caps=0x1000", "null?caps=12z", "alsa?caps=1"}) {
    EXPECT_FALSE(WaveDriver::create(bad)) << bad;
  }
  auto only22k = WaveDriver::create("null?caps=0x0F0");
  uint32_t bits = 0;
  ASSERT_TRUE(only22k->capabilities(&bits));
  EXPECT_EQ(bits, 0x0F0u);
  EXPECT_TRUE(only22k->query(PcmFormat{2, 22050, 16}));
  EXPECT_FALSE(only22k->query(kCd));
  EXPECT_FALSE(only22k->query(PcmFormat{2, 22051, 16}));
  MessageQueue queue;
  EXPECT_FALSE(only22k->open(kCd, &queue));
  auto any = WaveDriver::create("null");
  EXPECT_TRUE(any->query(PcmFormat{1, 48000, 16}));
  EXPECT_FALSE(any->query(PcmFormat{2, 44100, 24}));
}

TEST(WaveDevice, WavFastWritesEveryBufferInOrderIntoAValidFile) {
  test::TempHome home;
  const std::string path = home.path("out.wav");
  auto driver = WaveDriver::create("wav-fast:" + path);
  MessageQueue done;
  auto device = driver->open(PcmFormat{1, 22050, 16}, &done);
  ASSERT_TRUE(device);
  const auto a = tone(4410, 1), b = tone(2206, 50), c = tone(100, 99);
  ASSERT_TRUE(device->write(a.data(), 4410, 11));
  ASSERT_TRUE(device->write(b.data(), 2206, 22));
  ASSERT_TRUE(device->write(c.data(), 100, 33));
  for (intptr_t cookie : {11, 22, 33}) {
    const auto m = done.get(5000);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->message, kWaveDone);
    EXPECT_EQ(m->lParam, cookie);
  }
  device->close();
  const auto file = readWholeFile(path);
  ASSERT_TRUE(file);
  ASSERT_EQ(file->size(), 44u + 4410 + 2206 + 100);
  EXPECT_EQ(std::memcmp(file->data(), "RIFF", 4), 0);
  EXPECT_EQ(le32(*file, 4), file->size() - 8);
  EXPECT_EQ(le32(*file, 24), 22050u);
  EXPECT_EQ(le32(*file, 40), 4410u + 2206 + 100);
  EXPECT_TRUE(std::equal(b.begin(), b.end(), file->begin() + 44 + 4410));
}

TEST(WaveDevice, AWavFileIsValidWhenTheProgramDiesInTheMiddle) {
  test::TempHome home;
  const std::string path = home.path("killed.wav");
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    MessageQueue done;
    auto device = WaveDriver::create("wav-fast:" + path)->open(kCd, &done);
    const auto data = tone(17640, 3);
    for (int i = 0; i < 5; ++i) device->write(data.data(), 17640, i);
    for (int i = 0; i < 5; ++i) done.get();
    ::_exit(0);  // no close, no clean-up
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  const auto file = readWholeFile(path);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size(), 44u + 5 * 17640);
  EXPECT_EQ(le32(*file, 40), 5u * 17640);
}

TEST(WaveDevice, TheVolumeScalesWhatTheDeviceWrites) {
  test::TempHome home;
  Registry registry(home.path("registry"));
  WaveVolume::useRegistry(&registry);
  WaveVolume::set(0x40007FFF);  // left about half, right about a quarter
  EXPECT_EQ(registry.queryValue(u"\\Software\\Orvel\\Radio", u"Volume")->data,
            (Bytes{0xFF, 0x7F, 0x00, 0x40}));
  WaveVolume::useRegistry(&registry);  // a new run reads it back
  EXPECT_EQ(WaveVolume::get(), 0x40007FFFu);

  const std::string path = home.path("quiet.wav");
  MessageQueue done;
  auto device = WaveDriver::create("wav-fast:" + path)->open(kCd, &done);
  const int16_t frame[2] = {20000, -20000};
  device->write(frame, 4, 1);
  done.get();
  device->close();
  const auto file = readWholeFile(path);
  const auto left = static_cast<int16_t>((*file)[44] | ((*file)[45] << 8));
  const auto right = static_cast<int16_t>((*file)[46] | ((*file)[47] << 8));
  EXPECT_NEAR(left, 10000, 2);
  EXPECT_NEAR(right, -5000, 2);
  WaveVolume::useRegistry(nullptr);
}

TEST(WaveDevice, TheNullDeviceKeepsRealTimeHoldsWhilePausedAndResetReturnsEverything) {
  MessageQueue done;
  auto device = WaveDriver::create("null")->open(PcmFormat{1, 8000, 8}, &done);
  ASSERT_TRUE(device);
  std::vector<uint8_t> fifth(1600, 128);  // 200 ms
  const auto started = Clock::now();
  device->write(fifth.data(), 1600, 1);
  ASSERT_TRUE(done.get(5000));
  EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(190));

  device->write(fifth.data(), 1600, 2);
  device->pause();
  EXPECT_FALSE(done.get(400));  // held
  device->restart();
  EXPECT_EQ(done.get(5000)->lParam, 2);

  device->write(fifth.data(), 1600, 3);
  device->write(fifth.data(), 1600, 4);
  device->reset();
  EXPECT_EQ(done.get(0)->lParam, 3);
  EXPECT_EQ(done.get(0)->lParam, 4);

  // Close returns what is queued, once, even when called again.
  device->write(fifth.data(), 1600, 5);
  device->write(fifth.data(), 1600, 6);
  device->close();
  device->close();
  EXPECT_FALSE(device->write(fifth.data(), 1600, 7));
  EXPECT_EQ(done.get(0)->lParam, 5);
  EXPECT_EQ(done.get(0)->lParam, 6);
  EXPECT_FALSE(done.get(300));
}

TEST(WaveDevice, AlsaPlaysOrRefusesCleanly) {
  // libasound is installed with the build's dependencies: every function must be found in it,
  // so a refusal below is the machine's lack of a sound card, not a missing function.
  ASSERT_NE(AlsaLibrary::get(), nullptr);
  auto alsa = WaveDriver::create("alsa");
  MessageQueue done;
  uint32_t bits = 0;
  if (!alsa->capabilities(&bits)) {
    EXPECT_FALSE(alsa->open(kCd, &done));  // no sound card here: a clean refusal
    return;
  }
  const PcmFormat format = alsa->query(kCd) ? kCd : PcmFormat{1, 22050, 16};
  auto device = alsa->open(format, &done);
  ASSERT_TRUE(device);
  std::vector<uint8_t> silence(format.bytesPerSecond() / 10, 0);
  device->write(silence.data(), static_cast<uint32_t>(silence.size()), 7);
  const auto m = done.get(5000);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->lParam, 7);
  device->close();
}

}  // namespace
}  // namespace orvel
