#pragma once
// Message boxes as QMessageBox, modal over the main window when it exists. UI thread only.

#include <QPointer>
#include <QWidget>

#include "platform/MessageBoxHost.h"

namespace orvel {

class QtMessageBoxHost : public MessageBoxHost {
 public:
  // The window that owns the boxes; none before the main window exists.
  void setOwner(QWidget* owner) { m_owner = owner; }
  int show(const WString& text, const WString& caption, Icon icon, Buttons buttons) override;

 private:
  QPointer<QWidget> m_owner;
};

}  // namespace orvel
