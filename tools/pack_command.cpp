// pack: fortune files to a data file, with a summary of what was left out.
//
// Inputs are read a part at a time and cut into cookies as they come; each
// block of 100 is compressed on a worker while the next is gathered, and its
// stream waits in a temporary file until the header, which counts them all,
// can go first. The cookies wait in another, for inputs whose blocks do not
// fit as they come and must be planned as a whole.
#include <cstdio>
#include <span>
#include <string>

#include "codec/codec.h"
#include "database/data_file_writer.h"
#include "database/format.h"
#include "files/write_file.h"
#include "places/file_names.h"
#include "tools/block_plan.h"
#include "tools/commands.h"
#include "tools/cookie_source.h"
#include "tools/cookie_spool.h"
#include "tools/fortune_file.h"
#include "tools/input.h"
#include "tools/pack_errors.h"

namespace tools {

namespace {

constexpr std::size_t block_limit = static_cast<std::size_t>(codec::input_capacity);

void print_summary(std::FILE* stream, const CookieSource& source, std::size_t cookies,
                   std::size_t no_room, const std::string& output, std::size_t file_size) {
  const std::size_t blocks = database::block_count(cookies);
  std::fprintf(stream, "packed: %zu cookies from %zu file%s in %zu blocks, %zu bytes to \"%s\"\n",
               cookies, source.files, source.files == 1 ? "" : "s", blocks, file_size,
               output.c_str());
  std::fprintf(stream, "skipped: %zu (", source.skipped_total() + no_room);
  for (std::size_t i = 0; i < static_cast<std::size_t>(SkipReason::count_of_reasons); ++i) {
    const auto reason = static_cast<SkipReason>(i);
    const std::size_t count = reason == SkipReason::no_room_in_block ? no_room : source.skipped[i];
    std::fprintf(stream, "%s%s: %zu", i == 0 ? "" : ", ", skip_reason_text(reason), count);
  }
  std::fprintf(stream, ")\n");
  std::fprintf(stream, "replaced by \"?\": %zu characters Windows-1252 cannot hold\n",
               source.replaced);
  std::fprintf(stream, "kept as Windows-1252: %zu bytes that are not UTF-8\n", source.raw_bytes);
}

// Where the data file goes: standard output, or a file replaced once complete.
class Output {
 public:
  Output(const Arguments& args, std::string path) : args_(args), path_(std::move(path)) {}
  bool to_stdout() const { return path_ == standard_stream; }
  const std::string& path() const { return path_; }
  std::size_t size() const { return size_; }

  bool open() { return to_stdout() || check(file_.open(path_)); }
  bool write(std::span<const std::uint8_t> bytes) {
    size_ += bytes.size();
    if (to_stdout()) return write_stdout(args_, bytes.data(), bytes.size());
    return check(file_.write({reinterpret_cast<const char*>(bytes.data()), bytes.size()}));
  }
  bool commit() { return to_stdout() || check(file_.commit()); }

 private:
  bool check(const files::WriteResult& result) {
    if (!result.ok()) complain(args_, result.message() + "; '" + path_ + "' left as it was");
    return result.ok();
  }

  const Arguments& args_;
  std::string path_;
  files::FileWriter file_;
  std::size_t size_ = 0;
};

// Compresses blocks as they are given into the stream spool, from its start.
class Blocks {
 public:
  explicit Blocks(std::FILE* spool)
      : spool_(spool), compressor_([this](std::span<const std::uint8_t> stream) {
          return std::fwrite(stream.data(), 1, stream.size(), spool_) == stream.size();
        }) {
    std::rewind(spool_);
  }
  bool add(std::vector<std::string>&& cookies) { return compressor_.add_block(std::move(cookies)); }
  bool failed() const { return static_cast<bool>(compressor_.error()); }
  bool finish() { return compressor_.finish() && std::fflush(spool_) == 0; }
  const database::WriteError& error() const { return compressor_.error(); }

  // Header and index, then the streams from the spool.
  bool write(Output& output) {
    if (!output.open() || !output.write(compressor_.header_and_index())) return false;
    std::rewind(spool_);
    std::uint8_t part[65536];
    for (std::uint64_t left = compressor_.data_length(); left > 0;) {
      const std::size_t got =
          std::fread(part, 1, std::min<std::uint64_t>(sizeof part, left), spool_);
      if (got == 0) {
        complain_later_ = true;
        return false;
      }
      if (!output.write({part, got})) return false;
      left -= got;
    }
    return output.commit();
  }
  bool spool_unreadable() const { return complain_later_; }

