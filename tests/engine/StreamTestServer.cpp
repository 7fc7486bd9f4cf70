#include "StreamTestServer.h"

#include <signal.h>
#include <sys/wait.h>
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
  const std::string script = std::string(ORVEL_SOURCE_DIR) + "/tests/engine/stream_server.py";
  const std::string log = m_dir + "/requests.log";
  const std::string file = audioPath();
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0) return;
  if (pipe(fromChild) != 0) return;
  m_pid = fork();
  if (m_pid == 0) {
    dup2(toChild[0], STDIN_FILENO);
    dup2(fromChild[1], STDOUT_FILENO);
    close(toChild[1]);
    close(fromChild[0]);
    execlp("python3", "python3", script.c_str(), "--file", file.c_str(), "--log", log.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  m_stdin = toChild[1];
  FILE* out = fdopen(fromChild[0], "r");
  if (out == nullptr) return;
  if (std::fscanf(out, "PORT %d", &m_port) != 1) m_port = 0;
  std::fclose(out);
}

StreamTestServer::~StreamTestServer() {
  if (m_stdin >= 0) close(m_stdin);
  if (m_pid > 0) {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
  if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
}

std::string StreamTestServer::url(const std::string& pathAndQuery) const {
  return "http://127.0.0.1:" + std::to_string(m_port) + pathAndQuery;
}

std::string StreamTestServer::requestLog() const { return readFile(m_dir + "/requests.log"); }

}  // namespace orvel::test
