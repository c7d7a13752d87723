// quendel-patch end to end: what scripts see (exit statuses, streams, files).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "tests/test_support.h"

namespace quendel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::concat;
using test::filler;
using test::shell_quoted;

const std::string kTool = QUENDEL_PATCH_PATH;

test::CommandResult tool(const std::string& args) {
    return test::run_command(shell_quoted(kTool) + " " + args);
}

class Cli : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string in = dir.file("in.bin"), out = dir.file("out.bin");
    const Bytes image = concat({filler(0x1234), test::signature(), filler(500), test::signature()});
    void SetUp() override { test::write_file(in, image); }
};

TEST_F(Cli, PatchesAndPrintsTheOffset) {
    const auto r = tool("--divider 2/5 " + shell_quoted(in) + " " + shell_quoted(out));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Patch applied\nRoutine replaced at offset 0x1234\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::read_file(out),
              concat({filler(0x1234), test::replacement_with(7, 9), filler(500), test::signature()}));
}

TEST_F(Cli, ExitStatusesByOutcome) {
    test::write_file(dir.file("plain.bin"), filler(3000));
    struct Case {
        std::string args;
        int status;
        std::string err_contains;
    };
    const Case cases[] = {
        {"--divider 1/3 " + shell_quoted(dir.file("plain.bin")) + " " + shell_quoted(out), 1,
         "quendel-patch: Sorry, i don't know how to apply patch to this file"},
        {"--divider 1/3 " + shell_quoted(in) + " " + shell_quoted(in), 2,
         "quendel-patch: Input BIOS name must be different than Output BIOS name"},
        {"--divider 1/3 '' " + shell_quoted(out), 2, "quendel-patch: Please, provide a input BIOS name"},
        {"--divider 1/3 " + shell_quoted(dir.file("none")) + " " + shell_quoted(out), 2,
         "Can't open " + dir.file("none") + "!!!"},
        {"--divider 1/3 " + shell_quoted(in) + " /dev/full", 3, "quendel-patch: Can't write /dev/full!!!"},
        {"--divider 1/3 /proc/self/mem " + shell_quoted(out), 3, "quendel-patch: Can't read /proc/self/mem!!!"},
        {"--divider 1/4 " + shell_quoted(in) + " " + shell_quoted(out), 2, "{1/2,2/5,1/3}"},
        {"--bogus", 2, "Usage"},
        {"--divider 1/2 " + shell_quoted(in), 2, "INPUT and OUTPUT"},
        {shell_quoted(in) + " " + shell_quoted(out), 2, "--divider"},
        {"--check " + shell_quoted(in) + " --divider 1/2", 2, "excludes"},
        {"--check " + shell_quoted(dir.path().string()), 2, "Can't open " + dir.path().string() + "!!!"},
        {"--check " + shell_quoted(dir.file("none")), 2, "Can't open " + dir.file("none") + "!!!"},
    };
    for (const Case& c : cases) {
        const auto r = tool(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err_contains), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(r.out.find("Patch applied"), std::string::npos) << c.args;
        EXPECT_FALSE(fs::exists(out)) << c.args;
    }
    EXPECT_EQ(test::read_file(in), image);
}

TEST_F(Cli, CheckReadsOnlyAndTellsWhatItFound) {
    auto r = tool("--check " + shell_quoted(in));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("can be patched: signature at 0x1234, 2 occurrences"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("does not hold the replacement routine"), std::string::npos) << r.out;

    ASSERT_EQ(tool("--divider 1/3 " + shell_quoted(in) + " " + shell_quoted(out)).status, 0);
    r = tool("--check " + shell_quoted(out));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("signature at 0x143e, 1 occurrence\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("already holds the replacement routine at 0x1234, divider 1/3"), std::string::npos) << r.out;

    test::write_file(out, concat({filler(10), test::replacement_with(8, 2)}));
    r = tool("--check " + shell_quoted(out));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("cannot be patched"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("at 0xa, indexes 8 and 2"), std::string::npos) << r.out;
    EXPECT_EQ(test::read_file(out), concat({filler(10), test::replacement_with(8, 2)}));
}

TEST(CliInfo, HelpAndVersion) {
    auto r = tool("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "quendel-patch 1.1\n");
    r = tool("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--divider"), std::string::npos);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
}

TEST(CliCpu, PrintsThePanelOneValueALine) {
    const auto r = tool("--cpu");
    EXPECT_EQ(r.status, 0);
    std::ifstream cpuinfo("/proc/cpuinfo");
    const std::string kernel((std::istreambuf_iterator<char>(cpuinfo)), std::istreambuf_iterator<char>());
    const bool amd = kernel.find("AuthenticAMD") != std::string::npos;
    const std::regex amd_panel(
        ".+\nSpeed : [0-9]+ Mhz\nL1 Inst Cache: [0-9]+ Kb\nL1 Data Cache: [0-9]+ Kb\nL2 Cache [0-9]+ Kb\n");
    const std::string other_panel =
        "Procesor not supported\nSpeed : unknow Mhz\nL1 Inst Cache: unknow KB\nL1 Data Cache: unknow KB\nL2 Cache "
        "unknow KB\n";
    if (amd) {
        EXPECT_TRUE(std::regex_match(r.out, amd_panel)) << r.out;
    } else {
        EXPECT_EQ(r.out, other_panel);
    }
}

}  // namespace
}  // namespace quendel
