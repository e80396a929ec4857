// Where a whole-file walk gets its blocks' compressed bytes, in file order:
// an open data file, read with its seeks, or standard input, read once from
// front to back and never held whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "database/data_file.h"

namespace database {

class BlockSource {
 public:
  virtual ~BlockSource() = default;
  // The header and the index: a damage of the file as a whole, or none.
  virtual DamageKind open() = 0;
  // Block number's bytes, the blocks asked for one after another from 0.
  virtual DamageKind read(std::uint32_t block, std::vector<std::uint8_t>& stream) = 0;
  // The file's size in bytes; for standard input, what is left is read to count it.
  virtual std::uint64_t size() = 0;

  std::uint32_t cookie_count = 0;
  std::uint32_t index_length = 0;
};

class FileBlocks : public BlockSource {
 public:
  explicit FileBlocks(DataFile& file) : file_(file) {}
  DamageKind open() override;
  DamageKind read(std::uint32_t block, std::vector<std::uint8_t>& stream) override {
    return file_.read_block(block, stream);
  }
  std::uint64_t size() override { return file_.file_size(); }

 private:
  DataFile& file_;
};

class StreamBlocks : public BlockSource {
 public:
  explicit StreamBlocks(std::FILE* stream) : stream_(stream) {}
  DamageKind open() override;
  DamageKind read(std::uint32_t block, std::vector<std::uint8_t>& stream) override;
  std::uint64_t size() override;

  // An index of more entries than this is not held for a stream.
  static constexpr std::uint32_t most_entries = 1u << 22;

 private:
  bool take(std::uint8_t* bytes, std::uint64_t count);  // false once the stream ends
  bool skip(std::uint64_t count);
  std::uint32_t take_be32();

  std::FILE* stream_;
  std::uint64_t position_ = 0;  // bytes taken from the stream
  bool ended_ = false;
  std::vector<std::uint32_t> entries_;  // the index entries the cookies need
};

}  // namespace database
