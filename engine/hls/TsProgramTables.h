#pragma once
// The program tables of an MPEG transport stream that an audio reader needs: the PAT names the
// PMT's PID, the PMT names the elementary streams. Sections are read from one packet's payload
// (an audio program's tables are far shorter than a packet); the CRC is not checked, since a
// damaged table is caught by what it leads to. Pure functions; any thread.

#include <cstddef>
#include <cstdint>

namespace orvel {

class TsProgramTables {
 public:
  static constexpr uint16_t kNoPid = 0xFFFF;

  enum class Audio : uint8_t { kNone, kAdts, kMpeg };

  struct Streams {
    uint16_t audioPid = kNoPid;  // the first audio stream
    Audio audio = Audio::kNone;
    uint16_t id3Pid = kNoPid;  // timed ID3 metadata in PES packets
  };

  // The PID of the first program's PMT from the payload of a packet that starts a PAT section
  // (pointer field first); kNoPid when it names none.
  static uint16_t readPat(const uint8_t* payload, size_t size);
  // The streams a PMT section names; false when the payload holds no readable PMT.
  static bool readPmt(const uint8_t* payload, size_t size, Streams& streams);
};

}  // namespace orvel
