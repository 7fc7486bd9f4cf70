#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "MemoryStream.h"
#include "audio/CodecRegistry.h"
#include "audio/TagInfo.h"

namespace orvel {
namespace {

using test::fixture;
using test::MemoryStream;

struct Pcm {
  std::vector<int16_t> samples;
  int channels = 0;
  size_t frames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

// Gives `frames` frames (0: all) of what `decoder` makes, in blocks of an odd size.
Pcm decodeFrames(AudioDecoder& decoder, const AudioFormat& format, size_t frames = 0) {
  Pcm pcm;
  pcm.channels = format.wave.nChannels;
  std::vector<char> buffer(4004 * pcm.channels);
  while (frames == 0 || pcm.frames() < frames) {
    WaveHeader block;
    block.lpData = buffer.data();
    block.dwBufferLength = static_cast<uint32_t>(buffer.size());
    const bool more = decoder.Decode(&block, block.dwBufferLength);
    const auto* at = reinterpret_cast<const int16_t*>(buffer.data());
    pcm.samples.insert(pcm.samples.end(), at, at + block.dwBytesRecorded / 2);
    if (!more) break;
  }
  return pcm;
}

Pcm reference(const std::string& file, int channels) {
  const std::vector<uint8_t> bytes = MemoryStream::load(fixture(file + ".s16"));
  Pcm pcm{std::vector<int16_t>(bytes.size() / 2), channels};
  std::memcpy(pcm.samples.data(), bytes.data(), pcm.samples.size() * 2);
  return pcm;
}

// The signal-to-noise ratio of `got` against `want` when got's frame 0 is want's frame `lag`,
// over `length` frames (0: all they share); a large number when they are equal.
double snrDb(const Pcm& got, const Pcm& want, int64_t lag, size_t gotStart = 0, size_t length = 0) {
  double signal = 0;
  double noise = 0;
  size_t compared = 0;
  for (size_t i = gotStart; i < got.frames() && (length == 0 || i < gotStart + length); ++i) {
    const int64_t j = static_cast<int64_t>(i) + lag;
    if (j < 0 || j >= static_cast<int64_t>(want.frames())) continue;
    for (int c = 0; c < got.channels; ++c) {
      const double w = want.samples[j * want.channels + c];
      const double d = got.samples[i * got.channels + c] - w;
      signal += w * w;
      noise += d * d;
      ++compared;
    }
  }
  if (compared == 0) return -999;
  return noise == 0 ? 999 : 10 * std::log10(signal / noise);
}

// The lag in [from, to] at which `got` (from gotStart, over a window) best matches `want`.
int64_t bestLag(const Pcm& got, const Pcm& want, int64_t from, int64_t to, size_t gotStart) {
  int64_t best = from;
  double bestSnr = -1e9;
  for (int64_t lag = from; lag <= to; ++lag) {
    const double snr = snrDb(got, want, lag, gotStart, 2048);
    if (snr > bestSnr) {
      bestSnr = snr;
      best = lag;
    }
  }
  return best;
}

struct Opened {
  CodecRegistry registry{CodecRegistry::kLibraryPattern, ORVEL_BIN_DIR};
  std::unique_ptr<MemoryStream> stream;
  AudioDecoder* decoder = nullptr;
  AudioFormat format{};

