#pragma once
// The skin step of start-up: on the first run, removes the default skins that do not suit the
// screen; then chooses the skin for the screen (asking the user when several fit and none is
// assigned), parses it, falls back to the built-in default skin when it does not load, and
// keeps the image decoder and the skin description for the program's life.
// UI thread only; blocks while a message box or the skins dialog is open.

#include <functional>
#include <memory>

#include "platform/Text.h"

namespace orvel {

class ImageDecoder;
class Registry;
class SkinDescription;
class SkinList;

class SkinStartup {
 public:
  // Shows the skins dialog for the screen; the dialog stores the user's choice with
  // list.RememberSkin(screenWidth, screenHeight, path). Called at most once, from run().
  using ChooseSkinDialog = std::function<void(SkinList& list, int screenWidth, int screenHeight)>;

  // programDir: the folder that holds "Skins/" (a "/" path). The registry is not owned.
  SkinStartup(Registry& registry, WString programDir);
  ~SkinStartup();

  // The first-run clean-up, when firstTime (the "FirstTime" setting) is not 0: on a screen
  // with a side of 240 pixels the VGA default skins go, with the registry values "InstSkin01"
  // and "InstSkin02"; on any other screen the two small default skins go. True when it ran:
  // the caller then sets "FirstTime" to 0.
  bool firstRunCleanup(uint32_t firstTime, int screenWidth, int screenHeight);

  // Chooses and parses the skin for the screen, showing the designed messages on the way.
  // First writes "InstSkin01" and "InstSkin02" again where they are missing and their skin
  // folder is there: the folders are the truth, and a lost or unreadable registry must not
  // leave a large screen without its skins. False when no skin fits, or when neither the
  // chosen nor the default skin loads.
  bool run(int screenWidth, int screenHeight, const ChooseSkinDialog& chooseSkin);

  // After run(): the decoder and the description, for the program to keep (the description
  // decodes through the decoder, so it must be cleared before the decoder goes).
  std::unique_ptr<ImageDecoder> takeDecoder();
  std::unique_ptr<SkinDescription> takeDescription();
  // The description file in use after a successful run().
  const WString& skinPath() const { return m_skinPath; }

  // The built-in default skin of the program directory.
  WString defaultSkinPath() const;

 private:
  void restoreInstalledSkins();
  bool parseChosen(SkinList& list, int screenWidth, int screenHeight, const WString& path);

  Registry& m_registry;
  WString m_programDir;
  std::unique_ptr<ImageDecoder> m_decoder;
  std::unique_ptr<SkinDescription> m_description;
  WString m_skinPath;
};

}  // namespace orvel
