// orvel-play end to end against live HLS streams from hls_server.py: a 440 Hz tone whose level
// steps with each "song" plays through the WAV device without a gap, and each title shows when
// its song's level is heard; a lost segment is skipped, a frozen playlist ends the stream like a
// stall (reconnected once when asked) and an ended one plays out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <thread>

#include "PlayToolRunner.h"
#include "PythonServerProcess.h"

namespace orvel::test {
namespace {

constexpr double kToneHz = 440.0;

struct Played {
  std::string path;
  PlayRun run;
  std::vector<int16_t> left;  // the first channel
  int rate = 0;
  double firstBufferMs = -1;
  std::vector<double> titleMs;
};

class HlsPlayTest : public testing::Test {
 protected:
  void SetUp() override { m_folder = makeTempFolder(); }
  void TearDown() override { std::filesystem::remove_all(m_folder); }

  // Plays each request of `server` at once ("[options ]path"), each for `seconds`, into its own
  // WAV file, with home() as the home folder.
  std::vector<Played> playAll(const PythonServerProcess& server,
                              const std::vector<std::string>& requests, int seconds) {
    std::vector<Played> played(requests.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < requests.size(); ++i) {
      threads.emplace_back([&, i] {
        const std::string wav = m_folder + "/" + std::to_string(i) + ".wav";
        const std::string trace = m_folder + "/" + std::to_string(i) + ".trace";
        const size_t space = requests[i].rfind(' ');
        const std::string options =
            space == std::string::npos ? "" : requests[i].substr(0, space + 1);
        played[i].path = requests[i].substr(space == std::string::npos ? 0 : space + 1);
        played[i].run = runPlay(options + "--no-prebuffer --seconds " + std::to_string(seconds) +
                                    " 'http://127.0.0.1:" + std::to_string(server.port()) +
                                    played[i].path + "'",
                                "wav:" + wav, home(), trace);
        load(wav, trace, played[i]);
      });
    }
    for (std::thread& thread : threads) thread.join();
    return played;
  }

  static void load(const std::string& wav, const std::string& trace, Played& played) {
    int channels = 0;
    const std::vector<int16_t> samples = readWavSamples(wav, &channels, &played.rate);
    for (size_t i = 0; channels > 0 && i < samples.size(); i += channels) {
      played.left.push_back(samples[i]);
    }
    std::ifstream marks(trace);
    std::string event;
    double ms = 0;
    while (marks >> event >> ms) {
      if (event == "first-buffer") played.firstBufferMs = ms;
      if (event == "title") played.titleMs.push_back(ms);
    }
  }

  std::string home() const { return m_folder + "/home"; }

  std::string m_folder;
};

// The number of ADTS frames that follow each other from the first byte to the last; 0 when the
// bytes are not such a chain.
size_t adtsFrameChain(const std::string& bytes) {
  size_t frames = 0;
  size_t at = 0;
  while (at + 7 <= bytes.size()) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + at);
    if (p[0] != 0xFF || (p[1] & 0xF6) != 0xF0) return 0;
    const size_t length = (p[3] & 3u) << 11 | p[4] << 3 | p[5] >> 5;
    if (length < 7) return 0;
    at += length;
    ++frames;
  }
  return at == bytes.size() ? frames : 0;
}

// The windows of 20 ms, from `from` on, where the tone is out of phase with its start: the
// source is one unbroken sine, so any audio lost, repeated or inserted on the way (a skipped
// frame, a gap of silence) moves every later window's phase.
size_t countPhaseJumps(const std::vector<int16_t>& x, int rate, size_t from) {
  const double w = 2 * M_PI * kToneHz / rate;
  const size_t window = static_cast<size_t>(rate) / 50;
  auto phaseAt = [&](size_t at) {
    double re = 0;
    double im = 0;
    for (size_t n = at; n < at + window; ++n) {
      re += x[n] * std::cos(w * static_cast<double>(n));
      im += x[n] * std::sin(w * static_cast<double>(n));
    }
    return std::atan2(im, re) / (2 * M_PI);
  };
  if (from + window > x.size()) return 1;
  const double start = phaseAt(from);
  size_t jumps = 0;
  for (size_t at = from; at + window <= x.size(); at += window) {
    double drift = phaseAt(at) - start;
    drift -= std::round(drift);
    if (std::abs(drift) > 0.1) ++jumps;
  }
  return jumps;
}

