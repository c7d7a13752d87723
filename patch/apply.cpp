#include "patch/apply.h"

#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "patch/patch_data.h"
#include "patch/rewriter.h"

namespace quendel {
namespace {

std::string with_name(const char* format, const std::string& name) {
    std::string text = format;
    text.replace(text.find("%s"), 2, name);
    return text;
}

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Flushes and closes, catching a failure that only the final flush reveals.
bool close_output(std::FILE* output) {
    bool ok = std::fflush(output) == 0;
    ok = !std::ferror(output) && ok;
    return std::fclose(output) == 0 && ok;
}

// Removes the output only if the name still denotes the regular file this
// command created or truncated: never a device, FIFO, folder or anything
// swapped in under the name meanwhile.
void remove_output(const std::string& name, const struct stat& written) {
    struct stat now {};
    if (!S_ISREG(written.st_mode)) return;
    if (::lstat(name.c_str(), &now) != 0 || !S_ISREG(now.st_mode) || !same_file(now, written)) return;
    std::remove(name.c_str());
}

}  // namespace

std::FILE* open_image(const std::string& name, struct stat* info) {
    struct stat status {};
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file != nullptr && (::fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode))) {
        std::fclose(file);
        return nullptr;
    }
    if (file != nullptr && info != nullptr) *info = status;
    return file;
}

ApplyResult apply_patch(const std::string& input_name, const std::string& output_name, int selected_index,
                        const LabelReader& read_label, const Report& report, const volatile std::sig_atomic_t* cancel) {
    const ApplyResult refused{ApplyStatus::Refused, 0};
    if (input_name.empty()) {
        report("Please, provide a input BIOS name", MessageKind::Warning);
        return refused;
    }
    if (output_name.empty()) {
        report("Please, provide a output BIOS name", MessageKind::Warning);
        return refused;
    }
    if (selected_index == -1) {
        report("Please, select a divider", MessageKind::Warning);
        return refused;
    }
    static const char* const kSameFile = "Input BIOS name must be different than Output BIOS name";
    if (input_name == output_name) {
        report(kSameFile, MessageKind::Warning);
        return refused;
    }
    const std::string label = read_label(selected_index);
    const DividerSetting* row = find_divider_setting(label.c_str());
    if (row == nullptr) return {ApplyStatus::UnknownLabel, 0};
    apply_divider_setting(*row);

    struct stat input_stat {};
    std::FILE* input = open_image(input_name, &input_stat);
    if (input == nullptr) {
        report(with_name("Can't open %s!!!", input_name), MessageKind::Warning);
        return refused;
    }

    // Another spelling of the input (a link, "./", other case) must not be
    // opened for writing: that would truncate the image before it is read.
    struct stat existing {};
    if (::stat(output_name.c_str(), &existing) == 0 && same_file(existing, input_stat)) {
        std::fclose(input);
        report(kSameFile, MessageKind::Warning);
        return refused;
    }

    std::FILE* output = std::fopen(output_name.c_str(), "wb");
    struct stat output_stat {};
    if (output == nullptr || ::fstat(fileno(output), &output_stat) != 0) {
        if (output != nullptr) std::fclose(output);
        std::fclose(input);
        report(with_name("Can't open %s!!!", output_name), MessageKind::Warning);
        return refused;
    }

    // Whole-block writes, although the rewriter holds back a routine's length
    // of bytes at block ends. (glibc ignores the size without a buffer.)
    std::vector<char> output_buffer(kDefaultBlockSize);
    std::setvbuf(output, output_buffer.data(), _IOFBF, output_buffer.size());
    RewriteOptions options;
    options.cancel = cancel;
    const RewriteResult rewritten = rewrite_image(input, output, options);
    std::fclose(input);
    const bool output_complete = close_output(output);

    switch (rewritten.outcome) {
        case PatchOutcome::ReadError:
            remove_output(output_name, output_stat);
            report(with_name("Can't read %s!!! Nothing was patched.", input_name), MessageKind::Error);
            return {ApplyStatus::ReadFailed, 0};
        case PatchOutcome::Interrupted:
            remove_output(output_name, output_stat);
            return {ApplyStatus::Interrupted, 0};
        case PatchOutcome::WriteError:
        case PatchOutcome::Patched:
        case PatchOutcome::SignatureNotFound:
            break;
    }
    if (rewritten.outcome == PatchOutcome::WriteError || !output_complete) {
        remove_output(output_name, output_stat);
        report(with_name("Can't write %s!!! Nothing was patched.", output_name), MessageKind::Error);
        return {ApplyStatus::WriteFailed, 0};
    }
    if (rewritten.outcome == PatchOutcome::SignatureNotFound) {
        report("Sorry, i don't know how to apply patch to this file", MessageKind::Error);
        remove_output(output_name, output_stat);
        return {ApplyStatus::SignatureNotFound, 0};
    }
    report("Patch applied", MessageKind::Information);
    return {ApplyStatus::Patched, rewritten.offset};
}

}  // namespace quendel
