#include "database/database.h"
#include "settings/settings.h"

namespace database {

void refresh_cookie() {
  settings::read_settings();
  if (!choice.seeded) {
    seed_random();
    choice.seeded = true;
  }
  pick_cookie();
  load_block();
  lay_out_cookie();
}

}  // namespace database
