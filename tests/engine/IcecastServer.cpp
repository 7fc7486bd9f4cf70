#include "IcecastServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/internet/InternetSession.h"

namespace orvel::test {
namespace {

constexpr const char* kSourcePassword = "orvel-source";
constexpr const char* kAdminPassword = "orvel-admin";

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

int freeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

pid_t spawn(const std::vector<std::string>& args, const std::string& logPath) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  // Should the test die before its clean-up, the peers go with it.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  FILE* log = std::fopen(logPath.c_str(), "w");
  if (log != nullptr) {
    dup2(fileno(log), STDOUT_FILENO);
    dup2(fileno(log), STDERR_FILENO);
  }
  execvp(argv[0], argv.data());
  _exit(127);
}

void stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

// GET on loopback; the status line and the first bytes of the body.
bool httpGet(const std::string& url, std::string& statusLine) {
  InternetSession session("ORVEL Radio test");
  UrlComponents parts;
  if (!crackUrl(url, parts)) return false;
  auto request = session.openRequest(parts, {});
  if (!request || !request->send("", 3000)) return false;
  statusLine = request->rawHeaderLines().front();
  return true;
}

}  // namespace

bool IcecastServer::available() { return onPath("icecast2") && onPath("ffmpeg") && onPath("curl"); }

IcecastServer::IcecastServer() {
  char dirTemplate[] = "/tmp/orvel-icecast-XXXXXX";
  if (mkdtemp(dirTemplate) != nullptr) m_dir = dirTemplate;
}

IcecastServer::~IcecastServer() {
  stop(m_source);
  stop(m_icecast);
  if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
}

std::string IcecastServer::streamUrl() const {
  return "http://127.0.0.1:" + std::to_string(m_port) + m_mount;
}

bool IcecastServer::writeConfig() {
  // icecast2 runs as its own user: it must read the folder and write its logs.
  chmod(m_dir.c_str(), 0755);
  std::filesystem::create_directory(m_dir + "/log");
  chmod((m_dir + "/log").c_str(), 0777);
  std::ofstream config(m_dir + "/icecast.xml");
  config << "<icecast><location>loopback</location><admin>test@localhost</admin>"
         << "<limits><clients>10</clients><sources>2</sources><burst-size>65535</burst-size>"
         << "<source-timeout>10</source-timeout></limits>"
         << "<authentication><source-password>" << kSourcePassword << "</source-password>"
         << "<admin-user>admin</admin-user><admin-password>" << kAdminPassword
         << "</admin-password></authentication><hostname>127.0.0.1</hostname>"
         << "<listen-socket><port>" << m_port << "</port><bind-address>127.0.0.1</bind-address>"
         << "</listen-socket><mount type=\"normal\"><mount-name>" << m_mount << "</mount-name>"
         << "<charset>UTF-8</charset></mount><fileserve>1</fileserve>"
         << "<paths><basedir>" << m_dir << "</basedir><logdir>" << m_dir << "/log</logdir>"
         << "<webroot>/usr/share/icecast2/web</webroot>"
         << "<adminroot>/usr/share/icecast2/admin</adminroot></paths>"
         << "<logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog>"
         << "<loglevel>2</loglevel></logging><security><chroot>0</chroot></security></icecast>\n";
  return static_cast<bool>(config);
}

bool IcecastServer::start(std::string& error) {
  m_port = freeLoopbackPort();
  const std::string target = "icecast://source:" + std::string(kSourcePassword) +
                             "@127.0.0.1:" + std::to_string(m_port) + kMount;
  return startWith({"ffmpeg",        "-nostdin",   "-v",
                    "error",         "-re",        "-f",
                    "lavfi",         "-i",         "sine=frequency=440:sample_rate=44100",
                    "-ac",           "2",          "-c:a",
                    "libmp3lame",    "-b:a",       "128k",
                    "-content_type", "audio/mpeg", "-ice_name",
                    kStationName,    "-f",         "mp3",
                    target},
                   error);
}

bool IcecastServer::startWithOggFile(const std::string& oggFile, int bytesPerSecond,
                                     std::string& error) {
  m_port = freeLoopbackPort();
  m_mount = kOggMount;
  return startWith({"curl", "-sS", "-T", oggFile, "--limit-rate", std::to_string(bytesPerSecond),
                    "-H", "Content-Type: audio/ogg", "-H", std::string("Ice-Name: ") + kStationName,
                    "-u", std::string("source:") + kSourcePassword, streamUrl()},
                   error);
}

bool IcecastServer::startWith(const std::vector<std::string>& source, std::string& error) {
  if (m_dir.empty() || m_port == 0 || !writeConfig()) {
    error = "no temporary folder or free port";
    return false;
  }
  std::vector<std::string> icecast = {"icecast2", "-c", m_dir + "/icecast.xml"};
  if (geteuid() == 0) {
    icecast.insert(icecast.begin(), {"setpriv", "--reuid=icecast2", "--regid=icecast",
                                     "--init-groups", "--pdeathsig", "TERM"});
  }
  m_icecast = spawn(icecast, m_dir + "/icecast.out");
  for (int i = 0; i < 150; ++i) {
    std::string status;
    const bool answered = httpGet(streamUrl(), status);
    if (answered && status.find(" 200") != std::string::npos) return true;
    // The server is up but the mount is not: start the source.
    if (answered && m_source < 0) m_source = spawn(source, m_dir + "/source.out");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::ifstream log(m_dir + (m_source < 0 ? "/icecast.out" : "/source.out"));
  std::getline(log, error, '\0');
  error = "the mount did not come up: " + error;
  return false;
}

bool IcecastServer::setTitle(const std::string& title) {
  std::string song;
  for (unsigned char c : title) {
    static const char* const kHex = "0123456789ABCDEF";
    if (std::isalnum(c)) {
      song += static_cast<char>(c);
    } else {
      song += {'%', kHex[c >> 4], kHex[c & 15]};
    }
  }
  std::string status;
  return httpGet("http://admin:" + std::string(kAdminPassword) +
                     "@127.0.0.1:" + std::to_string(m_port) + "/admin/metadata?mount=" + kMount +
                     "&mode=updinfo&song=" + song,
                 status) &&
         status.find(" 200") != std::string::npos;
}

}  // namespace orvel::test
