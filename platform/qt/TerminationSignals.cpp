#include "platform/qt/TerminationSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace orvel {
namespace {

// The read end belongs to the UI thread. The write end is set and cleared by the UI thread and
// read by the handler, on whichever thread the signal interrupts: a lock-free atomic.
int g_readFd = -1;
std::atomic<int> g_writeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free state");

// Only async-signal-safe work here: one byte into the pipe names the signal. The interrupted
// thread's errno is kept.
void onSignal(int signalNumber) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(signalNumber);
  if (const int fd = g_writeFd.load(); fd >= 0) {
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
  int pipe[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipe) != 0) return;
  g_readFd = pipe[0];
  g_writeFd = pipe[1];
  m_notifier = std::make_unique<QSocketNotifier>(g_readFd, QSocketNotifier::Read);
  connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::drain);
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
  ::signal(SIGTERM, SIG_DFL);
  ::signal(SIGINT, SIG_DFL);
  m_notifier.reset();
  if (const int fd = g_writeFd.exchange(-1); fd >= 0) ::close(fd);
  if (g_readFd >= 0) ::close(g_readFd);
  g_readFd = -1;
}

void TerminationSignals::drain() {
  char byte;
  while (::read(g_readFd, &byte, 1) == 1) emit terminationRequested(byte);
}

}  // namespace orvel
