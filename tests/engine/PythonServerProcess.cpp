#include "PythonServerProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace orvel::test {

PythonServerProcess::PythonServerProcess(const std::vector<std::string>& arguments)
    : PythonServerProcess("tests/engine/stream_server.py", arguments) {}

PythonServerProcess::PythonServerProcess(const std::string& scriptPath,
                                         const std::vector<std::string>& arguments) {
  const std::string script = std::string(ORVEL_SOURCE_DIR) + "/" + scriptPath;
  std::vector<char*> argv = {const_cast<char*>("python3"), const_cast<char*>(script.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0) return;
  if (pipe(fromChild) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return;
  }
  m_pid = fork();
  if (m_pid == 0) {
    dup2(toChild[0], STDIN_FILENO);
    dup2(fromChild[1], STDOUT_FILENO);
    close(toChild[1]);
    close(fromChild[0]);
    execvp("python3", argv.data());
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

PythonServerProcess::~PythonServerProcess() {
  if (m_stdin >= 0) close(m_stdin);
  if (m_pid > 0) {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
}

}  // namespace orvel::test
