// compress / decompress: stdin to stdout as one raw codec stream.
#include <cstdio>
#include <string>

#include "codec/codec.h"
#include "tools/commands.h"

namespace tools {

namespace {

bool read_stdin(std::string& bytes) {
  char chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) bytes.append(chunk, got);
  return std::ferror(stdin) == 0;
}

// Runs one driver over stdin; writes nothing unless the run succeeded.
int run_codec(const Arguments& args, codec::RunStatus (*driver)(), const char* what_in) {
  if (!args.operands.empty()) {
    complain(args, "takes no operands; it reads stdin (see --help)");
    return exit_usage;
  }
  std::string input;
  if (!read_stdin(input)) {
    complain(args, "cannot read stdin");
    return exit_failure;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
  if (codec::load_input(bytes, input.size()) == codec::RunStatus::input_too_long) {
    complain(args, "refused: the " + std::string(what_in) + " is " + std::to_string(input.size()) +
                       " bytes; the codec takes at most " + std::to_string(codec::input_capacity));
    return exit_failure;
  }
  switch (driver()) {
    case codec::RunStatus::ok:
      break;
    case codec::RunStatus::output_overflow:
      complain(args, driver == codec::compress
                         ? "refused: the compressed stream would not fit the format's " +
                               std::to_string(codec::output_capacity) + " bytes"
                         : "damaged stream: it decodes to more than " +
                               std::to_string(codec::output_capacity) + " bytes");
      return exit_failure;
    case codec::RunStatus::out_of_memory:
      complain(args, "not enough memory for the codec's tables");
      return exit_failure;
    case codec::RunStatus::input_too_long:
      complain(args, "refused: the input is too long");
      return exit_failure;
  }
  // A sound stream is read to its last byte exactly when its end symbol comes.
  if (driver == codec::decompress && codec::input_remaining > 0) {
    complain(args, "damaged stream: " + std::to_string(codec::input_remaining) +
                       " bytes are left over after its end symbol");
    return exit_failure;
  }
  return write_stdout(args, codec::output_buffer, codec::output_total) ? exit_ok : exit_failure;
}

}  // namespace

int run_compress(const Arguments& args) {
  return run_codec(args, codec::compress, "text");
}

int run_decompress(const Arguments& args) {
  return run_codec(args, codec::decompress, "stream");
}

}  // namespace tools
