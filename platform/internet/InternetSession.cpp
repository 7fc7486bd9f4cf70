#include "platform/internet/InternetSession.h"

#include <curl/curl.h>

namespace orvel {

InternetSession::InternetSession(std::string userAgent) : m_userAgent(std::move(userAgent)) {
  // Reference-counted by libcurl, so sessions may come and go.
  m_open = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

InternetSession::~InternetSession() {
  if (m_open) curl_global_cleanup();
}

std::unique_ptr<HttpRequest> InternetSession::openRequest(
    const UrlComponents& url, const std::vector<std::string>& acceptTypes) const {
  if (!m_open) return nullptr;
  std::string accept;
  for (const std::string& type : acceptTypes) {
    if (!accept.empty()) accept += ", ";
    accept += type;
  }
  return std::make_unique<HttpRequest>(requestUrl(url), m_userAgent, accept);
}

}  // namespace orvel
