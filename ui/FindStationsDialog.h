#pragma once
// "Find stations": searches the community station directory by name and shows what it finds
// (name, codec and bitrate, country). "Play" ends the dialog with the chosen station (and tells
// the directory about the click); "Add" puts it into the library under the category picked
// below the list ("Found" unless the user picks another) and stays. A search runs in the
// background: the Search button turns into Cancel meanwhile and the dialog stays usable.
// UI thread only. The database must outlive the dialog.

#include <optional>

#include "library/DirectoryStation.h"
#include "library/RadioDatabase.h"
#include "ui/ToolkitDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace orvel {

class DirectorySearch;

class FindStationsDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kTextId = 1201;
  static constexpr int kSearchId = 1202;
  static constexpr int kListId = 1203;
  static constexpr int kStatusId = 1204;
  static constexpr int kCategoryId = 1205;
  static constexpr int kAddId = 1206;
  static constexpr int kPlayId = 1207;

  FindStationsDialog(QWidget* parent, RadioDatabase& database);
  ~FindStationsDialog() override;

  // After OK (Play): the station to play.
  const std::optional<DirectoryStation>& playedStation() const { return m_played; }

  QLineEdit* textField() const { return m_text; }
  QPushButton* searchButton() const { return m_search; }
  QTreeWidget* list() const { return m_list; }
  QLabel* statusLine() const { return m_status; }
  QComboBox* categoryBox() const { return m_category; }
  QPushButton* addButton() const { return m_add; }
  QPushButton* playButton() const { return m_play; }
  bool searching() const;

 private:
  void makeList();
  void makeAddControls();
  void searchOrCancel();
  void searchEnded(bool ok, const QString& error);
  void showResults();
  void addChosen();
  void playChosen();
  const DirectoryStation* chosen() const;
  void updateButtons();

  RadioDatabase& m_database;
  DirectorySearch* m_searcher;
  QLineEdit* m_text;
  QPushButton* m_search;
  QTreeWidget* m_list;
  QLabel* m_status;
  QComboBox* m_category;
  QPushButton* m_add;
  QPushButton* m_play;
  std::optional<DirectoryStation> m_played;
};

}  // namespace orvel
