#include "patch/rewriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "patch/patch_data.h"
#include "tests/test_support.h"

namespace quendel {
namespace {

using test::Bytes;
using test::concat;
using test::filler;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File file_holding(const Bytes& bytes) {
    File file(std::tmpfile());
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    return file;
}

Bytes contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    Bytes bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

// A stream that gives or takes `limit` bytes and then fails with EIO.
struct FailAfter {
    Bytes data;
    std::size_t limit;
    std::size_t done = 0;
};

File failing_stream(FailAfter& state, const char* mode) {
    cookie_io_functions_t io{};
    io.read = [](void* cookie, char* buf, std::size_t size) -> ssize_t {
        auto& s = *static_cast<FailAfter*>(cookie);
        if (s.done >= s.limit) {
            errno = EIO;
            return -1;
        }
        const std::size_t n = std::min({size, s.limit - s.done, s.data.size() - s.done});
        std::memcpy(buf, s.data.data() + s.done, n);
        s.done += n;
        return static_cast<ssize_t>(n);
    };
    io.write = [](void* cookie, const char* buf, std::size_t size) -> ssize_t {
        auto& s = *static_cast<FailAfter*>(cookie);
        if (s.done >= s.limit) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t n = std::min(size, s.limit - s.done);
        s.data.insert(s.data.end(), buf, buf + n);
        s.done += n;
        return static_cast<ssize_t>(n);
    };
    return File(fopencookie(&state, mode, io));
}

const Bytes kSig = test::signature();
const Bytes kRep = test::replacement_with(6, 5);
Bytes prefix(std::size_t n) {
    return Bytes(kSig.begin(), kSig.begin() + static_cast<long>(n));
}
Bytes suffix(std::size_t from) {
    return Bytes(kSig.begin() + static_cast<long>(from), kSig.end());
}

struct RewriteCase {
    const char* name;
    Bytes input;
    Bytes expected;  // empty with `unchanged` set: the output equals the input
    bool unchanged;
    std::int64_t offset;  // -1: SignatureNotFound
};

std::vector<RewriteCase> rewrite_cases() {
    const Bytes a = filler(1000, 3), b = filler(777, 9);
    return {
        {"empty", {}, {}, true, -1},
        {"exactly the signature", kSig, kRep, false, 0},
        {"two occurrences: only the first replaced", concat({a, kSig, b, kSig}), concat({a, kRep, b, kSig}), false,
         1000},
        {"adjacent occurrences", concat({kSig, kSig}), concat({kRep, kSig}), false, 0},
        {"at the very end", concat({a, kSig}), concat({a, kRep}), false, 1000},
        {"ends after ten signature bytes", concat({a, prefix(10)}), {}, true, -1},
        {"all FF", Bytes(5000, 0xFF), {}, true, -1},
        {"no signature", concat({a, b}), {}, true, -1},
        // A match is found even where it begins inside a broken partial match.
        {"2E 2E then the rest", concat({{0x2E}, kSig}), concat({{0x2E}, kRep}), false, 1},
        {"2E 2E 2E then the rest", concat({{0x2E, 0x2E}, kSig, a}), concat({{0x2E, 0x2E}, kRep, a}), false, 2},
        {"six bytes after a partial start", concat({prefix(6), kSig}), concat({prefix(6), kRep}), false, 6},
        {"after thirteen bytes of a partial", concat({prefix(13), kSig, b}), concat({prefix(13), kRep, b}), false, 13},
        {"partial of 21 then whole", concat({prefix(21), kSig}), concat({prefix(21), kRep}), false, 21},
        {"broken partials only", concat({prefix(21), a, prefix(7), {0x00}, prefix(14)}), {}, true, -1},
        {"signature split by a byte", concat({prefix(11), {0x90}, suffix(11)}), {}, true, -1},
    };
}

class RewriteTable : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RewriteTable, CopiesAndReplacesFirstOccurrenceOnly) {
    for (const RewriteCase& c : rewrite_cases()) {
        SCOPED_TRACE(c.name);
        apply_divider_setting(*find_divider_setting("1/2"));
        File in = file_holding(c.input), out(std::tmpfile());
        RewriteOptions options;
        options.block_size = GetParam();
        const RewriteResult result = rewrite_image(in.get(), out.get(), options);
        EXPECT_EQ(contents(out.get()), c.unchanged ? c.input : c.expected);
        if (c.offset < 0) {
            EXPECT_EQ(result.outcome, PatchOutcome::SignatureNotFound);
        } else {
            EXPECT_EQ(result.outcome, PatchOutcome::Patched);
            EXPECT_EQ(result.offset, static_cast<std::uint64_t>(c.offset));
        }
    }
}

// Blocks smaller than, equal to and around the routine's length move the
// occurrences across block borders.
INSTANTIATE_TEST_SUITE_P(BlockSizes, RewriteTable, ::testing::Values(1, 2, 7, 21, 22, 23, 1000, 65536));

TEST(Rewriter, WritesTheCurrentDividerIndexes) {
    apply_divider_setting(*find_divider_setting("2/5"));
    File in = file_holding(concat({filler(100), kSig})), out(std::tmpfile());
    ASSERT_EQ(rewrite_image(in.get(), out.get()).outcome, PatchOutcome::Patched);
    EXPECT_EQ(contents(out.get()), concat({filler(100), test::replacement_with(7, 9)}));
    apply_divider_setting(*find_divider_setting("1/2"));
}

TEST(Rewriter, ReadErrorEndsTheCopyAndIsNeverPatched) {
    // Fails before the signature, and after it (the rest of the image would be lost).
    for (std::size_t limit : {std::size_t{10}, std::size_t{5000}}) {
        FailAfter source{concat({filler(1000), kSig, filler(10000)}), limit};
        File in = failing_stream(source, "r"), out(std::tmpfile());
        RewriteOptions options;
        options.block_size = 512;
        EXPECT_EQ(rewrite_image(in.get(), out.get(), options).outcome, PatchOutcome::ReadError) << limit;
    }
}

TEST(Rewriter, WriteErrorIsReported) {
    for (std::size_t limit : {std::size_t{0}, std::size_t{1010}, std::size_t{9000}}) {
        FailAfter sink{{}, limit};
        File in = file_holding(concat({filler(1000), kSig, filler(20000)}));
        File out = failing_stream(sink, "w");
        std::setvbuf(out.get(), nullptr, _IONBF, 0);
        EXPECT_EQ(rewrite_image(in.get(), out.get()).outcome, PatchOutcome::WriteError) << limit;
    }
}

TEST(Rewriter, RaisedCancelFlagStopsTheCopy) {
    volatile std::sig_atomic_t cancel = 1;
    File in = file_holding(concat({kSig, filler(100)})), out(std::tmpfile());
    RewriteOptions options;
    options.cancel = &cancel;
    EXPECT_EQ(rewrite_image(in.get(), out.get(), options).outcome, PatchOutcome::Interrupted);
}

TEST(ScanImage, CountsSignaturesAndReadsAnExistingReplacement) {
    for (std::size_t block : {std::size_t{1}, std::size_t{22}, std::size_t{4096}}) {
        SCOPED_TRACE(block);
        File patched = file_holding(concat({filler(300), test::replacement_with(7, 9), kSig, {0x2E}, kSig}));
        const ImageScan scan = scan_image(patched.get(), block);
        EXPECT_FALSE(scan.read_error);
        EXPECT_EQ(scan.size, 300u + 22 + 22 + 1 + 22);
        EXPECT_EQ(scan.signature_count, 2u);
        EXPECT_EQ(scan.first_signature, 322u);
        EXPECT_TRUE(scan.has_replacement);
        EXPECT_EQ(scan.first_replacement, 300u);
        EXPECT_EQ(scan.first_index, 7);
        EXPECT_EQ(scan.second_index, 9);

        File plain = file_holding(filler(5000));
        const ImageScan none = scan_image(plain.get(), block);
        EXPECT_EQ(none.signature_count, 0u);
        EXPECT_FALSE(none.has_replacement);
    }
}

TEST(ScanImage, ReportsReadError) {
    FailAfter source{filler(10000), 3000};
    File in = failing_stream(source, "r");
    EXPECT_TRUE(scan_image(in.get(), 1024).read_error);
}

}  // namespace
}  // namespace quendel
