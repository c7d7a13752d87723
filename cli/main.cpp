// quendel-patch: the patch path for scripts and machines without a desktop.

#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cpu/cpu_probe.h"
#include "patch/apply.h"
#include "patch/patch_data.h"
#include "patch/rewriter.h"

namespace {

using quendel::ApplyStatus;
using quendel::MessageKind;

constexpr const char* kProgram = "quendel-patch";
constexpr const char* kVersion = "quendel-patch 1.1";

// Exit statuses scripts can rely on.
constexpr int kExitPatched = 0;
constexpr int kExitNoSignature = 1;
constexpr int kExitUsage = 2;
constexpr int kExitIoFailure = 3;

volatile std::sig_atomic_t g_signal = 0;

extern "C" void on_signal(int signo) {
    g_signal = signo;
}

// The copy stops between blocks, or at once where a read or write waits on a
// slow device (no SA_RESTART); apply_patch then removes the partial output.
void catch_interrupts() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int signo : {SIGINT, SIGTERM, SIGHUP}) sigaction(signo, &action, nullptr);
}

std::string hex(std::uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

void say_error(const std::string& text) {
    std::cerr << kProgram << ": " << text << '\n';
}

int run_apply(const std::string& label, const std::string& input, const std::string& output) {
    int index = -1;
    for (std::size_t i = 0; i < quendel::kDividerSettings.size(); ++i) {
        if (label == quendel::kDividerSettings[i].label) index = static_cast<int>(i);
    }
    catch_interrupts();
    const quendel::ApplyResult result = quendel::apply_patch(
        input, output, index,
        [](int i) { return std::string(quendel::kDividerSettings.at(static_cast<std::size_t>(i)).label); },
        [](const std::string& text, MessageKind kind) {
            if (kind == MessageKind::Information) {
                std::cout << text << '\n';
            } else {
                say_error(text);
            }
        },
        &g_signal);

    if (g_signal != 0 && result.status != ApplyStatus::Patched) {
        say_error("Interrupted; nothing was patched.");
        return 128 + g_signal;
    }
    switch (result.status) {
        case ApplyStatus::Patched:
            std::cout << "Routine replaced at offset " << hex(result.offset) << '\n';
            return kExitPatched;
        case ApplyStatus::SignatureNotFound:
            return kExitNoSignature;
        case ApplyStatus::Refused:
        case ApplyStatus::UnknownLabel:
            return kExitUsage;
        case ApplyStatus::ReadFailed:
        case ApplyStatus::WriteFailed:
            return kExitIoFailure;
        case ApplyStatus::Interrupted:
            return 128 + SIGINT;  // only a signal raises the flag, so not reached
    }
    return kExitIoFailure;
}

int run_check(const std::string& input) {
    std::FILE* file = quendel::open_image(input);
    if (file == nullptr) {
        say_error("Can't open " + input + "!!!");
        return kExitUsage;
    }
    const quendel::ImageScan scan = quendel::scan_image(file);
    std::fclose(file);
    if (scan.read_error) {
        say_error("Can't read " + input + "!!!");
        return kExitIoFailure;
    }

    if (scan.signature_count > 0) {
        std::cout << input << ": can be patched: signature at " << hex(scan.first_signature) << ", "
                  << scan.signature_count << (scan.signature_count == 1 ? " occurrence" : " occurrences") << '\n';
    } else {
        std::cout << input << ": cannot be patched: signature not found\n";
    }
    if (scan.has_replacement) {
        std::cout << input << ": already holds the replacement routine at " << hex(scan.first_replacement);
        const quendel::DividerSetting* match = nullptr;
        for (const quendel::DividerSetting& row : quendel::kDividerSettings) {
            if (row.first_index == scan.first_index && row.second_index == scan.second_index) match = &row;
        }
        if (match != nullptr) {
            std::cout << ", divider " << match->label << '\n';
        } else {
            std::cout << ", indexes " << unsigned{scan.first_index} << " and " << unsigned{scan.second_index}
                      << " (no divider of the table)\n";
        }
    } else {
        std::cout << input << ": does not hold the replacement routine\n";
    }
    return scan.signature_count > 0 ? kExitPatched : kExitNoSignature;
}

// The dialog's processor panel, one value a line after its label.
int run_cpu() {
    quendel::cpu_probe();
    const quendel::CpuPanelTexts panel = quendel::cpu_panel_texts();
    std::cout << panel.brand << "\nSpeed : " << panel.speed << "\nL1 Inst Cache: " << panel.l1_code
              << "\nL1 Data Cache: " << panel.l1_data << "\nL2 Cache " << panel.l2 << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> labels;
    for (const quendel::DividerSetting& row : quendel::kDividerSettings) labels.emplace_back(row.label);

    CLI::App app{
        "Writes a copy of an Athlon board's BIOS image whose L2 cache divider is fixed.\n"
        "The input is never modified; the output is removed unless it was patched completely.",
        kProgram};
    app.set_version_flag("--version", kVersion);
    std::string divider;
    bool check = false;
    std::vector<std::string> files;
    auto* divider_option =
        app.add_option("-d,--divider", divider, "L2 cache divider to fix")->check(CLI::IsMember(labels));
    auto* check_option = app.add_flag("-c,--check", check, "Only tell whether INPUT can be patched; write nothing");
    bool cpu = false;
    auto* cpu_option = app.add_flag("--cpu", cpu, "Show this processor as the dialog's panel does");
    divider_option->excludes(check_option);
    cpu_option->excludes(divider_option)->excludes(check_option);
    app.add_option("files", files, "INPUT OUTPUT with --divider, INPUT with --check");
    app.footer(
        "Usage:\n  quendel-patch --divider D INPUT OUTPUT\n  quendel-patch --check INPUT\n  quendel-patch --cpu\n\n"
        "Exit status: 0 patched (or patchable with --check), 1 signature not found,\n"
        "2 usage error or refused names, 3 read or write failure.");

    try {
        app.parse(argc, argv);
        if (cpu && !files.empty()) throw CLI::ValidationError("--cpu takes no files");
        if (check && files.size() != 1) throw CLI::ValidationError("--check takes one INPUT");
        if (!cpu && !check && divider.empty()) throw CLI::RequiredError("--divider or --check");
        if (!cpu && !check && files.size() != 2) throw CLI::ValidationError("--divider takes INPUT and OUTPUT");
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::cout << kVersion << '\n';
        return 0;
    } catch (const CLI::ParseError& error) {
        say_error(error.what());
        std::cerr << app.help();
        return kExitUsage;
    }
    if (cpu) return run_cpu();
    return check ? run_check(files[0]) : run_apply(divider, files[0], files[1]);
}
