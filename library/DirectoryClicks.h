#pragma once
// Sends the directory's click counts in the background: each on a thread of its own, so that
// playing a found station never waits for the directory. Threads that are done are joined at the
// next send; at exit the ones still running are cancelled (their requests aborted at once) and
// joined, so none outlives the program's clean-up.
//
// Threads: send is called on one thread (the user-interface thread); each sender thread owns
// its client, and only DirectoryClient::cancel reaches it from outside.

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace orvel {

class DirectoryClient;

class DirectoryClicks {
 public:
  // Tells the directory that the station was played.
  static void send(const std::string& uuid);

  ~DirectoryClicks();

 private:
  struct Sender {
    std::shared_ptr<DirectoryClient> client;
    std::shared_ptr<std::atomic<bool>> done;
    std::thread thread;
  };

  DirectoryClicks() = default;
  static DirectoryClicks& instance();
  void start(const std::string& uuid);

  std::vector<Sender> m_senders;  // owned by the thread that calls send
};

}  // namespace orvel
