#include "audio/Mp3FrameHeader.h"

namespace orvel {
namespace {

// kbit/s by bitrate index; index 0 (free format) and 15 are invalid.
constexpr uint16_t kMpeg1Layer1[15] = {0,   32,  64,  96,  128, 160, 192, 224,
                                       256, 288, 320, 352, 384, 416, 448};
constexpr uint16_t kMpeg1Layer2[15] = {0,   32,  48,  56,  64,  80,  96, 112,
                                       128, 160, 192, 224, 256, 320, 384};
constexpr uint16_t kMpeg1Layer3[15] = {0,   32,  40,  48,  56,  64,  80, 96,
                                       112, 128, 160, 192, 224, 256, 320};
constexpr uint16_t kLsfLayer1[15] = {0,   32,  48,  56,  64,  80,  96, 112,
                                     128, 144, 160, 176, 192, 224, 256};
constexpr uint16_t kLsfLayer23[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

constexpr uint32_t kRates[3][3] = {
    {44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

constexpr uint32_t kSingleChannel = 3;
constexpr uint32_t kJointStereo = 1;

// Layer II allows only some bitrates per channel mode.
bool layer2BitrateAllowed(uint32_t bitrateIndex, uint32_t mode, uint32_t modeExtension) {
  const bool lowRate =
      bitrateIndex == 1 || bitrateIndex == 2 || bitrateIndex == 3 || bitrateIndex == 5;
  if (lowRate && mode != kSingleChannel) return false;
  if (bitrateIndex > 11) {
    if (mode == kSingleChannel) return false;
    if (mode == kJointStereo && (modeExtension == 0 || modeExtension == 2)) return false;
  }
  return true;
}

}  // namespace

bool Mp3FrameHeader::parse(uint32_t word, Mp3FrameHeader& header) {
  if ((word >> 21) != 0x7FF) return false;
  const bool mpeg25 = ((word >> 20) & 1) == 0;
  const bool mpeg1 = !mpeg25 && ((word >> 19) & 1) != 0;
  if (!mpeg25 && !mpeg1 && ((word >> 19) & 3) == 1) return false;
  const bool lsf = !mpeg1;
  const uint32_t layerBits = (word >> 17) & 3;
  const uint32_t bitrateIndex = (word >> 12) & 15;
  const uint32_t rateIndex = (word >> 10) & 3;
  const uint32_t padding = (word >> 9) & 1;
  const uint32_t mode = (word >> 6) & 3;
  const uint32_t modeExtension = (word >> 4) & 3;
  if (rateIndex == 3 || bitrateIndex == 0 || bitrateIndex == 15 || layerBits == 0) return false;
  const int layer = 4 - static_cast<int>(layerBits);
  if (layer == 2 && !layer2BitrateAllowed(bitrateIndex, mode, modeExtension)) return false;

  const uint16_t* table = mpeg1 ? (layer == 1   ? kMpeg1Layer1
                                   : layer == 2 ? kMpeg1Layer2
                                                : kMpeg1Layer3)
                                : (layer == 1 ? kLsfLayer1 : kLsfLayer23);
  const uint32_t kbps = table[bitrateIndex];
  const uint32_t rate = kRates[mpeg1 ? 0 : mpeg25 ? 2 : 1][rateIndex];
  const bool mono = mode == kSingleChannel;

  header.channels = mono ? 1 : 2;
  header.sampleRate = rate;
  header.bitsPerSample = 16;
  if (layer == 1) {
    header.frameBytes = (12000 * kbps / rate + padding) * 4;
    header.samplesPerFrame = 384;
  } else if (layer == 2) {
    header.frameBytes = 144000 * kbps / rate + padding;
    header.samplesPerFrame = 1152;
  } else {
    header.frameBytes = 144000 * kbps / (lsf ? rate * 2 : rate) + padding;
    header.samplesPerFrame = lsf ? 576 : 1152;
  }
  header.sideInfoBytes = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  return true;
}

}  // namespace orvel
