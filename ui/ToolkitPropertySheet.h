#pragma once
// A tabbed sheet of dialog pages with the tabs at the bottom (the settings dialog). OK asks
// every page to apply (command 1 to the page); a page that refuses (its command reports not
// handled) keeps the sheet open on that page. Cancel sends command 2 to every page, Help
// command 57670 to the current page. UI thread only; the sheet owns its pages.

#include <QDialog>
#include <vector>

#include "ui/ToolkitWindow.h"

class QTabWidget;

namespace orvel {

class ToolkitDialog;

class ToolkitPropertySheet : public QDialog, public ToolkitWindow {
  Q_OBJECT

 public:
  ToolkitPropertySheet(QWidget* parent, const QString& title);
  ~ToolkitPropertySheet() override;

  // Adds a page under its resource id; the sheet takes ownership.
  void addPage(ToolkitDialog* page, int pageId, const QString& tabText);

  // Runs modally, starting on the page of that id (the first when none has it). True when
  // confirmed with OK.
  bool run(int startPageId);
  // The id of the page that was active last.
  int lastPageId() const { return m_lastPageId; }

  QTabWidget* tabs() const { return m_tabs; }

 protected:
  bool command(int id) override;
  void reject() override;

 private:
  bool apply();

  struct Page {
    ToolkitDialog* dialog;
    int id;
  };
  std::vector<Page> m_pages;
  QTabWidget* m_tabs;
  int m_lastPageId = 0;
};

}  // namespace orvel
