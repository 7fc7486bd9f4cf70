#pragma once
// What every library a reader made must hold, whatever the file: no value above the length
// limit, every radio with one of its own streams selected or none, every stream's radio known.

#include <cstdlib>

#include "library/PlaylistFile.h"

namespace orvel::fuzz {

inline void checkLibrary(const PlaylistFile& library) {
  for (const StreamInfo* stream : library.allStreams()) {
    const RadioInfo* radio = library.GetRadioInfo(stream->radio);
    if (radio == nullptr || library.GetCategoryInfo(radio->category) == nullptr) std::abort();
    for (const WString* value : {&stream->url, &stream->comment, &stream->bitrate,
                                 &stream->format, &radio->title, &radio->shortTitle,
                                 &radio->category->name}) {
      if (value->size() > PlaylistFile::kMaxTextLength) std::abort();
    }
    if (radio->selectedStream != nullptr && radio->selectedStream->radio != radio) std::abort();
  }
}

}  // namespace orvel::fuzz
