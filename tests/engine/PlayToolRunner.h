#pragma once
// Helpers of the playback tests: a loopback stream server for a file of the test's choosing,
// audio made with ffmpeg, and runs of orvel-play with their output lines.
#include <memory>
#include <string>
#include <vector>

#include "PythonServerProcess.h"

namespace orvel::test {

// stream_server.py serving `file` on 127.0.0.1 until the object goes.
class FileStreamServer {
 public:
  explicit FileStreamServer(const std::string& file) : m_server({"--file", file}) {}
  bool running() const { return m_server.port() > 0; }
  std::string url(const std::string& pathAndQuery) const;

 private:
  PythonServerProcess m_server;
};

struct PlayRun {
  int exitCode = -1;
  std::vector<std::string> lines;
  // The lines that start with `prefix`, in order.
  std::vector<std::string> linesStartingWith(const std::string& prefix) const;
  bool has(const std::string& line) const;
  // Index of the first line equal to `line`, or -1.
  int indexOf(const std::string& line) const;
};

// Runs orvel-play with `arguments` (already quoted for the shell) and the wave device `audio`;
// HOME is set to `home` when it is not empty. With `tracePath`, the playback probe's marks
// (ORVEL_RADIO_TRACE_PLAY) are written to that file.
PlayRun runPlay(const std::string& arguments, const std::string& audio,
                const std::string& home = "", const std::string& tracePath = "");
// The same with another copy of orvel-play (one without the codec libraries beside it).
PlayRun runPlayProgram(const std::string& program, const std::string& arguments,
                       const std::string& audio, const std::string& home = "",
                       const std::string& tracePath = "");
// Runs a shell command; true when it exited 0.
bool runCommand(const std::string& command);
// A fresh temporary folder, removed by the caller.
std::string makeTempFolder();
std::string readBinary(const std::string& path);
// 16-bit samples of a WAV file's data chunk (every channel interleaved); empty on failure.
std::vector<int16_t> readWavSamples(const std::string& path, int* channels, int* rate);

}  // namespace orvel::test
