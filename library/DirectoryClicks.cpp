#include "library/DirectoryClicks.h"

#include <algorithm>

#include "library/DirectoryClient.h"

namespace orvel {

DirectoryClicks& DirectoryClicks::instance() {
  static DirectoryClicks clicks;
  return clicks;
}

void DirectoryClicks::send(const std::string& uuid) { instance().start(uuid); }

void DirectoryClicks::start(const std::string& uuid) {
  const auto finished = std::remove_if(m_senders.begin(), m_senders.end(), [](Sender& sender) {
    if (!*sender.done) return false;
    sender.thread.join();
    return true;
  });
  m_senders.erase(finished, m_senders.end());
  Sender sender{
      std::make_shared<DirectoryClient>(), std::make_shared<std::atomic<bool>>(false), {}};
  sender.thread = std::thread([client = sender.client, done = sender.done, uuid] {
    std::string error;
    client->countClick(uuid, error);
    *done = true;
  });
  m_senders.push_back(std::move(sender));
}

DirectoryClicks::~DirectoryClicks() {
  for (Sender& sender : m_senders) sender.client->cancel();
  for (Sender& sender : m_senders) sender.thread.join();
}

}  // namespace orvel
