// Helpers shared by the codec tests: whole runs on byte vectors, coder event
// capture and deterministic text generators.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "codec/codec.h"
#include "codec/coder.h"
#include "codec/model.h"

namespace codec_test {

using Bytes = std::vector<std::uint8_t>;

struct Result {
  codec::RunStatus status;
  Bytes output;
};

inline Bytes bytes_of(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

inline Result run_on(const Bytes& input, codec::RunStatus (*driver)()) {
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

struct Event {
  std::uint16_t low, high, total;
  bool operator==(const Event&) const = default;
};

inline std::vector<Event> captured_events;

inline void capture_event(std::uint16_t low, std::uint16_t high, std::uint16_t total) {
  captured_events.push_back({low, high, total});
}

struct EventCapture {
  EventCapture() {
    captured_events.clear();
    codec::coder.event_hook = capture_event;
  }
  ~EventCapture() { codec::coder.event_hook = nullptr; }
};

// A small linear congruential generator: the same texts on every platform.
struct TextRandom {
  std::uint32_t state;
  unsigned next(unsigned bound) {
    state = state * 1103515245u + 12345u;
    return ((state >> 16) & 0x7FFF) % bound;
  }
};

inline Bytes random_bytes(std::size_t length, unsigned alphabet, std::uint32_t seed,
                          std::uint8_t first = 0) {
  TextRandom random{seed};
  Bytes text(length);
  for (auto& b : text) b = std::uint8_t(first + random.next(alphabet));
  return text;
}

// Cookie-like English: words, punctuation, line feeds and "%%" separators.
inline Bytes english_text(std::size_t length, std::uint32_t seed) {
  static constexpr std::string_view words[] = {
      "the",   "of",   "and",      "a",       "to",       "in",      "is",      "you",
      "that",  "it",   "he",       "was",     "for",      "on",      "are",     "as",
      "with",  "his",  "they",     "fortune", "cookie",   "wisdom",  "never",   "always",
      "money", "love", "tomorrow", "people",  "think",    "nothing", "because", "world",
      "time",  "good", "life",     "work",    "computer", "Murphy",  "law",     "wrong"};
  TextRandom random{seed};
  Bytes text;
  while (text.size() < length) {
    std::string_view word = words[random.next(std::size(words))];
    text.insert(text.end(), word.begin(), word.end());
    unsigned roll = random.next(40);
    if (roll == 0) {
      text.insert(text.end(), {'.', '\n', '%', '%', '\n'});
    } else if (roll < 3) {
      text.insert(text.end(), {',', ' '});
    } else if (roll < 6) {
      text.push_back('\n');
    } else {
      text.push_back(' ');
    }
  }
  text.resize(length);
  return text;
}

}  // namespace codec_test
