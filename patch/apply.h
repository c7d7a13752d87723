#pragma once

#include <sys/stat.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace quendel {

enum class MessageKind { Warning, Error, Information };

/// How an apply command ended, for callers that act on it beyond the message.
enum class ApplyStatus {
    Patched,
    SignatureNotFound,
    Refused,       ///< a Warning: a name or the divider choice was not usable
    UnknownLabel,  ///< the selected entry is not a table label: nothing was said or done
    ReadFailed,    ///< an Error: the input could not be read to its end
    WriteFailed,   ///< an Error: the output could not be written completely
    Interrupted,   ///< the cancel flag stopped the copy; the output is removed
};

struct ApplyResult {
    ApplyStatus status = ApplyStatus::Refused;
    std::uint64_t offset = 0;  ///< of the replaced routine, when Patched
};

/// Returns the list text of the selected divider entry.
using LabelReader = std::function<std::string(int index)>;
/// Shows one message and returns when the user has dismissed it.
using Report = std::function<void(const std::string& text, MessageKind kind)>;

/// Opens an image for reading in binary mode; nullptr when that fails or the
/// name is a folder (which opens for reading here but gives no bytes).
/// `info`, when given, receives the opened file's status.
std::FILE* open_image(const std::string& name, struct stat* info = nullptr);

/// Checks the names and the divider choice, rewrites `input_name` into
/// `output_name` and reports the outcome through `report`. The input is never
/// written, truncated or removed.
ApplyResult apply_patch(const std::string& input_name, const std::string& output_name, int selected_index,
                        const LabelReader& read_label, const Report& report,
                        const volatile std::sig_atomic_t* cancel = nullptr);

}  // namespace quendel
