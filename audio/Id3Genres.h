#pragma once
// The ID3v1 genre names, 0 "Blues" to 147 "Synthpop".

namespace orvel {

inline constexpr unsigned kId3GenreCount = 148;
extern const char* const kId3Genres[kId3GenreCount];

}  // namespace orvel
