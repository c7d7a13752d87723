#include "patch/apply.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "patch/patch_data.h"
#include "tests/test_support.h"

namespace quendel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::concat;
using test::filler;

struct Message {
    std::string text;
    MessageKind kind;
    bool operator==(const Message& other) const { return text == other.text && kind == other.kind; }
};

std::ostream& operator<<(std::ostream& out, const Message& m) {
    return out << '"' << m.text << "\" kind " << static_cast<int>(m.kind);
}

// Runs the command the way the dialog does, recording what it reports and
// which labels it asked for.
struct Recorder {
    std::vector<Message> messages;
    std::vector<int> labels_read;
    std::vector<std::string> list = {"1/2", "2/5", "1/3"};

    ApplyResult run(const std::string& in, const std::string& out, int index) {
        return apply_patch(
            in, out, index,
            [this](int i) {
                labels_read.push_back(i);
                return list.at(static_cast<std::size_t>(i));
            },
            [this](const std::string& text, MessageKind kind) {
                messages.push_back({text, kind});
            });
    }
};

std::vector<Message> only(const std::string& text, MessageKind kind) {
    return {{text, kind}};
}

const Bytes kImage = concat({filler(4000, 5), test::signature(), filler(3000, 6)});

class ApplyFiles : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string in = dir.file("in.bin");
    std::string out = dir.file("out.bin");
    Recorder recorder;
    void SetUp() override { test::write_file(in, kImage); }
    void expect_only(const Message& message) { EXPECT_EQ(recorder.messages, std::vector<Message>{message}); }
};

TEST(ApplyChecks, RunInOrderAndStopAtTheFirstFailure) {
    struct Case {
        std::string in, out;
        int index;
        Message expected;
    };
    const Case cases[] = {
        {"", "", -1, {"Please, provide a input BIOS name", MessageKind::Warning}},
        {"a", "", -1, {"Please, provide a output BIOS name", MessageKind::Warning}},
        {"same", "same", -1, {"Please, select a divider", MessageKind::Warning}},
        {"same", "same", 0, {"Input BIOS name must be different than Output BIOS name", MessageKind::Warning}},
        // Blank names are names; case differs, so they pass the text check.
        {"  ", "   ", 1, {"Can't open   !!!", MessageKind::Warning}},
        {"/no/such/IN.bin", "/no/such/in.bin", 2, {"Can't open /no/such/IN.bin!!!", MessageKind::Warning}},
    };
    for (const Case& c : cases) {
        Recorder recorder;
        recorder.run(c.in, c.out, c.index);
        EXPECT_EQ(recorder.messages, std::vector<Message>{c.expected}) << c.in << " / " << c.out;
        EXPECT_FALSE(fs::exists(c.out));
    }
}

TEST_F(ApplyFiles, LabelOutsideTheTableDoesNothingSilently) {
    recorder.list = {"1/2 ", "2/5", "1/3"};
    EXPECT_EQ(recorder.run(in, out, 0).status, ApplyStatus::UnknownLabel);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(recorder.labels_read, std::vector<int>{0});
}

TEST_F(ApplyFiles, MissingInputCreatesNoOutput) {
    recorder.run(dir.file("missing.bin"), out, 0);
    expect_only({"Can't open " + dir.file("missing.bin") + "!!!", MessageKind::Warning});
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ApplyFiles, PatchesOverAnExistingOutputAndDividersDifferAtTheIndexBytes) {
    test::write_file(out, filler(99999));
    const ApplyResult first = recorder.run(in, out, 1);
    EXPECT_EQ(first.status, ApplyStatus::Patched);
    EXPECT_EQ(first.offset, 4000u);
    const Bytes two_fifths = test::read_file(out);
    EXPECT_EQ(two_fifths, concat({filler(4000, 5), test::replacement_with(7, 9), filler(3000, 6)}));

    recorder.run(in, out, 2);
    const Bytes one_third = test::read_file(out);
    ASSERT_EQ(one_third.size(), two_fifths.size());
    std::vector<std::size_t> differ;
    for (std::size_t i = 0; i < one_third.size(); ++i) {
        if (one_third[i] != two_fifths[i]) differ.push_back(i);
    }
    EXPECT_EQ(differ, (std::vector<std::size_t>{4009, 4014}));
    EXPECT_EQ(recorder.messages, (std::vector<Message>(2, {"Patch applied", MessageKind::Information})));
    EXPECT_EQ(test::read_file(in), kImage);
}

