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
  for (int i = 0; i < frame.nb_samples; ++i) {
    for (int c = 0; c < m_channels; ++c) {
      int16_t sample = 0;
      // A mono frame in a stereo stream plays on both channels.
      if (!sampleAt(frame, std::min(c, frameChannels - 1), i, sample)) return;
      m_queue.push_back(sample);
    }
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
