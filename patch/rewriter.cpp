#include "patch/rewriter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "patch/patch_data.h"

namespace quendel {
namespace {

// A routine may straddle two blocks; keeping the last 21 bytes in front of the
// next block lets every occurrence be seen whole, in one pass.
constexpr std::size_t kCarry = kRoutineSize - 1;

// First position in [data, data + size) where `matches` holds for a whole
// routine, found by looking only at bytes equal to the routine's first byte.
template <typename Matches>
const std::uint8_t* find_routine(const std::uint8_t* data, std::size_t size, std::uint8_t first, Matches matches) {
    if (size < kRoutineSize) return nullptr;
    const std::uint8_t* last = data + size - kRoutineSize;
    for (const std::uint8_t* p = data; p <= last; ++p) {
        p = static_cast<const std::uint8_t*>(std::memchr(p, first, static_cast<std::size_t>(last - p) + 1));
        if (p == nullptr) return nullptr;
        if (matches(p)) return p;
    }
    return nullptr;
}

const std::uint8_t* find_signature(const std::uint8_t* data, std::size_t size) {
    return find_routine(data, size, kSearchSignature[0], [](const std::uint8_t* p) {
        return std::memcmp(p, kSearchSignature.data(), kRoutineSize) == 0;
    });
}

// Our routine with any index bytes: a BIOS patched before, perhaps with another divider.
const std::uint8_t* find_replacement(const std::uint8_t* data, std::size_t size) {
    return find_routine(data, size, kReplacementInitial[0], [](const std::uint8_t* p) {
        for (std::size_t i = 0; i < kRoutineSize; ++i) {
            if (i != kFirstIndexOffset && i != kSecondIndexOffset && p[i] != kReplacementInitial[i]) return false;
        }
        return true;
    });
}

// Reads up to `size` bytes; false when the stream failed rather than ended.
bool read_block(std::FILE* input, std::uint8_t* data, std::size_t size, std::size_t& got) {
    got = std::fread(data, 1, size, input);
    return got == size || !std::ferror(input);
}

// glibc may count a failed unbuffered write as written and only set the
// error flag, so the flag is checked as well.
bool write_bytes(std::FILE* output, const std::uint8_t* data, std::size_t size) {
    return (size == 0 || std::fwrite(data, 1, size, output) == size) && !std::ferror(output);
}

}  // namespace

RewriteResult rewrite_image(std::FILE* input, std::FILE* output, const RewriteOptions& options) {
    const std::size_t block = std::max<std::size_t>(options.block_size, 1);
    std::vector<std::uint8_t> window(kCarry + block);
    std::size_t held = 0;    // unwritten bytes at the front of the window
    std::uint64_t base = 0;  // input offset of window[0]
    RewriteResult result;

    auto cancelled = [&] { return options.cancel != nullptr && *options.cancel != 0; };
    // A signal can fail a read or write with EINTR: that is the interruption, not an I/O fault.
    auto failed = [&](PatchOutcome outcome) {
        return RewriteResult{cancelled() ? PatchOutcome::Interrupted : outcome, 0};
    };

    for (;;) {
        if (cancelled()) return {PatchOutcome::Interrupted, 0};
        std::size_t got = 0;
        if (!read_block(input, window.data() + held, block, got)) return failed(PatchOutcome::ReadError);
        const std::size_t size = held + got;
        if (got == 0) break;

        if (const std::uint8_t* hit = find_signature(window.data(), size)) {
            const std::size_t at = static_cast<std::size_t>(hit - window.data());
            if (!write_bytes(output, window.data(), at) ||
                !write_bytes(output, kReplacementTemplate.data(), kRoutineSize) ||
                !write_bytes(output, hit + kRoutineSize, size - at - kRoutineSize)) {
                return failed(PatchOutcome::WriteError);
            }
            result = {PatchOutcome::Patched, base + at};
            held = 0;
            break;
        }
        // No whole routine here; its start may be among the last 21 bytes.
        const std::size_t keep = std::min(size, kCarry);
        if (!write_bytes(output, window.data(), size - keep)) return failed(PatchOutcome::WriteError);
        std::memmove(window.data(), window.data() + size - keep, keep);
        base += size - keep;
        held = keep;
    }
    if (!write_bytes(output, window.data(), held)) return failed(PatchOutcome::WriteError);
    if (result.outcome != PatchOutcome::Patched) return result;

    // Patched: the rest is a plain copy, later occurrences included.
    for (;;) {
        if (cancelled()) return {PatchOutcome::Interrupted, 0};
        std::size_t got = 0;
        if (!read_block(input, window.data(), block, got)) return failed(PatchOutcome::ReadError);
        if (got == 0) return result;
        if (!write_bytes(output, window.data(), got)) return failed(PatchOutcome::WriteError);
    }
}

ImageScan scan_image(std::FILE* input, std::size_t block_size) {
    const std::size_t block = std::max<std::size_t>(block_size, 1);
    std::vector<std::uint8_t> window(kCarry + block);
    std::size_t held = 0;
    std::uint64_t base = 0;
    ImageScan scan;

    for (;;) {
        std::size_t got = 0;
        if (!read_block(input, window.data() + held, block, got)) {
            scan.read_error = true;
            return scan;
        }
        if (got == 0) return scan;
        scan.size += got;
        const std::size_t size = held + got;
        // A whole routine never fits in the 21 carried bytes, so no occurrence
        // is seen in two windows.
        std::size_t pos = 0;
        while (const std::uint8_t* hit = find_signature(window.data() + pos, size - pos)) {
            const std::size_t at = static_cast<std::size_t>(hit - window.data());
            if (scan.signature_count++ == 0) scan.first_signature = base + at;
            pos = at + 1;
        }
        if (!scan.has_replacement) {
            if (const std::uint8_t* hit = find_replacement(window.data(), size)) {
                scan.has_replacement = true;
                scan.first_replacement = base + static_cast<std::uint64_t>(hit - window.data());
                scan.first_index = hit[kFirstIndexOffset];
                scan.second_index = hit[kSecondIndexOffset];
            }
        }
        const std::size_t keep = std::min(size, kCarry);
        std::memmove(window.data(), window.data() + size - keep, keep);
        base += size - keep;
        held = keep;
    }
}

}  // namespace quendel
