// Throughput of the codec on three kinds of block: English cookies, a
// ten-symbol alphabet (the node recycling path) and random bytes.
// Run: build/<dir>/bench/codec_bench  (time_per_byte is per text byte)
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/texts.h"
#include "codec/codec.h"

namespace {

using codec_texts::Bytes;

// One block of 100 cookies in the block layout: each cookie, its line feed,
// then "%%" and a line feed.
Bytes english_block() {
  std::ifstream file("/usr/share/games/fortunes/cookie", std::ios::binary);
  if (!file) return codec_texts::english_text(16000, 20240601);
  std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  Bytes block;
  std::size_t start = 0;
  for (int cookies = 0; cookies < 100; ++cookies) {
    std::size_t end = all.find("\n%\n", start);
    if (end == std::string::npos) break;
    block.insert(block.end(), all.begin() + static_cast<std::ptrdiff_t>(start),
                 all.begin() + static_cast<std::ptrdiff_t>(end));
    block.insert(block.end(), {'\n', '%', '%', '\n'});
    start = end + 3;
  }
  return block;
}

codec::RunStatus run(const Bytes& input, codec::RunStatus (*driver)()) {
  codec::load_input(input.data(), input.size());
  return driver();
}

Bytes compressed(const Bytes& text) {
  if (run(text, codec::compress) != codec::RunStatus::ok) return {};
  return Bytes(codec::output_buffer, codec::output_buffer + codec::output_total);
}

void report(benchmark::State& state, std::size_t text_bytes, const Bytes& input) {
  auto total = double(text_bytes) * double(state.iterations());
  state.SetBytesProcessed(std::int64_t(total));
  // Printed with an SI prefix: "233n" is 233 ns per text byte.
  state.counters["time_per_byte"] =
      benchmark::Counter(double(text_bytes), benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
  state.SetLabel(std::to_string(text_bytes) + " text bytes, " + std::to_string(input.size()) +
                 " input bytes");
}

void compress_bench(benchmark::State& state, const Bytes& text) {
  codec::RunStatus status = codec::RunStatus::ok;
  for (auto _ : state) {
    status = run(text, codec::compress);
    benchmark::DoNotOptimize(codec::output_total);
  }
  report(state, text.size(), text);
  if (status == codec::RunStatus::output_overflow) state.SetLabel("stream outgrows the area");
}

void decompress_bench(benchmark::State& state, const Bytes& text) {
  Bytes stream = compressed(text);
  for (auto _ : state) {
    run(stream, codec::decompress);
    benchmark::DoNotOptimize(codec::output_total);
  }
  if (codec::output_total != text.size()) state.SkipWithError("round trip failed");
  report(state, text.size(), stream);
}

// The longest prefix of random bytes whose stream can be decompressed: it
// must fit the input area, which is two bytes smaller than the output area.
Bytes random_that_fits(const Bytes& text) {
  std::size_t low = 0, high = text.size();
  while (low < high) {
    std::size_t middle = (low + high + 1) / 2;
    Bytes prefix(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(middle));
    if (!compressed(prefix).empty() &&
        codec::output_total <= static_cast<std::uint32_t>(codec::input_capacity)) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return Bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(low));
}

const Bytes english = english_block();
const Bytes ten_symbols = codec_texts::random_bytes(32767, 10, 20240601, '0');
const Bytes random_bytes = codec_texts::random_bytes(32767, 256, 20240602);

}  // namespace

BENCHMARK_CAPTURE(compress_bench, english_100_cookies, english)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decompress_bench, english_100_cookies, english)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(compress_bench, ten_symbols, ten_symbols)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decompress_bench, ten_symbols, ten_symbols)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(compress_bench, random_bytes, random_bytes)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decompress_bench, random_bytes_that_fit, random_that_fits(random_bytes))
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
