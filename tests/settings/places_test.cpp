#include "places/places.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsPlace, FollowsTheXdgConfigurationHome) {
  struct Case {
    const char* config_home;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
      {"/conf", "/home/u", "/conf/drollbox/Drollbox.cfg"},
      {nullptr, "/home/u", "/home/u/.config/drollbox/Drollbox.cfg"},
      {"", "/home/u", "/home/u/.config/drollbox/Drollbox.cfg"},
      {"relative/conf", "/home/u", "/home/u/.config/drollbox/Drollbox.cfg"},
      {nullptr, "relative", "Drollbox.cfg"},
      {nullptr, nullptr, "Drollbox.cfg"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(places::settings_file(c.config_home, c.home), c.expected)
        << (c.config_home ? c.config_home : "(unset)") << ", " << (c.home ? c.home : "(unset)");
  }
}

}  // namespace
