#pragma once
// The program's string table: every status, error and question text the user can see, by its
// 16-bit id. The ids double as status and error codes across the program (0: no error).
// Pure data; thread-safe.

#include <cstdint>

#include "platform/Text.h"

namespace orvel {

enum StringId : uint16_t {
  kStrNone = 0,
  kStrCannotConnectToInternet = 1,
  kStrUrlUnknownFormat = 2,
  kStrErrorAlreadyHandled = 4,
  kStrErrorSendingRequest = 5,
  kStrConnectionError = 6,
  kStrCannotGetHeaders = 7,
  kStrServerRejectedRequest = 8,
  kStrServerBadHeaders = 9,
  kStrCannotOpenDefaultDatabase = 10,
  kStrConnectingToInternet = 12,
  kStrOnline = 13,
  kStrConnecting = 14,
  kStrRequestingServer = 15,
  kStrCannotConnectToServer = 16,
  kStrConnectedToServer = 17,
  kStrOpenPlaylistFile = 18,
  kStrPlaylistUnsupported = 19,
  kStrDeleteCategoryQuestion = 21,
  kStrDeleteRadioQuestion = 22,
  kStrDate = 26,
  kStrTime = 27,
  kStrAlarmText = 39,
  kStrBuffering = 40,
  kStrPlaybackStarted = 41,
  kStrConnectionInterrupted = 42,
  kStrCannotOpenDecoder = 43,
  kStrCannotCreateDecoder = 44,
  kStrCannotOpenSoundDevice = 45,
  kStrCannotOpenSkinFile = 46,
  kStrNoSkinForScreen = 47,
  kStrCannotLoadSkins = 48,
  kStrNoSkinAssigned = 49,
  kStrPlaybackStopped = 51,
  kStrDeleteStreamQuestion = 52,
  kStrCategoryExists = 53,
  kStrUrlEmpty = 54,
  kStrTitleEmpty = 55,
  kStrMyRadios = 56,
  kStrMainMemory = 57,
  kStrCannotCreateFile = 58,
  kStrRecordingOnlyMp3 = 59,
  kStrRecordingStarted = 60,
  kStrEndTimeTooEarly = 62,
  kStrRadio = 66,
  kStrClosingConnection = 67,
  kStrConnectionClosed = 68,
  kStrRetry = 69,
  // Ours, beyond the handheld's table.
  kStrReconnecting = 70,  // "Reconnecting... (%d)": lParam of the status is the attempt
  kStrReconnected = 71,   // audio flows again after a reconnection
  kStrReconnectSetting = 72,
  kStrMenuBarEmpty = 703,
};

class StringTable {
 public:
  // The text of an id; nothing when the table has no such id.
  static const char16_t* find(uint16_t id);
  // The text of an id, or the empty text when the table has no such id (LoadString's answer).
  static WString load(uint16_t id);
};

}  // namespace orvel
