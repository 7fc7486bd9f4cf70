// The skin description parser on a file, then every element laid out and drawn at a screen
// width the first byte chooses (so that the scaling of what was read runs too).

#include <cstdlib>

#include "platform/FilePath.h"
#include "skin/SkinDescription.h"
#include "tests/fuzz/ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static constexpr int kScreenWidths[] = {0, 240, 320, 480, 640, 800, 1, 100000};
  const std::string path = orvel::fuzz::writeScratch("skin.ini", data + 1, size - 1);
  orvel::SkinDescription skin(nullptr);
  skin.setScreenWidth(kScreenWidths[data[0] % 8]);
  orvel::WString error;
  const bool ok = skin.Parse(orvel::fromFsPath(path), error);
  if (ok != error.empty()) std::abort();
  for (int index = 0; index < orvel::SkinDescription::kElementCount; ++index) {
    for (int retrieval = 0; retrieval < 3; ++retrieval) skin.ElementForDrawing(index);
  }
  return 0;
}
