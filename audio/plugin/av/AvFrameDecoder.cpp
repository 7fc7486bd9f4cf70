#include "audio/plugin/av/AvFrameDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orvel {
namespace {

int16_t clip16(int64_t value) {
  return static_cast<int16_t>(std::clamp<int64_t>(value, INT16_MIN, INT16_MAX));
}

// Sample `index` of `channel` as 16 bits; false for a sample format no decoder here gives.
bool sampleAt(const AVFrame& frame, int channel, int index, int16_t& out) {
  const auto format = static_cast<AVSampleFormat>(frame.format);
  const bool planar =
      format == AV_SAMPLE_FMT_FLTP || format == AV_SAMPLE_FMT_S16P || format == AV_SAMPLE_FMT_S32P;
  const int channels = frame.ch_layout.nb_channels;
  const uint8_t* base = frame.extended_data[planar ? channel : 0];
  const int at = planar ? index : index * channels + channel;
  switch (format) {
    case AV_SAMPLE_FMT_FLT:
    case AV_SAMPLE_FMT_FLTP:
      out = clip16(std::lrint(reinterpret_cast<const float*>(base)[at] * 32768.0f));
      return true;
    case AV_SAMPLE_FMT_S16:
    case AV_SAMPLE_FMT_S16P:
      out = reinterpret_cast<const int16_t*>(base)[at];
      return true;
    case AV_SAMPLE_FMT_S32:
    case AV_SAMPLE_FMT_S32P:
      out = clip16((int64_t{reinterpret_cast<const int32_t*>(base)[at]} + 0x8000) >> 16);
      return true;
    default:
      return false;
  }
}

constexpr float kSideShare = 0.7071f;  // -3 dB, the usual share of a centre or surround channel

AvFrameDecoder::Share shareOf(AVChannel channel) {
  switch (channel) {
    case AV_CHAN_FRONT_LEFT:
      return {1, 0};
    case AV_CHAN_FRONT_RIGHT:
      return {0, 1};
    case AV_CHAN_LOW_FREQUENCY:
    case AV_CHAN_LOW_FREQUENCY_2:
      return {0, 0};
    case AV_CHAN_BACK_LEFT:
    case AV_CHAN_SIDE_LEFT:
    case AV_CHAN_FRONT_LEFT_OF_CENTER:
    case AV_CHAN_WIDE_LEFT:
    case AV_CHAN_SURROUND_DIRECT_LEFT:
      return {kSideShare, 0};
    case AV_CHAN_BACK_RIGHT:
    case AV_CHAN_SIDE_RIGHT:
    case AV_CHAN_FRONT_RIGHT_OF_CENTER:
    case AV_CHAN_WIDE_RIGHT:
    case AV_CHAN_SURROUND_DIRECT_RIGHT:
      return {0, kSideShare};
    default:  // the centre, and channels above or behind the listener
      return {kSideShare, kSideShare};
  }
}

}  // namespace

AvFrameDecoder::~AvFrameDecoder() {
  if (m_av == nullptr) return;
  m_av->freeContext(&m_context);
  m_av->packetFree(&m_packet);
  m_av->frameFree(&m_frame);
}

