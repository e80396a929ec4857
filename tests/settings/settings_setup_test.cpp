#include <string>
#include <vector>

#include "settings_fixture.h"

namespace settings_test {
namespace {

using fw::scripted::queue_box_answer;
using fw::scripted::queue_font;
using fw::scripted::queue_font_cancel;
using settings::current;
using settings::font_records;
using settings::run_setup;

constexpr const char* question_1024 = "Are you normally running a 1024x768 screen resolution?";
constexpr const char* question_1280 = "Are you normally running a 1280x1024 screen resolution?";
constexpr const char* question_800 = "Are you normally running a 800x600 screen resolution?";

class RunSetup : public SettingsFolder {
 protected:
  void answer(std::initializer_list<int> answers) {
    for (int a : answers) queue_box_answer(a);
  }
  std::string scr_line() const {
    std::string file = read_file();
    std::size_t at = file.find("scr=");
    return at == std::string::npos ? "" : file.substr(at, 5);
  }
  void expect_cancelled_without_font_dialog() const {
    ASSERT_FALSE(dialogs.box_calls.empty());
    EXPECT_EQ(dialogs.box_calls.back().text, cancelled_notice);
    EXPECT_EQ(dialogs.box_calls.back().caption, "Drollbox Notify");
    EXPECT_EQ(dialogs.box_calls.back().style, 0u);
    EXPECT_TRUE(dialogs.font_calls.empty());
    EXPECT_FALSE(fs::exists(path));
  }
};

TEST_F(RunSetup, AnswersGiveTheScreenClassDigit) {
  struct Case {
    std::vector<int> answers;
    const char* line;
    std::vector<const char*> asked;
  };
  const Case cases[] = {
      {{fw::box_yes}, "scr=2", {question_1024}},
      {{fw::box_no, fw::box_yes}, "scr=3", {question_1024, question_1280}},
      {{fw::box_no, fw::box_no, fw::box_yes},
       "scr=1",
       {question_1024, question_1280, question_800}},
      {{fw::box_no, fw::box_no, fw::box_no}, "scr=0", {question_1024, question_1280, question_800}},
  };
  for (const Case& c : cases) {
    fw::scripted::reset_dialogs();
    for (int a : c.answers) queue_box_answer(a);
    queue_font(make_font("Arial", 400, false), 120);
    run_setup();
    EXPECT_EQ(scr_line(), c.line);
    ASSERT_EQ(dialogs.box_calls.size(), c.asked.size()) << c.line;
    for (std::size_t i = 0; i < c.asked.size(); ++i) {
      const fw::scripted::BoxCall& box = dialogs.box_calls[i];
      EXPECT_EQ(box.text, c.asked[i]);
      EXPECT_EQ(box.caption, "Drollbox Notify");
      EXPECT_EQ(box.style, fw::box_style_yes_no_cancel);
      EXPECT_EQ(box.owner, nullptr);
    }
    EXPECT_EQ(dialogs.font_calls.size(), 1u);
  }
}

TEST_F(RunSetup, WritesTheFiveLinesByteForByte) {
  queue_box_answer(fw::box_yes);
  queue_font(make_font("Courier New", 700, false), 120);
  run_setup();
  EXPECT_EQ(read_file(), ":Config:\r\nscr=2\r\nfon=Courier New Bold\r\nsiz=13\r\nwit=639\r\n");
  EXPECT_FALSE(temporary_left());

  settings::current = settings::Settings{};
  settings::read_settings();
  EXPECT_EQ(current.scr, 2);
  EXPECT_STREQ(current.font_text, "Courier New Bold");
  EXPECT_EQ(current.siz, 13);
  EXPECT_EQ(current.wit, 639);
}

TEST_F(RunSetup, CancelOnAnyQuestionWritesNothing) {
  const std::vector<int> sequences[] = {
      {fw::box_cancel},
      {fw::box_no, fw::box_cancel},
      {fw::box_no, fw::box_no, fw::box_cancel},
      {fw::box_no, fw::box_none},
      {fw::box_ok},
  };
  for (const auto& sequence : sequences) {
    fw::scripted::reset_dialogs();
    for (int a : sequence) queue_box_answer(a);
    run_setup();
    EXPECT_EQ(dialogs.box_calls.size(), sequence.size() + 1);
    expect_cancelled_without_font_dialog();
  }
  EXPECT_FALSE(font_records.font_chosen);
}

TEST_F(RunSetup, FirstUseRecords) {
  answer({fw::box_yes});
  queue_font_cancel();
  run_setup();
  ASSERT_EQ(dialogs.font_calls.size(), 1u);
  const fw::scripted::FontCall& call = dialogs.font_calls[0];
  const fw::CHOOSEFONTA& request = call.request;
  EXPECT_EQ(request.lStructSize, sizeof(fw::CHOOSEFONTA));
  EXPECT_EQ(request.hwndOwner, nullptr);
  EXPECT_EQ(request.hDC, nullptr);
  EXPECT_EQ(request.lpLogFont, &font_records.log_font);
  EXPECT_EQ(request.iPointSize, 210);
  EXPECT_EQ(request.Flags, 0x10141u);
  EXPECT_EQ(request.rgbColors, 0x0Au);
  EXPECT_EQ(request.lCustData, 0);
  EXPECT_EQ(request.lpfnHook, nullptr);
  EXPECT_EQ(request.lpTemplateName, nullptr);
  EXPECT_EQ(request.hInstance, nullptr);
  EXPECT_EQ(request.lpszStyle, nullptr);
  EXPECT_EQ(request.nFontType, 0x2000);
  EXPECT_EQ(request.nSizeMin, 8);
  EXPECT_EQ(request.nSizeMax, 20);

  ASSERT_TRUE(call.had_log_font);
  EXPECT_STREQ(call.log_font.lfFaceName, "Courier New");
  EXPECT_EQ(call.log_font.lfHeight, 21);
  EXPECT_EQ(call.log_font.lfWeight, 0);
  EXPECT_EQ(call.log_font.lfItalic, 0);
  EXPECT_EQ(call.log_font.lfCharSet, 0);
  EXPECT_EQ(call.log_font.lfWidth, 0);
}

TEST_F(RunSetup, ChosenFontMakesFontTextAndSize) {
  struct Case {
    fw::LOGFONTA font;
    int point_size;
    const char* font_text;
    int siz;
  };
  const Case cases[] = {
      {make_font("Arial", 700, true), 120, "Arial Bold Italic", 13},
      {make_font("Arial", 600, false), 120, "Arial", 13},
      {make_font("Arial", 800, true), 120, "Arial Italic", 13},
      {make_font("Times New Roman", 700, false), 105, "Times New Roman Bold", 11},
      {make_font("Lucida Console", 400, false), 80, "Lucida Console", 9},
      {make_font("Tiny", 400, false), -25, "Tiny", -1},
  };
  for (const Case& c : cases) {
    fw::scripted::reset_dialogs();
    answer({fw::box_no, fw::box_no, fw::box_no});
    queue_font(c.font, c.point_size);
    run_setup();
    EXPECT_STREQ(current.font_text, c.font_text);
    EXPECT_EQ(current.siz, c.siz) << c.font_text;
    EXPECT_EQ(read_file(), std::string(":Config:\r\nscr=0\r\nfon=") + c.font_text +
                               "\r\nsiz=" + std::to_string(c.siz) + "\r\nwit=639\r\n");
    EXPECT_TRUE(font_records.font_chosen);
  }
}

TEST_F(RunSetup, LongestFaceNameFitsAndAnUnterminatedOneIsCut) {
  fw::LOGFONTA font = make_font(std::string(31, 'W').c_str(), 700, true);
  answer({fw::box_yes});
  queue_font(font, 120);
  run_setup();
  EXPECT_EQ(std::string(current.font_text), std::string(31, 'W') + " Bold Italic");
  settings::read_settings();
  EXPECT_EQ(std::string(current.font_text), std::string(31, 'W') + " Bold Italic");

  std::memset(font.lfFaceName, 'U', sizeof font.lfFaceName);
  answer({fw::box_yes});
  queue_font(font, 120);
  run_setup();
  EXPECT_EQ(std::string(current.font_text), std::string(31, 'U') + " Bold Italic");
}

TEST_F(RunSetup, LaterSetupReopensOnTheFontChosenBefore) {
  answer({fw::box_yes});
  fw::scripted::FontAnswer arial;
  arial.result = 1;
  arial.log_font = make_font("Arial", 700, false);
  arial.log_font.lfHeight = -16;
  arial.point_size = 120;
  arial.colour = 0x00FF00FF;
  fw::scripted::queue_font_answer(arial);
  run_setup();
  ASSERT_TRUE(font_records.font_chosen);
  font_records.request.Flags &= ~fw::font_flags::init_to_logfont;

  answer({fw::box_yes});
  queue_font_cancel();
  run_setup();
  ASSERT_EQ(dialogs.font_calls.size(), 2u);
  const fw::scripted::FontCall& second = dialogs.font_calls[1];
  EXPECT_STREQ(second.log_font.lfFaceName, "Arial");
  EXPECT_EQ(second.log_font.lfWeight, 700);
  EXPECT_EQ(second.log_font.lfHeight, -16);
  EXPECT_EQ(second.request.iPointSize, 120);
  EXPECT_EQ(second.request.Flags, 0x10141u);
  EXPECT_EQ(second.request.rgbColors, 0x0Au);
  EXPECT_TRUE(font_records.font_chosen);
  EXPECT_EQ(read_file(), ":Config:\r\nscr=2\r\nfon=Arial Bold\r\nsiz=13\r\nwit=639\r\n");

  settings::reset_settings();
  settings::settings_file_name = path.c_str();
  answer({fw::box_yes});
  queue_font_cancel();
  run_setup();
  ASSERT_EQ(dialogs.font_calls.size(), 3u);
  EXPECT_STREQ(dialogs.font_calls[2].log_font.lfFaceName, "Courier New");
  EXPECT_EQ(dialogs.font_calls[2].request.iPointSize, 210);
}

TEST_F(RunSetup, CancelledFontDialogAtFirstUseLeavesFontChosenOff) {
  answer({fw::box_yes});
  queue_font_cancel();
  run_setup();
  EXPECT_FALSE(font_records.font_chosen);
  EXPECT_EQ(dialogs.font_calls.size(), 1u);
  EXPECT_EQ(dialogs.box_calls.back().text, cancelled_notice);
  EXPECT_FALSE(fs::exists(path));

  // Whatever the dialog left in the records, the next setup starts afresh.
  std::strcpy(font_records.log_font.lfFaceName, "Wingdings");
  font_records.request.iPointSize = 90;
  fw::scripted::FontAnswer failed;
  failed.result = 2;
  failed.log_font = make_font("Arial", 400, false);
  failed.point_size = 120;
  answer({fw::box_yes});
  fw::scripted::queue_font_answer(failed);
  run_setup();
  ASSERT_EQ(dialogs.font_calls.size(), 2u);
  EXPECT_STREQ(dialogs.font_calls[1].log_font.lfFaceName, "Courier New");
  EXPECT_EQ(dialogs.font_calls[1].request.iPointSize, 210);
  EXPECT_FALSE(font_records.font_chosen);
  EXPECT_EQ(dialogs.box_calls.back().text, cancelled_notice);
  EXPECT_FALSE(fs::exists(path));
}

class WriteSettings : public RunSetup {
 protected:
  static constexpr const char* old_contents =
      ":Config:\r\nscr=1\r\nfon=Old Face\r\nsiz=9\r\nwit=700\r\n";
  void run_completed_setup() {
    answer({fw::box_yes});
    queue_font(make_font("Arial", 400, false), 120);
    run_setup();
  }
};

TEST_F(WriteSettings, ReplacesAnExistingFile) {
  write_file(old_contents);
  run_completed_setup();
  EXPECT_EQ(read_file(), ":Config:\r\nscr=2\r\nfon=Arial\r\nsiz=13\r\nwit=639\r\n");
  EXPECT_FALSE(temporary_left());
}

TEST_F(WriteSettings, MissingFolderIsAWriteProblem) {
  std::string inside_missing = (folder / "missing" / "Drollbox.cfg").string();
  settings::settings_file_name = inside_missing.c_str();
  expect_problem(write_error, [this] { run_completed_setup(); });
  EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST_F(WriteSettings, AFolderInThePlaceIsRefused) {
  fs::create_directory(path);
  { std::ofstream(fs::path(path) / "keep") << "kept"; }
  expect_problem(write_error, [this] { run_completed_setup(); });
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_TRUE(fs::exists(fs::path(path) / "keep"));
  EXPECT_FALSE(temporary_left());
}

}  // namespace
}  // namespace settings_test
