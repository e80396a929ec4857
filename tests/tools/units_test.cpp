#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "codec/codec.h"
#include "database/data_file_writer.h"
#include "tools/block_plan.h"
#include "tools/charset.h"
#include "tools/cookie_source.h"
#include "tools/fortune_file.h"
#include "tools/pack_errors.h"
#include "viewer_model/layout.h"

namespace tools {
namespace {

TEST(Charset, WhatCannotBeHeldIsCountedAndWhatIsNotUtf8IsKept) {
  // Euro, en dash, Y diaeresis, 0x81, e acute; arrow, emoji, U+0080, omega replaced; not UTF-8
  // (Latin-1, overlong, surrogate, past U+10FFFF, lone, cut short) kept.
  const std::string held = "\xE2\x82\xAC\xE2\x80\x93\xC5\xB8\xC2\x81\xC3\xA9";
  const std::string raw = "\xE9t\xC0\x80\xE0\x80\xAF\xED\xA0\x80\xF4\x90\x80\x80\x80 \xE2\x82";
  const Conversion converted =
      utf8_to_cp1252(held + "\xE2\x86\x92\xF0\x9F\x98\x80\xC2\x80\xCE\xA9" + raw + "\xC3\xA9");
  EXPECT_EQ(converted.text, "\x80\x96\x9F\x81\xE9????" + raw + "\xE9");
  EXPECT_EQ(converted.replaced, 4u);
  EXPECT_EQ(converted.raw_bytes, 16u);
  EXPECT_EQ(cp1252_to_utf8("\x80\x96\x9F\x81\xE9t"), held + "t");
}

// Fed a byte at a time, the splitter cuts what it cuts of the whole, CRs and
// byte-order mark across the parts included; pieces past what it holds are
// skipped for the reason a held one would be.
TEST(FortuneFile, PiecesDoNotDependOnHowTheTextArrives) {
  EXPECT_EQ(normalise_line_ends("a\r\nb\r\r\nc\rd\r\r"), "a\nb\nc\rd");
  EXPECT_EQ(expand_tabs("abc\tx\nabcdefgh\t\tx"),
            "abc     x\nabcdefgh" + std::string(16, ' ') + "x");
  const std::string text = "\xEF\xBB\xBF%\r\none\r\r\n%\n100%\n %\n%%\n%\r\n%\n\nlast\r";
  const auto pieces = split_fortune_text(text);
  EXPECT_TRUE(pieces[0].at_edge && !pieces[3].at_edge && !pieces[4].at_edge);
  std::vector<std::string> whole, bytewise;
  for (const FortunePiece& piece : pieces) whole.push_back(piece.text);
  FortuneSplitter splitter([&](FortunePiece&& piece) { bytewise.push_back(piece.text); }, 100);
  for (const char c : text) splitter.feed({&c, 1});
  splitter.finish();
  EXPECT_EQ(bytewise, whole);
  EXPECT_EQ(whole, (std::vector<std::string>{"", "one", "100%\n %\n%%", "", "\nlast"}));

  std::string unheld;
  for (const std::string& line : std::vector<std::string>{" \t", "a%", {"a\0", 2}, "a\xC3\xA9"})
    for (int i = 0; i < 3000; ++i) unheld += line + (i < 2999 ? "\n" : "\n%\n");
  CookieSource source, held;
  add_fortune_file(source, unheld);
  FortuneSplitter holding([&](FortunePiece&& piece) { add_piece(held, std::move(piece)); },
                          SIZE_MAX - 2);
  EXPECT_TRUE(holding.feed(unheld));
  holding.finish();
  EXPECT_EQ(std::vector(std::begin(source.skipped), std::end(source.skipped)),
            std::vector(std::begin(held.skipped), std::end(held.skipped)));
  EXPECT_EQ(source.skipped_total(), 4u);
}

TEST(CookieSource, KeepsWhatTheViewerShowsWholeAndCountsTheRest) {
  std::string longest, many_rows;  // 1998 characters in 25 rows; 26 rows
  for (int row = 0; row < 25; ++row) longest += std::string(79, 'y') + (row < 24 ? "\n" : "");
  for (int row = 0; row < 26; ++row) many_rows += "s\n";
  longest.pop_back();
  using enum SkipReason;
  constexpr SkipReason kept = count_of_reasons;
  const struct {
    const char* name;
    std::string file, cookie;
    SkipReason skipped;
    std::size_t replaced = 0, raw_bytes = 0;
  } rows[] = {
      {"unheld replaced", "%\nkept \xE2\x86\x92\n%\n", "kept ?", kept, 1},
      {"percent, nothing replaced", "not \xE2\x86\x92 100%\n%\n", "", holds_percent},
      {"not UTF-8 kept raw", "\xE9t\xE9\n%\n", "\xE9t\xE9", kept, 0, 2},
      {"zero byte", std::string("zero \0\n%\n", 9), "", holds_zero_byte},
      {"1998 characters in 25 rows", longest + "\n%\n", longest, kept},
      {"1999 characters", longest + "y\n%\n", "", too_long},
      {"26 rows", many_rows + "%\n", "", too_many_rows},
      {"blank", " \n%\n", "", empty},
      {"tab and CR LF", "second\tfile\r\n%\r\n", "second  file", kept},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CookieSource source;
    add_fortune_file(source, row.file);
    EXPECT_EQ(source.cookies,
              row.skipped == kept ? std::vector{row.cookie} : std::vector<std::string>{});
    for (int reason = 0; reason < int(kept); ++reason)
      EXPECT_EQ(source.skipped[reason], reason == int(row.skipped) ? 1u : 0u) << reason;
    EXPECT_EQ(source.replaced, row.replaced);
    EXPECT_EQ(source.raw_bytes, row.raw_bytes);
  }
}

// Counting line by line agrees with the viewer's layout of the whole cookie.
TEST(CookieSource, RowsNeededFollowTheViewersLayout) {
  EXPECT_EQ(rows_needed(std::string(30, 'x') + "\n" + std::string(2001, 'x')), SIZE_MAX);
  std::mt19937 generator(20240601);
  const std::string alphabet = "ab  \n\nA4\r\t~\xE9";
  for (int round = 0; round < 3000; ++round) {
    std::string cookie(generator() % 500, ' ');
    for (char& c : cookie) c = alphabet[generator() % alphabet.size()];
    if (rows_needed(cookie) > most_rows) continue;
    ASSERT_EQ(rows_needed(cookie), std::size_t(viewer_model::lay_out(cookie, 0).rows)) << cookie;
  }
}

// Noise (it grows when compressed) in runs of {count, length}.
std::vector<std::string> cookies_of(std::initializer_list<std::pair<int, std::size_t>> runs) {
  std::mt19937 generator(7);
  std::vector<std::string> cookies;
  for (const auto& [count, length] : runs) {
    for (int i = 0; i < count; ++i) {
      std::string cookie;
      for (char c; cookie.size() < length; cookie += c == '\n' || c == '%' || c == '\0' ? '~' : c)
        c = static_cast<char>(generator());
      cookies.push_back(cookie);
    }
  }
  return cookies;
}

// Blocks of 100 whose text and stream fit the limit, the cookies (less those
// left out) all there, and a plan that already fits planned again unchanged.
BlockPlan expect_plan_fits(const std::vector<std::string>& cookies, std::size_t limit) {
  const BlockPlan plan = plan_blocks(cookies, limit, StreamCheck::compress_each_block);
  EXPECT_FALSE(plan.error);
  EXPECT_EQ(plan.cookies.size() + plan.no_room, cookies.size());
  for (std::size_t first = 0; first < plan.cookies.size(); first += 100) {
    const std::string text = database::block_text(
        {plan.cookies.data() + first, std::min<std::size_t>(100, plan.cookies.size() - first)});
    codec::load_input(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(codec::compress(), codec::RunStatus::ok);
    EXPECT_LE(std::max<std::size_t>(text.size(), codec::output_total), limit) << first;
  }
  std::vector<std::string> kept = plan.cookies, all = cookies;
  std::sort(kept.begin(), kept.end());
  std::sort(all.begin(), all.end());
  EXPECT_TRUE(std::includes(all.begin(), all.end(), kept.begin(), kept.end()));
  EXPECT_TRUE(plan_blocks(plan.cookies, limit, StreamCheck::compress_each_block).cookies ==
              plan.cookies);
  return plan;
}

TEST(BlockPlan, EveryBlockFitsItsTextAndItsStream) {
  const auto mixed = cookies_of({{100, 60}, {150, 5}});  // 6 400 bytes in block 0
  const BlockPlan traded = expect_plan_fits(mixed, 3000);
  EXPECT_TRUE(traded.cookies != mixed && traded.no_room == 0);
  EXPECT_GT(expect_plan_fits(cookies_of({{130, 50}}), 3000).no_room, 0u);
  // The text of block 0 fits the limit, its stream does not.
  const auto noise = cookies_of({{100, 60}, {50, 3}});
  const std::size_t limit = database::block_text({noise.data(), 100}).size();
  EXPECT_TRUE(expect_plan_fits(noise, limit).cookies != noise);
}

// Each names its place, where it has one, and the limits it was built from.
TEST(PackErrors, NameThePlaceAndTheReason) {
  using Kind = database::WriteError::Kind;
  constexpr auto no_memory = codec::RunStatus::out_of_memory;
  EXPECT_EQ(describe({Kind::percent_in_cookie, 7}), "cookie 7: holds a \"%\"");
  EXPECT_EQ(describe({Kind::stream_too_long, 3}), "block 3: its stream passes 32767 bytes");
  EXPECT_EQ(describe({Kind::codec_failed, 4, no_memory}),
            "block 4: no memory for the codec's tables");
  EXPECT_EQ(describe({Kind::no_cookies}), "no cookies to write");
  EXPECT_EQ(describe(PlanError{1, no_memory}), "not enough memory for the codec's tables");
}

}  // namespace
}  // namespace tools
