#pragma once
// Turns SIGTERM and SIGINT into a signal on the UI thread, so that the program can close its
// main window and run its clean-up instead of dying with unsaved settings.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace orvel {

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; one object per process.
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;

 signals:
  void terminationRequested(int signalNumber);

 private:
  void drain();

  std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace orvel
