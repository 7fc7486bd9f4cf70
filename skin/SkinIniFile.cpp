#include "skin/SkinIniFile.h"

#include <fstream>
#include <iterator>

namespace orvel {
namespace {

// Splits the text into lines by the CR LF rule. A line too long ends the list and marks the
// read as failed, so the caller stops there.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : m_text(text) {}

  // False at end of text or on a read failure.
  bool next(std::string_view& line) {
    if (m_pos >= m_text.size() || m_failed) return false;
    const size_t cr = m_text.find('\r', m_pos);
    const size_t end = cr == std::string_view::npos ? m_text.size() : cr;
    line = m_text.substr(m_pos, end - m_pos);
    if (cr == std::string_view::npos) {
      m_pos = m_text.size();
    } else {
      const size_t lf = m_text.find('\n', cr);
      m_pos = lf == std::string_view::npos ? m_text.size() : lf + 1;
    }
    if (line.size() > SkinIniFile::kMaxLineChars) {
      m_failed = true;
      return false;
    }
    return true;
  }

 private:
  std::string_view m_text;
  size_t m_pos = 0;
  bool m_failed = false;
};

bool isHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

}  // namespace

uint32_t SkinIniFile::hashName(std::string_view name) {
  uint32_t h = 0;
  for (char c : name)
    h = h * 5u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  return h;
}

bool SkinIniFile::Open(const std::string& fsPath) {
  std::ifstream in(fsPath, std::ios::binary);
  if (!in) return false;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  OpenText(text);
  return true;
}

void SkinIniFile::OpenText(std::string_view text) {
  m_sections.clear();
  LineReader reader(text);
  std::string_view line;
  for (;;) {
    bool haveLine = reader.next(line);
    while (haveLine && line.empty()) haveLine = reader.next(line);
    if (!haveLine || !isHeader(line)) return;
    if (m_sections.size() == m_sections.capacity()) m_sections.reserve(m_sections.size() + 64);
    m_sections.push_back(Section{hashName(line.substr(1, line.size() - 2)), {}});
    Section& section = m_sections.back();
    while (reader.next(line) && !line.empty()) {
      const size_t eq = line.find('=');
      if (eq == std::string_view::npos) return;
      section.keys.push_back(Key{hashName(line.substr(0, eq)), std::string(line.substr(eq + 1))});
    }
  }
}

const SkinIniFile::Section* SkinIniFile::findSection(uint32_t hash) const {
  for (auto it = m_sections.rbegin(); it != m_sections.rend(); ++it) {
    if (it->hash == hash) return &*it;
  }
  return nullptr;
}

std::optional<std::string> SkinIniFile::value(std::string_view section,
                                              std::string_view key) const {
  const Section* found = findSection(hashName(section));
  if (found == nullptr) return std::nullopt;
  const uint32_t keyHash = hashName(key);
  for (auto it = found->keys.rbegin(); it != found->keys.rend(); ++it) {
    if (it->hash == keyHash) return it->value;
  }
  return std::nullopt;
}

}  // namespace orvel
