#pragma once
// What the presets panel asks of the window that holds it (the main window). UI thread only.

namespace orvel {

struct StreamInfo;

class PresetsHost {
 public:
  virtual ~PresetsHost() = default;
  // Runs the radio chooser; false when nothing playable was chosen. The stream belongs to the
  // radio database.
  virtual bool ChooseStream(const StreamInfo** result) = 0;
  // Plays a preset's stream (index 0 to 8).
  virtual void PlayPreset(const StreamInfo* stream, int presetIndex) = 0;
};

}  // namespace orvel
