// orvel-play end to end against the loopback stream server: the player's replies and status
// lines, titles, failures, the conversion path, the WAV device's audio and recordings.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "IcecastServer.h"
#include "PlayToolRunner.h"

namespace orvel::test {
namespace {

class PlayToolTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_folder = new std::string(makeTempFolder());
    const std::string& f = *s_folder;
    // A rising sweep: no two stretches of it look alike, so a lag search has one answer. The
    // MP3 files are frames only (no tag, no Xing frame), as a station sends them.
    const std::string framesOnly = "-id3v2_version 0 -write_xing 0 ";
    const std::string sweep = "aevalsrc='0.5*sin(2*PI*(200*t+150*t*t))':s=44100:d=6";
    s_ready = runCommand("ffmpeg -v error -f lavfi -i \"" + sweep +
                         "\" -ac 2 -c:a libmp3lame -b:a 128k " + framesOnly + f + "/sweep.mp3") &&
              runCommand("ffmpeg -v error -f lavfi -i \"" + sweep +
                         "\" -ar 22050 -ac 1 -c:a libmp3lame -b:a 32k " + framesOnly + f +
                         "/mono22.mp3") &&
              runCommand("ffmpeg -v error -f lavfi -i \"" + sweep +
                         "\" -ac 2 -c:a libvorbis -q:a 3 " + f + "/sweep.ogg") &&
              runCommand("ffmpeg -v error -f lavfi -i \"" + sweep +
                         "\" -ac 2 -c:a aac -b:a 128k -f adts " + f + "/sweep.aac");
  }
  static void TearDownTestSuite() {
    std::filesystem::remove_all(*s_folder);
    delete s_folder;
  }
  void SetUp() override {
    ASSERT_TRUE(s_ready) << "ffmpeg could not make the test audio";
    m_home = makeTempFolder();
  }
  void TearDown() override { std::filesystem::remove_all(m_home); }
  static std::string file(const std::string& name) { return *s_folder + "/" + name; }
  void expectDropBridged(const std::string& name, const std::string& query, int seconds);

  static std::string* s_folder;
  static bool s_ready;
  std::string m_home;
};

std::string* PlayToolTest::s_folder = nullptr;
bool PlayToolTest::s_ready = false;

