// pack: fortune files to a data file, with a summary of what was left out.
#include <cstdio>
#include <span>
#include <string>

#include "database/data_file_writer.h"
#include "database/format.h"
#include "files/write_file.h"
#include "tools/block_plan.h"
#include "tools/commands.h"
#include "tools/cookie_source.h"
#include "tools/input.h"

namespace tools {

namespace {

void print_summary(std::FILE* stream, const CookieSource& source, const BlockPlan& plan,
                   const std::string& output, std::size_t file_size) {
  const std::size_t blocks = database::block_count(plan.cookies.size());
  std::fprintf(stream, "packed: %zu cookies from %zu file%s in %zu blocks, %zu bytes to \"%s\"\n",
               plan.cookies.size(), source.files, source.files == 1 ? "" : "s", blocks, file_size,
               output.c_str());
  std::fprintf(stream, "skipped: %zu (", source.skipped_total() + plan.no_room);
  for (std::size_t i = 0; i < static_cast<std::size_t>(SkipReason::count_of_reasons); ++i) {
    const auto reason = static_cast<SkipReason>(i);
    const std::size_t count =
        reason == SkipReason::no_room_in_block ? plan.no_room : source.skipped[i];
    std::fprintf(stream, "%s%s: %zu", i == 0 ? "" : ", ", skip_reason_text(reason), count);
  }
  std::fprintf(stream, ")\n");
  std::fprintf(stream, "replaced by \"?\": %zu characters Windows-1252 cannot hold\n",
               source.replaced);
  std::fprintf(stream, "kept as Windows-1252: %zu bytes that are not UTF-8\n", source.raw_bytes);
}

}  // namespace

int run_pack(const Arguments& args) {
  if (args.operands.empty()) {
    complain(args, "names no fortune file (see --help)");
    return exit_usage;
  }
  const std::string output = args.output.empty() ? default_data_file : args.output;
  CookieSource source;
  for (const std::string& path : args.operands) {
    std::string reason;
    const std::optional<std::string> bytes = read_input(path, reason);
    if (!bytes) {
      complain(args, "cannot read '" + path + "': " + reason + "; nothing written");
      return exit_failure;
    }
    add_fortune_file(source, *bytes);
  }
  if (source.cookies.empty()) {
    complain(args, "no cookie to pack; nothing written");
    return exit_failure;
  }
  // Blocks whose text fits nearly always compress into a stream that fits;
  // only when the writer finds one that does not is every block compressed
  // ahead of it.
  BlockPlan plan = plan_blocks(source.cookies, StreamCheck::skip);
  database::DataFileImage image;
  if (plan.error.empty()) image = database::build_data_file(plan.cookies);
  if (!plan.error.empty() || !image.error.empty()) {
    plan = plan_blocks(std::move(source.cookies), StreamCheck::compress_each_block);
    if (plan.error.empty()) image = database::build_data_file(plan.cookies);
  }
  if (!plan.error.empty() || !image.error.empty()) {
    complain(args, (plan.error.empty() ? image.error : plan.error) + "; nothing written");
    return exit_failure;
  }
  const std::string_view bytes(reinterpret_cast<const char*>(image.bytes.data()),
                               image.bytes.size());
  if (output == standard_stream) {
    if (!write_stdout(args, bytes.data(), bytes.size())) return exit_failure;
    print_summary(stderr, source, plan, "standard output", image.bytes.size());
    return exit_ok;
  }
  if (const files::WriteResult written = files::write_file(output, bytes); !written.ok()) {
    complain(args, written.message() + "; '" + output + "' left as it was");
    return exit_failure;
  }
  print_summary(stdout, source, plan, output, image.bytes.size());
  return exit_ok;
}

}  // namespace tools
