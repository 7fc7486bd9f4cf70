#include "ui/DirectorySearch.h"

#include <QMetaObject>

namespace orvel {

DirectorySearch::DirectorySearch(QObject* parent) : QObject(parent) {}

DirectorySearch::~DirectorySearch() { stopWorker(); }

void DirectorySearch::stopWorker() {
  if (m_client) m_client->cancel();
  if (m_worker.joinable()) m_worker.join();
  m_client.reset();
}

void DirectorySearch::start(const DirectoryQuery& query) {
  stopWorker();
  const unsigned generation = ++m_generation;
  m_running = true;
  m_client = std::make_shared<DirectoryClient>();
  m_worker = std::thread([this, client = m_client, query, generation] {
    auto stations = std::make_shared<std::vector<DirectoryStation>>();
    std::string error;
    const bool ok = client->search(query, *stations, error);
    // Queued to the UI thread; dropped by Qt when this object is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, ok, stations, generation, reason = QString::fromStdString(error)] {
          if (generation != m_generation || !m_running) return;
          m_running = false;
          if (ok) m_results = std::move(*stations);
          emit finished(ok, reason);
        },
        Qt::QueuedConnection);
  });
}

void DirectorySearch::cancel() {
  if (m_client) m_client->cancel();
  m_running = false;
}

}  // namespace orvel
