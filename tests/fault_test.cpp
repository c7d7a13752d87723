// quendel-patch as a child process under injected faults: each case checks the
// exit status, the message, that the input is intact, and what is left at the
// output name.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "tests/test_support.h"

namespace quendel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::shell_quoted;

const std::string kTool = QUENDEL_PATCH_PATH;

bool have(const std::string& command) {
    return test::run_command("command -v " + command).status == 0;
}

class Faults : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string in = dir.file("in.bin");
    // Larger than one block, with the routine past the first block.
    Bytes image = test::concat({test::filler(600 * 1024), test::signature(), test::filler(500 * 1024, 7)});

    void SetUp() override { test::write_file(in, image); }

    std::string patch(const std::string& input, const std::string& output) const {
        return shell_quoted(kTool) + " --divider 1/2 " + shell_quoted(input) + " " + shell_quoted(output);
    }

    void expect_input_intact() { EXPECT_EQ(test::read_file(in), image) << "the input changed"; }
};

TEST_F(Faults, DiskFullMidCopyIsAWriteErrorAndLeavesNothing) {
    // A 256 KiB file system in a mount namespace of the child's own.
    const std::string mnt = dir.file("small");
    fs::create_directory(mnt);
    if (test::run_command("unshare -m true").status != 0) GTEST_SKIP() << "unshare -m is not permitted here";
    const auto r =
        test::run_command("unshare -m sh -c " + shell_quoted("mount -t tmpfs -o size=256k tmpfs " + shell_quoted(mnt) +
                                                             " || exit 99; " + patch(in, mnt + "/out.bin") +
                                                             "; s=$?; ls -A " + shell_quoted(mnt) + "; exit $s"));
    if (r.status == 99) GTEST_SKIP() << "cannot mount a tmpfs here";
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find("Can't write " + mnt + "/out.bin!!!"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("Patch applied"), std::string::npos);
    EXPECT_EQ(r.out, "") << "left on the full file system";
    expect_input_intact();
}

TEST_F(Faults, ReadErrorMidInputIsNeverReportedAsPatched) {
    if (!have("strace")) GTEST_SKIP() << "strace is not installed";
    if (test::run_command("strace -o /dev/null true").status != 0) GTEST_SKIP() << "ptrace is not permitted here";
    const std::string out = dir.file("out.bin");
    // LeakSanitizer cannot run under ptrace; the sanitized build checks leaks elsewhere.
    const auto r = test::run_command("ASAN_OPTIONS=detect_leaks=0 strace -o /dev/null -P " + shell_quoted(in) +
                                     " -e trace=read -e inject=read:error=EIO:when=2+ " + patch(in, out));
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find("Can't read " + in + "!!!"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("Patch applied"), std::string::npos);
    EXPECT_FALSE(fs::exists(out));
    expect_input_intact();
}

TEST_F(Faults, BadNamesAreRefusedAndTouchNothing) {
    fs::create_directory(dir.file("folder"));
    fs::create_hard_link(in, dir.file("hard.bin"));
    fs::create_symlink(in, dir.file("soft.bin"));
    struct Case {
        std::string name, input, output;
        int status;
        std::string message;
    };
    const std::string same = "Input BIOS name must be different than Output BIOS name";
    const Case cases[] = {
        {"input is a folder", dir.file("folder"), dir.file("out.bin"), 2, "Can't open " + dir.file("folder") + "!!!"},
        {"output folder missing", in, dir.file("none/out.bin"), 2, "Can't open " + dir.file("none/out.bin") + "!!!"},
        {"output is a folder", in, dir.file("folder"), 2, "Can't open " + dir.file("folder") + "!!!"},
        {"hard link", in, dir.file("hard.bin"), 2, same},
        {"symlink", in, dir.file("soft.bin"), 2, same},
        {"relative against absolute", in, "in.bin", 2, same},
        {"dot component", in, dir.file(".") + "/in.bin", 2, same},
        {"dot-dot component", in, dir.file("folder") + "/../in.bin", 2, same},
    };
    for (const Case& c : cases) {
        const auto r = test::run_command("cd " + shell_quoted(dir.path().string()) + " && " + patch(c.input, c.output));
        EXPECT_EQ(r.status, c.status) << c.name << "\n" << r.err;
        EXPECT_EQ(r.err, "quendel-patch: " + c.message + "\n") << c.name;
        expect_input_intact();
        EXPECT_FALSE(fs::exists(dir.file("out.bin"))) << c.name;
        EXPECT_TRUE(fs::is_directory(dir.file("folder"))) << c.name;
    }
}

