#pragma once
// Path helpers on "/" paths.

#include "platform/Text.h"

namespace orvel {

struct PathParts {
  WString directory;  // everything before the last "/", without it; empty when there is none
  WString name;       // the file name without its extension
  WString extension;  // after the last "." that follows the last "/"; empty when there is none
};

PathParts splitPath(WStringView fullPath);

// The text after the last "/" (the whole path when there is none).
WString lastPathComponent(WStringView path);

// Joins with exactly one "/" between the parts (an empty part adds nothing).
WString joinPath(WStringView first, WStringView second);
std::string joinPath(std::string_view first, std::string_view second);

// Wide path <-> the file system's byte path (UTF-8).
std::string toFsPath(WStringView path);
WString fromFsPath(std::string_view path);

}  // namespace orvel
