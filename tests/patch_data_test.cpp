#include "patch/patch_data.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace quendel {
namespace {

TEST(DividerTable, EachLabelStoresItsIndexesAtOffsetsNineAndFourteen) {
    struct Case {
        const char* label;
        test::Bytes expected;
    };
    const Case cases[] = {
        {"2/5", {0x3C, 0x07, 0x74, 0x04, 0xA8, 0x01, 0x75, 0x05, 0xB9, 0x07, 0x00,
                 0xEB, 0x03, 0xB9, 0x09, 0x00, 0x83, 0xC7, 0x30, 0xE2, 0xFB, 0x90}},
        // Applied after "2/5": nothing of it may remain.
        {"1/3", {0x3C, 0x07, 0x74, 0x04, 0xA8, 0x01, 0x75, 0x05, 0xB9, 0x04, 0x00,
                 0xEB, 0x03, 0xB9, 0x03, 0x00, 0x83, 0xC7, 0x30, 0xE2, 0xFB, 0x90}},
        {"1/2", test::Bytes(kReplacementInitial.begin(), kReplacementInitial.end())},
    };
    for (const Case& c : cases) {
        const DividerSetting* row = find_divider_setting(c.label);
        ASSERT_NE(row, nullptr) << c.label;
        apply_divider_setting(*row);
        EXPECT_EQ(test::Bytes(kReplacementTemplate.begin(), kReplacementTemplate.end()), c.expected) << c.label;
    }
}

TEST(DividerTable, OnlyWholeExactLabelsMatch) {
    for (const char* label : {"1/2 ", "1/22", "1/", "1", "", " 1/2", "1\\2", "2/3"}) {
        EXPECT_EQ(find_divider_setting(label), nullptr) << '"' << label << '"';
    }
    EXPECT_EQ(find_divider_setting(nullptr), nullptr);
}

}  // namespace
}  // namespace quendel
