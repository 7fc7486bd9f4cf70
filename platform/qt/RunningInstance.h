#pragma once
// A later start's end of the single-instance channel (see InstanceServer): finds the running
// instance, brings it to the foreground, posts messages to its main window and hands it links
// to play.
// UI thread; the operations block for at most about a second each.

#include <QLocalSocket>
#include <QString>
#include <memory>

#include "platform/MessageTarget.h"

namespace orvel {

class RunningInstance : public MessageTarget {
 public:
  // The running instance, or nothing when none answers.
  static std::unique_ptr<RunningInstance> find();
  ~RunningInstance() override;

  bool bringToForeground();
  bool post(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  // False also for a link that is not one line.
  bool openLink(const QString& link);

 private:
  RunningInstance() = default;
  bool send(const QByteArray& line);

  QLocalSocket m_socket;
};

}  // namespace orvel
