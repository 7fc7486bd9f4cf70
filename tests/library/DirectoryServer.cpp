#include "DirectoryServer.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>

namespace orvel::test {

DirectoryServer::DirectoryServer(const std::string& logPath)
    : m_logPath(logPath), m_process("tests/library/directory_server.py", {"--log", logPath}) {}

std::string DirectoryServer::url(const std::string& mode) const {
  return "http://127.0.0.1:" + std::to_string(m_process.port()) + "/" + mode;
}

std::vector<std::string> DirectoryServer::requests() const {
  std::vector<std::string> lines;
  std::ifstream log(m_logPath);
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  return lines;
}

// A port that was just free and is closed again: nothing listens there.
std::string DirectoryServer::refusingUrl() {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(probe);
  return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/ok";
}

}  // namespace orvel::test
