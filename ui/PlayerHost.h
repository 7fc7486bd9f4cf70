#pragma once
// What the player panel asks of the window that holds it (the main window). UI thread only.

namespace orvel {

struct StreamInfo;

class PlayerHost {
 public:
  virtual ~PlayerHost() = default;
  // Runs the radio chooser; false when nothing playable was chosen. The stream belongs to the
  // radio database.
  virtual bool ChooseStream(const StreamInfo** result) = 0;
  // Marks the preset whose stream plays (0 to 8); any other index marks none.
  virtual void HighlightPreset(int presetIndex) = 0;
  // The player's state, the title, the station or the volume may have changed.
  virtual void PlayerStateChanged() = 0;
  // Playback ended while a recording ran (the stream ended or broke off, or the storage filled
  // up).
  virtual void RecordingStopped() = 0;
};

}  // namespace orvel
