// search's patterns, matched as grep and fortune -m match them: line by line,
// so "^" and "$" anchor at every line's start and end and nothing matches a
// line break. A pattern holding line breaks is one pattern per line, any of
// which may match, as grep takes it.
#pragma once

#include <regex.h>

#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct PatternOptions {
  bool extended = false;  // POSIX extended syntax instead of basic
  bool ignore_case = false;
};

class LinePattern {
 public:
  LinePattern() = default;
  ~LinePattern();
  LinePattern(const LinePattern&) = delete;
  LinePattern& operator=(const LinePattern&) = delete;

  // False, with the regex library's reason in error, when text is not a
  // regular expression.
  bool compile(const std::string& text, PatternOptions options, std::string& error);
  // Whether some line of text matches; throws std::bad_alloc when the
  // matcher runs out of memory.
  bool matches_a_line(std::string_view text) const;

 private:
  std::vector<regex_t> compiled_;
};

}  // namespace tools
