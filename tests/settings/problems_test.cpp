#include <gtest/gtest.h>

#include "problems/problems.h"
#include "framework/scripted/dialogs.h"

namespace {

using fw::scripted::dialogs;

class Problems : public ::testing::Test {
 protected:
  void SetUp() override { fw::scripted::reset_dialogs(); }
  void TearDown() override { fw::scripted::reset_dialogs(); }

  static int exit_status_of(int code) {
    try {
      problems::report_problem(code);
    } catch (const fw::scripted::ProcessExit& exit) {
      return exit.status;
    }
    ADD_FAILURE() << "report_problem(" << code << ") returned";
    return 0;
  }
};

TEST_F(Problems, EachCodeShowsItsMessageAndEndsWithStatusMinusOne) {
  const std::pair<int, const char*> table[] = {
      {1, "Memory problem."},
      {2, "Couldn't identify data file."},
      {6, "Couldn't read 'Drollbox.dat' file."},
      {7, "Incompatible data file. Update."},
      {8, "Couldn't write 'Drollbox.cfg'. Aborting!"},
      {9, "Illegal font specified. Choose another."},
      {10, "Parse error in config file."},
  };
  for (const auto& [code, message] : table) {
    fw::scripted::reset_dialogs();
    EXPECT_EQ(exit_status_of(code), -1) << code;
    ASSERT_EQ(dialogs.box_calls.size(), 1u) << code;
    const fw::scripted::BoxCall& box = dialogs.box_calls[0];
    EXPECT_EQ(box.text, message);
    EXPECT_EQ(box.caption, "Drollbox Problem");
    EXPECT_EQ(box.kind, fw::BoxKind::problem);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_STREQ(problems::problem_message(code), message);
  }
}

TEST_F(Problems, UnassignedCodeStillEndsTheProcess) {
  for (int code : {0, 3, 4, 5, 11, -1}) {
    fw::scripted::reset_dialogs();
    EXPECT_EQ(problems::problem_message(code), nullptr) << code;
    EXPECT_EQ(exit_status_of(code), -1) << code;
    ASSERT_EQ(dialogs.box_calls.size(), 1u);
    EXPECT_FALSE(dialogs.box_calls[0].text.empty());
    EXPECT_EQ(dialogs.box_calls[0].caption, "Drollbox Problem");
  }
}

TEST_F(Problems, BoxThatCannotBeShownStillEndsTheProcess) {
  fw::scripted::queue_box_answer(fw::Answer::none);
  EXPECT_EQ(exit_status_of(2), -1);
}

TEST_F(Problems, CancelNoticeReturns) {
  problems::show_cancelled_notice();
  ASSERT_EQ(dialogs.box_calls.size(), 1u);
  EXPECT_EQ(dialogs.box_calls[0].text, "Configuration cancelled, sir.");
  EXPECT_EQ(dialogs.box_calls[0].caption, "Drollbox Notify");
  EXPECT_EQ(dialogs.box_calls[0].kind, fw::BoxKind::notice);
  EXPECT_EQ(dialogs.box_calls[0].owner, nullptr);
}

}  // namespace
