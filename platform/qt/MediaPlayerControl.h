#pragma once
// What the desktop's media controls (MPRIS) see of the player and what they may ask of it. The
// main window side implements it; the media-control service calls it on the UI thread, from the
// bus's dispatch, and never blocks in it.

#include <QString>

namespace orvel {

struct MediaPlayerState {
  enum class Status { Stopped, Playing, Paused };
  Status status = Status::Stopped;
  QString title;      // the title line as shown ("Artist - Title" when the station sends both)
  QString station;    // the station's name
  QString url;        // the stream that plays or is paused; empty when stopped
  double volume = 0;  // 0..1
  bool canPlay = false;
  bool canPause = false;
  bool canGoNext = false;
  bool canGoPrevious = false;
  bool operator==(const MediaPlayerState&) const = default;
};

class MediaPlayerControl {
 public:
  virtual ~MediaPlayerControl() = default;
  virtual MediaPlayerState mediaState() const = 0;
  // Resumes what is paused, else plays the last station.
  virtual void mediaPlay() = 0;
  virtual void mediaPause() = 0;
  virtual void mediaStop() = 0;
  // Plays the next (direction 1) or previous (-1) preset that holds a stream.
  virtual void mediaStep(int direction) = 0;
  // Plays a stream URL or a playlist; false when nothing playable was given.
  virtual bool mediaOpen(const QString& uri) = 0;
  virtual void mediaSetVolume(double volume) = 0;
  virtual void mediaRaise() = 0;
  virtual void mediaQuit() = 0;
};

}  // namespace orvel
