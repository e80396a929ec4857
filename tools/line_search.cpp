#include "tools/line_search.h"

#include <new>

namespace tools {

namespace {

// Calls each line of text (without its line feed) until one returns true.
template <typename Test>
bool any_line(std::string_view text, Test&& test) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    if (test(text.substr(start, end - start))) return true;
    if (end == std::string_view::npos || end + 1 == text.size()) return false;
    start = end + 1;
  }
}

}  // namespace

LinePattern::~LinePattern() {
  for (regex_t& pattern : compiled_) ::regfree(&pattern);
}

bool LinePattern::compile(const std::string& text, PatternOptions options, std::string& error) {
  const int flags =
      REG_NOSUB | (options.extended ? REG_EXTENDED : 0) | (options.ignore_case ? REG_ICASE : 0);
  return !any_line(text, [&](std::string_view line) {
    regex_t& pattern = compiled_.emplace_back();
    const int status = ::regcomp(&pattern, std::string(line).c_str(), flags);
    if (status == 0) return false;
    char reason[256];
    ::regerror(status, &pattern, reason, sizeof reason);
    compiled_.pop_back();
    error = reason;
    return true;
  });
}

bool LinePattern::matches_a_line(std::string_view text) const {
  std::string line;
  return any_line(text, [&](std::string_view view) {
    line.assign(view);
    for (const regex_t& pattern : compiled_) {
      const int status = ::regexec(&pattern, line.c_str(), 0, nullptr, 0);
      if (status == 0) return true;
      if (status == REG_ESPACE) throw std::bad_alloc();
    }
    return false;
  });
}

}  // namespace tools
