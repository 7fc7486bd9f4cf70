// orvel-decode: decodes a file the way the player does (the stream, the codec registry, the
// decoder, the conversion filter) and writes the PCM to a file: MP3 and Ogg Vorbis, and with
// libOvAudioAv.so beside it AAC (.aac), Opus (.opus), FLAC (.flac) and Ogg FLAC or Opus (.oga).
//
//   orvel-decode [-o OUT] [--rate R] [--channels C] [--bits B] [--tags] FILE

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "DecodeOptions.h"
#include "PcmWriter.h"
#include "audio/AudioDecoder.h"
#include "audio/CodecRegistry.h"
#include "audio/TagInfo.h"
#include "engine/OpenDataStream.h"
#include "platform/FilePath.h"

using namespace orvel;

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "orvel-decode: %s\n", message.c_str());
  return 1;
}

void printTags(AudioDecoder& decoder) {
  TagInfo tags;
  if (decoder.Control(kControlReadTags, &tags, nullptr) != 0) return;
  const std::pair<const char*, const std::optional<WString>*> fields[] = {
      {"title", &tags.title}, {"artist", &tags.artist}, {"album", &tags.album},
      {"year", &tags.year},   {"genre", &tags.genre},   {"track", &tags.track}};
  for (const auto& [name, value] : fields) {
    if (*value) std::printf("tag %s %s\n", name, toUtf8(**value).c_str());
  }
}

// Creates the conversion filter the player would use for the wanted output format.
AudioFilter* createConverter(const WaveFormatEx& in, const DecodeOptions& options,
                             FilterProperties& properties) {
  properties.quality = 0;
  properties.inputRate = in.nSamplesPerSec;
  properties.inputBits = static_cast<uint8_t>(in.wBitsPerSample);
  properties.inputChannels = static_cast<uint8_t>(in.nChannels);
  properties.outputRate = options.rate.value_or(in.nSamplesPerSec);
  properties.outputBits = static_cast<uint8_t>(options.bits.value_or(in.wBitsPerSample));
  properties.outputChannels = static_cast<uint8_t>(options.channels.value_or(in.nChannels));
  AudioFilter* filter = nullptr;
  if (!CodecRegistry::shared().CreateFilter(&filter, u"ResampleFilter") || filter == nullptr) {
    return nullptr;
  }
  if (filter->Init(&properties) != 0) {
    filter->Release();
    return nullptr;
  }
  return filter;
}

struct DecodeTotals {
  uint64_t decodedBytes = 0;
  bool writeFailed = false;
  bool convertFailed = false;
};

// Decodes one-second blocks, as the player's wave buffers are, until the decoder has no more.
DecodeTotals decodeAll(AudioDecoder& decoder, const WaveFormatEx& in, AudioFilter* filter,
                       const FilterProperties& out, PcmWriter* writer) {
  const uint32_t blockBytes = in.nAvgBytesPerSec;
  const double factor = static_cast<double>(out.outputRate) / in.nSamplesPerSec;
  const uint32_t outFrameBytes = out.outputChannels * out.outputBits / 8u;
  const uint32_t convertedBytes =
      static_cast<uint32_t>((blockBytes / in.nBlockAlign + 64) * factor + 64) * outFrameBytes;
  std::vector<char> buffer(std::max(blockBytes, convertedBytes));
  DecodeTotals totals;
  for (;;) {
    WaveHeader block;
    block.lpData = buffer.data();
    block.dwBufferLength = blockBytes;
    const bool more = decoder.Decode(&block, static_cast<uint32_t>(buffer.size()));
    totals.decodedBytes += block.dwBytesRecorded;
    if (block.dwBytesRecorded > 0 && filter != nullptr) {
      block.dwBufferLength = static_cast<uint32_t>(buffer.size());
      if (filter->Process(&block) != 0) {
        totals.convertFailed = true;
        break;
      }
    }
    if (writer != nullptr && block.dwBytesRecorded > 0 &&
        !writer->write(block.lpData, block.dwBytesRecorded)) {
      totals.writeFailed = true;
      break;
    }
    if (!more) break;
  }
  return totals;
}

// The stream, decoder and filter of one run, released in the player's order.
struct Session {
  DataStream* stream = nullptr;
  AudioDecoder* decoder = nullptr;
  AudioFilter* filter = nullptr;
  ~Session() {
    if (filter != nullptr) filter->Release();
    if (decoder != nullptr) decoder->Release();
    if (stream != nullptr) stream->Release();
  }
};

// Opens the file and its decoder; the reason goes to `error` when it cannot.
bool openFile(const std::string& input, Session& session, AudioFormat& format, std::string& error) {
  const WString path = fromFsPath(input);
  if (OpenDataStream(path, true, &session.stream) != 0) {
    error = "cannot open " + input;
    return false;
  }
  if (!CodecRegistry::shared().CreateDecoder(&session.decoder, lastPathComponent(path)) ||
      session.decoder == nullptr) {
    error = "no decoder for the format of " + input;
    return false;
  }
  if (session.decoder->Open(session.stream, &format) != 0) {
    error = "cannot decode " + input + ": unsupported or damaged data";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  DecodeOptions options;
  std::string error;
  if (!DecodeOptions::parse(argc, argv, options, error)) {
    std::fprintf(stderr,
                 "orvel-decode: %s\nusage: orvel-decode [-o OUT] [--rate R] [--channels C] "
                 "[--bits B] [--tags] FILE\n",
                 error.c_str());
    return 1;
  }
  const auto started = std::chrono::steady_clock::now();
  Session session;
  AudioFormat format{};
  if (!openFile(options.input, session, format, error)) return fail(error);
  const WaveFormatEx in = format.wave;
  std::printf("format %u %u %u\nduration %u\n", in.nSamplesPerSec, in.nChannels, in.wBitsPerSample,
              format.durationMs);
  if (options.tags) printTags(*session.decoder);

  FilterProperties out;
  out.outputRate = in.nSamplesPerSec;
  out.outputBits = static_cast<uint8_t>(in.wBitsPerSample);
  out.outputChannels = static_cast<uint8_t>(in.nChannels);
  if (options.converts()) {
    session.filter = createConverter(in, options, out);
    if (session.filter == nullptr) return fail("cannot create the conversion filter");
  }
  PcmWriter writer;
  const bool writing = !options.output.empty();
  if (writing && !writer.open(options.output, out.outputChannels, out.outputRate, out.outputBits)) {
    return fail("cannot write " + options.output);
  }
  const DecodeTotals totals =
      decodeAll(*session.decoder, in, session.filter, out, writing ? &writer : nullptr);
  if (totals.convertFailed) return fail("the conversion failed");
  if (totals.writeFailed || (writing && !writer.finish())) {
    return fail("cannot write " + options.output);
  }

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const double audioSeconds = static_cast<double>(totals.decodedBytes) / in.nAvgBytesPerSec;
  std::fprintf(stderr, "decoded %.2f s of audio in %.3f s (%.0f x real time)\n", audioSeconds,
               seconds, seconds > 0 ? audioSeconds / seconds : 0.0);
  if (totals.decodedBytes == 0) return fail("no audio could be decoded from " + options.input);
  return 0;
}
