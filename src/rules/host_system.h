// Which system the program is built for: the one place outside the system files that asks.
#pragma once

namespace brevok {

#ifdef _WIN32
inline constexpr bool kHostIsWindows = true;
#else
inline constexpr bool kHostIsWindows = false;
#endif

}  // namespace brevok
