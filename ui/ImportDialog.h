#pragma once
// "Import radio": a playlist path (typed, or found with "Browse..."); OK imports the playlist
// into the category "My Radios" and ends with OK, or shows string 19 and ends with Cancel.
// UI thread only.

#include "library/RadioDatabase.h"
#include "ui/ToolkitDialog.h"

namespace orvel {

class ImportDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kPathId = 1002;
  static constexpr int kBrowseId = 1003;

  ImportDialog(QWidget* parent, RadioDatabase& database);

  // The database's open-dialog filter in the file dialog's form:
  // "All playlists (*.m3u *.pls);;M3U playlist (*.m3u);;PLS playlist (*.pls)".
  static QString fileDialogFilter();

 protected:
  bool command(int id) override;

 private:
  void browse();

  RadioDatabase& m_database;
};

}  // namespace orvel
