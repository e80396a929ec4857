#include <string>

#include "settings_fixture.h"

namespace settings_test {
namespace {

using settings::current;
using settings::read_settings;

class ReadSettings : public SettingsFolder {
 protected:
  void read(std::string_view bytes) {
    write_file(bytes);
    read_settings();
  }
  void expect_parse_error(std::string_view bytes) {
    write_file(bytes);
    expect_problem(parse_error, [] { read_settings(); });
  }
};

TEST_F(ReadSettings, WrittenFileReadsBackWithPlacement) {
  read(":Config:\r\nscr=2\r\nfon=Courier New Bold\r\nsiz=13\r\nwit=639\r\n");
  EXPECT_EQ(current.scr, 2);
  EXPECT_STREQ(current.font_text, "Courier New Bold");
  EXPECT_EQ(current.siz, 13);
  EXPECT_EQ(current.wit, 639);
  EXPECT_EQ(current.window_x, 192);
  EXPECT_EQ(current.window_y, 250);
  EXPECT_TRUE(dialogs.box_calls.empty());
}

TEST_F(ReadSettings, WidthOutsideItsRangeBecomes639) {
  const std::pair<const char*, int> cases[] = {
      {"566", 639},
      {"567", 567},
      {"1280", 1280},
      {"1281", 639},
      {"abc", 639},
      {"-700", 639},
      {"99999999999999999999", 639},
      {"800x", 800},
  };
  for (const auto& [text, expected] : cases) {
    read(std::string(":Config:\r\nscr=0\r\nfon=Arial\r\nsiz=12\r\nwit=") + text + "\r\n");
    EXPECT_EQ(current.wit, expected) << "wit=" << text;
  }
}

TEST_F(ReadSettings, ScreenClassPlacesTheWindow) {
  struct Case {
    const char* scr;
    const char* wit;
    int scr_value, x, y;
  };
  const Case cases[] = {
      {"0", "639", 0, 0, 106},    {"1", "639", 1, 80, 171},    {"2", "639", 2, 192, 250},
      {"3", "1280", 3, 0, 378},   {"0", "1280", 0, -320, 106}, {"7", "639", 7, 0, 106},
      {"-1", "567", -1, 36, 106}, {"x", "639", 0, 0, 106},
  };
  for (const Case& c : cases) {
    read(std::string(":Config:\r\nscr=") + c.scr + "\r\nfon=Arial\r\nsiz=12\r\nwit=" + c.wit +
         "\r\n");
    EXPECT_EQ(current.scr, c.scr_value) << "scr=" << c.scr;
    EXPECT_EQ(current.window_x, c.x) << "scr=" << c.scr << " wit=" << c.wit;
    EXPECT_EQ(current.window_y, c.y) << "scr=" << c.scr;
  }
}

TEST_F(ReadSettings, FontLineDropsTheCharacterBeforeItsLineFeed) {
  read(":Config:\r\nscr=0\r\nfon=\r\nsiz=12\r\nwit=639\r\n");
  EXPECT_STREQ(current.font_text, "");
  read(":Config:\r\nscr=0\r\nfon=Arial\r\nsiz=12\r\nwit=639\r\n");
  EXPECT_STREQ(current.font_text, "Arial");
  read(":Config:\r\nscr=0\r\nfon=\nsiz=12\r\nwit=639\r\n");
  EXPECT_STREQ(current.font_text, "");
  read(":Config:\r\nscr=0\r\nfon=Arial\nsiz=12\r\nwit=639\r\n");
  EXPECT_STREQ(current.font_text, "Aria");
  read(":Config:\r\nscr=0\r\nfon= Times  New\r\nsiz=12\r\nwit=639\r\n");
  EXPECT_STREQ(current.font_text, " Times  New");
}

TEST_F(ReadSettings, SizeIsTakenAsWritten) {
  read(":Config:\r\nscr=0\r\nfon=Arial\r\nsiz=-5\r\nwit=639\r\n");
  EXPECT_EQ(current.siz, -5);
  read(":Config:\r\nscr=0\r\nfon=Arial\r\nsiz=big\r\nwit=639\r\n");
  EXPECT_EQ(current.siz, 0);
  read(":Config:\r\nscr=0\r\nfon=Arial\r\nsiz=+14pt\r\nwit=639\r\n");
  EXPECT_EQ(current.siz, 14);
}

TEST_F(ReadSettings, WhiteSpaceBeforeTokensIsAccepted) {
  read("\r\n\r\n\n  \t:Config:\r\nscr=3\r\nfon=Arial\r\n \t\r\nsiz=9\r\n\r\n\r\n   wit=700");
  EXPECT_EQ(current.scr, 3);
  EXPECT_STREQ(current.font_text, "Arial");
  EXPECT_EQ(current.siz, 9);
  EXPECT_EQ(current.wit, 700);
  EXPECT_TRUE(dialogs.box_calls.empty());
}

TEST_F(ReadSettings, MisplacedKeysAreParseErrors) {
  expect_parse_error(":Config:\r\nscr=2\nfon=Arial\r\nsiz=12\r\nwit=639\r\n");
  expect_parse_error(":Config:\r\nscr=2 \r\nfon=Arial\r\nsiz=12\r\nwit=639\r\n");
  expect_parse_error(":Config:\r\nsrc=2\r\nfon=Arial\r\nsiz=12\r\nwit=639\r\n");
  expect_parse_error(":Config:\r\nsc\r\nfon=Arial\r\nsiz=12\r\nwit=639\r\n");
  expect_parse_error(":Config:\r\nscr=2\r\nFon=Arial\r\nsiz=12\r\nwit=639\r\n");
  expect_parse_error(":Config:\r\nscr=2\r\nfon=Arial\r\nsize=12\r\nwit=639\r\n");
  expect_parse_error(":Config:\r\nscr=2\r\nfon=Arial\r\nsiz=12\r\nwidth=639\r\n");
  expect_parse_error(":Config:\r\nscr=2\r\nfon=Arial\r\nsiz=12\r\n");
  expect_parse_error(":Config:\r\n");
}

TEST_F(ReadSettings, FileEndingInsideTheFontLineIsAParseError) {
  expect_parse_error(":Config:\r\nscr=2\r\nfon=Arial");
  expect_parse_error(":Config:\r\nscr=2\r\nfon=");
  expect_parse_error(":Config:\r\nscr=2\r\nfo");
  expect_parse_error(":Config:\r\nscr=2\r\n");
}

TEST_F(ReadSettings, TokensHoldAtMost79Characters) {
  std::string padded_size = "siz=" + std::string(73, '0') + "12";
  ASSERT_EQ(padded_size.size(), 79u);
  read(":Config:\r\nscr=1\r\nfon=Arial\r\n" + padded_size + "\r\nwit=639\r\n");
  EXPECT_EQ(current.siz, 12);

  expect_parse_error(":Config:\r\nscr=1\r\nfon=Arial\r\n" + padded_size + "0\r\nwit=639\r\n");
  expect_parse_error(":Config:\r\nscr=1" + std::string(200, '9') +
                     "\r\nfon=Arial\r\nsiz=12\r\nwit=639\r\n");
}

TEST_F(ReadSettings, FontTextHoldsAtMost43Characters) {
  std::string longest(43, 'F');
  read(":Config:\r\nscr=1\r\nfon=" + longest + "\r\nsiz=12\r\nwit=639\r\n");
  EXPECT_EQ(std::string(current.font_text), longest);

  expect_parse_error(":Config:\r\nscr=1\r\nfon=" + longest + "F\r\nsiz=12\r\nwit=639\r\n");
  expect_parse_error(":Config:\r\nscr=1\r\nfon=" + std::string(5000, 'F') +
                     "\r\nsiz=12\r\nwit=639\r\n");
}

TEST_F(ReadSettings, FirstLineOtherThanConfigStartsTheSetup) {
  for (const std::string& first : {std::string("Config"), ":Config:" + std::string(100, ':')}) {
    fw::scripted::reset_dialogs();
    write_file(first + "\r\nscr=1\r\nfon=Arial\r\nsiz=12\r\nwit=639\r\n");
    fw::scripted::queue_box_answer(fw::Answer::yes);
    fw::scripted::queue_font(make_font("Arial", 400, false, 100));
    read_settings();
    ASSERT_FALSE(dialogs.box_calls.empty());
    EXPECT_EQ(dialogs.box_calls[0].text, "Are you normally running a 1024x768 screen resolution?");
    EXPECT_EQ(current.scr, 2);
    EXPECT_EQ(current.siz, 11);
    EXPECT_EQ(read_file(), ":Config:\r\nscr=2\r\nfon=Arial\r\nsiz=11\r\nwit=639\r\n");
  }
}

TEST_F(ReadSettings, MissingFileRunsTheSetupAndReadsWhatItWrote) {
  fw::scripted::queue_box_answer(fw::Answer::no);
  fw::scripted::queue_box_answer(fw::Answer::yes);
  fw::scripted::queue_font(make_font("Courier New", 700, true, 95));
  read_settings();
  EXPECT_EQ(dialogs.box_calls.size(), 2u);
  EXPECT_EQ(current.scr, 3);
  EXPECT_STREQ(current.font_text, "Courier New Bold Italic");
  EXPECT_EQ(current.siz, 10);
  EXPECT_EQ(current.wit, 639);
  EXPECT_EQ(current.window_x, 320);
  EXPECT_EQ(current.window_y, 378);
}

TEST_F(ReadSettings, MissingFileWithTwoCancelledSetupsIsAParseError) {
  expect_problem(parse_error, [] { read_settings(); });
  ASSERT_EQ(dialogs.box_calls.size(), 5u);
  EXPECT_EQ(dialogs.box_calls[0].caption, "Drollbox Notify");
  EXPECT_EQ(dialogs.box_calls[1].text, cancelled_notice);
  EXPECT_EQ(dialogs.box_calls[2].kind, fw::BoxKind::question);
  EXPECT_EQ(dialogs.box_calls[3].text, cancelled_notice);
  EXPECT_TRUE(dialogs.font_calls.empty());
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(ReadSettings, CancelledSetupOverAForeignFileLeavesItAndSkipsItsFirstToken) {
  // After the setup the first token is not checked again, so a file whose
  // first line is wrong but whose other lines are right reads through.
  const std::string foreign = "Config\r\nscr=1\r\nfon=Arial\r\nsiz=12\r\nwit=800\r\n";
  write_file(foreign);
  read_settings();
  EXPECT_EQ(read_file(), foreign);
  EXPECT_EQ(current.scr, 1);
  EXPECT_EQ(current.wit, 800);
  ASSERT_EQ(dialogs.box_calls.size(), 2u);
  EXPECT_EQ(dialogs.box_calls[1].text, cancelled_notice);
}

}  // namespace
}  // namespace settings_test
