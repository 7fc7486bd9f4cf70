#include "library/RrdFile.h"

#include "platform/FilePath.h"

namespace orvel {
namespace {

enum Field : size_t { kTitle, kUrl, kCategory, kComment, kBitrate, kFormat, kShortTitle, kMarker };

void appendUnit(Bytes& out, char16_t unit) {
  out.push_back(static_cast<uint8_t>(unit & 0xFF));
  out.push_back(static_cast<uint8_t>(unit >> 8));
}

void appendQuoted(Bytes& out, const WString& value) {
  appendUnit(out, u'"');
  for (char16_t unit : value) {
    if (unit == u'"') appendUnit(out, u'"');
    appendUnit(out, unit);
  }
  appendUnit(out, u'"');
  appendUnit(out, u',');
}

}  // namespace

bool RrdFile::Load(const WString& path, bool append) {
  if (!openFile(path)) return false;
  if (m_file.size() < 2 || m_file[0] != 0xFF || m_file[1] != 0xFE) {
    closeFile();
    return false;
  }
  m_readPos = 2;
  Fields fields;
  for (;;) {
    skipBlankLines();
    if (!readRecord(fields)) break;
    addRecord(fields, append);
  }
  closeFile();
  return true;
}

void RrdFile::addRecord(const Fields& fields, bool append) {
  const CategoryInfo* category = AddCategory(CategoryInfo{fields[kCategory]}, append);
  if (!category) return;
  RadioInfo radioInfo;
  radioInfo.title = fields[kTitle];
  radioInfo.shortTitle = fields[kShortTitle];
  const RadioInfo* radio = AddRadio(category, radioInfo, append);
  if (!radio) return;
  StreamInfo streamInfo;
  streamInfo.url = fields[kUrl];
  streamInfo.comment = fields[kComment];
  streamInfo.bitrate = fields[kBitrate];
  streamInfo.format = fields[kFormat];
  streamInfo.origin = kOriginUser;
  const StreamInfo* stream = AddStream(radio, streamInfo, append);
  if (stream && equalsNoCase(fields[kMarker], u"a")) SetSelectedStream(radio, stream);
}

bool RrdFile::Save(const WString& path) {
  const Bytes bytes = serialize();
  return writeFileAtomically(toFsPath(path), bytes);
}

Bytes RrdFile::serialize() const {
  Bytes out{0xFF, 0xFE};
  const std::vector<const StreamInfo*> streams = allStreams();
  for (auto it = streams.rbegin(); it != streams.rend(); ++it) {
    const StreamInfo& stream = **it;
    const RadioInfo& radio = *stream.radio;
    appendQuoted(out, radio.title);
    appendQuoted(out, stream.url);
    appendQuoted(out, radio.category->name);
    appendQuoted(out, stream.comment);
    appendQuoted(out, stream.bitrate);
    appendQuoted(out, stream.format);
    appendQuoted(out, radio.shortTitle);
    if (radio.selectedStream == &stream) appendUnit(out, u'a');
    appendUnit(out, u'\n');
  }
  return out;
}

int RrdFile::readUnit() {
  const int unit = peekUnit();
  if (unit >= 0) m_readPos += 2;
  return unit;
}

int RrdFile::peekUnit() const {
  if (m_readPos + 1 >= m_file.size()) return -1;
  return m_file[m_readPos] | (m_file[m_readPos + 1] << 8);
}

void RrdFile::skipBlankLines() {
  size_t start = m_readPos;
  for (int unit = readUnit(); unit == u'\r' || unit == u'\n'; unit = readUnit()) {
    if (unit == u'\n') start = m_readPos;
  }
  m_readPos = start;
}

RrdFile::FieldEnd RrdFile::readField(WString& value) {
  value.clear();
  bool quoted = false;
  bool quotePending = false;  // a closing quote that a following quote turns back into text
  bool stored = false;        // something of the value came, even when dropped for length
  auto store = [&](char16_t unit) {
    if (value.size() < kMaxTextLength) value.push_back(unit);
    stored = true;
  };
  for (;;) {
    const int unit = readUnit();
    if (unit < 0) return FieldEnd::kEndOfFile;
    switch (unit) {
      case u'\r':
      case 0:
        break;
      case u'\n':
        return FieldEnd::kLineFeed;
      case u',':
        if (!quoted) return FieldEnd::kComma;
        store(u',');
        break;
      case u'"':
        if (!stored) {
          // A value that begins with a quote is written with three quotes in front of it.
          if (quoted && peekUnit() == u'"') {
            readUnit();
            store(u'"');
          } else {
            quoted = !quoted;
          }
        } else if (quoted) {
          quoted = false;
          quotePending = true;
        } else if (quotePending) {
          store(u'"');
          quoted = true;
          quotePending = false;
        } else {
          store(u'"');
        }
        break;
      default:
        store(static_cast<char16_t>(unit));
    }
  }
}

bool RrdFile::readRecord(Fields& fields) {
  for (WString& field : fields) field.clear();
  for (WString& field : fields) {
    switch (readField(field)) {
      case FieldEnd::kEndOfFile:
        return false;
      case FieldEnd::kLineFeed:
        return true;
      case FieldEnd::kComma:
        break;
    }
  }
  return true;
}

}  // namespace orvel
