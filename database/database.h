// The cookie database: reading a data file (header, index, one block through
// the codec), cutting a cookie out of its block, laying it out in rows of 80
// columns, and the random choice of a cookie number. Nothing here ends the
// process or shows anything: every step returns what it found wrong.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "database/format.h"

namespace database {

inline constexpr int cookie_capacity = 2000;  // 1999 characters and the terminator
inline constexpr int grid_columns = 80;
inline constexpr int grid_rows = 25;
// No platform shows a taller window (X11 and GDI coordinates are 16-bit).
inline constexpr std::int32_t largest_window_height = 32767;
// Two draws of 15 bits, the first choosing one of three windows, reach this
// many cookie numbers; larger files draw wider.
inline constexpr std::uint32_t two_draw_reach = 3 * 32768;

// What can be wrong with a data file.
enum class DamageKind {
  none,
  cannot_open,
  wrong_magic,
  incompatible,
  ends_early,  // the file ends inside the header, the index or a block
  no_cookies,
  index_too_short,  // the index lacks an entry the cookies need
  index_past_end,   // the index runs past the end of the file
  entries_backwards,
  block_past_end,
  block_too_long,  // more compressed bytes than the codec's input area holds
  text_too_long,   // the block decompresses past the codec's output area
  out_of_memory,
  missing_separator,  // the block ends before the cookie's "%"
  no_such_cookie,
  index_too_large,  // to be held for a file read from standard input
};

// A damage kind and where it was found. True when something is wrong.
struct Damage {
  enum class Where : std::uint8_t { file, block, cookie };
  DamageKind kind = DamageKind::none;
  Where where = Where::file;
  std::uint32_t number = 0;  // of the block or cookie

  explicit operator bool() const { return kind != DamageKind::none; }
};

const char* damage_text(DamageKind kind);
// "block 2: a block is longer than 32767 bytes", or the text alone for the file.
std::string describe(const Damage& damage);

// The reader's header values and chosen block (rewritten on every read).
struct Reader {
  const char* file_name = "Drollbox.dat";
  std::uint32_t cookie_count = 0;
  std::uint32_t index_length = 0;
  std::uint32_t cookie_number = 0;
  std::uint32_t block_start = 0;
  std::uint32_t block_length = 0;
  std::FILE* file = nullptr;
  std::uint64_t file_size = 0;
  bool ran_past_end = false;  // a read met the end of the file
};
extern Reader reader;

// The random generator and the cookie on its way to screen.
struct Choice {
  std::uint32_t random_state = 1;
  char cookie_text[cookie_capacity] = {};
  char display_grid[grid_rows * grid_columns + 1] = {};
  std::int32_t window_height = 0;
};
extern Choice choice;

// The steps of one read, on reader.file; each leaves the reader's fields set.
DamageKind open_data_file(const char* path);
DamageKind read_header();
DamageKind read_block_entries(std::uint32_t block);
DamageKind read_block();  // into the codec's input area, then decompressed whole
// The same, but the decompression stops once cookie k of the block is
// complete: cut_cookie(k) then gives what it gives on the whole text.
DamageKind read_block_through_cookie(std::uint32_t k);
// read_block in two steps, so that the decoding may run on another thread:
// the block's bytes into the calling thread's codec input area, then the
// decoding of the calling thread's input area.
DamageKind read_block_stream();
DamageKind decode_block_stream();
void close_data_file();
std::uint32_t read_be32();

// The cut over a decompressed block text: the first separator at or after
// from (length when there is none), and the end of the cookie that starts at
// start (the position of the character that a "%" follows).
std::uint32_t next_separator(const std::uint8_t* text, std::uint32_t length, std::uint32_t from);
DamageKind find_cookie_end(const std::uint8_t* text, std::uint32_t length, std::uint32_t start,
                           std::uint32_t& end);
// Follows a block text while it is decoded: told of every "%" as it is
// written (text[length - 1]), says when cookie k's end is in the text, from
// where on no later byte changes that cookie's cut.
class CookieEndWatch {
 public:
  explicit CookieEndWatch(std::uint32_t k) : k_(k) {}
  bool cookie_complete(const std::uint8_t* text, std::uint32_t length);

 private:
  std::uint32_t k_;
  std::uint32_t separators_ = 0;
  std::uint32_t start_ = 0;  // of cookie k, once k separators are in
};
// Cookie k of the block in the codec's output area into choice.cookie_text.
DamageKind cut_cookie(std::uint32_t k);

// Fills choice.display_grid from choice.cookie_text; window_height is the rows
// times siz, the height of one row, plus the frame's 60 pixels.
void lay_out_cookie(std::int32_t siz);

std::uint32_t draw_random();
void seed_random();  // from the clock
// A fresh random cookie number below cookie_count (which is not 0).
std::uint32_t draw_cookie_number(std::uint32_t cookie_count);

// Whole-file reads; each closes the file before it returns.
struct DataFileSummary {
  std::uint32_t cookie_count = 0;
  std::uint32_t block_count = 0;
  std::uint32_t index_length = 0;
  std::uint64_t file_size = 0;
};
Damage read_summary(const char* path, DataFileSummary& summary);
// One block of a whole-file walk.
struct WalkedBlock {
  std::uint32_t number = 0;
  std::uint32_t compressed_length = 0;
  std::uint32_t text_length = 0;
  // Cut out (when the walk cuts), as the writer was given them: up to the
  // block's damage, when it has one.
  std::vector<std::string> cookies;
  Damage damage;
  std::string output;  // what work made of the cookies
  std::uint64_t count = 0;
};

struct BlockWalk {
  bool cut_cookies = true;
  // On a worker thread, for every block whose stream decoded; may be empty.
  std::function<void(WalkedBlock&)> work;
  // On the calling thread, in file order, the damaged block included; false
  // ends the walk there.
  std::function<bool(WalkedBlock&)> take;
};

// The path of standard input, which walks read once from front to back.
inline constexpr const char* standard_input = "-";

// Every block decoded and cut on worker_count() threads, each with its own
// codec, and taken in file order, with a few blocks in flight whatever the
// file. The first damage in file order; nothing after it is taken. summary,
// when given, is filled once the walk ends well.
Damage walk_blocks(const char* path, const BlockWalk& walk, DataFileSummary* summary = nullptr);
// The same from a stream, read once from front to back.
Damage walk_stream(std::FILE* stream, const BlockWalk& walk, DataFileSummary* summary = nullptr);
// Cookie number of the file cut into choice.cookie_text.
Damage load_cookie(const char* path, std::uint32_t number);
// Every cookie of the file in order, as the writer was given it, handed to
// take one at a time, so memory holds one block whatever the file; take
// returning false stops the walk there.
Damage read_each_cookie(const char* path, const std::function<bool(std::string&&)>& take);
// Header, index entries increasing and inside the file, every block decoding
// inside the bounds, every cookie cutting; the first damage found.
Damage verify_data_file(const char* path);

}  // namespace database
