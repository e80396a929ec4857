// The data file's checks, shared by the viewer (which ends the process on
// damage) and by the tools (which print the damage and go on).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace database {

// Everything that can be wrong with a data file. Each maps to one Problem
// code for the viewer and one line of text for the tools.
enum class Damage {
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
};

int problem_code(Damage damage);
const char* damage_text(Damage damage);

// Closes the data file and reports the damage's Problem code (which ends the
// process); returns when there is no damage.
void stop_on(Damage damage);

// The steps of one read, on reader.file. Each leaves the reader's fields set.
Damage open_data_file(const char* path);
Damage read_header();
Damage read_block_entries(std::uint32_t block);
Damage read_block();  // into the codec's input area, then decompressed
void close_data_file();

// The cut over a decompressed block text: the first separator at or after
// from (length when there is none), and the end of the cookie that starts at
// start (the position of the character that a "%" follows).
std::uint32_t next_separator(const std::uint8_t* text, std::uint32_t length, std::uint32_t from);
Damage find_cookie_start(const std::uint8_t* text, std::uint32_t length, std::uint32_t k,
                         std::uint32_t& start);
Damage find_cookie_end(const std::uint8_t* text, std::uint32_t length, std::uint32_t start,
                       std::uint32_t& end);
Damage cut_cookie_at(std::uint32_t k);  // from the codec's output area into cookie_text

// For the tools. Each returns an empty string on success, else the damage.
struct DataFileSummary {
  std::uint32_t cookie_count = 0;
  std::uint32_t block_count = 0;
  std::uint32_t index_length = 0;
  std::uint64_t file_size = 0;
};
std::string read_summary(const char* path, DataFileSummary& summary);

// Cookie number of reader.file_name, cut and laid out as the viewer does
// (display_grid, window_height), without touching the History ring.
std::string load_cookie(std::uint32_t number);
// The viewer's own choice (seeding once, as a refresh does), without settings.
std::string load_random_cookie();

// Every cookie of the file as the writer was given it.
std::string read_all_cookies(const char* path, std::vector<std::string>& cookies);

// Header, index entries increasing and inside the file, every block decoding
// inside the bounds, every cookie cutting: empty when sound, else the first
// damage found. Never ends the process.
std::string verify_data_file(const char* path);

}  // namespace database
