#include "platform/RegistryTree.h"

#include <cstdio>

namespace orvel {
namespace {

constexpr std::string_view kSignature = "Orvel Radio registry 1";

bool validKeyChar(char16_t c) { return c >= 0x20 && c != u'\\' && c != u']' && c != 0x7F; }

// ---- writing ----

void appendEscaped(std::string& out, WStringView text) {
  out.push_back('"');
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool highSurrogate = c >= 0xD800 && c <= 0xDBFF;
    const bool pairedHigh =
        highSurrogate && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (c == u'"' || c == u'\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c == u'\n') {
      out += "\\n";
    } else if (c == u'\r') {
      out += "\\r";
    } else if (c == u'\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF && !pairedHigh)) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
      out += buf;
    } else if (pairedHigh) {
      out += toUtf8(text.substr(i, 2));
      ++i;
    } else {
      out += toUtf8(text.substr(i, 1));
    }
  }
  out.push_back('"');
}

void appendHex(std::string& out, const Bytes& data) {
  char buf[4];
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buf, sizeof buf, i == 0 ? "%02x" : ",%02x", data[i]);
    out += buf;
  }
}

// A REG_SZ written by the program holds its text and one terminator; only that shape is written
// as a quoted string, anything else as hex so that sizes survive exactly.
std::optional<WString> plainString(const RegValue& value) {
  if (value.type != kRegSz || value.data.size() < 2 || value.data.size() % 2 != 0) {
    return std::nullopt;
  }
  WString text;
  const size_t units = value.data.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    const char16_t c = static_cast<char16_t>(value.data[2 * i] | (value.data[2 * i + 1] << 8));
    if ((c == 0) != (i + 1 == units)) return std::nullopt;
    if (c != 0) text.push_back(c);
  }
  return text;
}

void appendValue(std::string& out, const RegValue& value) {
  if (value.name.empty()) {
    out += "@";
  } else {
    appendEscaped(out, value.name);
  }
  out += "=";
  if (auto text = plainString(value)) {
    appendEscaped(out, *text);
  } else if (value.type == kRegDword && value.data.size() == 4) {
    char buf[16];
    const uint32_t v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                       (static_cast<uint32_t>(value.data[3]) << 24);
    std::snprintf(buf, sizeof buf, "dword:%08x", v);
    out += buf;
  } else if (value.type == kRegBinary) {
    out += "hex:";
    appendHex(out, value.data);
  } else {
    out += "hex(" + std::to_string(value.type) + "):";
    appendHex(out, value.data);
  }
  out += "\n";
}

void appendKey(std::string& out, const RegKey& key, const std::string& path) {
  out += "\n[" + path + "]\n";
  for (const RegValue& value : key.values) appendValue(out, value);
  for (const auto& sub : key.subkeys) appendKey(out, *sub, path + "\\" + toUtf8(sub->name));
}

// ---- reading ----

class LineReader {
 public:
  explicit LineReader(std::string_view line) : m_s(line) {}

  bool atEnd() const { return m_i >= m_s.size(); }
  bool take(char c) {
    if (m_i < m_s.size() && m_s[m_i] == c) return ++m_i, true;
    return false;
  }
  bool takeWord(std::string_view word) {
    if (m_s.substr(m_i, word.size()) != word) return false;
    m_i += word.size();
    return true;
  }

  bool quoted(WString& out) {
    if (!take('"')) return false;
    std::string run;  // raw UTF-8 between escapes
    auto flush = [&] {
      out += fromUtf8(run);
      run.clear();
    };
    while (m_i < m_s.size()) {
      const char c = m_s[m_i++];
      if (c == '"') return flush(), true;
      if (c != '\\') {
        run.push_back(c);
        continue;
      }
      if (m_i >= m_s.size()) return false;
      const char e = m_s[m_i++];
      flush();
      switch (e) {
        case '"': case '\\': out.push_back(static_cast<char16_t>(e)); break;
        case 'n': out.push_back(u'\n'); break;
        case 'r': out.push_back(u'\r'); break;
        case 't': out.push_back(u'\t'); break;
        case 'u': {
          uint32_t v;
          if (!hexNumber(4, v)) return false;
          out.push_back(static_cast<char16_t>(v));
          break;
        }
        default: return false;
      }
    }
    return false;
  }

  bool hexNumber(size_t digits, uint32_t& value) {
    if (m_i + digits > m_s.size()) return false;
    value = 0;
    for (size_t k = 0; k < digits; ++k) {
      const int d = hexDigit(m_s[m_i + k]);
      if (d < 0) return false;
      value = value * 16 + static_cast<uint32_t>(d);
    }
    m_i += digits;
    return true;
  }

  bool decimal(uint32_t& value) {
    const size_t start = m_i;
    uint64_t v = 0;
    while (m_i < m_s.size() && m_s[m_i] >= '0' && m_s[m_i] <= '9' && m_i - start < 10) {
      v = v * 10 + static_cast<uint64_t>(m_s[m_i++] - '0');
    }
    if (m_i == start || v > 0xFFFFFFFFu) return false;
    value = static_cast<uint32_t>(v);
    return true;
  }

  bool hexBytes(Bytes& out) {
    if (atEnd()) return true;
    do {
      uint32_t b;
      if (!hexNumber(2, b)) return false;
      out.push_back(static_cast<uint8_t>(b));
    } while (take(','));
    return atEnd();
  }

