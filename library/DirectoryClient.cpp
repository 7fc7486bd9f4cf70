#include "library/DirectoryClient.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "library/DirectoryMirrors.h"
#include "library/DirectoryResults.h"
#include "platform/internet/HttpRequest.h"
#include "platform/internet/InternetSession.h"
#include "platform/internet/Url.h"
#include "resources/ProgramVersion.h"

namespace orvel {
namespace {

std::string percentEncoded(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' ||
                       byte == '~';
    if (plain) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 15];
    }
  }
  return encoded;
}

// "HTTP/1.1 200 OK" -> 200; 0 when the line has no status code.
int statusCode(const std::vector<std::string>& headerLines) {
  if (headerLines.empty()) return 0;
  const std::string& line = headerLines.front();
  const size_t space = line.find(' ');
  if (space == std::string::npos) return 0;
  return std::atoi(line.c_str() + space + 1);
}

}  // namespace

DirectoryClient::DirectoryClient(std::vector<std::string> servers)
    : m_servers(std::move(servers)), m_serversKnown(!m_servers.empty()) {}

DirectoryClient::~DirectoryClient() = default;

std::string DirectoryClient::searchQuery(const DirectoryQuery& query) {
  std::string text = "?";
  const auto add = [&text](const char* key, const std::string& value) {
    if (!value.empty()) text += std::string(key) + "=" + percentEncoded(value) + "&";
  };
  add("name", query.name);
  add("tag", query.tag);
  add("countrycode", query.countryCode);
  add("language", query.language);
  add("codec", query.codec);
  add("order", query.order == DirectoryQuery::Order::Votes ? "votes" : "clickcount");
  const int limit = std::clamp(query.limit, 1, DirectoryQuery::kMaxLimit);
  return text + "reverse=true&hidebroken=true&limit=" + std::to_string(limit);
}

bool DirectoryClient::search(const DirectoryQuery& query, std::vector<DirectoryStation>& stations,
                             std::string& error) {
  const auto limit = static_cast<size_t>(std::clamp(query.limit, 1, DirectoryQuery::kMaxLimit));
  return fetch(
      "/json/stations/search" + searchQuery(query),
      [&](const std::string& body, std::string& reason) {
        return DirectoryResults::parseStations(body, limit, stations, reason);
      },
      error);
}

bool DirectoryClient::station(const std::string& uuid, DirectoryStation& station,
                              std::string& error) {
  std::vector<DirectoryStation> found;
  const bool answered = fetch(
      "/json/stations/byuuid/" + percentEncoded(uuid),
      [&](const std::string& body, std::string& reason) {
        return DirectoryResults::parseStations(body, 1, found, reason);
      },
      error);
  if (!answered) return false;
  if (found.empty() || found.front().uuid != uuid) {
    error = "the directory has no station " + uuid;
    return false;
  }
  station = found.front();
  return true;
}

bool DirectoryClient::countClick(const std::string& uuid, std::string& error) {
  return fetch("/json/url/" + percentEncoded(uuid), DirectoryResults::parseClick, error);
}

void DirectoryClient::cancel() {
  std::lock_guard<std::mutex> hold(m_lock);
  m_cancelled = true;
  if (m_request != nullptr) m_request->abort();
}

bool DirectoryClient::cancelled() {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_cancelled;
}

bool DirectoryClient::fetch(const std::string& path, const Reader& reader, std::string& error) {
  error.clear();
  if (!m_serversKnown) {
    m_servers = DirectoryMirrors::find();
    m_serversKnown = true;
  }
  if (m_servers.empty()) {
    error = std::string("no directory server is known: ") + DirectoryMirrors::kDiscoveryHost +
            " cannot be resolved";
    return false;
  }
  if (!m_session) {
    m_session = std::make_unique<InternetSession>(std::string("OrvelRadio/") + kProgramVersionText);
  }
  for (const std::string& server : m_servers) {
    std::string body;
    std::string reason;
    const bool read = fetchFrom(server + path, body, reason) && reader(body, reason);
    if (cancelled()) {
      error = "cancelled";
      return false;
    }
    if (read) return true;
    error += (error.empty() ? "" : "\n") + server + ": " + reason;
  }
  return false;
}

bool DirectoryClient::fetchFrom(const std::string& url, std::string& body, std::string& error) {
  UrlComponents parts;
  if (!crackUrl(url, parts)) {
    error = "no http or https URL";
    return false;
  }
  std::unique_ptr<HttpRequest> request = m_session->openRequest(parts, {"application/json"});
  if (!request) {
    error = "the internet library cannot be set up";
    return false;
  }
  {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_cancelled) return false;
    m_request = request.get();
  }
  bool ok = request->send("", kTimeoutMs);
  if (!ok) {
    error = "cannot be reached, or did not answer within 10 s";
  } else if (const int status = statusCode(request->rawHeaderLines()); status != 200) {
    error = "answered " + request->rawHeaderLines().front();
    ok = false;
  } else {
    ok = receiveBody(*request, body, error);
  }
  std::lock_guard<std::mutex> hold(m_lock);
  m_request = nullptr;
  return ok;
}

bool DirectoryClient::receiveBody(HttpRequest& request, std::string& body, std::string& error) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(kBodyLimitMs);
  std::vector<uint8_t> buffer(HttpRequest::kBodyBufferBytes);
  for (size_t got = 0;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      error = "the answer did not end within 30 s";
      return false;
    }
    const int timeout = static_cast<int>(std::min<long long>(left, kTimeoutMs));
    // The end of the body and a broken transfer look alike here; a cut answer is no valid
    // JSON, which the reader finds.
    if (!request.read(buffer.data(), buffer.size(), got, timeout)) return true;
    body.append(reinterpret_cast<const char*>(buffer.data()), got);
    if (body.size() > kMaxBodyBytes) {
      error = "the answer is larger than 8 MiB";
      return false;
    }
  }
}

}  // namespace orvel
