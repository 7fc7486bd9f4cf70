#pragma once
// Helpers for library tests: .rrd files written and read as plain UTF-16 text, and short
// descriptions of a library's tree that a test can compare in one line.

#include <string>

#include "library/RadioLibrary.h"
#include "platform/Text.h"

namespace orvel::test {

// FF FE and the text as UTF-16LE.
std::string rrdBytes(WStringView text);
// The text of an .rrd file without its mark; "<unreadable>" when it is missing or unmarked.
WString rrdText(const std::string& path);
// Every stream as "category/title/url" in stream-list order, joined by ";".
std::string streamPaths(const RadioLibrary& library);
// The categories' names in list order, joined by ";".
std::string categoryNames(const RadioLibrary& library);

}  // namespace orvel::test