  Opened(const std::string& file, bool seekable) {
    stream = std::make_unique<MemoryStream>(MemoryStream::load(fixture(file)), 1000, seekable);
    if (registry.CreateDecoder(&decoder, fromAscii(file)) &&
        decoder->Open(stream.get(), &format) != 0) {
      decoder->Release();
      decoder = nullptr;
    }
  }
  ~Opened() {
    if (decoder != nullptr) decoder->Release();
  }
};

struct Case {
  const char* file;
  bool exact;
  const char16_t* title;
};
constexpr Case kCases[] = {
    {"sweep.aac", false, nullptr},      {"sweep.opus", false, u"Première"},
    {"sweep.flac", true, u"Flac Song"}, {"sweep-flac.oga", true, u"Ogg Flac Song"},
    {"sweep-opus.oga", false, nullptr}, {"sweep-vorbis.oga", false, u"Vorbis Song"}};

TEST(LibraryCodecs, FilesAndStreamsDecodeToFfmpegsSoundWithTheirTags) {
  for (const Case& c : kCases) {
    for (const bool seekable : {true, false}) {
      SCOPED_TRACE(testing::Message() << c.file << (seekable ? " as a file" : " as a stream"));
      Opened opened(c.file, seekable);
      ASSERT_NE(opened.decoder, nullptr);
      const Pcm got = decodeFrames(*opened.decoder, opened.format);
      const Pcm want = reference(c.file, opened.format.wave.nChannels);
      const int64_t lag = bestLag(got, want, -2048, 2048, got.frames() / 2);
      EXPECT_EQ(lag, 0);
      EXPECT_GE(snrDb(got, want, lag), c.exact ? 999 : 60);
      // Files end where ffmpeg ends them; a stream may give the last frame's padding.
      if (seekable) {
        EXPECT_EQ(got.frames(), want.frames());
      }
      if (seekable && c.exact) {
        EXPECT_EQ(got.samples, want.samples);
      }
      const uint32_t lengthMs = want.frames() * 1000 / opened.format.wave.nSamplesPerSec;
      if (seekable && opened.format.durationMs != 0) {
        EXPECT_NEAR(opened.format.durationMs, lengthMs, 30);
      }
      TagInfo tags;
      EXPECT_EQ(opened.decoder->Control(kControlReadTags, &tags, nullptr), 0);
      EXPECT_EQ(tags.title, c.title ? std::optional<WString>(c.title) : std::nullopt);
    }
  }
}

TEST(LibraryCodecs, SeeksLandOnTheSoundOfTheReportedTimeInFilesOnly) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    Opened stream(c.file, false);
    ASSERT_NE(stream.decoder, nullptr);
    EXPECT_EQ(stream.decoder->Seek(1500, true), -1);

