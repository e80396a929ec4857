// Shared by the database suites: a folder of files of its own and
// big-endian access to file images.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace database_test {

using Bytes = std::vector<std::uint8_t>;

inline std::uint32_t be32_at(const Bytes& bytes, std::size_t at) {
  return std::uint32_t{bytes.at(at)} << 24 | std::uint32_t{bytes.at(at + 1)} << 16 |
         std::uint32_t{bytes.at(at + 2)} << 8 | std::uint32_t{bytes.at(at + 3)};
}

inline void put_be32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// Cookies "cookie N" with a little variety in length and content.
inline std::vector<std::string> numbered_cookies(std::size_t count) {
  std::vector<std::string> cookies;
  for (std::size_t i = 0; i < count; ++i) {
    std::string cookie = "cookie " + std::to_string(i);
    if (i % 7 == 3) cookie += "\nsecond line of " + std::to_string(i);
    if (i % 11 == 5) cookie = " leading space " + cookie;
    cookies.push_back(cookie);
  }
  return cookies;
}

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() / "drollbox-database-tests" /
             (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::string write_file(const std::string& name, const Bytes& bytes) const {
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::filesystem::path folder;
};

}  // namespace database_test
