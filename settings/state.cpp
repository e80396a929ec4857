#include "settings/settings.h"

namespace settings {

Settings current;
FontRecords font_records;
const char* settings_file_name = default_settings_file_name;

void reset_settings() {
  current = Settings{};
  font_records = FontRecords{};
  settings_file_name = default_settings_file_name;
}

}  // namespace settings
