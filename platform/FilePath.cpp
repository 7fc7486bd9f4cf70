#include "platform/FilePath.h"

namespace orvel {

PathParts splitPath(WStringView fullPath) {
  PathParts parts;
  const size_t slash = fullPath.rfind(u'/');
  WStringView file = fullPath;
  if (slash != WStringView::npos) {
    parts.directory = WString(fullPath.substr(0, slash));
    file = fullPath.substr(slash + 1);
  }
  const size_t dot = file.rfind(u'.');
  if (dot == WStringView::npos) {
    parts.name = WString(file);
  } else {
    parts.name = WString(file.substr(0, dot));
    parts.extension = WString(file.substr(dot + 1));
  }
  return parts;
}

WString lastPathComponent(WStringView path) {
  const size_t slash = path.rfind(u'/');
  return WString(slash == WStringView::npos ? path : path.substr(slash + 1));
}

namespace {
template <typename Str, typename View>
Str joinPathImpl(View first, View second) {
  if (first.empty()) return Str(second);
  if (second.empty()) return Str(first);
  Str out(first);
  while (!out.empty() && out.back() == '/') out.pop_back();
  size_t skip = 0;
  while (skip < second.size() && second[skip] == '/') ++skip;
  out.push_back('/');
  out.append(second.substr(skip));
  return out;
}
}  // namespace

WString joinPath(WStringView first, WStringView second) {
  return joinPathImpl<WString>(first, second);
}

std::string joinPath(std::string_view first, std::string_view second) {
  return joinPathImpl<std::string>(first, second);
}

std::string toFsPath(WStringView path) { return toUtf8(path); }

WString fromFsPath(std::string_view path) { return decodeAnsi(path); }

}  // namespace orvel
