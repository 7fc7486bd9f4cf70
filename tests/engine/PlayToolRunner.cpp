#include "PlayToolRunner.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace orvel::test {

std::string FileStreamServer::url(const std::string& pathAndQuery) const {
  return "http://127.0.0.1:" + std::to_string(m_server.port()) + pathAndQuery;
}

std::vector<std::string> PlayRun::linesStartingWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& line : lines) {
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  }
  return found;
}

bool PlayRun::has(const std::string& line) const { return indexOf(line) >= 0; }

int PlayRun::indexOf(const std::string& line) const {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == line) return static_cast<int>(i);
  }
  return -1;
}

PlayRun runPlay(const std::string& arguments, const std::string& audio, const std::string& home,
                const std::string& tracePath) {
  return runPlayProgram(std::string(ORVEL_BIN_DIR) + "/orvel-play", arguments, audio, home,
                        tracePath);
}

PlayRun runPlayProgram(const std::string& program, const std::string& arguments,
                       const std::string& audio, const std::string& home,
                       const std::string& tracePath) {
  std::string command = "ORVEL_RADIO_AUDIO='" + audio + "' ";
  if (!home.empty()) command += "HOME='" + home + "' XDG_CONFIG_HOME='" + home + "/.config' ";
  if (!tracePath.empty()) command += "ORVEL_RADIO_TRACE_PLAY=1 ";
  command += "'" + program + "' " + arguments + " 2>" +
             (tracePath.empty() ? std::string("/dev/null") : "'" + tracePath + "'");
  PlayRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
    std::string line = buffer;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    run.lines.push_back(line);
  }
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

bool runCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string makeTempFolder() {
  char folder[] = "/tmp/orvel-play-test-XXXXXX";
  return mkdtemp(folder) != nullptr ? folder : "";
}

std::string readBinary(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<int16_t> readWavSamples(const std::string& path, int* channels, int* rate) {
  const std::string bytes = readBinary(path);
  auto u16 = [&](size_t at) { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); };
  auto u32 = [&](size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) return {};
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const uint32_t size = u32(at + 4);
    if (bytes.compare(at, 4, "fmt ") == 0 && at + 24 <= bytes.size()) {
      *channels = u16(at + 10);
      *rate = static_cast<int>(u32(at + 12));
    } else if (bytes.compare(at, 4, "data") == 0) {
      const size_t end = std::min(bytes.size(), at + 8 + size_t{size});
      std::vector<int16_t> samples((end - at - 8) / 2);
      std::memcpy(samples.data(), bytes.data() + at + 8, samples.size() * 2);
      return samples;
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

}  // namespace orvel::test
