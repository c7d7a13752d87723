// rewrite_image against a plain block copy of the same file, in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "patch/patch_data.h"
#include "patch/rewriter.h"

namespace {

// An image of `size` bytes of 2E-rich noise, the worst case for the scan,
// with the signature in the middle.
std::FILE* make_image(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = 7;
    for (auto& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = (state >> 28) == 0 ? 0x2E : static_cast<std::uint8_t>(state >> 24);
    }
    std::memcpy(bytes.data() + size / 2, quendel::kSearchSignature.data(), quendel::kRoutineSize);
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
    return file;
}

void BM_RewriteImage(benchmark::State& state) {
    std::FILE* in = make_image(static_cast<std::size_t>(state.range(0)));
    std::FILE* out = std::tmpfile();
    for (auto _ : state) {
        std::rewind(in);
        std::rewind(out);
        const auto result = quendel::rewrite_image(in, out);
        std::fflush(out);
        if (result.outcome != quendel::PatchOutcome::Patched) state.SkipWithError("not patched");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    std::fclose(in);
    std::fclose(out);
}

// The peer: the same streams copied in the same block size, no scanning.
void BM_PlainCopy(benchmark::State& state) {
    std::FILE* in = make_image(static_cast<std::size_t>(state.range(0)));
    std::FILE* out = std::tmpfile();
    std::vector<char> block(64 * 1024);
    for (auto _ : state) {
        std::rewind(in);
        std::rewind(out);
        std::size_t got;
        while ((got = std::fread(block.data(), 1, block.size(), in)) > 0) std::fwrite(block.data(), 1, got, out);
        std::fflush(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    std::fclose(in);
    std::fclose(out);
}

BENCHMARK(BM_RewriteImage)->Arg(256 << 10)->Arg(16 << 20);
BENCHMARK(BM_PlainCopy)->Arg(256 << 10)->Arg(16 << 20);

}  // namespace