    Opened file(c.file, true);
    ASSERT_NE(file.decoder, nullptr);
    const Pcm want = reference(c.file, file.format.wave.nChannels);
    const int64_t rate = file.format.wave.nSamplesPerSec;
    for (const int32_t targetMs : {1500, 400, 0}) {
      ASSERT_GE(file.decoder->Seek(targetMs, true), 0);
      const int64_t positionMs = file.decoder->GetPosition(true);
      EXPECT_NEAR(positionMs, targetMs, 250) << targetMs;
      const Pcm got = decodeFrames(*file.decoder, file.format, rate / 2);
      // The first frames after a jump may lack what overlaps from the frame before.
      const size_t settled = targetMs == 0 ? 0 : rate / 10;
      const int64_t reported = positionMs * rate / 1000;
      const int64_t lag = bestLag(got, want, reported - rate / 4, reported + rate / 4, settled);
      EXPECT_NEAR(lag, reported, rate / 4) << targetMs;
      EXPECT_GE(snrDb(got, want, lag, settled, 2048), c.exact ? 999 : 30) << targetMs;
      if (targetMs == 0) {
        EXPECT_EQ(lag, 0);
      }
    }
  }
}

void expectLinkChange(const std::string& file, const std::string& secondLink, bool seekable) {
  Opened opened(file, seekable);
  ASSERT_NE(opened.decoder, nullptr);
  const Pcm second = reference(secondLink, opened.format.wave.nChannels);
  Pcm got;
  got.channels = opened.format.wave.nChannels;
  std::vector<size_t> changesAt;  // in frames
  std::vector<char> buffer(3000 * got.channels * 2);
  for (;;) {
    WaveHeader block;
    block.lpData = buffer.data();
    block.dwBufferLength = static_cast<uint32_t>(buffer.size());
    const bool more = opened.decoder->Decode(&block, block.dwBufferLength);
    uint32_t offset = 0;
    if (opened.decoder->Control(kControlTagsChanged, &offset, nullptr) == 1) {
      changesAt.push_back(got.frames() + offset / opened.format.wave.nBlockAlign);
      TagInfo tags;
      opened.decoder->Control(kControlReadTags, &tags, nullptr);
      EXPECT_EQ(tags.title, std::nullopt);  // the second link has none
    }
    const auto* at = reinterpret_cast<const int16_t*>(buffer.data());
    got.samples.insert(got.samples.end(), at, at + block.dwBytesRecorded / 2);
    if (!more) break;
  }
  ASSERT_EQ(changesAt.size(), 1u);
  // From the reported frame on, the sound is the second link's from its start.
  const int64_t lag = -static_cast<int64_t>(changesAt[0]);
  EXPECT_GE(snrDb(got, second, lag, changesAt[0], 48000), 60);
}

// A file plays every link too: the end of its last link, found near the first link's last
// page, is not taken for the end of the first link.
TEST(LibraryCodecs, AChainedOpusStreamOrFileSaysWhereTheNextLinkAndItsTagsBegin) {
  for (const bool seekable : {false, true}) {
    SCOPED_TRACE(seekable ? "file" : "stream");
    expectLinkChange("sweep-chained.opus", "sweep-opus.oga", seekable);
    expectLinkChange("sweep-chained-short.opus", "sweep-short.oga", seekable);
  }
}

// More than two channels are mixed down to two: the centre is heard on both sides alike, a left
// surround channel on the left only.
TEST(LibraryCodecs, SurroundIsMixedDownToStereo) {
  const auto peaks = [](const char* file, bool& equalSides) {
    Opened opened(file, true);
    EXPECT_EQ(opened.format.wave.nChannels, 2) << file;
    const Pcm pcm = decodeFrames(*opened.decoder, opened.format);
    int left = 0;
    int right = 0;
    equalSides = pcm.frames() > 0;
    for (size_t i = 0; i < pcm.frames(); ++i) {
      left = std::max(left, std::abs(int{pcm.samples[2 * i]}));
      right = std::max(right, std::abs(int{pcm.samples[2 * i + 1]}));
      equalSides = equalSides && pcm.samples[2 * i] == pcm.samples[2 * i + 1];
    }
    return std::make_pair(left, right);
  };
  bool equalSides = false;
  const auto centre = peaks("centre-5.1.flac", equalSides);
  EXPECT_GT(centre.first, 3000);
  EXPECT_TRUE(equalSides);
  const auto surround = peaks("left-5.1.flac", equalSides);
  EXPECT_GT(surround.first, 3000);
  EXPECT_EQ(surround.second, 0);
}

TEST(LibraryCodecs, ADamagedFrameIsSkippedAndTheRestPlays) {
  for (const char* file : {"sweep.aac", "sweep.flac", "sweep-flac.oga", "sweep.opus"}) {
    SCOPED_TRACE(file);
    std::vector<uint8_t> bytes = MemoryStream::load(fixture(file));
    for (size_t i = 0; i < 64; ++i) bytes[bytes.size() / 2 + i] ^= 0x5A;
    CodecRegistry registry(CodecRegistry::kLibraryPattern, ORVEL_BIN_DIR);
    AudioDecoder* decoder = nullptr;
    ASSERT_TRUE(registry.CreateDecoder(&decoder, fromAscii(file)));
    MemoryStream stream(std::move(bytes), 1000, false);
    AudioFormat format{};
    ASSERT_EQ(decoder->Open(&stream, &format), 0);
    const Pcm got = decodeFrames(*decoder, format);
    decoder->Release();
    const Pcm want = reference(file, format.wave.nChannels);
    // The sound after the damage is the file's own, shifted by the frames lost: a frame or
    // two, or in Ogg the page that fails its checksum (ffmpeg writes pages of about 1 s).
    const bool ogg = !std::string(file).ends_with(".aac") && !std::string(file).ends_with(".flac");
    const int64_t lost = static_cast<int64_t>(want.frames()) - static_cast<int64_t>(got.frames());
    EXPECT_GE(lost, -4096);
    EXPECT_LE(lost, ogg ? format.wave.nSamplesPerSec * 11 / 10 : 2 * 4608);
    const size_t late = got.frames() - format.wave.nSamplesPerSec / 2;
    const int64_t lag = bestLag(got, want, 0, std::max<int64_t>(lost, 0) + 2048, late);
    EXPECT_GE(snrDb(got, want, lag, late, 2048), 40);
  }
}

bool libavcodecLoaded() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find("libavcodec") != std::string::npos) return true;
  }
  return false;
}