// Normalised correlation of `a` and `b` over `count` samples starting at their offsets.
double correlation(const std::vector<int16_t>& a, size_t offsetA, const std::vector<int16_t>& b,
                   size_t offsetB, size_t count) {
  double ab = 0;
  double aa = 0;
  double bb = 0;
  for (size_t i = 0; i < count; ++i) {
    const double x = a[offsetA + i];
    const double y = b[offsetB + i];
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// The best correlation of the window of `played` at `start` with any stretch of `reference`:
// the decoder's opening scan consumes the stream's first bytes, so the played audio starts
// somewhere inside. The default start stays away from the first frames, which the bit
// reservoir affects.
double bestMatch(const std::vector<int16_t>& played, const std::vector<int16_t>& reference,
                 size_t window, size_t start = 8192) {
  double best = 0;
  if (played.size() < start + window) return 0;
  for (size_t offset = 0; offset + window <= reference.size(); offset += 2) {
    best = std::max(best, correlation(played, start, reference, offset, window));
  }
  return best;
}

TEST_F(PlayToolTest, RunsWithAndWithoutPrebuffering) {
  FileStreamServer server(file("sweep.mp3"));
  ASSERT_TRUE(server.running());
  const PlayRun buffered = runPlay(
      "--seconds 2 '" + server.url("/?mode=icy&metaint=16000&titles=Alpha|Beta") + "'", "null");
  EXPECT_EQ(buffered.exitCode, 0);
  const int open = buffered.indexOf("reply open 1");
  const int prebuffered = buffered.indexOf("prebuffered");
  const int play = buffered.indexOf("reply play 1");
  ASSERT_GE(open, 0);
  EXPECT_LT(buffered.indexOf("status 17 Connected to server"), open);
  EXPECT_EQ(buffered.lines[open + 1], "station Loopback Radio");
  // A burst that fills the ring while the decoder opens completes the prebuffering at once, so
  // "prebuffered" may come just before the open reply; play always follows both.
  ASSERT_GE(prebuffered, 0);
  EXPECT_GT(play, std::max(open, prebuffered));
  EXPECT_TRUE(buffered.has("status 41 Playback started"));
  const std::vector<std::string> titles = buffered.linesStartingWith("title ");
  ASSERT_FALSE(titles.empty());
  for (const std::string& title : titles) {
    EXPECT_TRUE(title == "title Alpha" || title == "title Beta") << title;
  }
  EXPECT_GT(buffered.indexOf("ended"), play);
  EXPECT_EQ(buffered.lines.back(), "reply close 1");

  const PlayRun direct = runPlay("--no-prebuffer --seconds 1 '" + server.url("/") + "'", "null");
  EXPECT_EQ(direct.exitCode, 0);
  EXPECT_FALSE(direct.has("prebuffered"));
  const int directOpen = direct.indexOf("reply open 1");
  ASSERT_GE(directOpen, 0);
  EXPECT_GT(direct.indexOf("reply play 1"), directOpen);
  // No metadata in the stream: the title line is composed empty once.
  EXPECT_EQ(direct.linesStartingWith("title").size(), 1u);
  EXPECT_EQ(direct.lines.back(), "reply close 1");
}

// The station sends eight seconds at once, then keeps its pace, with a new title after every
// second of audio: each title's metadata arrives about eight seconds before its sound plays,
// and the title line must change when the sound does.
TEST_F(PlayToolTest, TitlesChangeWhenTheirSoundPlays) {
  FileStreamServer server(file("sweep.mp3"));  // 128 kbit/s: 16000 bytes a second
  ASSERT_TRUE(server.running());
  const std::string trace = m_home + "/trace";
  const PlayRun run =
      runPlay("--no-prebuffer --seconds 12 '" +
                  server.url("/?mode=icy&metaint=16000&burst=128000&rate=16000") + "'",
              "null", m_home, trace);
  EXPECT_EQ(run.exitCode, 0);
  double firstBufferMs = -1;
  std::vector<double> titleMs;
  std::ifstream marks(trace);
  std::string event;
  double ms = 0;
  while (marks >> event >> ms) {
    if (event == "first-buffer") firstBufferMs = ms;
    if (event == "title") titleMs.push_back(ms);
  }
  const std::vector<std::string> titles = run.linesStartingWith("title ");
  ASSERT_GE(firstBufferMs, 0);
  ASSERT_EQ(titles.size(), titleMs.size());
  // "Song K" follows the K-th block, after K seconds of audio. The first one shows at once.
  ASSERT_FALSE(titles.empty());
  EXPECT_EQ(titles.front(), "title Song 1");
  int checked = 0;
  for (size_t i = 1; i < titles.size(); ++i) {
    int song = 0;
    ASSERT_EQ(std::sscanf(titles[i].c_str(), "title Song %d", &song), 1) << titles[i];
    EXPECT_EQ(song, static_cast<int>(i) + 1) << "titles are shown in order, none skipped";
    EXPECT_NEAR(titleMs[i] - firstBufferMs, song * 1000.0, 500.0) << titles[i];
    ++checked;
  }
  // Songs 9 and later arrived at the station's pace, long after the burst.
  EXPECT_GE(checked, 9);
}

TEST_F(PlayToolTest, FailuresEndTheRun) {
  FileStreamServer server(file("sweep.mp3"));
  ASSERT_TRUE(server.running());
  const PlayRun missing = runPlay("--retries 0 '" + server.url("/?mode=404") + "'", "null");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.has("reply open 0"));
  EXPECT_TRUE(missing.has("error 6 Connection error!"));

  const PlayRun badType = runPlay("'" + server.url("/?type=text/plain&garbage=1") + "'", "null");
  EXPECT_EQ(badType.exitCode, 1);
  EXPECT_TRUE(
      badType.has("error 44 Cannot create decoder! There is no decoder for this stream format."));

  EXPECT_EQ(runPlay("--retries x URL", "null").exitCode, 2);
  EXPECT_EQ(runPlay("", "null").exitCode, 2);

  // Without --reconnect a drop ends the run as it always did.
  const PlayRun dropped = runPlay("--no-prebuffer '" + server.url("/?close=20000") + "'", "null");
  EXPECT_EQ(dropped.exitCode, 0);
  EXPECT_GT(dropped.indexOf("reply close 1"),
            dropped.indexOf("status 42 Connection to server interrupted."));
  EXPECT_TRUE(dropped.linesStartingWith("reconnect").empty());

  // The server falls silent: the player reports the interruption and the tool closes.
  const PlayRun stalled = runPlay("--no-prebuffer '" + server.url("/?stall=60000") + "'", "null");
  EXPECT_EQ(stalled.exitCode, 0);
  const int interrupted = stalled.indexOf("status 42 Connection to server interrupted.");
  ASSERT_GE(interrupted, 0);
  EXPECT_GT(stalled.indexOf("reply close 1"), interrupted);
}

std::string percentEncoded(const std::string& text) {
  std::string encoded;
  for (unsigned char c : text) {
    char escape[4];
    std::snprintf(escape, sizeof escape, "%%%02X", c);
    encoded += std::isalnum(c) ? std::string(1, static_cast<char>(c)) : std::string(escape);
  }
  return encoded;
}

// A station's link that answers with a playlist: its stream URLs are tried in order (each one
// reported) until one plays, and the station line is the stream's own. Playlists within
// playlists end three deep, and one too large to be a playlist, both as an unknown format.
TEST_F(PlayToolTest, PlaylistLinksLeadToTheirStreams) {
  FileStreamServer server(file("sweep.mp3"));
  ASSERT_TRUE(server.running());
  const std::string dead = "/?mode=404";
  const std::string live = "/?metaint=16000";
  struct Case {
    std::string path;
    std::vector<std::string> entries;
  };
  const Case cases[] = {{"/s.pls?playlist=pls&type=audio/x-scpls", {dead, live}},
                        {"/s.m3u?playlist=m3u&type=text/plain", {live}},
                        {"/s.xspf?playlist=xspf&type=none", {server.url(live)}}};
  for (const Case& c : cases) {
    std::string entries;
    for (const std::string& entry : c.entries) entries += (entries.empty() ? "" : "|") + entry;
    const PlayRun run =
        runPlay("--retries 0 --seconds 1 '" +
                    server.url(c.path + "&entries=" + percentEncoded(entries)) + "'",
                "null");
    EXPECT_EQ(run.exitCode, 0) << c.path;
    std::vector<std::string> expected;
    for (const std::string& entry : c.entries) {
      expected.push_back("resolved " + (entry.starts_with("http") ? entry : server.url(entry)));
    }
    EXPECT_EQ(run.linesStartingWith("resolved "), expected) << c.path;
    EXPECT_TRUE(run.has("station Loopback Radio")) << c.path;
    EXPECT_TRUE(run.has("reply play 1")) << c.path;
  }
  const std::string unsupported =
      "error 44 Cannot create decoder! There is no decoder for this stream format.";
  const PlayRun loop =
      runPlay("'" + server.url("/self.m3u?playlist=m3u&entries=self") + "'", "null");
  EXPECT_EQ(loop.exitCode, 1);
  EXPECT_TRUE(loop.has(unsupported));
  EXPECT_EQ(loop.linesStartingWith("resolved ").size(), 3u);
  const PlayRun large = runPlay(
      "'" + server.url("/big.m3u?playlist=m3u&pad=70000&entries=" + percentEncoded(live)) + "'",
      "null");
  EXPECT_EQ(large.exitCode, 1);
  EXPECT_TRUE(large.has(unsupported));
  EXPECT_TRUE(large.linesStartingWith("resolved ").empty());
}

TEST_F(PlayToolTest, WavOutputHoldsTheStreamsAudio) {
  FileStreamServer server(file("sweep.mp3"));
  ASSERT_TRUE(server.running());
  const std::string played = m_home + "/played.wav";
  const PlayRun run =
      runPlay("--no-prebuffer --seconds 3 '" + server.url("/") + "'", "wav:" + played);
  ASSERT_EQ(run.exitCode, 0);
  const std::string reference = m_home + "/reference.wav";
  ASSERT_TRUE(runCommand(std::string(ORVEL_BIN_DIR) + "/orvel-decode -o " + reference + " " +
                         file("sweep.mp3") + " >/dev/null 2>&1"));
  int channels = 0;
  int rate = 0;
  const std::vector<int16_t> out = readWavSamples(played, &channels, &rate);
  EXPECT_EQ(channels, 2);
  EXPECT_EQ(rate, 44100);
  int refChannels = 0;
  int refRate = 0;
  const std::vector<int16_t> ref = readWavSamples(reference, &refChannels, &refRate);
  ASSERT_GT(out.size(), 44100u * 2);
  EXPECT_GT(bestMatch(out, ref, 4096), 0.95);
}

// The longest run of samples (all channels) that are all but silent.
size_t longestQuietFrames(const std::vector<int16_t>& samples, int channels) {
  size_t longest = 0;
  size_t run = 0;
  for (size_t i = 0; i + channels <= samples.size(); i += channels) {
    bool quiet = true;
    for (int c = 0; c < channels; ++c) quiet = quiet && std::abs(samples[i + c]) < 64;
    run = quiet ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

// Plays `name` for `seconds` through one drop (the server's `query` makes it) and checks that
// one reconnection bridged it: the sweep plays before and after the splice, with no silence but
// the file's own (or a splice's few frames) and nothing missing from the run's time but the
// buffers in flight at the end.
void PlayToolTest::expectDropBridged(const std::string& name, const std::string& query,
                                     int seconds) {
  FileStreamServer server(file(name));
  ASSERT_TRUE(server.running());
  const std::string played = m_home + "/played.wav";
  const PlayRun run = runPlay("--no-prebuffer --reconnect 2 --seconds " + std::to_string(seconds) +
                                  " '" + server.url(query) + "'",
                              "wav:" + played);
  EXPECT_EQ(run.exitCode, 0) << name;
  const int reconnect = run.indexOf("reconnect 1");
  ASSERT_GE(reconnect, 0) << name;
  EXPECT_GT(run.indexOf("reconnected"), reconnect) << name;
  EXPECT_FALSE(run.has("reconnect 2")) << name;
  EXPECT_TRUE(run.linesStartingWith("status 42").empty()) << name;
  EXPECT_EQ(run.lines.back(), "reply close 1") << name;
  const std::string reference = m_home + "/reference.wav";
  ASSERT_TRUE(runCommand(std::string(ORVEL_BIN_DIR) + "/orvel-decode -o " + reference + " " +
                         file(name) + " >/dev/null 2>&1"));
  int channels = 0;
  int rate = 0;
  const std::vector<int16_t> out = readWavSamples(played, &channels, &rate);
  const std::vector<int16_t> ref = readWavSamples(reference, &channels, &rate);
  ASSERT_EQ(channels, 2) << name;
  const size_t second = static_cast<size_t>(rate) * 2;
  ASSERT_GT(out.size(), second * static_cast<size_t>(seconds - 2)) << name;
  std::vector<int16_t> loop = ref;
  loop.insert(loop.end(), ref.begin(), ref.end());
  // An MP3 decoder rebuilds the first new frames without their bit reservoir: silence shorter
  // than 50 ms, and shorter than the encoder delay where the file's loop wraps.
  const size_t allowed = std::max(longestQuietFrames(loop, channels), second / 40);
  EXPECT_LE(longestQuietFrames(out, channels), allowed) << name;
  EXPECT_GT(bestMatch(out, ref, 4096, second), 0.95) << name;
  EXPECT_GT(bestMatch(out, ref, 4096, out.size() - second / 2), 0.95) << name;
}

TEST_F(PlayToolTest, DropIsBridgedByAReconnectionOrEndedByAGoneAnswer) {
  // The queued bytes hold seconds of audio: the reconnection a second after the drop comes
  // while they play, so the sound goes on without a gap. The new connection's audio starts
  // elsewhere in the sweep, inside an MP3 frame or an Ogg page.
  expectDropBridged("sweep.mp3", "/?mode=icy&metaint=5000&close=64000&drops=1&skip=777", 7);
  expectDropBridged("sweep.ogg", "/?type=application/ogg&close=10000&drops=1&skip=777", 5);

  // A station that is gone when asked again: one attempt, then the designed end.
  FileStreamServer server(file("sweep.mp3"));
  ASSERT_TRUE(server.running());
  const PlayRun gone = runPlay(
      "--no-prebuffer --reconnect 3 '" + server.url("/?close=20000&then=404") + "'", "null");
  EXPECT_EQ(gone.exitCode, 0);
  const int attempt = gone.indexOf("reconnect 1");
  ASSERT_GE(attempt, 0);
  EXPECT_GT(gone.indexOf("status 42 Connection to server interrupted."), attempt);
  EXPECT_FALSE(gone.has("reconnect 2"));
  EXPECT_FALSE(gone.has("reconnected"));
  EXPECT_EQ(gone.lines.back(), "reply close 1");
}

TEST_F(PlayToolTest, ConvertsForADeviceOfOneFormat) {
  FileStreamServer server(file("mono22.mp3"));
  ASSERT_TRUE(server.running());
  const std::string played = m_home + "/played.wav";
  const PlayRun run = runPlay("--no-prebuffer --seconds 3 '" + server.url("/") + "'",
                              "wav:" + played + "?caps=0x800");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.has("reply play 1"));
  const std::string reference = m_home + "/reference.wav";
  ASSERT_TRUE(runCommand(std::string(ORVEL_BIN_DIR) +
                         "/orvel-decode --rate 44100 --channels 2 -o " + reference + " " +
                         file("mono22.mp3") + " >/dev/null 2>&1"));
  int channels = 0;
  int rate = 0;
  const std::vector<int16_t> out = readWavSamples(played, &channels, &rate);
  EXPECT_EQ(channels, 2);
  EXPECT_EQ(rate, 44100);
  int refChannels = 0;
  int refRate = 0;
  const std::vector<int16_t> ref = readWavSamples(reference, &refChannels, &refRate);
  ASSERT_GT(out.size(), 44100u * 2);
  // The conversion runs per block, so its phase differs from the reference's; broken buffer
  // sizing gives well under 0.1.
  EXPECT_GT(bestMatch(out, ref, 4096), 0.8);
}

// AAC as Shoutcast stations send it ("audio/aacp", titles in the stream) plays through the
// codec library to the file's own sound; a player without the library beside it refuses the
// stream with the designed error.
TEST_F(PlayToolTest, AacStationPlaysThroughTheCodecLibraryOnly) {
  FileStreamServer server(file("sweep.aac"));
  ASSERT_TRUE(server.running());
  const std::string url = server.url("/?type=audio/aacp&mode=icy&metaint=4000&titles=Uno|Dos");
  const std::string played = m_home + "/played.wav";
  const PlayRun run = runPlay("--no-prebuffer --seconds 3 '" + url + "'", "wav:" + played);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.has("reply play 1"));
  EXPECT_TRUE(run.has("title Uno"));
  const std::string reference = m_home + "/reference.wav";
  ASSERT_TRUE(runCommand(std::string(ORVEL_BIN_DIR) + "/orvel-decode -o " + reference + " " +
                         file("sweep.aac") + " >/dev/null 2>&1"));
  int channels = 0;
  int rate = 0;
  const std::vector<int16_t> out = readWavSamples(played, &channels, &rate);
  const std::vector<int16_t> ref = readWavSamples(reference, &channels, &rate);
  ASSERT_GT(out.size(), 44100u * 2);
  EXPECT_GT(bestMatch(out, ref, 4096), 0.95);

  const std::string bare = m_home + "/orvel-play";
  std::filesystem::copy_file(std::string(ORVEL_BIN_DIR) + "/orvel-play", bare);
  const PlayRun without = runPlayProgram(bare, "--seconds 1 '" + url + "'", "null");
  EXPECT_TRUE(without.has("reply open 0"));
  EXPECT_EQ(without.linesStartingWith("error ").front(),
            "error 44 Cannot create decoder! There is no decoder for this stream format.");
}

// An Icecast station sending Ogg Opus: its links follow one another with their titles, and the
// 48 kHz sound reaches a device that takes 44.1 kHz only, with no gap at the link changes.
TEST_F(PlayToolTest, PlaysAnIcecastOpusStationAcrossItsLinks) {
  if (!IcecastServer::available()) GTEST_SKIP() << "icecast2, ffmpeg or curl is not installed";
  std::string chain;
  for (int link = 1; link <= 4; ++link) {
    const std::string path = m_home + "/link" + std::to_string(link) + ".opus";
    ASSERT_TRUE(runCommand(
        "ffmpeg -v error -f lavfi -i sine=frequency=" + std::to_string(300 + 100 * link) +
        ":sample_rate=48000:duration=2.5 -ac 2 -c:a libopus -b:a 64k "
        "-metadata title='Link " +
        std::to_string(link) + "' -serial_offset " + std::to_string(link * 1000) + " " + path));
    chain += readBinary(path);
  }
  const std::string chained = m_home + "/chained.opus";
  std::ofstream(chained, std::ios::binary) << chain;
  IcecastServer icecast;
  std::string error;
  ASSERT_TRUE(icecast.startWithOggFile(chained, static_cast<int>(chain.size() / 10), error))
      << error;
  const std::string played = m_home + "/played.wav";
  const PlayRun run = runPlay("--no-prebuffer --seconds 7 '" + icecast.streamUrl() + "'",
                              "wav:" + played + "?caps=0x800");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.has("station " + std::string(IcecastServer::kStationName)));
  const std::vector<std::string> titles = run.linesStartingWith("title ");
  ASSERT_GE(titles.size(), 3u);
  for (size_t i = 1; i < titles.size(); ++i) {
    EXPECT_EQ(titles[i].back(), titles[i - 1].back() + 1) << "links in order: " << titles[i];
  }
  int channels = 0;
  int rate = 0;
  const std::vector<int16_t> out = readWavSamples(played, &channels, &rate);
  EXPECT_EQ(rate, 44100);
  ASSERT_GT(out.size(), 44100u * 2 * 5);
  EXPECT_LE(longestQuietFrames(out, channels), 44100u / 20);
}

