#pragma once
// Talks to the community station directory (radio-browser) over HTTP(S): searches, one station
// by its id, and the click count that the directory asks clients to send when a found station
// is played. Nothing goes out before the first call; the servers are found then.
//
// A request tries the servers in order and goes to the next one when a server cannot be
// reached, answers with an error status, or sends an answer that cannot be read. Each server has
// 10 s to answer and 10 s for every piece of the body and 30 s for all of it; a body over
// kMaxBodyBytes is cut off as an error (an endless body never hangs the caller).
//
// Threads: search, station and countClick block and are called by one thread at a time (a
// worker, never the user-interface thread); cancel may be called from any thread. m_lock guards
// m_request and m_cancelled; cancel aborts the request while holding it, so the lock order is
// m_lock, then the request's own.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "library/DirectoryQuery.h"
#include "library/DirectoryStation.h"

namespace orvel {

class HttpRequest;
class InternetSession;

class DirectoryClient {
 public:
  // What the user is told when a request fails; the reason goes in the details.
  static constexpr const char* kUnreachableText = "The station directory cannot be reached.";
  static constexpr int kTimeoutMs = 10000;
  // The whole body of one answer must come within this time.
  static constexpr int kBodyLimitMs = 30000;
  static constexpr size_t kMaxBodyBytes = 8 * 1024 * 1024;

  // The servers' base URLs, tried in order; empty: DirectoryMirrors::find at the first request.
  explicit DirectoryClient(std::vector<std::string> servers = {});
  ~DirectoryClient();
  DirectoryClient(const DirectoryClient&) = delete;
  DirectoryClient& operator=(const DirectoryClient&) = delete;

  // False with the reason in `error` when no server gave a readable answer, or after cancel.
  bool search(const DirectoryQuery& query, std::vector<DirectoryStation>& stations,
              std::string& error);
  // The station with that id; false when no server knows it or none answers.
  bool station(const std::string& uuid, DirectoryStation& station, std::string& error);
  // Tells the directory that the station was played.
  bool countClick(const std::string& uuid, std::string& error);

  // Ends the request in progress at once; it and every later request fail.
  void cancel();

  // The query part of a search ("?name=...&limit=N").
  static std::string searchQuery(const DirectoryQuery& query);

 private:
  // Takes in an answer's body: false (with the reason) when it is not the expected data.
  using Reader = std::function<bool(const std::string& body, std::string& error)>;

  bool fetch(const std::string& path, const Reader& reader, std::string& error);
  // One server: false with the reason when it gave no readable answer.
  bool fetchFrom(const std::string& url, std::string& body, std::string& error);
  bool receiveBody(HttpRequest& request, std::string& body, std::string& error);
  bool cancelled();

  // --- owned by the calling thread
  std::vector<std::string> m_servers;
  bool m_serversKnown = false;
  std::unique_ptr<InternetSession> m_session;

  std::mutex m_lock;
  HttpRequest* m_request = nullptr;  // the request in progress, guarded by m_lock
  bool m_cancelled = false;          // guarded by m_lock
};

}  // namespace orvel
