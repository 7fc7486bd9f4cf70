#pragma once
// "Skins": the skins that fit the screen, as "name (subname)", with the selected one's design
// size, author, web link and comments, and a red warning when it does not fit the screen.
// It opens on the skin assigned to the screen (the first skin when that is not listed). When it
// closes, whichever way, a different fitting selection is stored as the screen's skin; a
// selection that does not fit is never stored and counts as unchanged.
// It is the Skins page of the settings, and runs on its own at start-up when several skins fit
// and none is assigned. UI thread only; the chooser must outlive the dialog.

#include "platform/Text.h"
#include "ui/ToolkitDialog.h"

class QComboBox;
class QLabel;
class QGridLayout;

namespace orvel {

class SkinList;
struct SkinListEntry;
class WebLink;

class SkinsDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kPageId = 118;
  static constexpr int kListId = 1004;
  static constexpr int kDimensionsId = 1020;
  static constexpr int kAuthorId = 1017;
  static constexpr int kWebId = 102;
  static constexpr int kCommentsId = 1018;
  static constexpr int kWarningId = 1022;
  static inline const QColor kWarningColour{255, 0, 0};

  // Start-up's skins dialog: runs over parent (nullptr before the player window exists: the
  // dialog then takes the screen's size) for a screen of that size and stores the choice (with
  // list.RememberSkin) when it closes, even when the selection was not changed.
  // Blocks in its own event loop.
  static void run(QWidget* parent, SkinList& list, int screenWidth, int screenHeight);

  SkinsDialog(QWidget* parent, SkinList& list, int screenWidth, int screenHeight);
  ~SkinsDialog() override;

  // After closing: the selection differs from the skin assigned when the dialog opened, and
  // was stored.
  bool selectionChanged() const { return m_changed; }
  // The description file of the selected skin; empty when the list is empty.
  WString selectedPath() const;

  QComboBox* skins() const { return m_skins; }
  QLabel* warning() const { return m_warning; }
  WebLink* webLink() const { return m_web; }

  void done(int result) override;

 protected:
  bool command(int id) override;

 private:
  QLabel* addDetail(int id, const QString& caption);
  void showDetails();
  const SkinListEntry* selectedSkin() const;
  // Stores a changed, fitting selection; does its work once.
  void finish();

  SkinList& m_list;
  int m_screenWidth;
  int m_screenHeight;
  WString m_assigned;  // empty when none was assigned
  QComboBox* m_skins;
  QGridLayout* m_details;
  QLabel* m_dimensions;
  QLabel* m_author;
  WebLink* m_web;
  QLabel* m_comments;
  QLabel* m_warning;
  bool m_closed = false;
  bool m_changed = false;
};

}  // namespace orvel
