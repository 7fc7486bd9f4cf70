#include "engine/FormatSniffer.h"

#include <cstring>
#include <string_view>

#include "audio/FrameSync.h"

namespace orvel {
namespace {

constexpr size_t kOggPageHeaderBytes = 27;
constexpr size_t kOggSegmentCountAt = 26;
constexpr size_t kLongestPacketMark = 8;

bool startsWith(const uint8_t* bytes, size_t size, std::string_view mark) {
  return size >= mark.size() && std::memcmp(bytes, mark.data(), mark.size()) == 0;
}

}  // namespace

FormatSniffer::Verdict FormatSniffer::oggCodec(const uint8_t* bytes, size_t size,
                                               std::string& name) {
  if (size < kOggPageHeaderBytes) return Verdict::kNeedMore;
  const size_t packet = kOggPageHeaderBytes + bytes[kOggSegmentCountAt];
  if (size < packet + kLongestPacketMark) return Verdict::kNeedMore;
  using namespace std::string_view_literals;
  const uint8_t* first = bytes + packet;
  const size_t left = size - packet;
  if (startsWith(first, left, "OpusHead"sv)) {
    name = "opus";
  } else if (startsWith(first, left,
                        "\x7F"
                        "FLAC"sv)) {
    name = "oggflac";
  } else {
    name = "ogg";
  }
  return Verdict::kFound;
}

FormatSniffer::Verdict FormatSniffer::sniff(const uint8_t* bytes, size_t size, std::string& name) {
  if (size < 4) return Verdict::kNeedMore;
  if (startsWith(bytes, size, "OggS")) return oggCodec(bytes, size, name);
  if (startsWith(bytes, size, "fLaC")) {
    name = "flac";
    return Verdict::kFound;
  }
  // Both searches run from the same offset on, so the earlier sync wins; an MPEG audio header
  // is never an ADTS one (their layer fields differ).
  size_t mp3At = 0;
  size_t adtsAt = 0;
  const FrameSync::Search mp3 = FrameSync::find(FrameKind::kMp3, bytes, size, mp3At);
  const FrameSync::Search adts = FrameSync::find(FrameKind::kAdts, bytes, size, adtsAt);
  const auto decided = [](FrameSync::Search search) { return search != FrameSync::Search::kNone; };
  if (decided(mp3) && (!decided(adts) || mp3At <= adtsAt)) {
    if (mp3 == FrameSync::Search::kNeedMore) return Verdict::kNeedMore;
    name = "mp3";
    return Verdict::kFound;
  }
  if (decided(adts)) {
    if (adts == FrameSync::Search::kNeedMore) return Verdict::kNeedMore;
    name = "aac";
    return Verdict::kFound;
  }
  return Verdict::kNone;
}

}  // namespace orvel
