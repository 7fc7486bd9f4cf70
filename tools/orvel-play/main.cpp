// orvel-play: plays an internet radio stream in a terminal through the wave device chosen by
// ORVEL_RADIO_AUDIO, printing one line per player event. Exits 0 after a clean close (the
// --seconds limit, SIGINT or SIGTERM, or a dropped connection that was not picked up again), 1 when
// the stream cannot be opened, 2 on a bad command line.
#include <malloc.h>
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <thread>

#include "tools/orvel-play/PlaySession.h"

int main(int argc, char** argv) {
  // The player's threads allocate little once playing; one shared heap instead of one per
  // thread keeps a few hundred KiB of resident memory away.
  mallopt(M_ARENA_MAX, 1);
  const auto options = orvel::PlayOptions::parse(argc, argv);
  if (!options) {
    std::fputs(orvel::PlayOptions::usage(), stderr);
    return 2;
  }
  // Signals are taken by one watcher thread, which turns them into a message; every other
  // thread (started below) inherits the blocked mask.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  orvel::PlaySession session(*options);
  std::thread([&session, signals] {
    for (;;) {
      int signal = 0;
      if (sigwait(&signals, &signal) == 0) {
        session.queue().post(orvel::PlaySession::kInterrupted, 0, 0);
      }
    }
  }).detach();
  return session.run();
}
