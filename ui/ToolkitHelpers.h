#pragma once
// Helpers shared by the toolkit's windows and dialogs: strings, the toolkit font, the scale
// factor, path components and help. UI thread only.

#include <QFont>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

#include "platform/Text.h"

namespace orvel::toolkit {

// The text of a string id; empty when the table has none.
QString loadString(uint16_t id);

inline QString toQString(const WString& text) { return QString::fromStdU16String(text); }
inline WString toWString(const QString& text) { return text.toStdU16String(); }

// The scale factor k (the handheld's border width): 2 when the screen's shorter side is at
// least 480 pixels, else 1. Dialogs and lists multiply their pixel sizes by it.
int borderWidth(QSize screen);

// True when the screen is wider or taller than 639 pixels.
bool isHighResolution(QSize screen);

// The toolkit font: the system font with a pixel height of heightFactor x k, bold when asked,
// antialiased when asked.
QFont toolkitFont(bool bold, int heightFactor, int k, bool smooth);

// The text after the last "/"; nothing when the path has no "/".
std::optional<WString> lastComponent(WStringView path);

// base, "/" unless base already ends with it, then name without its leading "/".
WString joinPaths(WStringView base, WStringView name);

// The process-wide help file; none by default, and then help does nothing.
void setHelpFile(const QString& path);
const QString& helpFile();
// Opens the help file at the topic ("Main_Contents" when empty) in the desktop's viewer.
// False when there is no help file or it does not exist.
bool showHelp(const QString& file, const QString& topic);

}  // namespace orvel::toolkit