 private:
  std::FILE* spool_;
  database::BlockCompressor compressor_;
  bool complain_later_ = false;
};

// The blocks in a planned order; false, with the error, when one does not fit.
bool compress_in_order(CookieSpool& cookies, const std::vector<std::uint32_t>& order,
                       Blocks& blocks) {
  std::vector<std::string> block;
  for (const std::uint32_t number : order) {
    block.push_back(cookies.read(number));
    if (block.size() < database::cookies_per_block) continue;
    if (!blocks.add(std::move(block))) return false;
    block.clear();
  }
  if (!block.empty()) blocks.add(std::move(block));
  return blocks.finish();
}

// The message of a failure; the codec's allocation line goes out first, as
// the failure is met, when the codec ran out of memory.
template <class Error>
std::string told(const Error& error) {
  if (codec_out_of_memory(error)) tell_codec_out_of_memory();
  return describe(error);
}

struct Packed {
  std::size_t cookies = 0;
  std::size_t no_room = 0;
};

// Blocks whose text fits nearly always compress into a stream that fits;
// only when one does not is every block's stream checked in the plan.
bool pack_planned(const Arguments& args, CookieSpool& cookies, std::FILE* stream_spool,
                  Output& output, Packed& packed) {
  const auto text_of = [&](std::uint32_t number) { return cookies.read(number); };
  std::string error;
  for (const StreamCheck check : {StreamCheck::skip, StreamCheck::compress_each_block}) {
    const BlockOrder plan = plan_block_order(cookies.sizes(), block_limit, check, text_of);
    if (plan.error) {
      error = told(plan.error);
      break;
    }
    Blocks blocks(stream_spool);
    if (!compress_in_order(cookies, plan.cookies, blocks)) {
      error = told(blocks.error());
      continue;
    }
    packed = {plan.cookies.size(), plan.no_room};
    return blocks.write(output) || (complain(args, cannot_spool), false);
  }
  complain(args, error + "; nothing written");
  return false;
}

}  // namespace

int run_pack(const Arguments& args) {
  if (args.operands.empty()) {
    complain(args, "names no fortune file (see --help)");
    return exit_usage;
  }
  Output output(args, args.output.empty() ? places::data_file_name : args.output);
  CookieSpool cookies;
  ScratchFile stream_spool;
  if (std::string reason; !cookies.open(reason) || !stream_spool.open(reason)) {
    complain(args, "cannot make a temporary file: " + reason + "; nothing written");
    return exit_failure;
  }
  // The blocks as they come, compressed while the rest is read; given up on
  // at the first that does not fit.
  Blocks blocks(stream_spool.file());
  std::vector<std::string> block;
  bool spooled = true;
  CookieSource source;
  source.keep = [&](std::string&& cookie) {
    spooled = cookies.add(cookie) && spooled;
    if (blocks.failed()) return;
    block.push_back(std::move(cookie));
    if (block.size() < database::cookies_per_block) return;
    blocks.add(std::move(block));
    block.clear();
  };
  for (const std::string& path : args.operands) {
    ++source.files;
    FortuneSplitter splitter([&](FortunePiece&& piece) { add_piece(source, std::move(piece)); },
                             longest_held_piece);
    std::string reason;
    bool fortune_text = true;
    const auto feed = [&](std::string_view part) { return fortune_text = splitter.feed(part); };
    if (!read_in_parts(path, feed, reason)) {
      complain(args, "cannot read '" + path + "': " + reason + "; nothing written");
      return exit_failure;
    }
    if (!fortune_text) {
      const std::string shown = path == standard_stream ? "standard input" : path;
      complain(args, "'" + shown + "' is not a fortune file: no \"%\" line in " +
                         std::to_string(longest_piece >> 20) + " MiB; nothing written");
      return exit_failure;
    }
    splitter.finish();
  }
  if (!spooled || !cookies.flush()) {
    complain(args, std::string(cannot_spool) + "; nothing written");
    return exit_failure;
  }
  if (cookies.count() == 0) {
    complain(args, "no cookie to pack; nothing written");
    return exit_failure;
  }
  if (!block.empty() && !blocks.failed()) blocks.add(std::move(block));
  Packed packed{cookies.count(), 0};
  if (blocks.finish()) {
    if (!blocks.write(output)) {
      if (blocks.spool_unreadable()) complain(args, cannot_spool);
      return exit_failure;
    }
  } else if (blocks.error().kind == database::WriteError::Kind::stream_not_stored) {
    complain(args, std::string(cannot_spool) + "; nothing written");
    return exit_failure;
  } else {
    if (codec_out_of_memory(blocks.error())) tell_codec_out_of_memory();
    if (!pack_planned(args, cookies, stream_spool.file(), output, packed)) return exit_failure;
  }
  const bool to_stdout = output.to_stdout();
  print_summary(to_stdout ? stderr : stdout, source, packed.cookies, packed.no_room,
                to_stdout ? "standard output" : output.path(), output.size());
  return exit_ok;
}

}  // namespace tools
