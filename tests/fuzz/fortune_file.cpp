// pack -> unpack -> pack: what unpack writes of any fortune file's cookies
// packs again to exactly those cookies, none skipped or altered.
#include "fuzz_check.h"
#include "tools/charset.h"
#include "tools/cookie_source.h"
#include "tools/fortune_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tools::CookieSource packed, repacked;
  tools::add_fortune_file(packed, std::string_view(reinterpret_cast<const char*>(data), size));
  tools::add_fortune_file(repacked,
                          tools::cp1252_to_utf8(tools::join_fortune_text(packed.cookies)));
  FUZZ_CHECK(repacked.cookies == packed.cookies);
  FUZZ_CHECK(repacked.skipped_total() == 0 && repacked.replaced == 0 && repacked.raw_bytes == 0);
  return 0;
}
