// The subcommands of drollbox-db. Each prints its results on stdout, its
// complaints on stderr, and returns the process exit code.
#pragma once

#include "tools/command_line.h"

namespace tools {

int run_compress(const Arguments& args);
int run_decompress(const Arguments& args);
int run_pack(const Arguments& args);
int run_unpack(const Arguments& args);
int run_verify(const Arguments& args);
int run_show(const Arguments& args);
int run_random(const Arguments& args);
int run_search(const Arguments& args);
int run_stats(const Arguments& args);

// Whether the subcommand reads its data file once from front to back, so
// that standard input need not be copied aside first.
bool reads_blocks_in_order(int (*run)(const Arguments&));

// Parses the command line and runs the subcommand it names.
int run_tool(int argc, const char* const* argv);

// "drollbox-db COMMAND: message" on stderr.
void complain(const Arguments& args, const std::string& message);

// The codec's allocation line on stdout, where a run that ended out_of_memory
// is told of before any complaint.
void tell_codec_out_of_memory();

// Writes all of bytes to stdout; false (after a complaint) when it cannot.
bool write_stdout(const Arguments& args, const void* bytes, std::size_t length);

}  // namespace tools
