#pragma once
// Searches the station directory without blocking the user interface: each search runs on a
// worker thread of its own and its result is posted back to the UI thread. A new search or
// cancel drops the search in progress (its request is aborted at once, its result ignored).
//
// Threads: the object lives on the UI thread; the worker only touches the client it was given
// (DirectoryClient::cancel is the one call that crosses threads) and posts its result. The
// destructor cancels and joins the worker.

#include <QObject>
#include <QString>
#include <memory>
#include <thread>
#include <vector>

#include "library/DirectoryClient.h"
#include "library/DirectoryQuery.h"
#include "library/DirectoryStation.h"

namespace orvel {

class DirectorySearch : public QObject {
  Q_OBJECT

 public:
  explicit DirectorySearch(QObject* parent = nullptr);
  ~DirectorySearch() override;

  void start(const DirectoryQuery& query);
  void cancel();
  bool running() const { return m_running; }
  // The stations of the last search that succeeded.
  const std::vector<DirectoryStation>& results() const { return m_results; }

 signals:
  // A search ended (not after cancel); `error` holds the reason when it failed.
  void finished(bool ok, const QString& error);

 private:
  void stopWorker();

  // --- UI thread
  std::thread m_worker;
  std::shared_ptr<DirectoryClient> m_client;  // the worker's; shared so cancel can reach it
  unsigned m_generation = 0;                  // the search whose result is awaited
  bool m_running = false;
  std::vector<DirectoryStation> m_results;
};

}  // namespace orvel
