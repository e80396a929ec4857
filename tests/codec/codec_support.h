// Helpers shared by the codec tests: whole runs on byte vectors and the
// observer's view of the coder's events.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "codec/codec.h"
#include "codec/coder.h"
#include "codec/model.h"
#include "tests/support/texts.h"

namespace codec_test {

using namespace codec_texts;

struct Result {
  codec::RunStatus status;
  Bytes output;
};

inline Bytes bytes_of(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

inline Result run_on(const Bytes& input, codec::RunStatus (*driver)()) {
  // The counts start afresh; the event sink and the allocation switch stay.
  codec::observer = {.on_event = codec::observer.on_event,
                     .fail_allocation = codec::observer.fail_allocation};
  EXPECT_EQ(codec::load_input(input.data(), input.size()), codec::RunStatus::ok);
  codec::RunStatus status = driver();
  EXPECT_EQ(codec::output_length, 0u);
  return {status, Bytes(codec::output_buffer, codec::output_buffer + codec::output_total)};
}

inline Result compress_bytes(const Bytes& text) {
  return run_on(text, codec::compress);
}
inline Result decompress_bytes(const Bytes& stream) {
  return run_on(stream, codec::decompress);
}

// Forces one way of tallying a context's candidates for its lifetime; the
// streams must not depend on it.
struct ForcedTally {
  explicit ForcedTally(codec::TallyPath path) { codec::tally_path = path; }
  ~ForcedTally() { codec::tally_path = codec::best_tally_path(); }
};

// Every tally path this processor runs.
inline std::vector<codec::TallyPath> tally_paths() {
  std::vector<codec::TallyPath> paths;
  for (auto path : {codec::TallyPath::portable, codec::TallyPath::avx2})
    if (codec::tally_path_supported(path)) paths.push_back(path);
  return paths;
}

struct Event {
  std::uint16_t low, high, total;
  bool operator==(const Event&) const = default;
};

// Every range the coder narrows by in one run.
inline std::vector<Event> events_of(const Bytes& input, codec::RunStatus (*driver)()) {
  static std::vector<Event> events;
  events.clear();
  codec::observer.on_event = [](std::uint16_t low, std::uint16_t high, std::uint16_t total) {
    events.push_back({low, high, total});
  };
  run_on(input, driver);
  codec::observer.on_event = nullptr;
  return events;
}

}  // namespace codec_test
