#pragma once
#include <cstdint>
// Names that several parts of the program share.

namespace orvel {

// The program's title: the main window's title and every message box's caption.
inline constexpr char16_t kProgramTitle[] = u"Orvel Radio";
// The registry key of the program's settings.
inline constexpr char16_t kRadioKey[] = u"\\Software\\Orvel\\Radio";
// The main window's class; also the name of the single-instance socket.
inline constexpr char16_t kMainWindowClass[] = u"OrvelRadio";

}  // namespace orvel

namespace orvel {

// WM_USER and the two messages by which a command line reaches the main window.
inline constexpr uint32_t kMsgUser = 0x400;
inline constexpr uint32_t kMsgAlarmOn = kMsgUser + 1;   // wParam: preset index 0..8
inline constexpr uint32_t kMsgAlarmOff = kMsgUser + 2;  // wParam: 0

}  // namespace orvel
