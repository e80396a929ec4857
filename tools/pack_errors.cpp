#include "tools/pack_errors.h"

namespace tools {

namespace {

using Kind = database::WriteError::Kind;

const std::string codec_limit = std::to_string(codec::input_capacity);

std::string what_went_wrong(const database::WriteError& error) {
  switch (error.kind) {
    case Kind::none:
      return "";
    case Kind::no_cookies:
      return "no cookies to write";
    case Kind::too_many_cookies:
      return "too many cookies";
    case Kind::percent_in_cookie:
      return "holds a \"%\"";
    case Kind::text_too_long:
      return "its text passes " + codec_limit + " bytes";
    case Kind::stream_too_long:
      return "its stream passes " + codec_limit + " bytes";
    case Kind::codec_failed:
      return codec_out_of_memory(error) ? "no memory for the codec's tables"
                                        : "the codec could not compress it";
    case Kind::data_area_too_large:
      return "the data area passes 4 GiB";
    case Kind::stream_not_stored:
      return cannot_spool;
  }
  return "unknown error";
}

// The place a message names first, or nothing where the error has none.
std::string place(const database::WriteError& error) {
  switch (error.kind) {
    case Kind::percent_in_cookie:
      return "cookie " + std::to_string(error.number) + ": ";
    case Kind::text_too_long:
    case Kind::stream_too_long:
    case Kind::codec_failed:
      return "block " + std::to_string(error.number) + ": ";
    default:
      return "";
  }
}

}  // namespace

std::string describe(const database::WriteError& error) {
  return place(error) + what_went_wrong(error);
}

std::string describe(const PlanError& error) {
  return codec_out_of_memory(error)
             ? "not enough memory for the codec's tables"
             : "block " + std::to_string(error.block) + ": the codec could not compress it";
}

bool codec_out_of_memory(const database::WriteError& error) {
  return error.codec == codec::RunStatus::out_of_memory;
}

bool codec_out_of_memory(const PlanError& error) {
  return error.codec == codec::RunStatus::out_of_memory;
}

}  // namespace tools
