// The Ogg Vorbis decoder's Open, then its tags and a few blocks of decoding. The first byte
// chooses whether the stream can seek and the block size; the rest is the stream.

#include <cstdlib>
#include <vector>

#include "audio/OggDecoder.h"
#include "tests/fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool seekable = data[0] & 1;
  const uint32_t blockBytes = 512u << (data[0] >> 1 & 3);
  orvel::fuzz::FuzzStream stream(data + 1, size - 1, 4096, seekable);
  auto* decoder = new orvel::OggDecoder;
  orvel::AudioFormat format{};
  if (decoder->Open(&stream, &format) == 0) {
    if (format.wave.nChannels < 1 || format.wave.nChannels > 2) std::abort();
    orvel::TagInfo tags;
    decoder->Control(orvel::kControlReadTags, &tags, nullptr);
    std::vector<char> pcm(blockBytes);
    for (int i = 0; i < 8; ++i) {
      orvel::WaveHeader block;
      block.lpData = pcm.data();
      block.dwBufferLength = blockBytes;
      if (!decoder->Decode(&block, blockBytes)) break;
      if (block.dwBytesRecorded > blockBytes) std::abort();
    }
  }
  decoder->Release();
  return 0;
}
