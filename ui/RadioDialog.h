#pragma once
// The radio dialog: browses the radio library as an expandable list (categories, their
// radios, a radio's streams; one category open at a time), lets the user pick what to play,
// and edits the library (new category, radio or stream, import, delete, properties, the
// radio's selected stream) or finds stations in the community directory. Tapping a radio that has a
// selected stream, or a stream, ends the dialog with OK; a tap-and-hold opens the context menu of
// the row. UI thread only. The database must outlive the dialog.

#include <QPointer>

#include "library/RadioDatabase.h"
#include "ui/ToolkitDialog.h"
#include "ui/ToolkitListView.h"

class QLabel;
class QMenu;
class QTreeWidget;

namespace orvel {

class RadioListDelegate;
class RadioRowItem;

class RadioDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kListId = 101;
  static constexpr int kCommentId = 1001;
  enum Command : int {
    kCmdDelete = 40039,
    kCmdProperties = 40040,
    kCmdNewRadio = 40047,
    kCmdNewCategory = 40048,
    kCmdChangeStream = 40075,
    kCmdSelectStream = 40076,
    kCmdNewStream = 40079,
    kCmdImport = 40080,
    kCmdFindStations = 40090,
  };

  RadioDialog(QWidget* parent, RadioDatabase& database);
  ~RadioDialog() override;

  // What "Open" and choosing a preset's stream do: runs the dialog over parent (the player
  // window, whose size is the screen) and gives the chosen stream, or nullptr after Cancel or
  // when nothing playable was chosen. The stream belongs to the database.
  static const StreamInfo* choose(QWidget* parent, RadioDatabase& database);

  // After OK: a stream row gives its stream, a radio row its selected stream, else nullptr.
  // A station played from "Find stations" gives the library's stream of the same URL, else a
  // stream of a list of played stations that lives as long as the program.
  const StreamInfo* chosenStream() const;

  QTreeWidget* list() const { return m_list; }
  int rowCount() const;
  RadioRowItem* row(int index) const;
  QLabel* commentLine() const { return m_comment; }
  // The context menu of the rows (shown at a tap-and-hold).
  QMenu* contextMenu() const { return m_context; }

  bool notify(const ToolkitNotification& notification) override;

 protected:
  bool command(int id) override;
  void relayout() override;
  void menuPopupInit(QMenu* menu) override;
  // The column widths follow the list's own size.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Enter on the list activates the current row as a tap would (the list hands its keys on).
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildMenus();
  void rebuild();
  void expandCategory(RadioRowItem* category);
  void collapseCategory(RadioRowItem* category);
  void expandRadio(RadioRowItem* radio);
  void collapseRadio(RadioRowItem* radio);
  void insertRow(int at, RadioRowItem* row);
  void deleteRowsAfter(RadioRowItem* row, const std::function<bool(const RadioRowItem&)>& belongs);
  void activate(RadioRowItem* row);
  void rowChosen(RadioRowItem* row);
  void updateColumnWidths();
  void deleteChosen();
  void selectChosenStream();
  // Runs an editing dialog; rebuilds the list when it ended with OK.
  void runEditor(ToolkitDialog& editor);
  void newCategory();
  void findStations();

  RadioDatabase& m_database;
  QTreeWidget* m_list;
  QLabel* m_comment;
  QMenu* m_context;
  RadioListDelegate* m_delegate;
  ToolkitListView m_listView;
  RadioRowItem* m_chosen = nullptr;
  const StreamInfo* m_found = nullptr;  // played from "Find stations"
};

}  // namespace orvel
