// The names of the viewer's two files: the cookie database and the settings.
#pragma once

namespace places {

inline constexpr const char* data_file_name = "Drollbox.dat";
inline constexpr const char* settings_file_name = "Drollbox.cfg";

}  // namespace places
