// The metadata splitter, fed in reads of random sizes, in place or into another buffer. Whatever
// the reads, the audio and the titles must be those of the whole stream taken byte by byte.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/MetadataSplitter.h"

namespace {

struct Expected {
  std::vector<uint8_t> audio;
  std::vector<std::string> titles;
};

// The stream as the protocol describes it, one byte at a time.
Expected splitWhole(const std::vector<uint8_t>& stream, uint32_t metaint) {
  Expected expected;
  uint32_t countdown = metaint;
  uint32_t left = 0;
  std::string block;
  for (uint8_t byte : stream) {
    if (countdown > 0) {
      expected.audio.push_back(byte);
      --countdown;
    } else if (left == 0) {
      left = byte * 16u;
      block.clear();
      if (left == 0) countdown = metaint;
    } else {
      block.push_back(static_cast<char>(byte));
      if (--left > 0) continue;
      countdown = metaint;
      const std::string text = block.substr(0, block.find('\0'));
      const size_t key = text.find("StreamTitle='");
      if (key == std::string::npos) continue;
      const size_t end = text.find('\'', key + 13);
      if (end != std::string::npos) expected.titles.push_back(text.substr(key + 13, end - key - 13));
    }
  }
  return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const uint32_t metaint = provider.ConsumeIntegralInRange<uint32_t>(1, 2048);
  std::vector<std::string> titles;
  orvel::MetadataSplitter splitter(
      [&](std::string_view title) { titles.emplace_back(title); });
  splitter.reset(static_cast<int32_t>(metaint));
  std::vector<uint8_t> stream;
  std::vector<uint8_t> audio;
  while (provider.remaining_bytes() > 0) {
    const size_t readSize = provider.ConsumeIntegralInRange<size_t>(0, 5000);
    const bool inPlace = provider.ConsumeBool();
    std::vector<uint8_t> read = provider.ConsumeBytes<uint8_t>(readSize);
    stream.insert(stream.end(), read.begin(), read.end());
    std::vector<uint8_t> output(inPlace ? 0 : read.size());
    uint8_t* target = inPlace ? read.data() : output.data();
    const uint32_t n = splitter.split(read.data(), static_cast<uint32_t>(read.size()), target);
    if (n > read.size()) std::abort();
    audio.insert(audio.end(), target, target + n);
  }
  const Expected expected = splitWhole(stream, metaint);
  if (audio != expected.audio || titles != expected.titles) std::abort();
  return 0;
}
