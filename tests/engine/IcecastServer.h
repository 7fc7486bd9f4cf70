#pragma once
// A private icecast2 on a free loopback port, fed by ffmpeg with a generated MP3 tone, for one
// test. icecast2 refuses to run as root, so under root it is started as its packaged user.
// Stream titles are set through the server's admin interface, as a station's software does.

#include <sys/types.h>

#include <string>

namespace orvel::test {

class IcecastServer {
 public:
  static constexpr const char* kMount = "/orvel.mp3";
  static constexpr const char* kStationName = "Orvel Loopback";

  // True when icecast2 and ffmpeg are installed.
  static bool available();

  IcecastServer();
  ~IcecastServer();
  IcecastServer(const IcecastServer&) = delete;
  IcecastServer& operator=(const IcecastServer&) = delete;

  // Starts both and waits until the mount answers; false (with `error`) when that fails.
  bool start(std::string& error);
  std::string streamUrl() const;
  // Sets the in-band title of the mount (UTF-8).
  bool setTitle(const std::string& title);

 private:
  bool writeConfig();

  std::string m_dir;
  int m_port = 0;
  pid_t m_icecast = -1;
  pid_t m_ffmpeg = -1;
};

}  // namespace orvel::test
