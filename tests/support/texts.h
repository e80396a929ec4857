// Deterministic texts for the codec's tests and its benchmark: the same bytes
// on every platform, so recorded stream digests stay valid.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

namespace codec_texts {

using Bytes = std::vector<std::uint8_t>;

// A small linear congruential generator.
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
  for (auto& b : text) b = static_cast<std::uint8_t>(first + random.next(alphabet));
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

}  // namespace codec_texts
