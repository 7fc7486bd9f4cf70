#pragma once
// A private icecast2 on a free loopback port for one test, fed by ffmpeg with a generated MP3
// tone, or by curl with an Ogg file sent at a station's pace (HTTP PUT, as source clients do),
// whose links icecast passes on as a chained stream. icecast2 refuses to run as root, so under
// root it is started as its packaged user. MP3 titles are set through the server's admin
// interface, as a station's software does; an Ogg stream's come with its links.

#include <sys/types.h>

#include <string>
#include <vector>

namespace orvel::test {

class IcecastServer {
 public:
  static constexpr const char* kMount = "/orvel.mp3";
  static constexpr const char* kOggMount = "/orvel.ogg";
  static constexpr const char* kStationName = "Orvel Loopback";

  // True when icecast2, ffmpeg and curl are installed.
  static bool available();

  IcecastServer();
  ~IcecastServer();
  IcecastServer(const IcecastServer&) = delete;
  IcecastServer& operator=(const IcecastServer&) = delete;

  // Starts both and waits until the mount answers; false (with `error`) when that fails.
  bool start(std::string& error);
  // The same with `oggFile` sent once at `bytesPerSecond` to the Ogg mount.
  bool startWithOggFile(const std::string& oggFile, int bytesPerSecond, std::string& error);
  std::string streamUrl() const;
  // Sets the in-band title of the mount (UTF-8).
  bool setTitle(const std::string& title);

 private:
  bool writeConfig();
  // Starts icecast2, then the source once the server answers, and waits for the mount.
  bool startWith(const std::vector<std::string>& source, std::string& error);

  std::string m_dir;
  int m_port = 0;
  pid_t m_icecast = -1;
  pid_t m_source = -1;
  std::string m_mount = kMount;
};

}  // namespace orvel::test
