#pragma once
// The about box: the program's name and version, its logo, a link to the home page and one for
// support mail, and "Get update..." which starts the updater "OvUpdate" of the program
// directory when it is there. A distributor brands the links through the registry subkey
// "VersionInfo" of the program's key: "WebLinkHide"/"SupportHide" (1 hides a link with its
// label), "WebLinkTitle"/"SupportTitle" (the link's text), "WebLinkURL"/"SupportURL" (its
// address); missing values keep the defaults. UI thread only.

#include <string>
#include <vector>

#include "platform/Text.h"
#include "resources/ProgramVersion.h"
#include "ui/ToolkitDialog.h"

class QLabel;

namespace orvel {

class Registry;
class WebLink;

class AboutBox : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kPortraitId = 123;
  static constexpr int kLandscapeId = 129;
  static constexpr int kIconId = 1030;
  static constexpr int kVersionId = 1031;
  static constexpr int kLogoId = 1028;
  static constexpr int kHomeLabelId = 1034;
  static constexpr int kHomeLinkId = 102;
  static constexpr int kSupportLabelId = 1035;
  static constexpr int kSupportLinkId = 1037;
  static constexpr int kSeparatorId = 1039;
  static constexpr int kCmdGetUpdate = 40090;
  static constexpr double kVersion = kProgramVersion;
  static constexpr const char* kUpdaterName = "OvUpdate";
  static constexpr const char16_t* kDefaultHomeUrl = u"https://orvel.example/radio";
  static constexpr const char16_t* kDefaultSupportUrl = u"mailto:support@orvel.example";

  // "About..." of the main window: runs the box over parent (the player window). landscape:
  // the screen is wider than high. The registry is read once, when the box opens.
  static void run(QWidget* parent, bool landscape, Registry& registry,
                  const std::string& programDir);

  AboutBox(QWidget* parent, bool landscape, Registry& registry, const std::string& programDir);
  ~AboutBox() override;

  // The layout in use: kPortraitId or kLandscapeId.
  int layoutId() const { return m_layoutId; }
  WebLink* homeLink() const { return m_homeLink; }
  WebLink* supportLink() const { return m_supportLink; }

  // The update package the updater is asked for: string 66 and the processor's suffix.
  static WString updatePackage(bool isXScale);
  // The updater's arguments after its path.
  static std::vector<std::string> updaterArguments(bool isXScale);

 protected:
  bool command(int id) override;

 private:
  void buildPortrait(QWidget* logo, QWidget* links);
  void buildLandscape(QWidget* logo, QWidget* links);
  QWidget* buildLinks();
  QLabel* buildLogo();
  void brandLinks(Registry& registry);
  void startUpdater() const;

  std::string m_programDir;
  int m_layoutId;
  QLabel* m_homeLabel = nullptr;
  WebLink* m_homeLink = nullptr;
  QLabel* m_supportLabel = nullptr;
  WebLink* m_supportLink = nullptr;
};

}  // namespace orvel
