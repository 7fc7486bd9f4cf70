// The codec library's decoders (libOvAudioAv.so from the build's bin folder): Open, tags, a few
// blocks, a seek and a few more. The first byte chooses the format (bits 0-1), whether the
// stream can seek (bit 2) and the block size (bits 3-4); the rest is the stream.

#include <cstdlib>
#include <vector>

#include "audio/CodecRegistry.h"
#include "audio/TagInfo.h"
#include "tests/fuzz/FuzzStream.h"

namespace {

void decodeBlocks(orvel::AudioDecoder& decoder, uint32_t blockBytes, int count) {
  std::vector<char> pcm(blockBytes);
  for (int i = 0; i < count; ++i) {
    orvel::WaveHeader block;
    block.lpData = pcm.data();
    block.dwBufferLength = blockBytes;
    if (!decoder.Decode(&block, blockBytes)) break;
    if (block.dwBytesRecorded > blockBytes) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static orvel::CodecRegistry registry(orvel::CodecRegistry::kLibraryPattern, ORVEL_CODEC_DIR);
  if (size == 0) return 0;
  static const char16_t* const kFormats[] = {u"x.aac", u"x.flac", u"x.oga", u"x.opus"};
  const bool seekable = data[0] & 4;
  const uint32_t blockBytes = 512u << (data[0] >> 3 & 3);
  orvel::AudioDecoder* decoder = nullptr;
  if (!registry.CreateDecoder(&decoder, kFormats[data[0] & 3])) std::abort();
  orvel::fuzz::FuzzStream stream(data + 1, size - 1, 4096, seekable);
  orvel::AudioFormat format{};
  if (decoder->Open(&stream, &format) == 0) {
    if (format.wave.nChannels < 1 || format.wave.nChannels > 2) std::abort();
    orvel::TagInfo tags;
    decoder->Control(orvel::kControlReadTags, &tags, nullptr);
    decodeBlocks(*decoder, blockBytes, 4);
    const int32_t moved = decoder->Seek(100, true);
    if (!seekable && moved >= 0) std::abort();  // a network stream cannot seek
    decodeBlocks(*decoder, blockBytes, 4);
  }
  decoder->Release();
  return 0;
}
