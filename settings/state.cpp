#include "places/file_names.h"
#include "settings/settings.h"

namespace settings {

Settings current;
std::optional<fw::FontChoice> chosen_font;
const char* settings_file_name = places::settings_file_name;

void reset_settings() {
  current = Settings{};
  chosen_font.reset();
  settings_file_name = places::settings_file_name;
}

}  // namespace settings
