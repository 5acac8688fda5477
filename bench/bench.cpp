// Throughput of the cipher and of whole encodings. Run from the release build:
//   build/release/strcrypt_bench

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "encoder.h"
#include "tea.h"

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

}  // namespace

BENCHMARK_MAIN();
