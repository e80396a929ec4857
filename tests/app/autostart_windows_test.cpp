// Under Wine: the value comes and goes in the prefix's own registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/autostart.h"

namespace {

constexpr const char* run_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The value, or "(none)" when there is none.
std::string run_value() {
  char value[1024] = {};
  DWORD size = sizeof value;
  if (::RegGetValueA(HKEY_CURRENT_USER, run_key, "Drollbox", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
    return "(none)";
  return value;
}

TEST(Autostart, RunValueHoldsTheQuotedProgramAndGoes) {
  char program[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, program, sizeof program);
  const std::string quoted = "\"" + std::string(program) + "\"";

  EXPECT_TRUE(app::change_autostart(true, "C:\\cookies\\other.dat").done);
  EXPECT_EQ(run_value(), quoted + " \"C:\\cookies\\other.dat\"");
  const app::AutostartOutcome added = app::change_autostart(true, "");
  EXPECT_EQ(added.message,
            "added the login entry 'Drollbox' of "
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_EQ(run_value(), quoted);
  EXPECT_TRUE(app::change_autostart(false, "").done);
  EXPECT_EQ(run_value(), "(none)");
  const app::AutostartOutcome again = app::change_autostart(false, "");
  EXPECT_TRUE(again.done && again.message.starts_with("there is no login entry")) << again.message;
}

}  // namespace
