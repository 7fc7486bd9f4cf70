#pragma once
// The program's top-level window (the base of the main window): a title and icon, a child
// that fills the client area, and the window's commands. Commands 57665 (exit) and 8 close it;
// closing it ends the application's event loop.
// UI thread only.

#include <QMainWindow>

#include "ui/ToolkitWindow.h"

namespace orvel {

class ToolkitFrameWindow : public QMainWindow, public ToolkitWindow {
  Q_OBJECT

 public:
  ToolkitFrameWindow();
  ~ToolkitFrameWindow() override;

  // Sets the title (from the string id; empty when missing) and the icon, and shows the window.
  // False when the window cannot be shown.
  bool create(uint16_t titleId, const QIcon& icon);

  // The child that fills the client area; the window takes ownership.
  void setClient(QWidget* client);

 protected:
  bool command(int id) override;
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace orvel
