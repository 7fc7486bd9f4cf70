#pragma once
// A modal dialog with the program's standard look: the size of the player window's screen,
// a menu bar that carries the dialog's commands, a bold header in dark blue with a line under
// it, the dialog's own controls, and the OK, Cancel and Help buttons (Help also on F1).
// OK sends command 1, Cancel, Escape and closing the window command 2, Help command 57670;
// the base command handler ends the dialog with 1, 2 or 8 and shows the help.
// UI thread only. Owned by whoever runs it (usually on the stack).

#include <QDialog>
#include <QVBoxLayout>
#include <QSize>

#include "ui/ToolkitWindow.h"

class QComboBox;
class QFrame;
class QLineEdit;
class QLabel;
class QMenuBar;
class QPushButton;
class QVBoxLayout;

namespace orvel {

class ToolkitDialog : public QDialog, public ToolkitWindow {
  Q_OBJECT

 public:
  static constexpr int kHeaderId = 1023;

  // The dialog takes the size of the parent's top-level window (the screen of the program);
  // without a parent (or with one of no size yet), 240 x 320.
  ToolkitDialog(QWidget* parent, const QString& title);
  ~ToolkitDialog() override;

  // Runs the dialog modally; the result given to end (1 OK, 2 Cancel).
  int run();
  // Ends the dialog with the result.
  void end(int result);

  // The scale factor k of the dialog's screen.
  int scale() const { return m_scale; }
  QSize screenSize() const { return m_screen; }

  // Follows a change of the screen (rotation): takes the new size and lays out again.
  void setScreenSize(QSize screen);

  // The bold header shared by all dialogs: RGB(0,0,156), with a line k pixels high under it.
  QLabel* setUpHeader(const QString& text, bool withLine);
  QFrame* headerLine() const { return m_headerLine; }
  // The dialog's menu bar, made on first use.
  QMenuBar* menuBar();
  // Hides the OK button, for dialogs that end by their own commands.
  void setOkButtonShown(bool shown);
  // Hides the whole button row and lets the dialog take any size: a page of a property sheet.
  void becomePage();

  // Where the subclasses put their controls.
  QVBoxLayout* body() const { return m_body; }

  // A bold font for a control of the dialog.
  void setBoldFont(QWidget* item) const;

  // Controls in the dialog's body, named by their item id (the object name is the id).
  QLabel* addStatic(int id, const QString& text);
  // An edit box of 259 characters under its label.
  QLineEdit* addEdit(int id, const QString& label);
  // A drop-down list (not editable) under its label.
  QComboBox* addDropDown(int id, const QString& label);
  // The control of that item id; nullptr when the dialog has none of that type.
  template <typename Control>
  Control* item(int id) const {
    return findChild<Control*>(QString::number(id));
  }

 protected:
  bool command(int id) override;
  // Called when the dialog's size changed; base: nothing (the layouts follow by themselves).
  virtual void relayout();

  void reject() override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QSize m_screen;
  int m_scale;
  QSize m_lastClientSize{-1, -1};
  QVBoxLayout* m_outer;
  QVBoxLayout* m_body;
  QMenuBar* m_menuBar = nullptr;
  QLabel* m_header = nullptr;
  QFrame* m_headerLine = nullptr;
  QPushButton* m_ok;
  QWidget* m_buttonRow;
  bool m_isPage = false;  // a page only records its result; the sheet ends
};

}  // namespace orvel
