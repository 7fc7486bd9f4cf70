#pragma once
// The base of every toolkit window: binds one object to one widget and routes the window's
// commands (menu items, buttons, keys), list notifications and menu pop-ups to virtual
// operations, in this order: command, notify, menu pop-up initialisation. The soft input panel
// of the handheld does not exist here, so its operations are gone.
// UI thread only. The object does not own its widget unless a subclass is the widget itself.

#include <QString>

#include "ui/ToolkitNotification.h"

class QAction;
class QMenu;
class QWidget;

namespace orvel {

class ToolkitWindow {
 public:
  // Command ids shared by all windows.
  enum CommandId : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdClose = 8,
    kIdExit = 57665,
    kIdHelp = 57670,
  };

  explicit ToolkitWindow(QWidget* window);
  virtual ~ToolkitWindow();
  ToolkitWindow(const ToolkitWindow&) = delete;
  ToolkitWindow& operator=(const ToolkitWindow&) = delete;

  QWidget* window() const { return m_window; }

  // Sends a command as a menu item or a button would; true when it was handled.
  bool sendCommand(int id) { return command(id); }

  // Adds a menu item that sends the command; its id is kept in the action's data.
  QAction* addCommand(QMenu* menu, const QString& text, int id);
  // The action of a command in a menu (searched through its sub-menus); nullptr when none.
  static QAction* findCommand(const QMenu* menu, int id);

 protected:
  // Called by sendCommand, menu items and buttons. True when handled; base: not handled.
  virtual bool command(int id);

 public:
  // Called by a ToolkitListView attached to a child of this window. True when handled.
  virtual bool notify(const ToolkitNotification& notification);

 protected:
  // Called just before a menu of this window shows, so that items can be greyed.
  virtual void menuPopupInit(QMenu* menu);
  // Makes menuPopupInit run for the menu whenever it is about to show.
  void watchMenu(QMenu* menu);

 private:
  QWidget* m_window;
};

}  // namespace orvel
