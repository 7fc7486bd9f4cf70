#pragma once
// The reassembly of one PID's PES packets from transport stream payloads: the header (split
// across packets if it must be) gives the presentation time, and the payload bytes that follow
// are handed on as they arrive, up to the length the header gives.
//
// Used by one thread at a time (the stream's reader thread); no lock.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvel {

class PesPacket {
 public:
  // The payload of one transport packet of this PID; `start` when it begins a PES packet. The
  // payload bytes of the PES packet in it are `data`/`size` on return (none while the header is
  // still incomplete or the packet is unreadable).
  void take(const uint8_t* payload, size_t payloadBytes, bool start, const uint8_t*& data,
            size_t& size);
  // Forgets the packet in progress (lost bytes, the end of a segment).
  void reset();

  bool active() const { return m_state == State::kPayload; }
  // The packet's payload has all come (its header gave a length, and that many bytes came).
  bool complete() const { return m_state == State::kPayload && m_bounded && m_left == 0; }
  bool hasPts() const { return m_hasPts; }
  // 90 kHz, 33 bits.
  uint64_t pts() const { return m_pts; }

 private:
  enum class State : uint8_t { kIdle, kHeader, kPayload };

  bool parseHeader();

  State m_state = State::kIdle;
  std::vector<uint8_t> m_header;  // header bytes collected so far
  bool m_bounded = false;         // the header gave the packet's length
  uint64_t m_left = 0;            // payload bytes still to come when bounded
  bool m_hasPts = false;
  uint64_t m_pts = 0;
};

}  // namespace orvel
