// A data file open for reading: its header checked, its cookies loaded one at
// a time by their number, its blocks read by theirs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/damage.h"

namespace database {

struct OpenedDataFile;

class DataFile {
 public:
  // The file at path and its header; a damage of the file when it cannot be
  // opened or its header is not one this reader reads.
  static OpenedDataFile open(const char* path);

  std::uint32_t cookie_count() const { return cookie_count_; }
  std::uint32_t index_length() const { return index_length_; }
  std::uint64_t file_size() const { return file_size_; }

  // Cookie number's block decoded until the cookie is complete, and the
  // cookie cut from it as the viewer shows it. The number is not held to the
  // count: a number from another file is looked for where its block would be.
  Damage read_cookie(std::uint32_t number, std::string& cookie);
  // Block number's compressed bytes.
  DamageKind read_block(std::uint32_t block, std::vector<std::uint8_t>& stream);

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  explicit DataFile(std::FILE* file) : file_(file) {}
  int read_byte();
  std::uint32_t read_be32();
  bool seek_to(std::uint64_t offset);
  bool measure();
  DamageKind read_header();
  std::uint64_t data_area_start() const;

  std::unique_ptr<std::FILE, Closer> file_;
  std::uint64_t file_size_ = 0;
  std::uint32_t cookie_count_ = 0;
  std::uint32_t index_length_ = 0;
  bool ran_past_end_ = false;  // a read met the end of the file
};

struct OpenedDataFile {
  std::optional<DataFile> file;  // when there is no damage
  Damage damage;
};

// The codec's input area, as loaded, decoded; a stop rule's enough, when
// given, ends the decoding early (see codec::StopRule).
DamageKind decode_loaded_block(bool (*enough)(const std::uint8_t* text, std::uint32_t length,
                                              void* context) = nullptr,
                               void* context = nullptr);

}  // namespace database