 private:
  static int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  std::string_view m_s;
  size_t m_i = 0;
};

bool parseValueLine(std::string_view line, RegValue& value) {
  LineReader r(line);
  if (!r.take('@') && !r.quoted(value.name)) return false;
  if (!r.take('=')) return false;
  WString text;
  if (r.quoted(text)) {
    value = RegValue::text(value.name, text);
    return r.atEnd();
  }
  if (r.takeWord("dword:")) {
    uint32_t v;
    if (!r.hexNumber(8, v) || !r.atEnd()) return false;
    value = RegValue::dword(value.name, v);
    return true;
  }
  if (r.takeWord("hex:")) {
    value.type = kRegBinary;
    return r.hexBytes(value.data);
  }
  if (r.takeWord("hex(")) {
    return r.decimal(value.type) && r.take(')') && r.take(':') && r.hexBytes(value.data);
  }
  return false;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

}  // namespace

RegValue RegValue::text(WStringView name, WStringView text) {
  RegValue value{WString(name), kRegSz, {}};
  value.data.reserve((text.size() + 1) * 2);
  for (char16_t c : text) {
    value.data.push_back(static_cast<uint8_t>(c & 0xFF));
    value.data.push_back(static_cast<uint8_t>(c >> 8));
  }
  value.data.insert(value.data.end(), {0, 0});
  return value;
}

RegValue RegValue::dword(WStringView name, uint32_t v) {
  return RegValue{WString(name), kRegDword,
                  {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                   static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)}};
}

RegKey* RegKey::findSubkey(WStringView subkeyName) const {
  for (const auto& sub : subkeys) {
    if (equalsNoCase(sub->name, subkeyName)) return sub.get();
  }
  return nullptr;
}

RegValue* RegKey::findValue(WStringView valueName) {
  for (RegValue& v : values) {
    if (equalsNoCase(v.name, valueName)) return &v;
  }
  return nullptr;
}

const RegValue* RegKey::findValue(WStringView valueName) const {
  return const_cast<RegKey*>(this)->findValue(valueName);
}

RegistryTree::RegistryTree() : m_root(std::make_unique<RegKey>()) {}

std::optional<std::vector<WString>> RegistryTree::splitKeyPath(WStringView keyPath) {
  std::vector<WString> parts;
  WString current;
  for (char16_t c : keyPath) {
    if (c == u'\\') {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
    } else if (!validKeyChar(c)) {
      return std::nullopt;
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

RegKey* RegistryTree::find(WStringView keyPath) const {
  auto parts = splitKeyPath(keyPath);
  if (!parts) return nullptr;
  RegKey* key = m_root.get();
  for (const WString& part : *parts) {
    key = key->findSubkey(part);
    if (key == nullptr) return nullptr;
  }
  return key;
}

RegKey* RegistryTree::findOrCreate(WStringView keyPath) {
  auto parts = splitKeyPath(keyPath);
  if (!parts) return nullptr;
  RegKey* key = m_root.get();
  for (const WString& part : *parts) {
    RegKey* sub = key->findSubkey(part);
    if (sub == nullptr) {
      key->subkeys.push_back(std::make_unique<RegKey>());
      sub = key->subkeys.back().get();
      sub->name = part;
    }
    key = sub;
  }
  return key;
}

bool RegistryTree::remove(WStringView keyPath) {
  auto parts = splitKeyPath(keyPath);
  if (!parts || parts->empty()) return false;
  RegKey* parent = m_root.get();
  for (size_t i = 0; i + 1 < parts->size(); ++i) {
    parent = parent->findSubkey((*parts)[i]);
    if (parent == nullptr) return false;
  }
  auto& subs = parent->subkeys;
  for (auto it = subs.begin(); it != subs.end(); ++it) {
    if (equalsNoCase((*it)->name, parts->back())) {
      subs.erase(it);
      return true;
    }
  }
  return false;
}

std::string RegistryTree::serialize() const {
  std::string out(kSignature);
  out += "\n; Values: \"text\" (REG_SZ), dword:hhhhhhhh (REG_DWORD), hex:bb,... (REG_BINARY),"
         " hex(type):bb,... (any other type or size)\n";
  for (const auto& sub : m_root->subkeys) appendKey(out, *sub, "\\" + toUtf8(sub->name));
  return out;
}

bool RegistryTree::parse(std::string_view text, size_t* skippedLines) {
  m_root = std::make_unique<RegKey>();
  size_t skipped = 0;
  RegKey* current = nullptr;
  bool signed_ = false;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    const std::string_view line = trim(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    if (!signed_) {
      if (line != kSignature) return false;
      signed_ = true;
      continue;
    }
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      current = nullptr;
      if (line.back() == ']' && isValidUtf8(line)) {
        current = findOrCreate(fromUtf8(line.substr(1, line.size() - 2)));
      }
      if (current == m_root.get()) current = nullptr;  // values need a named key
      if (current == nullptr) ++skipped;
      continue;
    }
    RegValue value;
    if (current == nullptr || !parseValueLine(line, value)) {
      ++skipped;
      continue;
    }
    if (RegValue* existing = current->findValue(value.name)) {
      *existing = std::move(value);
    } else {
      current->values.push_back(std::move(value));
    }
  }
  if (skippedLines != nullptr) *skippedLines = skipped;
  return signed_;
}

}  // namespace orvel
