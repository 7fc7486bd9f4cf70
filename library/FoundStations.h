#pragma once
// Stations found in the station directory, put into the radio library: one radio per station
// (titled with its name) holding its stream, with the bitrate, the codec as the format, and the
// country code and tags as the comment. A stream whose URL the library already holds is not
// added again. Used on the thread that owns the library.

#include "library/DirectoryStation.h"
#include "library/RadioLibrary.h"

namespace orvel {

class FoundStations {
 public:
  static constexpr const char16_t* kDefaultCategory = u"Found";
  // Longer values would not come back whole from the library file.
  static constexpr size_t kMaxFieldLength = 259;

  enum class Result { Added, AlreadyThere };

  // Adds the station to the category of that name (found without case, made when missing).
  // `stream` gets the new stream, or the one already there.
  static Result add(RadioLibrary& library, const DirectoryStation& station,
                    const WString& categoryName, const StreamInfo** stream = nullptr);
  // The stream record that the station makes (origin: the user's library).
  static StreamInfo streamOf(const DirectoryStation& station);
};

}  // namespace orvel