TEST_F(PlayToolTest, OggStreamPlaysButIsNotRecorded) {
  FileStreamServer server(file("sweep.ogg"));
  ASSERT_TRUE(server.running());
  const PlayRun run = runPlay("--record --seconds 1 '" + server.url("/?type=application/ogg") + "'",
                              "null", m_home);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.has("reply play 1"));
  EXPECT_TRUE(run.has("reply record-start 0"));
  EXPECT_TRUE(run.has("error 59 Recording of other than MP3 format is not supported yet!"));
  EXPECT_FALSE(std::filesystem::exists(m_home + "/Documents/RadioRec.mp3"));
}

TEST_F(PlayToolTest, RecordingHoldsTheServedBytesWithoutMetadata) {
  FileStreamServer server(file("sweep.mp3"));
  ASSERT_TRUE(server.running());
  const std::string documents = m_home + "/Documents";
  std::filesystem::create_directories(documents);
  std::ofstream(documents + "/RadioRec.mp3") << "taken";
  std::ofstream(documents + "/RadioRec01.wav") << "taken";
  const PlayRun run = runPlay(
      "--record --seconds 3 '" + server.url("/?mode=icy&metaint=5000") + "'", "null", m_home);
  EXPECT_EQ(run.exitCode, 0);
  const std::string path = documents + "/RadioRec02.mp3";
  EXPECT_TRUE(run.has("recording " + path));
  const std::string recorded = readBinary(path);
  ASSERT_GT(recorded.size(), 16000u);
  // The served audio is the file in a loop; the recording is one stretch of it.
  const std::string source = readBinary(file("sweep.mp3"));
  std::string looped;
  while (looped.size() < recorded.size() + 2 * source.size()) looped += source;
  const size_t start = looped.find(recorded.substr(0, 4096));
  ASSERT_NE(start, std::string::npos);
  EXPECT_LT(start, source.size());
  EXPECT_TRUE(looped.compare(start, recorded.size(), recorded) == 0);
}

TEST_F(PlayToolTest, PlaysAnIcecastStation) {
  if (!IcecastServer::available()) GTEST_SKIP() << "icecast2 or ffmpeg is not installed";
  IcecastServer icecast;
  std::string error;
  ASSERT_TRUE(icecast.start(error)) << error;
  ASSERT_TRUE(icecast.setTitle("Ünïcode Song"));
  const PlayRun run = runPlay("--seconds 2 '" + icecast.streamUrl() + "'", "null");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.has("station " + std::string(IcecastServer::kStationName)));
  EXPECT_TRUE(run.has("reply play 1"));
  EXPECT_TRUE(run.has("title Ünïcode Song"));
  EXPECT_EQ(run.lines.back(), "reply close 1");
}

}  // namespace
}  // namespace orvel::test
