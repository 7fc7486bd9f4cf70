#include "platform/internet/Url.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>

#include "platform/Text.h"

namespace orvel {
namespace {

bool parsePort(std::string_view digits, uint16_t& port) {
  if (digits.empty() || digits.size() > 5) return false;
  uint32_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value == 0 || value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

// Splits "host", "host:port", "[v6]" or "[v6]:port".
bool parseHostPort(std::string_view text, UrlComponents& parts) {
  std::string_view portText;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return false;
    parts.host = std::string(text.substr(1, close - 1));
    std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return false;
      portText = rest.substr(1);
    }
  } else {
    const size_t colon = text.rfind(':');
    parts.host = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos) portText = text.substr(colon + 1);
  }
  if (parts.host.empty()) return false;
  parts.port = parts.scheme == "https" ? 443 : 80;
  return portText.empty() || parsePort(portText, parts.port);
}

}  // namespace

bool crackUrl(std::string_view url, UrlComponents& parts) {
  parts = UrlComponents{};
  const size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string_view::npos) return false;
  parts.scheme = lowerAscii(url.substr(0, schemeEnd));
  if (parts.scheme != "http" && parts.scheme != "https") return false;

  std::string_view rest = url.substr(schemeEnd + 3);
  const size_t hash = rest.find('#');
  if (hash != std::string_view::npos) {
    parts.fragment = std::string(rest.substr(hash));
    rest = rest.substr(0, hash);
  }
  const size_t authorityEnd = rest.find_first_of("/?");
  std::string_view authority = rest.substr(0, authorityEnd);
  std::string_view target =
      authorityEnd == std::string_view::npos ? std::string_view{} : rest.substr(authorityEnd);

  const size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    std::string_view userInfo = authority.substr(0, at);
    const size_t colon = userInfo.find(':');
    parts.user = std::string(userInfo.substr(0, colon));
    if (colon != std::string_view::npos) parts.password = std::string(userInfo.substr(colon + 1));
    authority = authority.substr(at + 1);
  }
  if (!parseHostPort(authority, parts)) return false;

  const size_t question = target.find('?');
  parts.path = std::string(target.substr(0, question));
  if (question != std::string_view::npos) parts.query = std::string(target.substr(question));
  if (parts.path.empty()) parts.path = "/";
  return true;
}

std::string requestUrl(const UrlComponents& parts) {
  std::string url = parts.scheme + "://";
  if (!parts.user.empty() || !parts.password.empty()) {
    url += parts.user;
    if (!parts.password.empty()) url += ":" + parts.password;
    url += "@";
  }
  const bool v6 = parts.host.find(':') != std::string::npos;
  url += v6 ? "[" + parts.host + "]" : parts.host;
  url += ":" + std::to_string(parts.port);
  return url + parts.objectName();
}

bool resolveUrl(std::string_view base, std::string_view reference, std::string& resolved) {
  CURLU* handle = curl_url();
  if (handle == nullptr) return false;
  // libcurl resolves a relative URL set on a handle that holds an absolute one.
  bool ok = curl_url_set(handle, CURLUPART_URL, std::string(base).c_str(), 0) == CURLUE_OK &&
            curl_url_set(handle, CURLUPART_URL, std::string(reference).c_str(),
                         CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE) == CURLUE_OK;
  char* text = nullptr;
  ok = ok && curl_url_get(handle, CURLUPART_URL, &text, 0) == CURLUE_OK;
  if (ok) resolved = text;
  curl_free(text);
  curl_url_cleanup(handle);
  UrlComponents parts;
  return ok && crackUrl(resolved, parts);
}

}  // namespace orvel
