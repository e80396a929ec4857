#include "app/problems.h"
#include "database/data_file.h"

namespace database {

int problem_code(Damage damage) {
  switch (damage) {
    case Damage::none:
      return 0;
    case Damage::cannot_open:
      return app::problem_cannot_read_data_file;
    case Damage::incompatible:
      return app::problem_incompatible_data_file;
    case Damage::out_of_memory:
      return app::problem_memory;
    default:
      return app::problem_unknown_data_file;
  }
}

const char* damage_text(Damage damage) {
  switch (damage) {
    case Damage::none:
      return "";
    case Damage::cannot_open:
      return "the file cannot be opened";
    case Damage::wrong_magic:
      return "not a Drollbox data file (magic differs)";
    case Damage::incompatible:
      return "incompatible format version or revision";
    case Damage::ends_early:
      return "the file ends early";
    case Damage::no_cookies:
      return "the cookie count is 0";
    case Damage::index_too_short:
      return "the index lacks entries the cookies need";
    case Damage::index_past_end:
      return "the index runs past the end of the file";
    case Damage::entries_backwards:
      return "index entries run backwards";
    case Damage::block_past_end:
      return "a block runs past the end of the file";
    case Damage::block_too_long:
      return "a block is longer than 32767 bytes";
    case Damage::text_too_long:
      return "a block decompresses to more than 32769 bytes";
    case Damage::out_of_memory:
      return "no memory for the codec's tables";
    case Damage::missing_separator:
      return "a block ends before a cookie's separator";
    case Damage::no_such_cookie:
      return "no cookie with that number";
  }
  return "unknown damage";
}

void stop_on(Damage damage) {
  if (damage == Damage::none) return;
  close_data_file();
  app::report_problem(problem_code(damage));
}

}  // namespace database
