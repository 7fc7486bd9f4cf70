#include "skin/SkinSectionReader.h"

#include <cstdio>
#include <filesystem>

#include "platform/FilePath.h"
#include "skin/SkinIniFile.h"

namespace orvel {
namespace {

constexpr size_t kErrorBytes = 260;

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::optional<int32_t> SkinSectionReader::parseInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  }
  const auto result = static_cast<int32_t>(negative ? 0u - value : value);
  if (result == -1 || (result == 0 && text != "0")) return std::nullopt;
  return result;
}

SkinSectionReader::SkinSectionReader(const SkinIniFile& file, const char* section,
                                     const WString& skinFolder, std::string& error)
    : m_file(file), m_section(section), m_folder(skinFolder), m_error(error) {}

std::optional<int32_t> SkinSectionReader::integer(const char* key) const {
  const auto value = m_file.value(m_section, key);
  return value ? parseInteger(*value) : std::nullopt;
}

std::optional<WString> SkinSectionReader::text(const char* key) const {
  const auto value = m_file.value(m_section, key);
  if (!value) return std::nullopt;
  WString wide = decodeAnsi(*value);
  if (wide.size() > kMaxTextChars) return std::nullopt;
  return wide;
}

std::optional<QRgb> SkinSectionReader::colour() const {
  const auto r = integer("TextColorR");
  const auto g = integer("TextColorG");
  const auto b = integer("TextColorB");
  if (!r || !g || !b) return std::nullopt;
  return qRgb(*r & 0xFF, *g & 0xFF, *b & 0xFF);
}

std::optional<WString> SkinSectionReader::imagePath() const {
  auto name = text("File");
  if (!name) return std::nullopt;
  if (name->empty()) return WString();
  // Skins made on the handheld write their subfolders with backslashes.
  for (char16_t& c : *name) {
    if (c == u'\\') c = u'/';
  }
  WString path = m_folder + u'/' + *name;
  if (path.size() > kMaxTextChars) return std::nullopt;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(toFsPath(path), ec)) return std::nullopt;
  return path;
}

bool SkinSectionReader::require(const char* key, int32_t& out) {
  const auto value = integer(key);
  if (!value) {
    fail(key);
    return false;
  }
  out = *value;
  return true;
}

bool SkinSectionReader::require(const char* key, WString& out) {
  auto value = text(key);
  if (!value) {
    fail(key);
    return false;
  }
  out = std::move(*value);
  return true;
}

bool SkinSectionReader::requireImage(WString& out) {
  auto value = imagePath();
  if (!value) {
    fail("File");
    return false;
  }
  out = std::move(*value);
  return true;
}

void SkinSectionReader::fail(const char* key) {
  char buffer[kErrorBytes];
  std::snprintf(buffer, sizeof buffer, "Name : %s\nSection : %s", m_section, key);
  m_error = buffer;
}

}  // namespace orvel
