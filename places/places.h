// Where the installed Linux programs find Drollbox.dat and keep Drollbox.cfg.
// The Win32 program keeps the current folder for both and does not use this.
#pragma once

#include <string>

#include "places/file_names.h"

namespace places {

// Drollbox.dat in the current folder when it is there, else the one installed
// beside the running executable (share/drollbox/ under its prefix) when that
// exists, else the bare name, so that a complaint names what was looked for.
std::string data_file();

// Drollbox.cfg in the drollbox folder of the XDG configuration home: the
// absolute config_home, else home/.config; the bare name (the current folder)
// when neither is usable.
std::string settings_file(const char* config_home, const char* home);

}  // namespace places