// The tone's level (its peak, 0..1) over 100 ms from `at`.
double levelAt(const std::vector<int16_t>& x, int rate, size_t at) {
  const size_t count = static_cast<size_t>(rate) / 10;
  if (at + count > x.size()) return -1;
  double power = 0;
  for (size_t i = at; i < at + count; ++i) power += static_cast<double>(x[i]) * x[i];
  return std::sqrt(2 * power / count) / 32768;
}

// Song K plays at level 0.2 when K is odd, 0.4 when it is even.
bool isLoud(double level) { return level > 0.3; }

// Each title after the first shows within half a second of its song's first sound: half a
// second before it the song before plays, half a second after it this one.
void expectTitlesInStep(const Played& played, size_t minTitles) {
  const std::vector<std::string> titles = played.run.linesStartingWith("title ");
  ASSERT_EQ(titles.size(), played.titleMs.size()) << played.path;
  ASSERT_GE(titles.size(), minTitles) << played.path;
  int previous = 0;
  for (size_t i = 0; i < titles.size(); ++i) {
    int song = 0;
    ASSERT_EQ(std::sscanf(titles[i].c_str(), "title Song %d", &song), 1) << titles[i];
    if (i == 0) {
      previous = song;
      continue;
    }
    EXPECT_EQ(song, previous + 1) << played.path << ": titles in order, none skipped";
    previous = song;
    const double at = (played.titleMs[i] - played.firstBufferMs) / 1000 * played.rate;
    const double before =
        levelAt(played.left, played.rate, static_cast<size_t>(at - played.rate * 0.6));
    const double after =
        levelAt(played.left, played.rate, static_cast<size_t>(at + played.rate * 0.5));
    if (after < 0) continue;  // shown in the last half second
    EXPECT_EQ(isLoud(after), song % 2 == 0) << played.path << " " << titles[i];
    EXPECT_EQ(isLoud(before), song % 2 == 1) << played.path << " " << titles[i];
  }
}

TEST_F(HlsPlayTest, LiveStreamsPlayWithoutGapsWithTitlesInStep) {
  const std::string log = m_folder + "/requests";
  PythonServerProcess server("tests/engine/hls_server.py", {"--log", log});
  ASSERT_GT(server.port(), 0) << "hls_server.py did not start (ffmpeg missing?)";
  constexpr int kSeconds = 60;
  const std::vector<Played> runs =
      playAll(server,
              {"/adts/index.m3u8", "/ts/index.m3u8", "/fmp4/index.m3u8", "/aes/index.m3u8",
               "/master.m3u8", "/disc/fmp4/index.m3u8"},
              kSeconds);
  for (const Played& played : runs) {
    EXPECT_EQ(played.run.exitCode, 0) << played.path;
    EXPECT_TRUE(played.run.linesStartingWith("status 42").empty()) << played.path;
    EXPECT_EQ(played.run.lines.back(), "reply close 1") << played.path;
    ASSERT_EQ(played.rate, 44100) << played.path;
    // Nothing went missing from the minute: a starved device would have played less.
    EXPECT_GT(played.left.size(), static_cast<size_t>(played.rate) * (kSeconds - 2)) << played.path;
    // The decoder's first frames settle; the tone runs on unbroken after them, across segments
    // and discontinuities (which start the segment reader and its init section anew).
    EXPECT_EQ(countPhaseJumps(played.left, played.rate, played.rate / 2), 0u) << played.path;
    expectTitlesInStep(played, kSeconds / 6 - 2);
  }
  // The master playlist's only variant that exists is the one to choose.
  std::ifstream requests(log);
  const std::string all((std::istreambuf_iterator<char>(requests)),
                        std::istreambuf_iterator<char>());
  EXPECT_EQ(all.find("missing"), std::string::npos);
}

