#include <optional>
#include <string>
#include <vector>

#include "settings_fixture.h"

namespace settings_test {
namespace {

using fw::scripted::queue_box_answer;
using fw::scripted::queue_font;
using fw::scripted::queue_font_cancel;
using settings::chosen_font;
using settings::current;
using settings::run_setup;

constexpr const char* question_1024 = "Are you normally running a 1024x768 screen resolution?";
constexpr const char* question_1280 = "Are you normally running a 1280x1024 screen resolution?";
constexpr const char* question_800 = "Are you normally running a 800x600 screen resolution?";

class RunSetup : public SettingsFolder {
 protected:
  std::string scr_line() const {
    std::string file = read_file();
    std::size_t at = file.find("scr=");
    return at == std::string::npos ? "" : file.substr(at, 5);
  }
  void expect_cancelled_without_font_dialog() const {
    ASSERT_FALSE(dialogs.box_calls.empty());
    EXPECT_EQ(dialogs.box_calls.back().text, cancelled_notice);
    EXPECT_EQ(dialogs.box_calls.back().caption, "Drollbox Notify");
    EXPECT_EQ(dialogs.box_calls.back().kind, fw::BoxKind::notice);
    EXPECT_TRUE(dialogs.font_calls.empty());
    EXPECT_FALSE(fs::exists(path));
  }
};

TEST_F(RunSetup, AnswersGiveTheScreenClassDigit) {
  using fw::Answer;
  struct Case {
    std::vector<Answer> answers;
    const char* line;
    std::vector<const char*> asked;
  };
  const Case cases[] = {
      {{Answer::yes}, "scr=2", {question_1024}},
      {{Answer::no, Answer::yes}, "scr=3", {question_1024, question_1280}},
      {{Answer::no, Answer::no, Answer::yes},
       "scr=1",
       {question_1024, question_1280, question_800}},
      {{Answer::no, Answer::no, Answer::no}, "scr=0", {question_1024, question_1280, question_800}},
  };
  for (const Case& c : cases) {
    fw::scripted::reset_dialogs();
    for (Answer a : c.answers) queue_box_answer(a);
    queue_font(make_font("Arial", 400, false));
    run_setup();
    EXPECT_EQ(scr_line(), c.line);
    ASSERT_EQ(dialogs.box_calls.size(), c.asked.size()) << c.line;
    for (std::size_t i = 0; i < c.asked.size(); ++i) {
      const fw::scripted::BoxCall& box = dialogs.box_calls[i];
      EXPECT_EQ(box.text, c.asked[i]);
      EXPECT_EQ(box.caption, "Drollbox Notify");
      EXPECT_EQ(box.kind, fw::BoxKind::question);
      EXPECT_EQ(box.owner, nullptr);
    }
    EXPECT_EQ(dialogs.font_calls.size(), 1u);
  }
}

TEST_F(RunSetup, WritesTheFiveLinesByteForByte) {
  queue_box_answer(fw::Answer::yes);
  queue_font(make_font("Courier New", 700, false));
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
  using fw::Answer;
  const std::vector<Answer> sequences[] = {
      {Answer::cancel},
      {Answer::no, Answer::cancel},
      {Answer::no, Answer::no, Answer::cancel},
      {Answer::no, Answer::none},
  };
  for (const auto& sequence : sequences) {
    fw::scripted::reset_dialogs();
    for (Answer a : sequence) queue_box_answer(a);
    run_setup();
    EXPECT_EQ(dialogs.box_calls.size(), sequence.size() + 1);
    expect_cancelled_without_font_dialog();
  }
  EXPECT_FALSE(chosen_font);
}

TEST_F(RunSetup, ChosenFontMakesFontTextAndSize) {
  struct Case {
    fw::FontChoice font;
    const char* font_text;
    int siz;
  };
  const Case cases[] = {
      {make_font("Arial", 700, true), "Arial Bold Italic", 13},
      {make_font("Arial", 600, false), "Arial", 13},
      {make_font("Arial", 800, true), "Arial Italic", 13},
      {make_font("Times New Roman", 700, false, 105), "Times New Roman Bold", 11},
      {make_font("Lucida Console", 400, false, 80), "Lucida Console", 9},
      {make_font("Tiny", 400, false, -25), "Tiny", -1},
      {make_font(std::string(31, 'W').c_str(), 700, true),
       "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW Bold Italic", 13},
      {make_font(std::string(40, 'U').c_str(), 400, false), "UUUUUUUUUUUUUUUUUUUUUUUUUUUUUUU", 13},
  };
  for (const Case& c : cases) {
    fw::scripted::reset_dialogs();
    queue_box_answer(fw::Answer::no);
    queue_box_answer(fw::Answer::no);
    queue_box_answer(fw::Answer::no);
    queue_font(c.font);
    run_setup();
    EXPECT_STREQ(current.font_text, c.font_text);
    EXPECT_EQ(current.siz, c.siz) << c.font_text;
    EXPECT_EQ(read_file(), std::string(":Config:\r\nscr=0\r\nfon=") + c.font_text +
                               "\r\nsiz=" + std::to_string(c.siz) + "\r\nwit=639\r\n");
    EXPECT_EQ(chosen_font, c.font);
  }
}

// The dialog opens on Courier New at 21 points until a font is chosen, then
// on the font chosen last; a new process starts from Courier New again.
TEST_F(RunSetup, DialogOpensOnTheFontChosenBefore) {
  const fw::FontChoice courier{"Courier New", 210, 0, false};
  const fw::FontChoice arial = make_font("Arial", 700, false);
  const std::optional<fw::FontChoice> answers[] = {std::nullopt, arial, std::nullopt,
                                                   make_font("Arial", 400, true, 90)};
  for (const auto& font : answers) {
    queue_box_answer(fw::Answer::yes);
    font ? queue_font(*font) : queue_font_cancel();
    run_setup();
  }

  ASSERT_EQ(dialogs.font_calls.size(), 4u);
  EXPECT_EQ(dialogs.font_calls[0].shown, courier);
  EXPECT_EQ(dialogs.font_calls[1].shown, courier) << "a cancelled first dialog chose nothing";
  EXPECT_EQ(dialogs.font_calls[2].shown, arial);
  EXPECT_EQ(dialogs.font_calls[3].shown, arial) << "a cancelled later dialog changes nothing";
  EXPECT_EQ(read_file(), ":Config:\r\nscr=2\r\nfon=Arial Italic\r\nsiz=10\r\nwit=639\r\n");

  settings::reset_settings();
  settings::settings_file_name = path.c_str();
  queue_box_answer(fw::Answer::yes);
  run_setup();
  ASSERT_EQ(dialogs.font_calls.size(), 5u);
  EXPECT_EQ(dialogs.font_calls[4].shown, courier);
  EXPECT_EQ(dialogs.box_calls.back().text, cancelled_notice);
}

class WriteSettings : public RunSetup {
 protected:
  static constexpr const char* old_contents =
      ":Config:\r\nscr=1\r\nfon=Old Face\r\nsiz=9\r\nwit=700\r\n";
  void run_completed_setup() {
    queue_box_answer(fw::Answer::yes);
    queue_font(make_font("Arial", 400, false));
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
