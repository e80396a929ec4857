#include <gtest/gtest.h>

#include <string>

#include "app/problems.h"
#include "framework/dialogs.h"

namespace {

TEST(ConsoleDialogs, MessagesGoToStandardErrorAndQuestionsAreCancelled) {
  testing::internal::CaptureStderr();
  fw::Answer ok = fw::message_box(nullptr, "Configuration cancelled, sir.", "Drollbox Notify",
                                  fw::BoxKind::notice);
  fw::Answer question =
      fw::message_box(nullptr, "Are you sure?", "Drollbox Notify", fw::BoxKind::question);
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ok, fw::Answer::none);
  EXPECT_EQ(question, fw::Answer::cancel);
  EXPECT_EQ(printed,
            "Drollbox Notify: Configuration cancelled, sir.\nDrollbox Notify: Are you sure?\n");

  EXPECT_FALSE(fw::choose_font(fw::FontChoice{}));
}

TEST(ConsoleDialogsDeathTest, ProblemReportPrintsAndExits) {
  // Status -1 reads back as 255 where exit codes are 8 bits wide.
  auto ended_with_minus_one = [](int status) {
    return testing::ExitedWithCode(-1)(status) || testing::ExitedWithCode(255)(status);
  };
  EXPECT_EXIT(app::report_problem(6), ended_with_minus_one,
              "Drollbox Problem: Couldn't read 'Drollbox.dat' file.");
  EXPECT_EXIT(fw::exit_process(3), testing::ExitedWithCode(3), "");
}

}  // namespace
