#pragma once
// Starts tests/engine/stream_server.py on 127.0.0.1 (a free port of its choosing) for one test
// and stops it again. The server's behaviour is chosen per request by the URL's query.

#include <memory>
#include <string>

#include "PythonServerProcess.h"

namespace orvel::test {

class StreamTestServer {
 public:
  StreamTestServer();
  ~StreamTestServer();
  StreamTestServer(const StreamTestServer&) = delete;
  StreamTestServer& operator=(const StreamTestServer&) = delete;

  bool running() const { return port() > 0; }
  int port() const { return m_server ? m_server->port() : 0; }
  // "http://127.0.0.1:<port><pathAndQuery>"
  std::string url(const std::string& pathAndQuery) const;
  // Every request head received so far, each followed by "\n----\n".
  std::string requestLog() const;
  // The MP3 file the server streams in a loop.
  static std::string audioPath();
  static std::string readFile(const std::string& path);

 private:
  std::string m_dir;  // holds the request log
  std::unique_ptr<PythonServerProcess> m_server;
};

}  // namespace orvel::test
