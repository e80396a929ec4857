// pack -> unpack -> pack gives the same cookies for any fortune file: what
// unpack writes (the stored cookies as UTF-8 fortune text) packs again to
// exactly the cookies it came from, none skipped or altered.
#include <string_view>

#include "fuzz_check.h"
#include "tools/charset.h"
#include "tools/cookie_source.h"
#include "tools/fortune_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;  // longer files only repeat what short ones show
  tools::CookieSource packed;
  tools::add_fortune_file(packed, std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string unpacked = tools::cp1252_to_utf8(tools::join_fortune_text(packed.cookies));
  tools::CookieSource repacked;
  tools::add_fortune_file(repacked, unpacked);
  FUZZ_CHECK(repacked.cookies == packed.cookies);
  FUZZ_CHECK(repacked.skipped_total() == 0 && repacked.replaced == 0 && repacked.raw_bytes == 0);
  return 0;
}
