#include "platform/internet/InternetSession.h"

#include <curl/curl.h>

#include <mutex>

namespace orvel {

struct InternetSession::Share {
  CURLSH* handle = nullptr;
  std::mutex locks[CURL_LOCK_DATA_LAST];
};

namespace {

void lockShare(CURL* /*easy*/, curl_lock_data data, curl_lock_access /*access*/, void* share) {
  static_cast<InternetSession::Share*>(share)->locks[data].lock();
}

void unlockShare(CURL* /*easy*/, curl_lock_data data, void* share) {
  static_cast<InternetSession::Share*>(share)->locks[data].unlock();
}

}  // namespace

InternetSession::InternetSession(std::string userAgent) : m_userAgent(std::move(userAgent)) {
  // Reference-counted by libcurl, so sessions may come and go.
  m_open = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!m_open) return;
  m_share = std::make_unique<Share>();
  m_share->handle = curl_share_init();
  if (m_share->handle == nullptr) return;
  curl_share_setopt(m_share->handle, CURLSHOPT_LOCKFUNC, &lockShare);
  curl_share_setopt(m_share->handle, CURLSHOPT_UNLOCKFUNC, &unlockShare);
  curl_share_setopt(m_share->handle, CURLSHOPT_USERDATA, m_share.get());
  curl_share_setopt(m_share->handle, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
  curl_share_setopt(m_share->handle, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
}

InternetSession::~InternetSession() {
  if (m_share && m_share->handle != nullptr) curl_share_cleanup(m_share->handle);
  if (m_open) curl_global_cleanup();
}

std::unique_ptr<HttpRequest> InternetSession::openRequest(
    const UrlComponents& url, const std::vector<std::string>& acceptTypes, bool reuse) const {
  if (!m_open) return nullptr;
  std::string accept;
  for (const std::string& type : acceptTypes) {
    if (!accept.empty()) accept += ", ";
    accept += type;
  }
  void* share = reuse && m_share ? m_share->handle : nullptr;
  return std::make_unique<HttpRequest>(requestUrl(url), m_userAgent, accept, share);
}

}  // namespace orvel
