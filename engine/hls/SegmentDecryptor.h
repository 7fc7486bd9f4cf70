#pragma once
// Decrypts an HLS segment encrypted with AES-128 in CBC mode with PKCS#7 padding, as its bytes
// arrive: each call gives back all it can, and the last block is held until the end, where
// its padding comes off. The IV is the playlist's, or else the segment's media sequence number.
//
// Used by one thread at a time (the stream's reader thread); no lock.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace orvel {

class SegmentDecryptor {
 public:
  using Block = std::array<uint8_t, 16>;

  SegmentDecryptor();
  ~SegmentDecryptor();
  SegmentDecryptor(const SegmentDecryptor&) = delete;
  SegmentDecryptor& operator=(const SegmentDecryptor&) = delete;

  // The IV written as "0x" and 32 hex digits; false when it is not that.
  static bool parseIv(std::string_view text, Block& iv);
  // The IV of a segment without one in the playlist: its sequence number, big-endian.
  static Block sequenceIv(uint64_t sequence);

  // Starts a segment; false when the cipher cannot be set up.
  bool start(const Block& key, const Block& iv);
  // Appends the clear bytes that `size` more encrypted bytes give to `out`.
  bool update(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
  // The segment's end: appends the last block without its padding. False when the segment
  // does not end in whole blocks or its padding is wrong (a wrong key shows this way).
  bool finish(std::vector<uint8_t>& out);

 private:
  struct Cipher;
  std::unique_ptr<Cipher> m_cipher;  // reader thread only
  bool m_started = false;
};

}  // namespace orvel
