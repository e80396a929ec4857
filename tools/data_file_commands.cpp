// The subcommands that read a data file: unpack, verify, show, random, search, stats.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "database/database.h"
#include "files/write_file.h"
#include "tools/charset.h"
#include "tools/commands.h"
#include "tools/fortune_file.h"
#include "tools/line_search.h"

namespace tools {

namespace {

int damaged(const Arguments& args, const database::Damage& damage) {
  if (damage.kind == database::DamageKind::out_of_memory) tell_codec_out_of_memory();
  complain(args, "'" + args.shown_file + "': " + database::describe(damage));
  return exit_failure;
}

// The display grid as lines for a terminal: trailing spaces trimmed, UTF-8.
std::string grid_as_lines() {
  const std::string_view grid(database::choice.display_grid);
  std::string lines;
  for (std::size_t row = 0; row + database::grid_columns <= grid.size();
       row += database::grid_columns) {
    std::string_view text = grid.substr(row, database::grid_columns);
    text.remove_suffix(text.size() - (text.find_last_not_of(' ') + 1));
    lines += cp1252_to_utf8(text);
    lines += '\n';
  }
  return lines;
}

int print_grid(const Arguments& args) {
  const std::string lines = grid_as_lines();
  return write_stdout(args, lines.data(), lines.size()) ? exit_ok : exit_failure;
}

// The chosen cookie in the viewer's rows; the window height is not wanted.
int print_cookie(const Arguments& args, std::uint32_t number) {
  if (const database::Damage damage = database::load_cookie(args.data_file.c_str(), number))
    return damaged(args, damage);
  database::lay_out_cookie(0);
  return print_grid(args);
}

bool parse_cookie_number(const std::string& text, std::uint32_t& number) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  return !text.empty() && error == std::errc() && stop == end;
}

// The numbers of the cookies whose length lies on the side of the limit
// that -s or -l asks for.
database::Damage numbers_by_length(const Arguments& args, std::vector<std::uint32_t>& fitting) {
  std::uint32_t number = 0;
  return database::read_each_cookie(args.data_file.c_str(), [&](std::string&& cookie) {
    if ((cookie.size() <= args.short_limit) == args.short_only) fitting.push_back(number);
    ++number;
    return true;
  });
}

// As fortune -w does: a second for every 20 characters, at least 6.
void wait_to_read(std::size_t length) {
  std::this_thread::sleep_for(std::chrono::seconds(std::max<std::size_t>(length / 20, 6)));
}

}  // namespace

// Block by block: each block's cookies go out once decoded, so memory holds a
// few blocks whatever the file. An output file replaces the old one only when
// complete; stdout has what came before a damage.
int run_unpack(const Arguments& args) {
  files::FileWriter file;
  const bool to_file = !args.output.empty() && args.output != standard_stream;
  if (const files::WriteResult opened = to_file ? file.open(args.output) : files::WriteResult{};
      !opened.ok()) {
    complain(args, opened.message());
    return exit_failure;
  }
  bool written = true;
  const auto work = [](database::WalkedBlock& block) {
    if (!block.damage) block.output = cp1252_to_utf8(join_fortune_text(block.cookies));
  };
  const auto take = [&](database::WalkedBlock& block) {
    if (block.damage) return true;
    const std::string& text = block.output;
    if (!to_file) return written = write_stdout(args, text.data(), text.size());
    if (const files::WriteResult result = file.write(text); !result.ok()) {
      complain(args, result.message());
      written = false;
    }
    return written;
  };
  if (const database::Damage damage =
          database::walk_blocks(args.data_file.c_str(), {true, work, take}))
    return damaged(args, damage);
  if (!written) return exit_failure;
  if (const files::WriteResult committed = to_file ? file.commit() : files::WriteResult{};
      !committed.ok()) {
    complain(args, committed.message());
    return exit_failure;
  }
  return exit_ok;
}

