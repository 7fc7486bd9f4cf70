#pragma once
// The loopback stand-in of the station directory (directory_server.py), its request log, and a
// base URL on which nothing listens.

#include <string>
#include <vector>

#include "PythonServerProcess.h"

namespace orvel::test {

class DirectoryServer {
 public:
  explicit DirectoryServer(const std::string& logPath);

  // The base URL of one behaviour: "ok", "big", "slow", "500", "invalid", "endless".
  std::string url(const std::string& mode) const;
  // Every request so far as "PATH USER-AGENT".
  std::vector<std::string> requests() const;
  // A loopback URL whose connections are refused.
  static std::string refusingUrl();

 private:
  std::string m_logPath;
  PythonServerProcess m_process;
};

}  // namespace orvel::test
