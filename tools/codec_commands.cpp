// compress / decompress: stdin to stdout as one raw codec stream.
#include <cstdint>
#include <cstdio>
#include <string>

#include "codec/codec.h"
#include "tools/commands.h"

namespace tools {

namespace {

// Room for one byte past the codec's limit: reading stops there, so an
// endless input is refused as soon as it is known to be too long.
std::uint8_t stdin_bytes[codec::input_capacity + 1];

// How many bytes stdin held, up to one past the limit; false on a read error.
bool read_stdin(std::size_t& length) {
  length = 0;
  std::size_t got = 0;
  while (length < sizeof stdin_bytes &&
         (got = std::fread(stdin_bytes + length, 1, sizeof stdin_bytes - length, stdin)) > 0)
    length += got;
  return std::ferror(stdin) == 0;
}

// Runs one driver over stdin; writes nothing unless the run succeeded.
int run_codec(const Arguments& args, codec::RunStatus (*driver)(), const char* what_in) {
  std::size_t length = 0;
  if (!read_stdin(length)) {
    complain(args, "cannot read stdin");
    return exit_failure;
  }
  if (codec::load_input(stdin_bytes, length) == codec::RunStatus::input_too_long) {
    complain(args, "refused: the " + std::string(what_in) + " is longer than the " +
                       std::to_string(codec::input_capacity) + " bytes the codec takes");
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
      tell_codec_out_of_memory();
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
