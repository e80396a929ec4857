// What pack tells of a data file it could not write or plan.
#pragma once

#include <string>

#include "database/data_file_writer.h"
#include "tools/block_plan.h"

namespace tools {

inline constexpr const char* cannot_spool = "cannot write a temporary file";

// "block 2: its stream passes 32767 bytes", "cookie 7: holds a "%"", ...
std::string describe(const database::WriteError& error);
std::string describe(const PlanError& error);

// Whether the codec ran out of memory, which its allocation line tells first.
bool codec_out_of_memory(const database::WriteError& error);
bool codec_out_of_memory(const PlanError& error);

}  // namespace tools
