#include <gtest/gtest.h>

#include <utility>

#include "framework/scripted/dialogs.h"
#include "problems/problems.h"

namespace {

using fw::scripted::dialogs;

// The other codes' messages: where the viewer raises them (app tests) and
// the settings raise theirs (settings tests).
TEST(Problems, EveryCodeEndsTheProcessWithAMessage) {
  const std::pair<int, const char*> table[] = {{1, "Memory problem."}, {3, nullptr}, {-1, nullptr}};
  for (const auto& [code, message] : table) {
    fw::scripted::reset_dialogs();
    fw::scripted::queue_box_answer(fw::Answer::none);  // a box that cannot be shown changes nothing
    EXPECT_THROW(problems::report_problem(code), fw::scripted::ProcessExit);
    ASSERT_EQ(dialogs.box_calls.size(), 1u);
    EXPECT_TRUE(message ? dialogs.box_calls[0].text == message
                        : !dialogs.box_calls[0].text.empty());
    EXPECT_TRUE(dialogs.box_calls[0].caption == "Drollbox Problem" &&
                dialogs.box_calls[0].kind == fw::BoxKind::problem);
    EXPECT_STREQ(problems::problem_message(code), message);
  }
}

}  // namespace
