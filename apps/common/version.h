// The program's version, the project's: "vesselsim --version" prints it, summaries carry it.
#pragma once

namespace app {

inline constexpr const char* kVersion = VESSELSIM_VERSION;

}  // namespace app
