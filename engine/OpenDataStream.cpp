#include "engine/OpenDataStream.h"

#include "engine/FileStream.h"
#include "platform/FilePath.h"

namespace orvel {

int32_t OpenDataStream(WStringView path, bool readOnly, DataStream** stream) {
  if (stream == nullptr) return -1;
  *stream = nullptr;
  if (startsWithNoCase(path, u"http://")) return -1;
  auto* file = new FileStream(toFsPath(path), readOnly);
  if (file->IsOpen() == 0) {
    file->Release();
    return -1;
  }
  *stream = file;
  return 0;
}

}  // namespace orvel