TEST(CodecLibraries, UnusableOnesAreSkippedAndLibavcodecLoadsOnlyForADecoder) {
  const std::filesystem::path folder = testing::TempDir() + "/codec-libraries";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::filesystem::path bin = ORVEL_BIN_DIR;
  std::filesystem::copy_file(bin / "libOvAudioAv.so", folder / "libOvAudioAv.so");
  std::filesystem::copy_file(ORVEL_WRONG_VERSION_CODEC, folder / "libOvAudioOld.so");
  std::filesystem::copy_file(bin / "libOvGrpPrim.so", folder / "libOvAudioNoSymbols.so");
  std::ofstream(folder / "libOvAudioJunk.so") << "not a library";

  // CTest runs each test in a process of its own; run together, an earlier test loads it.
  const bool loadedBefore = libavcodecLoaded();
  CodecRegistry registry(CodecRegistry::kLibraryPattern, folder.string());
  testing::internal::CaptureStderr();
  const CodecEntry* flacInOgg = registry.FindEntry(u"Song.OGA", false);
  const std::string said = testing::internal::GetCapturedStderr();
  for (const char* skipped : {"libOvAudioOld.so", "libOvAudioNoSymbols.so", "libOvAudioJunk.so"}) {
    EXPECT_NE(said.find(skipped), std::string::npos) << skipped << " in: " << said;
  }
  EXPECT_EQ(said.find("libOvAudioAv.so"), std::string::npos) << said;
  ASSERT_NE(flacInOgg, nullptr);
  EXPECT_EQ(flacInOgg->shortName, u"OGGFLAC");
  // The program's own formats come first, then the library's; none of the skipped ones.
  EXPECT_EQ(registry.providerCount(), 2u);
  EXPECT_EQ(registry.FindEntry(u"mp3", false)->provider,
            registry.FindEntry(u"ogg", false)->provider);
  for (const char16_t* name : {u"aac", u"x.aac", u"opus", u"a.flac", u"oggflac"}) {
    const CodecEntry* entry = registry.FindEntry(name, false);
    ASSERT_NE(entry, nullptr) << toUtf8(name);
    EXPECT_EQ(entry->provider, flacInOgg->provider);
    EXPECT_GT(entry - registry.FindEntry(u"ogg", false), 0);
  }
  if (!loadedBefore) {
    EXPECT_FALSE(libavcodecLoaded());  // the scan leaves it alone
  }

  AudioDecoder* decoder = nullptr;
  ASSERT_TRUE(registry.CreateDecoder(&decoder, u"aac"));
  MemoryStream stream(MemoryStream::load(fixture("sweep.aac")));
  AudioFormat format{};
  EXPECT_EQ(decoder->Open(&stream, &format), 0);
  decoder->Release();
  EXPECT_TRUE(libavcodecLoaded());

  // Without the library the program's own formats remain and AAC has no decoder.
  std::filesystem::remove(folder / "libOvAudioAv.so");
  CodecRegistry without(CodecRegistry::kLibraryPattern, folder.string());
  EXPECT_FALSE(without.CreateDecoder(&decoder, u"x.aac"));
  ASSERT_TRUE(without.CreateDecoder(&decoder, u"x.mp3"));
  decoder->Release();
  ASSERT_TRUE(without.CreateDecoder(&decoder, u"x.ogg"));
  decoder->Release();
}

}  // namespace
}  // namespace orvel
