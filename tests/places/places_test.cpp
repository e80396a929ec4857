#include "places/places.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(SettingsPlace, FollowsTheXdgConfigurationHome) {
  const std::tuple<const char*, const char*, std::string> cases[] = {
      {"/conf", "/home/u", "/conf/drollbox/Drollbox.cfg"},
      {nullptr, "/home/u", "/home/u/.config/drollbox/Drollbox.cfg"},
      {"", "/home/u", "/home/u/.config/drollbox/Drollbox.cfg"},
      {"relative/conf", "/home/u", "/home/u/.config/drollbox/Drollbox.cfg"},
      {nullptr, "relative", "Drollbox.cfg"},
      {nullptr, nullptr, "Drollbox.cfg"},
  };
  for (const auto& [config_home, home, expected] : cases)
    EXPECT_EQ(places::settings_file(config_home, home), expected) << (home ? home : "-");
}

}  // namespace
