// A data file, decoded within the output bound it picks: verify's first damage is where a load
// first fails (unless it lies in text past the cookie: a load decodes no further). Every cookie
// before it loads (the block's last, then cuts), cuts as the walk does (which drops the LF after a
// separator) and lays out in the grid.
#include <algorithm>
#include <cstring>
#include <vector>

#include "database/database.h"
#include "fuzz_check.h"
#include "output_bound.h"

static const ScratchFile file;
static constexpr std::uint32_t checked = 300;  // enough for every way a cut can go

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using database::Damage;
  limit_output_by(data, size);
  file.hold(std::string(reinterpret_cast<const char*>(data), size));
  const char* path = file.path.c_str();
  std::vector<std::string> walked;
  database::read_each_cookie(path, [&](std::string&& cookie) {
    walked.push_back(std::move(cookie));
    return walked.size() < checked;
  });
  const Damage verified = database::verify_data_file(path);
  database::DataFileSummary summary;
  if (const Damage header = database::read_summary(path, summary))
    return FUZZ_CHECK(verified.kind == header.kind), 0;
  const std::uint32_t good = verified.where == Damage::Where::block ? verified.number * 100
                             : verified                             ? verified.number  // 0: file
                                                                    : summary.cookie_count;
  FUZZ_CHECK(walked.size() == std::min(good, checked));
  for (std::uint32_t n = 0; n < walked.size(); ++n) {
    const std::size_t last = std::min<std::size_t>(n + 99, walked.size() - 1);
    if (n % 100 == 0) FUZZ_CHECK(!database::load_cookie(path, static_cast<std::uint32_t>(last)));
    FUZZ_CHECK(database::cut_cookie(n % 100) == database::DamageKind::none);
    const std::string cut = database::choice.cookie_text, &whole = walked[n];
    FUZZ_CHECK(cut == whole.substr(0, cut.size()) || cut == "\n" + whole.substr(0, cut.size() - 1));
    database::lay_out_cookie(16);
    const std::size_t placed = strnlen(database::choice.display_grid, 2001);
    FUZZ_CHECK(placed <= 2000 && placed % 80 == 0 &&
               database::choice.window_height == static_cast<int>(placed / 80 * 16 + 60));
  }
  if (verified && verified.where != Damage::Where::file) {
    const Damage loaded = database::load_cookie(path, good);
    FUZZ_CHECK(loaded.kind == verified.kind ||
               (!loaded && verified.kind == database::DamageKind::text_too_long));
  }
  return 0;
}
