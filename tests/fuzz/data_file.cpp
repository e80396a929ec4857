// A data file, decoded within the output bound it picks: verify's first damage is where a load
// first fails (unless it lies in text past the cookie: a load decodes no further). Every cookie
// before it loads (the block's last, then cuts), cuts as the walk does (which drops the LF after a
// separator) and lays out in the grid.
#include <algorithm>
#include <cstring>
#include <vector>

#include "codec/codec.h"
#include "database/cut.h"
#include "database/walk.h"
#include "fuzz_check.h"
#include "output_bound.h"
#include "viewer_model/layout.h"

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
  const database::OpenedDataFile opened = database::DataFile::open(path);
  if (!opened.file) return FUZZ_CHECK(verified.kind == opened.damage.kind), 0;
  const std::uint32_t good = verified.where == Damage::Where::block ? verified.number * 100
                             : verified                             ? verified.number  // 0: file
                                                                    : opened.file->cookie_count();
  FUZZ_CHECK(walked.size() == std::min(good, checked));
  std::string cut;
  for (std::uint32_t n = 0; n < walked.size(); ++n) {
    const std::size_t last = std::min<std::size_t>(n + 99, walked.size() - 1);
    if (n % 100 == 0)
      FUZZ_CHECK(!database::load_cookie(path, static_cast<std::uint32_t>(last), cut));
    const std::uint32_t length = codec::output_total;
    FUZZ_CHECK(database::cut_cookie(codec::output_buffer, length, n % 100, cut) ==
               database::DamageKind::none);
    const std::string& whole = walked[n];
    FUZZ_CHECK(cut == whole.substr(0, cut.size()) || cut == "\n" + whole.substr(0, cut.size() - 1));
    const viewer_model::LaidOutCookie laid_out = viewer_model::lay_out(cut, 16);
    const std::size_t placed = strnlen(laid_out.grid, 2001);
    FUZZ_CHECK(placed <= 2000 && placed == std::size_t(laid_out.rows) * 80);
  }
  if (verified && verified.where != Damage::Where::file) {
    const Damage loaded = database::load_cookie(path, good, cut);
    FUZZ_CHECK(loaded.kind == verified.kind ||
               (!loaded && verified.kind == database::DamageKind::text_too_long));
  }
  return 0;
}
