#pragma once
// Reads the status line and header lines of a server that answers "ICY 200 OK" from the start
// of the body, one byte at a time, into a header buffer of null-terminated wide lines ending with
// an empty line. Every limit is fixed, so a hostile server can make the parse fail but never
// make it grow or run on: lines of at most 1024 bytes, a header buffer of `capacity` characters.
// Runs on the connect thread; the byte source may block.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Text.h"

namespace orvel {

class IcyHeaderReader {
 public:
  static constexpr size_t kMaxLineBytes = 1024;

  // Gives the next byte; false when the data ended.
  using ByteSource = std::function<bool(uint8_t&)>;

  IcyHeaderReader(ByteSource source, uint32_t capacity);

  // True when the status line is exactly "ICY 200 OK\r\n" (any case) and the header lines up to
  // the empty line are well formed and fit; `headerBuffer` then holds them.
  bool read(WString& headerBuffer);
  // The status line as read (its line end included), when the source gave one.
  const std::string& statusLine() const { return m_statusLine; }

 private:
  enum class Line { kOk, kFailed };
  Line readLine(std::string& line, bool strictCrlf);

  ByteSource m_source;
  const uint32_t m_capacity;
  std::string m_statusLine;
};

}  // namespace orvel
