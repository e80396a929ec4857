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

#include "database/walk.h"
#include "files/write_file.h"
#include "tools/charset.h"
#include "tools/commands.h"
#include "tools/fortune_file.h"
#include "tools/line_search.h"
#include "viewer_model/layout.h"
#include "viewer_model/random_choice.h"

namespace tools {

namespace {

int damaged(const Arguments& args, const database::Damage& damage) {
  if (damage.kind == database::DamageKind::out_of_memory) tell_codec_out_of_memory();
  complain(args, "'" + args.shown_file + "': " + database::describe(damage));
  return exit_failure;
}

// The cookie in the viewer's rows, as lines for a terminal: trailing spaces
// trimmed, UTF-8. The window height is not wanted.
std::string as_lines(const std::string& cookie) {
  const viewer_model::LaidOutCookie laid_out = viewer_model::lay_out(cookie, 0);
  std::string lines;
  for (int row = 0; row < laid_out.rows; ++row) {
    std::string_view text = laid_out.row(row);
    text.remove_suffix(text.size() - (text.find_last_not_of(' ') + 1));
    lines += cp1252_to_utf8(text);
    lines += '\n';
  }
  return lines;
}

int print_cookie(const Arguments& args, const std::string& cookie) {
  const std::string lines = as_lines(cookie);
  return write_stdout(args, lines.data(), lines.size()) ? exit_ok : exit_failure;
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

// The viewer's own draw, seeded as the viewer seeds it.
database::Damage read_random_cookie(const Arguments& args, std::string& cookie) {
  database::OpenedDataFile opened = database::DataFile::open(args.data_file.c_str());
  if (!opened.file) return opened.damage;
  viewer_model::RandomChoice choice;
  choice.seed_from_clock();
  return opened.file->read_cookie(choice.draw_cookie_number(opened.file->cookie_count()), cookie);
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
          database::walk_data_file(args.data_file.c_str(), {work, take}))
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
          database::walk_data_file(args.data_file.c_str(), {nullptr, take}, &summary))
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
  std::string cookie;
  if (const database::Damage damage = database::load_cookie(args.data_file.c_str(), number, cookie))
    return damaged(args, damage);
  return print_cookie(args, cookie);
}

int run_random(const Arguments& args) {
  std::string cookie;
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
    const std::uint32_t number =
        fitting[std::uniform_int_distribution<std::size_t>(0, fitting.size() - 1)(generator)];
    if (const database::Damage damage =
            database::load_cookie(args.data_file.c_str(), number, cookie))
      return damaged(args, damage);
  } else if (const database::Damage damage = read_random_cookie(args, cookie)) {
    return damaged(args, damage);
  }
  const int status = print_cookie(args, cookie);
  if (status == exit_ok && args.wait) wait_to_read(std::strlen(cookie.c_str()));
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
          database::walk_data_file(args.data_file.c_str(), {work, take}))
    return damaged(args, damage);
  if (!written) return exit_failure;
  std::fprintf(stderr, "%llu cookie%s matched\n", static_cast<unsigned long long>(count),
               count == 1 ? "" : "s");
  return count == 0 ? exit_failure : exit_ok;
}

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
          database::walk_data_file(args.data_file.c_str(), {nullptr, take}, &summary))
    return damaged(args, damage);

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