TEST_F(ApplyFiles, NoSignatureLeavesNoOutputEvenOneThatExisted) {
    test::write_file(in, filler(5000));
    test::write_file(out, kImage);
    bool output_present_while_reported = false;
    apply_patch(
        in, out, 0, [](int) { return std::string("1/2"); },
        [&](const std::string& text, MessageKind kind) {
            EXPECT_EQ(text, "Sorry, i don't know how to apply patch to this file");
            EXPECT_EQ(kind, MessageKind::Error);
            output_present_while_reported = fs::exists(out);
        });
    EXPECT_TRUE(output_present_while_reported);
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ApplyFiles, OtherNamesOfTheInputAreRefusedAndTheInputSurvives) {
    fs::create_hard_link(in, dir.file("hard.bin"));
    fs::create_symlink(in, dir.file("soft.bin"));
    fs::create_directory(dir.file("sub"));
    const std::string cwd = fs::current_path().string();
    fs::current_path(dir.path());
    const std::string names[] = {dir.file("hard.bin"), dir.file("soft.bin"), "./in.bin", dir.file("sub") + "/../in.bin",
                                 dir.path().string() + "/./in.bin"};
    for (const std::string& other : names) {
        Recorder recorder;
        recorder.run(in, other, 0);
        EXPECT_EQ(recorder.messages,
                  only("Input BIOS name must be different than Output BIOS name", MessageKind::Warning))
            << other;
        recorder.run(other, in, 0);  // and the other way round
        EXPECT_EQ(recorder.messages.size(), 2u) << other;
        EXPECT_EQ(test::read_file(in), kImage) << other;
    }
    fs::current_path(cwd);
}

TEST_F(ApplyFiles, OutputThatCannotBeOpenedIsAWarningNamingIt) {
    for (const std::string& bad : {dir.file("no/such/folder/out.bin"), dir.path().string()}) {
        Recorder recorder;
        recorder.run(in, bad, 0);
        EXPECT_EQ(recorder.messages, only("Can't open " + bad + "!!!", MessageKind::Warning));
    }
    EXPECT_TRUE(fs::is_directory(dir.path()));
}

TEST_F(ApplyFiles, FolderAsInputIsAWarningAndTouchesNoOutput) {
    test::write_file(out, filler(10));
    recorder.run(dir.path().string(), out, 0);
    expect_only({"Can't open " + dir.path().string() + "!!!", MessageKind::Warning});
    EXPECT_EQ(test::read_file(out), filler(10));
}

TEST_F(ApplyFiles, WriteFailureIsAnErrorAndNeverPatchApplied) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    // A small image fails only when the stream is flushed at close; a large one while copying.
    for (const Bytes& image : {kImage, concat({kImage, filler(1 << 20)})}) {
        test::write_file(in, image);
        Recorder recorder;
        EXPECT_EQ(recorder.run(in, "/dev/full", 0).status, ApplyStatus::WriteFailed);
        EXPECT_EQ(recorder.messages, only("Can't write /dev/full!!! Nothing was patched.", MessageKind::Error));
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
    }
}

TEST_F(ApplyFiles, ReadFailureIsAnErrorAndLeavesNoOutput) {
    // Reading this file at offset 0 fails with EIO after a successful open.
    const std::string unreadable = "/proc/self/mem";
    test::write_file(out, filler(10));
    EXPECT_EQ(recorder.run(unreadable, out, 0).status, ApplyStatus::ReadFailed);
    expect_only({"Can't read /proc/self/mem!!! Nothing was patched.", MessageKind::Error});
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ApplyFiles, DeviceOutputIsNeverRemoved) {
    // A node of its own, so a mistake cannot take the machine's /dev/null with it.
    const std::string node = dir.file("null");
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "mknod needs root";
    test::write_file(in, filler(3000));
    recorder.run(in, node, 0);
    expect_only({"Sorry, i don't know how to apply patch to this file", MessageKind::Error});
    EXPECT_TRUE(fs::is_character_file(node));
}

}  // namespace
}  // namespace quendel