TEST_F(Faults, DeviceOutputsSurvive) {
    const std::string node = dir.file("null");
    const bool have_node = ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    struct Case {
        std::string output;
        Bytes input;
        int status;
        std::string message;
    };
    std::vector<Case> cases = {{"/dev/full", image, 3, "Can't write /dev/full!!! Nothing was patched."}};
    if (have_node) {
        // No routine in the image: an ordinary output would be deleted.
        cases.push_back({node, test::filler(300 * 1024), 1, "Sorry, i don't know how to apply patch to this file"});
    }
    for (const Case& c : cases) {
        image = c.input;
        test::write_file(in, image);
        const auto r = test::run_command(patch(in, c.output));
        EXPECT_EQ(r.status, c.status) << c.output << "\n" << r.err;
        EXPECT_EQ(r.err, "quendel-patch: " + c.message + "\n");
        EXPECT_TRUE(fs::is_character_file(c.output)) << c.output;
        expect_input_intact();
    }
    if (!have_node) GTEST_SKIP() << "mknod needs root: only /dev/full was tried";
}

// Starts quendel-patch with its output streams in files; returns its pid.
pid_t spawn(const std::vector<std::string>& args, const std::string& log) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        dup2(fd, 2);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

TEST_F(Faults, InterruptedCopyRemovesTheOutputAndExitsWithTheSignal) {
    // The input is a pipe that delivers a megabyte and then waits: the copy is
    // certainly under way, and unfinished, when the signal comes.
    for (int signo : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signo);
        const std::string fifo = dir.file("slow.bin"), out = dir.file("out.bin"), log = dir.file("log");
        fs::remove(fifo);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        const pid_t child = spawn({kTool, "--divider", "1/3", fifo, out}, log);
        const int writer = ::open(fifo.c_str(), O_WRONLY);
        ASSERT_GE(writer, 0);
        const Bytes chunk = test::filler(1 << 20);
        ASSERT_EQ(::write(writer, chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
        for (int i = 0; i < 500 && (!fs::exists(out) || fs::file_size(out) == 0); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_GT(fs::file_size(out), 0u) << "the copy never started";
        ::kill(child, signo);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(writer);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 128 + signo);
        EXPECT_FALSE(fs::exists(out)) << "the incomplete output was left";
        EXPECT_NE(test::read_file(log).size(), 0u);
    }
}

TEST_F(Faults, InterruptionNeverRemovesAnOutputThatIsNotARegularFile) {
    const std::string fifo = dir.file("slow.bin"), log = dir.file("log");
    const std::string node = dir.file("null");
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "mknod needs root";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const pid_t child = spawn({kTool, "--divider", "1/3", fifo, node}, log);
    const int writer = ::open(fifo.c_str(), O_WRONLY);
    const Bytes chunk = test::filler(1 << 20);
    ASSERT_EQ(::write(writer, chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::kill(child, SIGINT);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(writer);
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
    EXPECT_TRUE(fs::is_character_file(node));
}

TEST_F(Faults, MemcheckFindsNoErrorsOnPatchedAndUnpatchableImages) {
#ifndef QUENDEL_PATCH_MEMCHECK_PATH
    GTEST_SKIP() << "sanitized build: valgrind cannot run it";
#else
    if (!have("valgrind")) GTEST_SKIP() << "valgrind is not installed";
    const std::string plain = dir.file("plain.bin"), out = dir.file("out.bin");
    test::write_file(plain, test::filler(200 * 1024));
    const std::string valgrind =
        "valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect ";
    const std::string tool = shell_quoted(QUENDEL_PATCH_MEMCHECK_PATH);
    const std::pair<std::string, int> runs[] = {
        {tool + " --divider 2/5 " + shell_quoted(in) + " " + shell_quoted(out), 0},
        {tool + " --divider 2/5 " + shell_quoted(plain) + " " + shell_quoted(out), 1},
        {tool + " --check " + shell_quoted(plain), 1},
    };
    for (const auto& [command, status] : runs) {
        const auto r = test::run_command(valgrind + command);
        EXPECT_EQ(r.status, status) << command << "\n" << r.err;
    }
#endif
}

}  // namespace
}  // namespace quendel
