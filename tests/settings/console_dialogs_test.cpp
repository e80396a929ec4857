#include <gtest/gtest.h>

#include <string>

#include "app/problems.h"
#include "framework/dialogs.h"

namespace {

TEST(ConsoleDialogs, MessagesGoToStandardErrorAndQuestionsAreCancelled) {
  testing::internal::CaptureStderr();
  int ok = fw::message_box(nullptr, "Configuration cancelled, sir.", "Drollbox Notify",
                           fw::box_style_ok);
  int question =
      fw::message_box(nullptr, "Are you sure?", "Drollbox Notify", fw::box_style_yes_no_cancel);
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ok, fw::box_ok);
  EXPECT_EQ(question, fw::box_cancel);
  EXPECT_EQ(printed,
            "Drollbox Notify: Configuration cancelled, sir.\nDrollbox Notify: Are you sure?\n");

  fw::CHOOSEFONTA request;
  EXPECT_EQ(fw::choose_font(request), 0);
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
