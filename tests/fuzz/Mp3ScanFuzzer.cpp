// The MP3 frame scan at open and the header sync that walks the frames behind it. The first
// bytes choose the stream's chunk size, whether it can seek, and the requested block duration;
// the rest is the stream. Every header found must describe a frame that can hold it.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "audio/Mp3FrameScan.h"
#include "audio/Mp3HeaderSync.h"
#include "tests/fuzz/FuzzStream.h"

namespace {

void checkHeader(const orvel::Mp3FrameHeader& header) {
  if (header.channels < 1 || header.channels > 2 || header.sampleRate == 0 ||
      header.frameBytes < 4 || header.samplesPerFrame == 0) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const size_t chunkBytes = provider.ConsumeIntegralInRange<size_t>(1, 4096);
  const bool seekable = provider.ConsumeBool();
  const uint32_t durationMs = provider.ConsumeIntegralInRange<uint32_t>(0, 2000);
  const std::vector<uint8_t> bytes = provider.ConsumeRemainingBytes<uint8_t>();

  orvel::fuzz::FuzzStream scanned(bytes.data(), bytes.size(), chunkBytes, seekable);
  orvel::ByteReader scanReader(&scanned);
  orvel::Mp3FrameScan scan;
  orvel::AudioFormat format{};
  if (scan.run(scanReader, durationMs, format)) {
    if (format.wave.nChannels < 1 || format.wave.nChannels > 2 || format.blockSize == 0) std::abort();
  }

  orvel::fuzz::FuzzStream walked(bytes.data(), bytes.size(), chunkBytes, seekable);
  orvel::ByteReader walkReader(&walked);
  orvel::Mp3FrameHeader header;
  uint32_t word = 0;
  while (orvel::Mp3HeaderSync::findHeader(walkReader, header, word)) {
    checkHeader(header);
    if (!orvel::Mp3HeaderSync::skipFrame(walkReader, header)) break;
  }
  return 0;
}