bool AvFrameDecoder::open(const AvCodecLibrary& av, AVCodecID codec,
                          const std::vector<uint8_t>& extradata) {
  m_av = &av;
  const AVCodec* decoder = av.findDecoder(codec);
  if (decoder == nullptr) return false;
  m_context = av.allocContext(decoder);
  m_packet = av.packetAlloc();
  m_frame = av.frameAlloc();
  if (m_context == nullptr || m_packet == nullptr || m_frame == nullptr) return false;
  if (!extradata.empty()) {
    // libavcodec reads the set-up bytes with padding after them and frees them itself.
    auto* bytes =
        static_cast<uint8_t*>(av.mallocz(extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (bytes == nullptr) return false;
    std::memcpy(bytes, extradata.data(), extradata.size());
    m_context->extradata = bytes;
    m_context->extradata_size = static_cast<int>(extradata.size());
  }
  // The stream decoder drops the encoder's delay itself, also after a seek to the start.
  m_context->flags2 |= AV_CODEC_FLAG2_SKIP_MANUAL;
  return av.openContext(m_context, decoder, nullptr) == 0;
}

void AvFrameDecoder::decode(const uint8_t* data, int32_t size) {
  if (data == nullptr) {
    m_av->sendPacket(m_context, nullptr);
  } else {
    m_packet->data = const_cast<uint8_t*>(data);  // not reference-counted: libavcodec copies it
    m_packet->size = size;
    const int sent = m_av->sendPacket(m_context, m_packet);
    m_packet->data = nullptr;
    m_packet->size = 0;
    if (sent < 0 && sent != AVERROR(EAGAIN)) return;  // a damaged packet: dropped
  }
  receive();
}

void AvFrameDecoder::receive() {
  // receiveFrame releases the frame's previous contents itself.
  while (m_av->receiveFrame(m_context, m_frame) == 0) append(*m_frame);
}

void AvFrameDecoder::append(const AVFrame& frame) {
  const int frameChannels = frame.ch_layout.nb_channels;
  if (frameChannels < 1 || frame.sample_rate <= 0) return;
  if (m_channels == 0) {
    m_channels = static_cast<uint16_t>(std::min(frameChannels, 2));
    m_rate = static_cast<uint32_t>(frame.sample_rate);
  }
  if (m_read > 0 && m_read == m_queue.size()) {
    m_queue.clear();
    m_read = 0;
  }
  if (frameChannels > 2 && m_channels == 2) {
    downmix(frame);
    return;
  }
  for (int i = 0; i < frame.nb_samples; ++i) {
    for (int c = 0; c < m_channels; ++c) {
      int16_t sample = 0;
      // A mono frame in a stereo stream plays on both channels.
      if (!sampleAt(frame, std::min(c, frameChannels - 1), i, sample)) return;
      m_queue.push_back(sample);
    }
  }
}

void AvFrameDecoder::downmix(const AVFrame& frame) {
  const AVChannelLayout& layout = frame.ch_layout;
  if (m_shares.size() != static_cast<size_t>(layout.nb_channels) || m_sharesMask != layout.u.mask ||
      m_sharesOrder != layout.order) {
    setShares(layout);
  }
  for (int i = 0; i < frame.nb_samples; ++i) {
    float left = 0;
    float right = 0;
    for (int c = 0; c < layout.nb_channels; ++c) {
      int16_t sample = 0;
      if (!sampleAt(frame, c, i, sample)) return;
      left += m_shares[c].left * sample;
      right += m_shares[c].right * sample;
    }
    m_queue.push_back(clip16(std::lrint(left)));
    m_queue.push_back(clip16(std::lrint(right)));
  }
}

void AvFrameDecoder::setShares(const AVChannelLayout& layout) {
  m_sharesMask = layout.u.mask;
  m_sharesOrder = layout.order;
  m_shares.assign(static_cast<size_t>(layout.nb_channels), Share{});
  if (layout.order != AV_CHANNEL_ORDER_NATIVE) {
    // Channels without names: the first two play, as front left and right.
    m_shares[0] = {1, 0};
    m_shares[1] = {0, 1};
    return;
  }
  size_t index = 0;
  for (int bit = 0; bit < 64 && index < m_shares.size(); ++bit) {
    if ((layout.u.mask >> bit & 1) != 0) m_shares[index++] = shareOf(static_cast<AVChannel>(bit));
  }
  // Scaled so that channels at full scale together cannot clip either side.
  float leftSum = 0;
  float rightSum = 0;
  for (const Share& share : m_shares) {
    leftSum += share.left;
    rightSum += share.right;
  }
  const float scale = 1.0f / std::max({1.0f, leftSum, rightSum});
  for (Share& share : m_shares) {
    share.left *= scale;
    share.right *= scale;
  }
}

int32_t AvFrameDecoder::take(int16_t* pcm, int32_t maxFrames) {
  const int32_t frames = static_cast<int32_t>(std::min<size_t>(queuedFrames(), maxFrames));
  const size_t samples = static_cast<size_t>(frames) * m_channels;
  std::memcpy(pcm, m_queue.data() + m_read, samples * sizeof(int16_t));
  m_read += samples;
  if (m_read == m_queue.size()) {
    m_queue.clear();
    m_read = 0;
  }
  return frames;
}

void AvFrameDecoder::flush() {
  m_av->flushBuffers(m_context);
  m_queue.clear();
  m_read = 0;
}

}  // namespace orvel
