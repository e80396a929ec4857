#include "database_fixture.h"

#include <fstream>

#include "app/problems.h"
#include "database/data_file.h"
#include "database/data_file_writer.h"
#include "database/database.h"
#include "framework/scripted/dialogs.h"
#include "settings/settings.h"

namespace database_test {

namespace {
std::string settings_path;  // settings_file_name points into it during a test
}

void DatabaseTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  folder = std::filesystem::temp_directory_path() / "drollbox-database-tests" /
           (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  database::close_data_file();
  database::release_history();
  database::reader = database::Reader{};
  database::choice = database::Choice{};
  ASSERT_TRUE(database::allocate_history());
  settings::reset_settings();
  settings_path = path_of("Drollbox.cfg");
  settings::settings_file_name = settings_path.c_str();
  fw::scripted::reset_dialogs();
}

void DatabaseTest::TearDown() {
  database::close_data_file();
  database::release_history();
  settings::settings_file_name = settings::default_settings_file_name;
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

std::string DatabaseTest::path_of(const std::string& name) const {
  return (folder / name).string();
}

std::string DatabaseTest::write_file(const std::string& name,
                                     const std::vector<std::uint8_t>& bytes) const {
  const std::string path = path_of(name);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string DatabaseTest::write_data_file(const std::string& name,
                                          const std::vector<std::string>& cookies) {
  const database::DataFileImage image = database::build_data_file(cookies);
  EXPECT_EQ(image.error, "");
  return write_file(name, image.bytes);
}

void DatabaseTest::write_settings(int siz) const {
  const std::string text =
      ":Config:\r\nscr=2\r\nfon=Courier New\r\nsiz=" + std::to_string(siz) + "\r\nwit=639\r\n";
  write_file("Drollbox.cfg", std::vector<std::uint8_t>(text.begin(), text.end()));
}

int problem_of(const std::function<void()>& call) {
  fw::scripted::reset_dialogs();
  try {
    call();
  } catch (const fw::scripted::ProcessExit& exit) {
    EXPECT_EQ(exit.status, -1);
    const auto& boxes = fw::scripted::dialogs.box_calls;
    if (boxes.size() != 1 || boxes[0].caption != "Drollbox Problem") return -1;
    for (int code : {1, 2, 6, 7, 8, 9, 10}) {
      if (boxes[0].text == app::problem_message(code)) return code;
    }
    return -1;
  }
  return 0;
}

void next_pick_is(std::uint32_t number) {
  auto& choice = database::choice;
  choice.history[(choice.history_index - 1) & (database::history_size - 1)] = number;
  choice.prev_pending = true;
}

void pick_and_load() {
  database::pick_cookie();
  database::load_block();
}

std::uint32_t be32_at(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes.at(at)} << 24 | std::uint32_t{bytes.at(at + 1)} << 16 |
         std::uint32_t{bytes.at(at + 2)} << 8 | std::uint32_t{bytes.at(at + 3)};
}

void put_be32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

std::vector<std::string> numbered_cookies(std::size_t count) {
  std::vector<std::string> cookies;
  for (std::size_t i = 0; i < count; ++i) {
    std::string cookie = "cookie " + std::to_string(i);
    if (i % 7 == 3) cookie += "\nsecond line of " + std::to_string(i);
    if (i % 11 == 5) cookie = " leading space " + cookie;
    cookies.push_back(cookie);
  }
  return cookies;
}

}  // namespace database_test
