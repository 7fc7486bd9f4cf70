#pragma once
// Names that several parts of the program share.

namespace orvel {

// The program's title: the main window's title and every message box's caption.
inline constexpr char16_t kProgramTitle[] = u"Orvel Radio";
// The registry key of the program's settings.
inline constexpr char16_t kRadioKey[] = u"\\Software\\Orvel\\Radio";
// The main window's class; also the name of the single-instance socket.
inline constexpr char16_t kMainWindowClass[] = u"OrvelRadio";

}  // namespace orvel
