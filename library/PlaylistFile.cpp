#include "library/PlaylistFile.h"

#include <sys/stat.h>

#include "platform/FilePath.h"

namespace orvel {

bool PlaylistFile::openFile(const WString& path) {
  closeFile();
  const std::string fsPath = toFsPath(path);
  struct stat status {};
  if (::stat(fsPath.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<unsigned long long>(status.st_size) > kMaxFileBytes) {
    return false;
  }
  auto content = readWholeFile(fsPath);
  if (!content || content->size() > kMaxFileBytes) return false;
  m_file = std::move(*content);
  return true;
}

bool PlaylistFile::LoadText(std::string_view text, const WString& name, bool append) {
  closeFile();
  if (text.size() > kMaxFileBytes) return false;
  m_file.assign(text.begin(), text.end());
  return readOpened(name, append);
}

bool PlaylistFile::readOpened(const WString&, bool) {
  closeFile();
  return false;
}

void PlaylistFile::closeFile() {
  m_file.clear();
  m_file.shrink_to_fit();
  m_readPos = 0;
}

void PlaylistFile::skipUtf8Bom() {
  if (m_readPos == 0 && m_file.size() >= 3 && m_file[0] == 0xEF && m_file[1] == 0xBB &&
      m_file[2] == 0xBF) {
    m_readPos = 3;
  }
}

bool PlaylistFile::readLine(std::string& line) {
  line.clear();
  while (m_readPos < m_file.size()) {
    const char byte = static_cast<char>(m_file[m_readPos++]);
    if (byte == '\r') continue;
    if (byte == '\n') break;
    line.push_back(byte);
    if (line.size() == kMaxTextLength) return false;
  }
  return !line.empty();
}

WString PlaylistFile::decodeText(std::string_view bytes) {
  WString text = decodeAnsi(bytes);
  if (text.size() > kMaxTextLength) text.resize(kMaxTextLength);
  return text;
}

void PlaylistFile::addEntry(const CategoryInfo* category, const WString& title, const WString& url,
                            bool append) {
  RadioInfo radioInfo;
  radioInfo.title = title;
  const RadioInfo* radio = AddRadio(category, radioInfo, append);
  if (!radio) return;
  StreamInfo streamInfo;
  streamInfo.url = url;
  const StreamInfo* stream = AddStream(radio, streamInfo, append);
  if (stream) SetSelectedStream(radio, stream);
}

}  // namespace orvel
