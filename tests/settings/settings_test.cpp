#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "files/write_file.h"
#include "framework/scripted/dialogs.h"
#include "gtest/gtest.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;
using fw::Answer;
using fw::scripted::dialogs;
using fw::scripted::queue_box_answer;
using settings::current;

const std::string cancelled = "Configuration cancelled, sir.";

std::string cfg(const std::string& scr, const std::string& fon, const std::string& siz,
                const std::string& wit) {
  return ":Config:\r\nscr=" + scr + "\r\nfon=" + fon + "\r\nsiz=" + siz + "\r\nwit=" + wit + "\r\n";
}

// "Drollbox.cfg" in a folder of the test's own; every dialog scripted.
class Settings : public ::testing::Test {
 protected:
  Settings() {
    settings::reset_settings();
    fw::scripted::reset_dialogs();
    fs::create_directories(folder);
    settings::settings_file_name = path.c_str();
  }
  ~Settings() override { fs::remove_all(folder); }
  void write(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
  std::string read() const { return files::read_file(path).value_or(""); }
  // The problem message the action ended the process with; "" when it went on.
  static std::string problem_of(const std::function<void()>& action) {
    try {
      action();
    } catch (const fw::scripted::ProcessExit& exit) {
      EXPECT_EQ(exit.status, -1);
      return dialogs.box_calls.back().text;
    }
    return "";
  }
  // A setup answered with the given answers and font (none: the dialog cancelled).
  void setup(const std::vector<Answer>& answers, std::optional<fw::FontChoice> font) {
    for (const Answer answer : answers) queue_box_answer(answer);
    font ? fw::scripted::queue_font(*font) : fw::scripted::queue_font_cancel();
    settings::run_setup();
  }

  const fs::path folder = fs::temp_directory_path() / ("drollbox-" + std::to_string(::getpid()));
  const std::string path = (folder / "Drollbox.cfg").string();
};

TEST_F(Settings, ReadsValuesAndPlacesTheWindow) {
  const std::string padded_siz = std::string(73, '0') + "12";  // a 79-character token
  // scr, font, siz, wit (out of range: 639), window x and y
  const std::pair<std::string, std::string> rows[] = {
      {cfg("2", "Courier New Bold", "13", "639"), "2 Courier New Bold 13 639 192 250"},
      {cfg("1", "", "-5", "566"), "1  -5 639 80 171"},
      {":Config:\r\nscr=3\r\nfon=Arial\nsiz=big\r\nwit=1280\r\n", "3 Aria 0 1280 0 378"},
      {cfg("0", " Times  New", "+14pt", "1281"), "0  Times  New 14 639 0 106"},
      {cfg("0", std::string(43, 'F'), padded_siz, "1280"),
       "0 " + std::string(43, 'F') + " 12 1280 -320 106"},
      {cfg("7", "Arial", "12", "567"), "7 Arial 12 567 36 106"},
      {cfg("-1", "Arial", "12", "800x"), "-1 Arial 12 800 -80 106"},
      {cfg("x", "Arial", "12", "99999999999999999999"), "0 Arial 12 639 0 106"},
      {"\r\n\n  \t:Config:\r\nscr=3\r\nfon=A\r\n \t\r\nsiz=9\r\n\r\n   wit=700",
       "3 A 9 700 290 378"},
  };
  for (const auto& [file, values] : rows) {
    write(file);
    settings::read_settings();
    EXPECT_EQ(std::to_string(current.scr) + " " + current.font_text + " " +
                  std::to_string(current.siz) + " " + std::to_string(current.wit) + " " +
                  std::to_string(current.window_x) + " " + std::to_string(current.window_y),
              values)
        << file;
  }
  EXPECT_TRUE(dialogs.box_calls.empty());
}

TEST_F(Settings, MisplacedKeysAndOverlongTokensAreParseErrors) {
  const std::string files[] = {
      ":Config:\r\nscr=2\nfon=Arial\r\nsiz=12\r\nwit=639\r\n",
      cfg("2 ", "Arial", "12", "639"),
      ":Config:\r\nsrc=2\r\nfon=Arial\r\nsiz=12\r\nwit=639\r\n",
      ":Config:\r\nscr=2\r\nFon=Arial\r\nsiz=12\r\nwit=639\r\n",
      ":Config:\r\nscr=2\r\nfon=Arial\r\nsiz=12\r\n",
      ":Config:\r\nscr=2\r\nfon=Arial",
      cfg("1", "Arial", std::string(74, '0') + "12", "639"),
      cfg("1" + std::string(200, '9'), "Arial", "12", "639"),
      cfg("1", std::string(44, 'F'), "12", "639"),
  };
  for (const std::string& file : files) {
    write(file);
    EXPECT_EQ(problem_of(settings::read_settings), "Parse error in config file.") << file;
    EXPECT_EQ(read(), file);
  }
}

TEST_F(Settings, SetupAsksForTheScreenAndAFontAndWritesFiveLines) {
  const std::pair<std::vector<Answer>, std::string> screens[] = {
      {{Answer::yes}, "2"},
      {{Answer::no, Answer::yes}, "3"},
      {{Answer::no, Answer::no, Answer::yes}, "1"},
      {{Answer::no, Answer::no, Answer::no}, "0"},
      {{Answer::cancel}, ""},  // cancelled: nothing written
      {{Answer::no, Answer::cancel}, ""},
      {{Answer::no, Answer::no, Answer::cancel}, ""},
      {{Answer::no, Answer::none}, ""},
  };
  const char* asked[] = {"1024x768", "1280x1024", "800x600"};
  for (const auto& [answers, scr] : screens) {
    fs::remove(path);
    fw::scripted::reset_dialogs();
    setup(answers, fw::FontChoice{"Arial", 120, 400, false});
    EXPECT_EQ(read(), scr.empty() ? "" : cfg(scr, "Arial", "13", "639"));
    EXPECT_EQ(dialogs.font_calls.size(), scr.empty() ? 0u : 1u);
    ASSERT_EQ(dialogs.box_calls.size(), answers.size() + scr.empty());
    for (std::size_t i = 0; i < answers.size(); ++i) {
      EXPECT_EQ(dialogs.box_calls[i].text,
                "Are you normally running a " + std::string(asked[i]) + " screen resolution?");
      EXPECT_TRUE(dialogs.box_calls[i].caption == "Drollbox Notify" &&
                  dialogs.box_calls[i].kind == fw::BoxKind::question);
    }
    EXPECT_TRUE(!scr.empty() || dialogs.box_calls.back().text == cancelled);
  }
  fw::scripted::reset_dialogs();  // the font a cancelled setup never asked for
  const std::pair<fw::FontChoice, std::string> fonts[] = {
      {{"Arial", 120, 700, true}, "Arial Bold Italic\r\nsiz=13"},
      {{"Arial", 120, 800, true}, "Arial Italic\r\nsiz=13"},
      {{"Times New Roman", 105, 700, false}, "Times New Roman Bold\r\nsiz=11"},
      {{"Tiny", -25, 400, false}, "Tiny\r\nsiz=-1"},
      {{std::string(31, 'W'), 120, 700, true}, std::string(31, 'W') + " Bold Italic\r\nsiz=13"},
      {{std::string(40, 'U'), 120, 400, false}, std::string(31, 'U') + "\r\nsiz=13"},
  };
  for (const auto& [font, lines] : fonts) {
    setup({Answer::no, Answer::no, Answer::no}, font);
    EXPECT_EQ(read(), ":Config:\r\nscr=0\r\nfon=" + lines + "\r\nwit=639\r\n");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);  // no temporary left
}

TEST_F(Settings, NoFileAndTwoCancelledSetupsIsTheParseProblem) {
  EXPECT_EQ(problem_of(settings::read_settings), "Parse error in config file.");
  EXPECT_EQ(dialogs.box_calls.size(), 5u);
  EXPECT_FALSE(fs::exists(path));
}

// The dialog opens on Courier New at 21 points until a font is chosen, then
// on the font chosen last; a new process starts from Courier New again.
TEST_F(Settings, FontDialogOpensOnTheFontChosenBefore) {
  const fw::FontChoice courier{"Courier New", 210, 0, false}, arial{"Arial", 120, 700, false};
  const std::optional<fw::FontChoice> none;
  for (const auto& font : {none, std::optional(arial), none}) setup({Answer::yes}, font);
  settings::reset_settings();
  settings::settings_file_name = path.c_str();
  setup({Answer::yes}, std::nullopt);
  std::vector<fw::FontChoice> shown;
  for (const fw::scripted::FontCall& call : dialogs.font_calls) shown.push_back(call.shown);
  // A cancelled first dialog chose nothing; a cancelled later one changed nothing.
  EXPECT_EQ(shown, (std::vector<fw::FontChoice>{courier, courier, arial, courier}));
}

TEST_F(Settings, AnyFirstTokenButConfigGetsTheSetup) {
  const std::string values = "\r\nscr=1\r\nfon=Arial\r\nsiz=12\r\nwit=800\r\n";
  for (const std::string& first : {std::string("Config"), ":Config:" + std::string(100, ':')}) {
    write(first + values);
    queue_box_answer(Answer::yes);
    fw::scripted::queue_font(fw::FontChoice{"Arial", 100, 400, false});
    settings::read_settings();
    EXPECT_EQ(read(), cfg("2", "Arial", "11", "639"));
  }
  // Cancelled, the file stays; its first token is not looked at again.
  write("Config" + values);
  fw::scripted::reset_dialogs();
  settings::read_settings();
  EXPECT_EQ(read(), "Config" + values);
  EXPECT_EQ(current.wit, 800);
  EXPECT_EQ(dialogs.box_calls.back().text, cancelled);
}

TEST_F(Settings, AFileThatCannotBeWrittenIsProblem8AndStaysAsItWas) {
  const auto completed = [this] { setup({Answer::yes}, fw::FontChoice{"Arial", 120, 400, false}); };
  fs::create_directory(path);  // a folder in its place
  EXPECT_EQ(problem_of(completed), "Couldn't write 'Drollbox.cfg'. Aborting!");
  EXPECT_TRUE(fs::is_directory(path));
  const std::string missing_folder = (folder / "missing" / "Drollbox.cfg").string();
  settings::settings_file_name = missing_folder.c_str();
  EXPECT_EQ(problem_of(completed), "Couldn't write 'Drollbox.cfg'. Aborting!");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

}  // namespace
