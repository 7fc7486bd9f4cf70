// The Player's commands against the loopback server, its buffer arithmetic, the network
// stream's end, and where recordings go.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "PlayToolRunner.h"
#include "RecordingEvents.h"
#include "StreamTestServer.h"
#include "engine/IcyStream.h"
#include "engine/Player.h"
#include "engine/RecordingStream.h"
#include "resources/StringTable.h"

namespace orvel {
namespace {

constexpr uint32_t reply(uint32_t command) { return command + Player::kReplyOffset; }

WaveFormatEx pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormatEx format{};
  format.wFormatTag = kWaveFormatPcm;
  format.nChannels = channels;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = bits;
  format.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
  format.nAvgBytesPerSec = rate * format.nBlockAlign;
  return format;
}

class PlayerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_server.running());
    Player::Settings settings;
    settings.driver = m_driver.get();
    m_player = std::make_unique<Player>(&m_notify, std::move(settings));
    m_player->Start();
  }
  void TearDown() override {
    m_player->Close();
    waitReply(Player::kClose);
    m_player->Shutdown();
  }
  // The result of the next reply to `command`, skipping every other message.
  std::optional<bool> waitReply(uint32_t command) {
    while (auto message = m_notify.get(20000)) {
      if (message->message == reply(command)) return message->wParam != 0;
    }
    return std::nullopt;
  }
  OpenRequest request(const std::string& pathAndQuery) {
    return OpenRequest{fromUtf8(m_server.url(pathAndQuery)), false, 0};
  }

  test::StreamTestServer m_server;
  std::unique_ptr<WaveDriver> m_driver = WaveDriver::create("null");
  MessageQueue m_notify;
  std::unique_ptr<Player> m_player;
};

TEST(PlayerBufferTest, BufferIsOneSecondAndTheBudgetFitsTheConversion) {
  const WaveFormatEx cd = pcm(2, 44100, 16);
  EXPECT_EQ(Player::bufferBytesFor(cd), 176400u);
  const WaveFormatEx half = pcm(2, 22050, 16);
  const uint32_t bytes = Player::bufferBytesFor(half);
  EXPECT_EQ(bytes, 88200u);
  EXPECT_EQ(Player::decodeBudgetFor(bytes, half, cd), 44052u);
  EXPECT_EQ(Player::decodeBudgetFor(bytes, half, half), bytes);
  // Mono to stereo doubles the bytes as well: the converted block still fits the buffer.
  const WaveFormatEx mono = pcm(1, 22050, 16);
  const uint32_t monoBytes = Player::bufferBytesFor(mono);
  EXPECT_LE(Player::decodeBudgetFor(monoBytes, mono, cd) * 4, monoBytes);
  // Converting down never asks the decoder for more than the buffer holds.
  const WaveFormatEx fast = pcm(2, 48000, 16);
  EXPECT_LE(Player::decodeBudgetFor(Player::bufferBytesFor(fast), fast, cd),
            Player::bufferBytesFor(fast));
}

TEST_F(PlayerTest, CommandsOutOfStateReplyZero) {
  m_player->Play();
  EXPECT_EQ(waitReply(Player::kPlay), false);
  m_player->Pause();
  EXPECT_EQ(waitReply(Player::kPause), false);
  m_player->RecordStart();
  EXPECT_EQ(waitReply(Player::kRecordStart), false);
  EXPECT_EQ(m_player->GetLastError(), 0);
  m_player->Open(request("/stream"));
  ASSERT_EQ(waitReply(Player::kOpen), true);
  m_player->Open(request("/stream"));
  EXPECT_EQ(waitReply(Player::kOpen), false);
  EXPECT_EQ(m_player->state(), Player::Ready);
  m_player->Play();
  EXPECT_EQ(waitReply(Player::kPlay), true);
  EXPECT_TRUE(m_player->IsPlaying());
  m_player->Play();
  EXPECT_EQ(waitReply(Player::kPlay), false);
  m_player->Pause();
  EXPECT_EQ(waitReply(Player::kPause), true);
  m_player->Play();  // resumes
  EXPECT_EQ(waitReply(Player::kPlay), true);
  m_player->Stop();
  EXPECT_EQ(waitReply(Player::kStop), true);
  EXPECT_EQ(m_player->state(), Player::Ready);
}