int run_verify(const Arguments& args) {
  database::DataFileSummary summary;
  const auto take = [](database::WalkedBlock&) { return true; };
  if (const database::Damage damage =
          database::walk_blocks(args.data_file.c_str(), {true, nullptr, take}, &summary))
    return damaged(args, damage);
  std::printf("OK: '%s' holds %u cookies in %u blocks, %llu bytes\n", args.shown_file.c_str(),
              summary.cookie_count, summary.block_count,
              static_cast<unsigned long long>(summary.file_size));
  return exit_ok;
}

bool reads_blocks_in_order(int (*run)(const Arguments&)) {
  return run == run_unpack || run == run_verify || run == run_search || run == run_stats;
}

int run_show(const Arguments& args) {
  std::uint32_t number = 0;
  parse_cookie_number(args.operands[0], number);  // the command line's check passed it
  return print_cookie(args, number);
}

int run_random(const Arguments& args) {
  std::uint32_t number = 0;
  if (args.short_only || args.long_only) {
    std::vector<std::uint32_t> fitting;
    if (const database::Damage damage = numbers_by_length(args, fitting))
      return damaged(args, damage);
    if (fitting.empty()) {
      complain(args, std::string("no cookie of ") + (args.short_only ? "at most " : "more than ") +
                         std::to_string(args.short_limit) + " characters");
      return exit_failure;
    }
    std::random_device seed;
    std::mt19937 generator(seed());
    number = fitting[std::uniform_int_distribution<std::size_t>(0, fitting.size() - 1)(generator)];
  } else {
    database::DataFileSummary summary;
    if (const database::Damage damage = database::read_summary(args.data_file.c_str(), summary))
      return damaged(args, damage);
    database::seed_random();
    number = database::draw_cookie_number(summary.cookie_count);
  }
  const int status = print_cookie(args, number);
  if (status == exit_ok && args.wait) wait_to_read(std::strlen(database::choice.cookie_text));
  return status;
}

int run_search(const Arguments& args) {
  LinePattern pattern;
  if (std::string error;
      !pattern.compile(args.operands[0], {args.extended, args.ignore_case}, error)) {
    complain(args, "'" + args.operands[0] + "' is not a regular expression: " + error);
    return exit_usage;
  }
  // Cookies are matched on the workers, each block's matches go out in file order.
  const auto work = [&](database::WalkedBlock& block) {
    for (const std::string& cookie : block.cookies) {
      std::string text = cp1252_to_utf8(cookie);
      if (!pattern.matches_a_line(text)) continue;
      ++block.count;
      block.output += text;
      block.output += "\n%\n";
    }
  };
  std::uint64_t count = 0;
  bool written = true;
  const auto take = [&](database::WalkedBlock& block) {
    count += block.count;
    return written =
               block.output.empty() || write_stdout(args, block.output.data(), block.output.size());
  };
  if (const database::Damage damage =
          database::walk_blocks(args.data_file.c_str(), {true, work, take}))
    return damaged(args, damage);
  if (!written) return exit_failure;
  std::fprintf(stderr, "%llu cookie%s matched\n", static_cast<unsigned long long>(count),
               count == 1 ? "" : "s");
  return count == 0 ? exit_failure : exit_ok;
}

// Damage is told as of the file: stats looks at the blocks, not the cookies.
int run_stats(const Arguments& args) {
  database::DataFileSummary summary;
  std::uint64_t compressed = 0;
  std::uint64_t text = 0;
  const auto take = [&](database::WalkedBlock& block) {
    compressed += block.compressed_length;
    text += block.text_length;
    return true;
  };
  if (const database::Damage damage =
          database::walk_blocks(args.data_file.c_str(), {false, nullptr, take}, &summary))
    return damaged(args, {damage.kind});

  const double bits_per_character =
      text == 0 ? 0.0 : 8.0 * static_cast<double>(compressed) / static_cast<double>(text);
  std::printf("cookies: %u\n", summary.cookie_count);
  std::printf("blocks: %u\n", summary.block_count);
  std::printf("file size: %llu bytes\n", static_cast<unsigned long long>(summary.file_size));
  std::printf("compressed: %llu bytes\n", static_cast<unsigned long long>(compressed));
  std::printf("uncompressed: %llu bytes\n", static_cast<unsigned long long>(text));
  std::printf("bits per character: %.3f\n", bits_per_character);
  return exit_ok;
}

}  // namespace tools
