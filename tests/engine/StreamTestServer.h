#pragma once
// Starts tests/engine/stream_server.py on 127.0.0.1 (a free port of its choosing) for one test
// and stops it again. The server's behaviour is chosen per request by the URL's query.

#include <sys/types.h>

#include <string>

namespace orvel::test {

class StreamTestServer {
 public:
  StreamTestServer();
  ~StreamTestServer();
  StreamTestServer(const StreamTestServer&) = delete;
  StreamTestServer& operator=(const StreamTestServer&) = delete;

  bool running() const { return m_port > 0; }
  int port() const { return m_port; }
  // "http://127.0.0.1:<port><pathAndQuery>"
  std::string url(const std::string& pathAndQuery) const;
  // Every request head received so far, each followed by "\n----\n".
  std::string requestLog() const;
  // The MP3 file the server streams in a loop.
  static std::string audioPath();
  static std::string readFile(const std::string& path);

 private:
  pid_t m_pid = -1;
  int m_stdin = -1;
  int m_port = 0;
  std::string m_dir;
};

}  // namespace orvel::test
