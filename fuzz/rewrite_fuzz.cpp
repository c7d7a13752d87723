// The streaming rewriter against a plain in-memory reference. The fuzzer
// picks the block size, where whole and partial signatures are planted, and
// the bytes around them; any difference in bytes, length, outcome or offset traps.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "patch/patch_data.h"
#include "patch/rewriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Reads fuzzer bytes in order, with zeros once they run out.
struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
};

// Pieces that break naive matchers: the signature, its prefixes (a broken
// partial match) and the 2E bytes the signature starts with and holds at 6.
Bytes piece(std::uint8_t kind) {
    const auto& s = quendel::kSearchSignature;
    switch (kind % 8) {
        case 0:
            return Bytes(s.begin(), s.end());
        case 1:
            return {0x2E};
        case 2:
            return {0x2E, 0x2E};
        case 3:
            return Bytes(s.begin(), s.begin() + 6);
        case 4:
            return Bytes(s.begin(), s.begin() + 13);
        case 5:
            return Bytes(s.begin(), s.begin() + 21);
        case 6:
            return Bytes(s.begin(), s.begin() + 1 + kind / 8 % 21);
        default:
            return Bytes(quendel::kReplacementTemplate.begin(), quendel::kReplacementTemplate.end());
    }
}

Bytes reference(const Bytes& input, bool& found, std::size_t& offset) {
    const auto& s = quendel::kSearchSignature;
    Bytes out = input;
    const auto hit = std::search(out.begin(), out.end(), s.begin(), s.end());
    found = hit != out.end();
    offset = static_cast<std::size_t>(hit - out.begin());
    if (found) std::copy(quendel::kReplacementTemplate.begin(), quendel::kReplacementTemplate.end(), hit);
    return out;
}

struct Source {
    const Bytes* bytes;
    std::size_t at = 0;
};

std::FILE* open_source(Source& source) {
    cookie_io_functions_t io{};
    io.read = [](void* cookie, char* buf, std::size_t size) -> ssize_t {
        auto& s = *static_cast<Source*>(cookie);
        const std::size_t n = std::min(size, s.bytes->size() - s.at);
        if (n > 0) std::memcpy(buf, s.bytes->data() + s.at, n);
        s.at += n;
        return static_cast<ssize_t>(n);
    };
    return fopencookie(&source, "r", io);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    static const std::size_t kBlocks[] = {1, 2, 3, 7, 21, 22, 23, 43, 64, 4096, quendel::kDefaultBlockSize};
    const std::size_t block = kBlocks[in.byte() % std::size(kBlocks)];
    const std::uint8_t divider = in.byte();
    quendel::apply_divider_setting(quendel::kDividerSettings[divider % quendel::kDividerSettings.size()]);

    // Up to 8 plants: a piece, then a run of fuzzer bytes after it.
    Bytes input;
    const int plants = in.byte() % 9;
    for (int i = 0; i < plants; ++i) {
        const Bytes p = piece(in.byte());
        input.insert(input.end(), p.begin(), p.end());
        const std::size_t gap = in.byte() % 40;
        for (std::size_t j = 0; j < gap && in.size > 0; ++j) input.push_back(in.byte());
    }
    input.insert(input.end(), in.data, in.data + in.size);

    bool found = false;
    std::size_t offset = 0;
    const Bytes expected = reference(input, found, offset);

    Source source{&input};
    std::FILE* src = open_source(source);
    char* out_data = nullptr;
    std::size_t out_size = 0;
    std::FILE* sink = open_memstream(&out_data, &out_size);
    if (src == nullptr || sink == nullptr) std::abort();
    quendel::RewriteOptions options;
    options.block_size = block;
    const quendel::RewriteResult result = quendel::rewrite_image(src, sink, options);
    std::fclose(src);
    std::fclose(sink);

    const bool same_bytes =
        out_size == expected.size() && (out_size == 0 || std::memcmp(out_data, expected.data(), out_size) == 0);
    const bool same_outcome =
        result.outcome == (found ? quendel::PatchOutcome::Patched : quendel::PatchOutcome::SignatureNotFound);
    const bool same_offset = !found || result.offset == offset;
    std::free(out_data);
    if (!same_bytes || !same_outcome || !same_offset) __builtin_trap();
    return 0;
}
