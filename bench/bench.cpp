// Throughput of the cipher and of whole encodings. Run from the release build:
//   build/release/strcrypt_bench

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "encoder.h"
#include "tea.h"
#include "window_timing.h"

namespace {

void tea_encrypt_block(benchmark::State& state) {
    strcrypt::TeaBlock block = {0x01234567, 0x89ABCDEF};
    for (auto _ : state) {
        block =
            strcrypt::tea_encrypt(block, strcrypt::crypt_key);  // chained, as in the window pass
        benchmark::DoNotOptimize(block);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 8);
}
BENCHMARK(tea_encrypt_block);

void crypt_encode_text(benchmark::State& state) {
    const std::vector<std::uint8_t> text(static_cast<std::size_t>(state.range(0)), 'x');
    std::uint32_t seed = 1'765'000'000;
    for (auto _ : state) {
        const auto encoded = strcrypt::crypt_encode_seeded(text, seed++);
        benchmark::DoNotOptimize(encoded.text.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(crypt_encode_text)->Arg(0)->Arg(64)->Arg(4096)->Arg(131071);

// The window pass against textbook TEA in the same loop; `ratio` is the one to read.
void window_pass_vs_textbook(benchmark::State& state) {
    std::vector<std::uint8_t> record(4096, 0x5A);
    double fast = 0;
    double textbook = 0;
    for (auto _ : state) {
        const auto times = strcrypt::bench::time_window_passes(record, 1);
        fast += times.ns_per_window;
        textbook += times.textbook_ns_per_window;
        benchmark::DoNotOptimize(record.data());
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["ns_per_window"] = fast / n;
    state.counters["textbook_ns_per_window"] = textbook / n;
    state.counters["ratio"] = fast / textbook;
}
BENCHMARK(window_pass_vs_textbook);

}  // namespace

BENCHMARK_MAIN();
