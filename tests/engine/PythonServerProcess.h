#pragma once
// Runs tests/engine/stream_server.py (or another script of the source tree that announces its
// port the same way) with the given arguments until the object goes, and reads the loopback
// port it announces ("PORT n" on its first line). Its stdin stays open: the server
// ends when the test process does, even when the test dies.

#include <string>
#include <vector>

namespace orvel::test {

class PythonServerProcess {
 public:
  explicit PythonServerProcess(const std::vector<std::string>& arguments);
  // `script` relative to the source tree.
  PythonServerProcess(const std::string& script, const std::vector<std::string>& arguments);
  ~PythonServerProcess();
  PythonServerProcess(const PythonServerProcess&) = delete;
  PythonServerProcess& operator=(const PythonServerProcess&) = delete;

  // 0 when the server did not start.
  int port() const { return m_port; }

 private:
  int m_pid = -1;
  int m_stdin = -1;
  int m_port = 0;
};

}  // namespace orvel::test