TEST_F(PlayerTest, OpenFailuresLeaveTheirErrorIds) {
  // A wrong content type is no failure when the bytes are a known format; bytes that are none
  // leave the stream without a decoder.
  m_player->Open(request("/stream?type=text/plain"));
  EXPECT_EQ(waitReply(Player::kOpen), true);
  m_player->Close();
  EXPECT_EQ(waitReply(Player::kClose), true);
  m_player->Open(request("/stream?type=text/plain&garbage=1"));
  EXPECT_EQ(waitReply(Player::kOpen), false);
  EXPECT_EQ(m_player->GetLastError(), kStrCannotCreateDecoder);
  EXPECT_EQ(m_player->GetLastError(), 0);
  EXPECT_EQ(m_player->state(), Player::Idle);

  const std::string folder = test::makeTempFolder();
  std::ofstream(folder + "/noise.mp3") << std::string(200000, 'x');
  {
    test::FileStreamServer noise(folder + "/noise.mp3");
    ASSERT_TRUE(noise.running());
    m_player->Open(OpenRequest{fromUtf8(noise.url("/")), false, 0});
    EXPECT_EQ(waitReply(Player::kOpen), false);
    EXPECT_EQ(m_player->GetLastError(), kStrCannotOpenDecoder);
  }
  std::filesystem::remove_all(folder);
}

TEST_F(PlayerTest, CloseKeepsOnlyTheNewestQueuedOpen) {
  m_player->Open(request("/first"));
  m_player->Close();
  m_player->Open(request("/dropped"));
  m_player->Open(request("/newest"));
  // The first Open was running when the Close came: it either finished or, when its decoder
  // was still waiting for bytes, gave up without an error. Either way only the newest runs.
  const std::optional<bool> first = waitReply(Player::kOpen);
  ASSERT_TRUE(first.has_value());
  if (!*first) {
    EXPECT_EQ(m_player->GetLastError(), 0);
  }
  EXPECT_EQ(waitReply(Player::kClose), true);
  EXPECT_EQ(waitReply(Player::kOpen), true);
  const std::string log = m_server.requestLog();
  EXPECT_NE(log.find("/first"), std::string::npos);
  EXPECT_NE(log.find("/newest"), std::string::npos);
  EXPECT_EQ(log.find("/dropped"), std::string::npos);
}

TEST(NetworkStreamEndTest, EndsOnlyWhenTheDataEndedAndWasRead) {
  test::StreamTestServer server;
  ASSERT_TRUE(server.running());
  test::RecordingEvents events;
  IcyStream stream(&events);
  events.stream = &stream;
  stream.Connect(OpenRequest{fromUtf8(server.url("/stream?close=3000")), false, 0});
  ASSERT_TRUE(events.waitConnected());
  uint8_t byte = 0;
  ASSERT_EQ(stream.Read(&byte, 1), 1);
  EXPECT_FALSE(stream.IsAtEnd());
  size_t total = 1;
  const uint8_t* data = nullptr;
  for (int32_t n; (n = stream.ReadChunk(&data, nullptr)) > 0;) total += static_cast<size_t>(n);
  EXPECT_EQ(total, 3000u);
  EXPECT_TRUE(stream.IsAtEnd());
  stream.Disconnect();
}

TEST(RecordingPlaceTest, NamesAndFoldersAndSpace) {
  const std::string folder = test::makeTempFolder();
  const WString wide = fromUtf8(folder);
  EXPECT_EQ(RecordingStream::nextRecordingPath(wide), fromUtf8(folder + "/RadioRec.mp3"));
  for (const char* name : {"RadioRec.mp3", "RadioRec01.wav", "radiorec02", "RadioRec03.x.y",
                           "RadioRec04.mp3", "RadioRec05.ogg", "RadioRec06.mp3", "RadioRec07.a",
                           "RadioRec08.b", "RadioRec09.c", "RadioRecording.mp3"}) {
    std::ofstream(folder + "/" + name) << "x";
  }
  EXPECT_EQ(RecordingStream::nextRecordingPath(wide), fromUtf8(folder + "/RadioRec10.mp3"));

  // A card without ignore_my_docs gets a documents folder of its own.
  const WString card = fromUtf8(folder + "/card");
  std::filesystem::create_directories(folder + "/card");
  EXPECT_TRUE(startsWithNoCase(RecordingStream::recordingFolder(card), card + u"/"));
  std::ofstream(folder + "/card/ignore_my_docs") << "";
  EXPECT_EQ(RecordingStream::recordingFolder(card), card);
  std::filesystem::remove_all(folder);

  EXPECT_FALSE(RecordingStream::enoughSpace(100000, true));
  EXPECT_TRUE(RecordingStream::enoughSpace(100001, true));
  EXPECT_FALSE(RecordingStream::enoughSpace(1000000, false));
  EXPECT_TRUE(RecordingStream::enoughSpace(std::nullopt, false));
  EXPECT_TRUE(RecordingStream::enoughSpace(uint64_t{1} << 40, true));
}

}  // namespace
}  // namespace orvel
