#pragma once
// Opens the DataStream for a path: a file (FileStream) for a file-system path. A path that
// begins with "http://" is read over HTTP by the network stream, which is not offered here
// yet: it gives -1.
//
// Runs on the caller's thread; opening a file does not block beyond the file system.

#include <cstdint>

#include "audio/DataStream.h"
#include "platform/Text.h"

namespace orvel {

// read only: open an existing file for reading (shared); else open or create it for reading
// and writing. 0 and *stream set on success (the caller Releases it); -1 and null otherwise.
int32_t OpenDataStream(WStringView path, bool readOnly, DataStream** stream);

}  // namespace orvel
