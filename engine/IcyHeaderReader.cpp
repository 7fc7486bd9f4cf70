#include "engine/IcyHeaderReader.h"

#include <strings.h>

#include <string>

namespace orvel {

IcyHeaderReader::IcyHeaderReader(ByteSource source, uint32_t capacity)
    : m_source(std::move(source)), m_capacity(capacity) {}

// The status line is taken up to and including "\n"; header lines must end in exactly "\r\n"
// and come without their terminator.
IcyHeaderReader::Line IcyHeaderReader::readLine(std::string& line, bool strictCrlf) {
  line.clear();
  bool sawCr = false;
  for (;;) {
    uint8_t byte = 0;
    if (!m_source(byte)) return Line::kFailed;
    if (line.size() + 1 > kMaxLineBytes) return Line::kFailed;
    if (!strictCrlf) {
      line.push_back(static_cast<char>(byte));
      if (byte == '\n') return Line::kOk;
      continue;
    }
    if (byte == '\r') {
      if (sawCr) return Line::kFailed;
      sawCr = true;
      line.push_back('\r');
    } else if (byte == '\n') {
      if (line.empty() || line.back() != '\r') return Line::kFailed;
      line.pop_back();
      return Line::kOk;
    } else {
      line.push_back(static_cast<char>(byte));
    }
  }
}

bool IcyHeaderReader::read(WString& headerBuffer) {
  headerBuffer.clear();
  std::string line;
  if (readLine(line, false) != Line::kOk) return false;
  m_statusLine = line;
  if (line.size() != 12 || strncasecmp(line.c_str(), "ICY 200 OK\r\n", 12) != 0) return false;
  for (;;) {
    if (readLine(line, true) != Line::kOk) return false;
    if (line.empty()) break;
    const WString wide = decodeAnsi(line);
    if (headerBuffer.size() + wide.size() + 1 > m_capacity) return false;
    headerBuffer += wide;
    headerBuffer.push_back(u'\0');
  }
  if (headerBuffer.size() + 1 > m_capacity) return false;
  headerBuffer.push_back(u'\0');
  return true;
}

}  // namespace orvel
