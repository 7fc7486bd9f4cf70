#include "ui/ToolkitFrameWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include "ui/ToolkitHelpers.h"

namespace orvel {

ToolkitFrameWindow::ToolkitFrameWindow() : ToolkitWindow(this) {}

ToolkitFrameWindow::~ToolkitFrameWindow() = default;

bool ToolkitFrameWindow::create(uint16_t titleId, const QIcon& icon) {
  setWindowTitle(toolkit::loadString(titleId));
  setWindowIcon(icon);
  show();
  return isVisible();
}

void ToolkitFrameWindow::setClient(QWidget* client) { setCentralWidget(client); }

bool ToolkitFrameWindow::command(int id) {
  if (id == kIdExit || id == kIdClose) {
    close();
    return true;
  }
  return false;
}

void ToolkitFrameWindow::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) QCoreApplication::quit();
}

}  // namespace orvel
