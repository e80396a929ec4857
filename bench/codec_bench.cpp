// Throughput of the codec on three kinds of block: the tree's English cookies, a
// ten-symbol alphabet (the recycling path) and random bytes; and, where
// libbz2 and liblzma are installed, our decoding of the English block against
// theirs in the same run.
// Run: build/<dir>/bench/codec_bench  (time_per_byte is per text byte)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if defined(DROLLBOX_BENCH_BZIP2)
#include <bzlib.h>
#endif
#if defined(DROLLBOX_BENCH_XZ)
#include <lzma.h>
#endif

#include "codec/codec.h"
#include "tests/support/texts.h"

namespace {

using codec_texts::Bytes;

// One block of the tree's own cookies (cookies/, files in name order) in the
// block layout: each cookie, its line feed, then "%%" and a line feed. The
// figures must not depend on what the machine has installed, so a missing or
// short cookies/ ends the bench instead of falling back to other text.
Bytes english_block() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(DROLLBOX_BENCH_COOKIES))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  Bytes block;
  int cookies = 0;
  for (const auto& path : files) {
    std::ifstream file(path, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (std::size_t start = 0, end; cookies < 100; start = end + 3, ++cookies) {
      end = all.find("\n%\n", start);
      if (end == std::string::npos) break;
      block.insert(block.end(), all.begin() + static_cast<std::ptrdiff_t>(start),
                   all.begin() + static_cast<std::ptrdiff_t>(end));
      block.insert(block.end(), {'\n', '%', '%', '\n'});
    }
  }
  if (cookies < 100) {
    std::fprintf(stderr, "codec_bench: %s holds %d cookies; the English block needs 100\n",
                 DROLLBOX_BENCH_COOKIES, cookies);
    std::exit(1);
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

#if defined(DROLLBOX_BENCH_BZIP2) || defined(DROLLBOX_BENCH_XZ)
// The same English block decoded by our codec and by the general-purpose
// decoders, turn about in every iteration, so that the ratios hold on a
// noisy machine: vs_bzip2 and vs_xz are our time over theirs.
struct Paired {
  std::string name;
  Bytes stream;
  bool (*decode)(const Bytes& stream, Bytes& text);
  double seconds = 0;
};

#if defined(DROLLBOX_BENCH_BZIP2)
Bytes bzip2_stream(const Bytes& text) {
  Bytes stream(text.size() + text.size() / 100 + 600);
  auto length = static_cast<unsigned>(stream.size());
  BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(stream.data()), &length,
                           const_cast<char*>(reinterpret_cast<const char*>(text.data())),
                           static_cast<unsigned>(text.size()), 9, 0, 0);
  stream.resize(length);
  return stream;
}

bool bzip2_decode(const Bytes& stream, Bytes& text) {
  auto length = static_cast<unsigned>(text.size());
  return BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(text.data()), &length,
                                    const_cast<char*>(reinterpret_cast<const char*>(stream.data())),
                                    static_cast<unsigned>(stream.size()), 0, 0) == BZ_OK;
}
#endif

#if defined(DROLLBOX_BENCH_XZ)
Bytes xz_stream(const Bytes& text) {
  Bytes stream(lzma_stream_buffer_bound(text.size()));
  std::size_t length = 0;
  lzma_easy_buffer_encode(6, LZMA_CHECK_CRC32, nullptr, text.data(), text.size(), stream.data(),
                          &length, stream.size());
  stream.resize(length);
  return stream;
}

bool xz_decode(const Bytes& stream, Bytes& text) {
  std::uint64_t memory_limit = UINT64_MAX;
  std::size_t in = 0, out = 0;
  return lzma_stream_buffer_decode(&memory_limit, 0, nullptr, stream.data(), &in, stream.size(),
                                   text.data(), &out, text.size()) == LZMA_OK;
}
#endif

// Processor time of this thread: on a busy machine the wall clock also counts
// the time other processes ran.
double thread_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool codec_decode(const Bytes& stream, Bytes&) {
  return run(stream, codec::decompress) == codec::RunStatus::ok;
}

void paired_decode_bench(benchmark::State& state, const Bytes& text) {
  std::vector<Paired> decoders = {{"ours", compressed(text), codec_decode}};
#if defined(DROLLBOX_BENCH_BZIP2)
  decoders.push_back({"bzip2", bzip2_stream(text), bzip2_decode});
#endif
#if defined(DROLLBOX_BENCH_XZ)
  decoders.push_back({"xz", xz_stream(text), xz_decode});
#endif
  Bytes out(text.size());
  for (auto _ : state) {
    for (Paired& decoder : decoders) {
      double start = thread_seconds();
      if (!decoder.decode(decoder.stream, out)) state.SkipWithError("a decoder failed");
      decoder.seconds += thread_seconds() - start;
    }
  }
  auto runs = static_cast<double>(state.iterations()) * static_cast<double>(text.size());
  for (const Paired& decoder : decoders) {
    state.counters[decoder.name + "_ns_per_byte"] = decoder.seconds / runs * 1e9;
    if (decoder.name != "ours")
      state.counters["vs_" + decoder.name] = decoders[0].seconds / decoder.seconds;
  }
}
#endif

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
#if defined(DROLLBOX_BENCH_BZIP2) || defined(DROLLBOX_BENCH_XZ)
BENCHMARK_CAPTURE(paired_decode_bench, english_100_cookies, english)->Unit(benchmark::kMicrosecond);
#endif
BENCHMARK_CAPTURE(compress_bench, ten_symbols, ten_symbols)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decompress_bench, ten_symbols, ten_symbols)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(compress_bench, random_bytes, random_bytes)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decompress_bench, random_bytes_that_fit, random_that_fits(random_bytes))
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
