#include "StreamTestServer.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvel::test {

std::string StreamTestServer::audioPath() {
  return std::string(ORVEL_SOURCE_DIR) + "/tests/engine/data/tone.mp3";
}

std::string StreamTestServer::readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

StreamTestServer::StreamTestServer() {
  char dirTemplate[] = "/tmp/orvel-stream-server-XXXXXX";
  if (mkdtemp(dirTemplate) == nullptr) return;
  m_dir = dirTemplate;
  m_server = std::make_unique<PythonServerProcess>(
      std::vector<std::string>{"--file", audioPath(), "--log", m_dir + "/requests.log"});
}

StreamTestServer::~StreamTestServer() {
  m_server.reset();  // the server ends before its log folder goes
  if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
}

std::string StreamTestServer::url(const std::string& pathAndQuery) const {
  return "http://127.0.0.1:" + std::to_string(port()) + pathAndQuery;
}

std::string StreamTestServer::requestLog() const { return readFile(m_dir + "/requests.log"); }

}  // namespace orvel::test
