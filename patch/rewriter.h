#pragma once

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace quendel {

enum class PatchOutcome {
    Patched,            ///< the first occurrence was replaced
    SignatureNotFound,  ///< the whole input was copied unchanged
    ReadError,          ///< the input failed before its end: the output is short
    WriteError,         ///< the output refused bytes: it is incomplete
    Interrupted,        ///< the cancel flag was raised: the output is incomplete
};

/// Bytes read per step. Memory stays at one block whatever the image size.
constexpr std::size_t kDefaultBlockSize = 128 * 1024;

struct RewriteOptions {
    std::size_t block_size = kDefaultBlockSize;
    /// Checked between blocks; nonzero stops the copy.
    const volatile std::sig_atomic_t* cancel = nullptr;
};

struct RewriteResult {
    PatchOutcome outcome = PatchOutcome::SignatureNotFound;
    /// Offset of the replaced routine, when outcome is Patched.
    std::uint64_t offset = 0;
};

/// Copies `input` to `output`, replacing the first occurrence of kSearchSignature
/// with kReplacementTemplate. Neither opens nor closes the streams, and leaves
/// flushing to whoever closes `output`.
RewriteResult rewrite_image(std::FILE* input, std::FILE* output, const RewriteOptions& options = {});

/// What a read-only pass over an image found.
struct ImageScan {
    bool read_error = false;
    std::uint64_t size = 0;
    std::uint64_t signature_count = 0;
    std::uint64_t first_signature = 0;  ///< valid when signature_count > 0
    bool has_replacement = false;       ///< our routine, any index bytes
    std::uint64_t first_replacement = 0;
    std::uint8_t first_index = 0;  ///< bytes at the index offsets of that routine
    std::uint8_t second_index = 0;
};

/// Reads `input` to its end and reports the signature and replacement routines in it.
ImageScan scan_image(std::FILE* input, std::size_t block_size = kDefaultBlockSize);

}  // namespace quendel