TEST_F(HlsPlayTest, LostSegmentAndFrozenGoneOrEndedPlaylists) {
  const std::string log = m_folder + "/requests";
  PythonServerProcess server("tests/engine/hls_server.py", {"--log", log, "--streams", "adts"});
  ASSERT_GT(server.port(), 0) << "hls_server.py did not start (ffmpeg missing?)";
  std::filesystem::create_directories(home() + "/Documents");
  const std::vector<Played> runs =
      playAll(server,
              {"--record /drop/adts/index.m3u8", "/freeze/adts/index.m3u8",
               "--reconnect 1 /freeze/adts/index.m3u8?again", "--reconnect 1 /end/adts/index.m3u8",
               "/gone/adts/index.m3u8"},
              30);
  const Played& dropped = runs[0];
  const Played& frozen = runs[1];
  const Played& retried = runs[2];
  const Played& ended = runs[3];
  const Played& gone = runs[4];

  EXPECT_EQ(dropped.run.exitCode, 0);
  EXPECT_TRUE(dropped.run.linesStartingWith("status 42").empty());
  EXPECT_GT(dropped.left.size(), static_cast<size_t>(dropped.rate) * 28);
  // Asked for twice, then skipped: the songs after it are still heard in step.
  std::ifstream requests(log);
  std::map<std::string, int> asked;
  std::set<std::string> ports;
  std::string port;
  std::string path;
  while (requests >> port >> path) {
    if (!path.starts_with("/drop/")) continue;
    ++asked[path];
    ports.insert(port);
  }
  int refused = 0;
  int total = 0;
  for (const auto& [segment, count] : asked) {
    total += count;
    if (!segment.ends_with(".aac")) continue;
    EXPECT_LE(count, 2) << segment;
    if (count == 2) ++refused;
  }
  EXPECT_EQ(refused, 1);
  expectTitlesInStep(dropped, 3);
  // The skip shows in the sound as a break of the tone, as any gap would.
  EXPECT_GT(countPhaseJumps(dropped.left, dropped.rate, dropped.rate / 2), 0u);
  // The recording holds the AAC stream as whole ADTS frames, across segments and the skip.
  const std::string recording = home() + "/Documents/RadioRec.aac";
  EXPECT_TRUE(dropped.run.has("recording " + recording));
  const double recordedSeconds = adtsFrameChain(readBinary(recording)) * 1024.0 / 44100;
  EXPECT_NEAR(recordedSeconds, dropped.left.size() / 44100.0, 3.0);
  // The requests share their connections rather than each opening one.
  EXPECT_LT(ports.size() * 4, static_cast<size_t>(total)) << ports.size() << " connections";

  // Frozen 8 s after the first request, the playlist ends the stream three target durations
  // later, like a stall, long before the run's time is up.
  EXPECT_EQ(frozen.run.exitCode, 0);
  const int interrupted = frozen.run.indexOf("status 42 Connection to server interrupted.");
  EXPECT_GE(interrupted, 0);
  EXPECT_GT(frozen.run.indexOf("reply close 1"), interrupted);
  EXPECT_LT(frozen.left.size(), static_cast<size_t>(frozen.rate) * 28);
  // A playlist that cannot be fetched for 10 s ends the stream the same way.
  EXPECT_GE(gone.run.indexOf("status 42 Connection to server interrupted."), 0);
  EXPECT_LT(gone.left.size(), static_cast<size_t>(gone.rate) * 28);
  // Asked again after the stall, the playlist still has nothing new: the one reconnection goes
  // on where the stream stopped and ends the same way.
  const int reconnect = retried.run.indexOf("reconnect 1");
  EXPECT_GE(reconnect, 0);
  EXPECT_GT(retried.run.indexOf("status 42 Connection to server interrupted."), reconnect);
  EXPECT_FALSE(retried.run.has("reconnected"));

  // An ended playlist plays from its first segment to its last, unbroken, and then playback
  // ends, long before the run's time is up: no interruption, no reconnection.
  const int endedAt = ended.run.indexOf("ended");
  EXPECT_GE(endedAt, 0);
  EXPECT_LT(endedAt, ended.run.indexOf("status 67 Closing connection..."));
  EXPECT_TRUE(ended.run.linesStartingWith("status 42").empty());
  EXPECT_TRUE(ended.run.linesStartingWith("reconnect").empty());
  EXPECT_EQ(countPhaseJumps(ended.left, ended.rate, ended.rate / 2), 0u);
  EXPECT_GT(ended.left.size(), static_cast<size_t>(ended.rate) * 8);
  EXPECT_LT(ended.left.size(), static_cast<size_t>(ended.rate) * 13);
}

}  // namespace
}  // namespace orvel::test
