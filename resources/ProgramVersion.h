#pragma once
// The program's version, as the About box shows it and as the program names itself to servers
// that ask clients to (the station directory). Change both together.

namespace orvel {

inline constexpr double kProgramVersion = 1.0;
inline constexpr const char* kProgramVersionText = "1.0";

}  // namespace orvel
