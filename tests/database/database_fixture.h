// Shared set-up of the database suites: fresh module state, a folder of
// files of its own, and a way to see which Problem a call ended with.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace database_test {

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string path_of(const std::string& name) const;
  std::string write_file(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
  // A data file of the given cookies, made by the writer; its path.
  std::string write_data_file(const std::string& name, const std::vector<std::string>& cookies);
  // The settings file the viewer reads, with the given siz.
  void write_settings(int siz) const;

  std::filesystem::path folder;
};

// Runs call; the Problem code it ended the process with, or 0 when it returned.
int problem_of(const std::function<void()>& call);

// The next pick_cookie takes this cookie number (a step back to it).
void next_pick_is(std::uint32_t number);

// pick_cookie then load_block, as a refresh runs them.
void pick_and_load();

std::uint32_t be32_at(const std::vector<std::uint8_t>& bytes, std::size_t at);
void put_be32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);

// Cookies "cookie N" with a little variety in length and content.
std::vector<std::string> numbered_cookies(std::size_t count);

}  // namespace database_test
