#pragma once
// "Settings": a property sheet with the "General" page (prebuffering, where recordings go) and
// the "Skins" page (the skin for this screen). OK writes the General page's values to the
// settings; the Skins page stores a changed, fitting skin however the sheet ends. UI thread only.

#include <string>
#include <vector>

#include "ui/ToolkitPropertySheet.h"

namespace orvel {

class GeneralSettingsPage;
class SettingsStore;
class SkinList;
class SkinsDialog;

class SettingsDialog : public ToolkitPropertySheet {
  Q_OBJECT

 public:
  static constexpr int kSheetId = 114;

  struct Result {
    bool confirmed = false;    // closed with OK
    bool skinChanged = false;  // another skin was stored for the screen
  };

  // "Settings..." of the main window: runs the sheet over parent (the player window) for a
  // screen of that size, offering the mounted removable volumes for recordings. The main window
  // reloads the skin only when the result is both confirmed and skinChanged: a skin chosen
  // before Cancel is stored, but shown from the next rotation or start on.
  // Blocks in its own event loop; the store and the list must outlive the call.
  static Result run(QWidget* parent, SettingsStore& settings, SkinList& skins, int screenWidth,
                    int screenHeight);

  SettingsDialog(QWidget* parent, SettingsStore& settings, SkinList& skins, int screenWidth,
                 int screenHeight, const std::vector<std::string>& mountPoints);
  ~SettingsDialog() override;

  // Runs the sheet from the General page.
  Result runSheet();

  GeneralSettingsPage* generalPage() const { return m_general; }
  SkinsDialog* skinsPage() const { return m_skinsPage; }

 private:
  GeneralSettingsPage* m_general;
  SkinsDialog* m_skinsPage;
};

}  // namespace orvel
