#pragma once
// The panel of the nine preset buttons. A tap on a preset that holds a stream plays it through
// the host; a tap-and-hold (or a tap on an empty preset) runs the chooser and stores the chosen
// stream as that preset without playing it. The preset that plays shows its alternate look.
// UI thread only.

#include <array>

#include "skin/ButtonListener.h"
#include "skin/SkinPanel.h"

namespace orvel {

class PresetsHost;
class RadioDatabase;
class SkinButton;

class PresetsPanelControl : public SkinPanel, public ButtonListener {
 public:
  static constexpr int kPresetCount = 9;

  // host and database: not owned; they outlive the panel.
  PresetsPanelControl(PresetsHost* host, RadioDatabase& database);
  ~PresetsPanelControl() override;

  // Makes the panel (element 0) and its nine buttons on parent, with the presets' captions.
  // False when any of them cannot be set up; nothing is left then.
  bool setup(QWidget* parent, SkinDescription& description, bool visible);

  // Shows preset index (0 to 8) in its alternate look and the others in the normal one; any
  // other index leaves all nine normal.
  void HighlightPreset(int index);

  SkinButton* presetButton(int index) const { return m_buttons.at(index); }

  intptr_t notify(uint32_t code, const Notification& data) override;

 protected:
  // A right click on a preset is its tap-and-hold.
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void destroyButtons();
  void setCaption(int index);
  void tapped(int index, bool held);

  PresetsHost* const m_host;
  RadioDatabase& m_database;
  std::array<SkinButton*, kPresetCount> m_buttons{};  // children of the panel's window
};

}  // namespace orvel
