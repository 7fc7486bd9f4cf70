#include "ui/ToolkitWindow.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace orvel {

ToolkitWindow::ToolkitWindow(QWidget* window) : m_window(window) {}

ToolkitWindow::~ToolkitWindow() = default;

QAction* ToolkitWindow::addCommand(QMenu* menu, const QString& text, int id) {
  QAction* action = menu->addAction(text);
  action->setData(id);
  QObject::connect(action, &QAction::triggered, action, [this, id] { command(id); });
  return action;
}

QAction* ToolkitWindow::findCommand(const QMenu* menu, int id) {
  for (QAction* action : menu->actions()) {
    if (action->menu() != nullptr) {
      if (QAction* inner = findCommand(action->menu(), id)) return inner;
    } else if (!action->isSeparator() && action->data().toInt() == id) {
      return action;
    }
  }
  return nullptr;
}

bool ToolkitWindow::command(int) { return false; }

bool ToolkitWindow::notify(const ToolkitNotification&) { return false; }

void ToolkitWindow::menuPopupInit(QMenu*) {}

void ToolkitWindow::watchMenu(QMenu* menu) {
  QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu] { menuPopupInit(menu); });
}

}  // namespace orvel
