// The program's name and version, as its frame, its About box and --version
// show them.
#pragma once

#include "drollbox_version.h"

namespace app {

inline constexpr const char* frame_title = "Drollbox v" DROLLBOX_VERSION;

}  // namespace app
