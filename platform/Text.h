#pragma once
// Wide text and the one 8-bit decoding rule of the program.
//
// Wide text is UTF-16 (`WString`); lengths are UTF-16 code units. Every byte string that
// comes from outside (network headers, in-band titles, playlists, skin files, tags) is
// decoded by decodeAnsi: UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252,
// one byte to one character. All functions are pure and thread-safe.

#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

using WString = std::u16string;
using WStringView = std::u16string_view;

// Decodes 8-bit text: UTF-8 when valid, else Windows-1252.
WString decodeAnsi(std::string_view bytes);

// Strict UTF-8 check (no overlongs, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Windows-1252 (undefined bytes map to the C1 control of the same value, as Windows does).
WString decodeWindows1252(std::string_view bytes);

// UTF-8 <-> UTF-16. Unpaired surrogates become U+FFFD on the way to UTF-8;
// invalid UTF-8 sequences become U+FFFD on the way back.
std::string toUtf8(WStringView text);
WString fromUtf8(std::string_view text);

// Converts ASCII text (literals, numbers) without any decoding.
WString fromAscii(std::string_view ascii);

// Folds ASCII and Latin-1 letters to lower case; other code units are unchanged.
char16_t foldCase(char16_t c);
// 8-bit text (protocol names, header values) with its ASCII letters in lower case.
std::string lowerAscii(std::string_view text);

// Comparison "without case" (ASCII and Latin-1 letters folded): <0, 0, >0.
int compareNoCase(WStringView a, WStringView b);
bool equalsNoCase(WStringView a, WStringView b);
bool startsWithNoCase(WStringView text, WStringView prefix);

// _wtol: leading blanks skipped, optional sign, decimal digits up to the first other
// character. Overflow wraps modulo 2^32, so an unsigned 32-bit alarm id written with "%u"
// comes back unchanged when cast to uint32_t.
int32_t wtol(WStringView text);

}  // namespace orvel
