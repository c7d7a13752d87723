#include "cpu/cpu_probe.h"

#include <gtest/gtest.h>

#include "tests/fake_cpu.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace quendel {
namespace {

class Probe : public ::testing::Test {
protected:
    test::FakeCpu cpu;
    void SetUp() override { cpu_set_ops(&cpu); }
    void TearDown() override { cpu_set_ops(nullptr); }
};

TEST_F(Probe, AmdProcessorFillsEveryField) {
    cpu_probe();
    EXPECT_TRUE(cpu_is_amd());
    EXPECT_STREQ(cpu_brand(), "AMD Athlon(tm) Processor");
    EXPECT_EQ(cpu_speed_mhz(), 1001u);  // 1000 MHz over the 1001 ms window
    EXPECT_EQ(cpu_l1_code_kb(), 64u);
    EXPECT_EQ(cpu_l1_data_kb(), 64u);
    EXPECT_EQ(cpu_l2_kb(), 512u);
    const CpuPanelTexts panel = cpu_panel_texts();
    EXPECT_EQ(panel.brand, "AMD Athlon(tm) Processor");
    EXPECT_EQ(panel.speed, "1001 Mhz");
    EXPECT_EQ(panel.l1_code, "64 Kb");
    EXPECT_EQ(panel.l1_data, "64 Kb");
    EXPECT_EQ(panel.l2, "512 Kb");
}

TEST_F(Probe, OtherVendorsAndNoIdFlagAskNothingMoreAndSpendNoTime) {
    const std::function<void(test::FakeCpu&)> setups[] = {
        [](test::FakeCpu& c) {
            c.vendor = {0, 0x756E6547, 0x6C65746E, 0x49656E69};
        },                                           // GenuineIntel
        [](test::FakeCpu& c) { c.vendor.ecx = 0; },  // "AuthenticAM\0"
        [](test::FakeCpu& c) { c.id_flag = false; },
    };
    for (std::size_t i = 0; i < std::size(setups); ++i) {
        test::FakeCpu fake;
        setups[i](fake);
        cpu_set_ops(&fake);
        cpu_probe();
        EXPECT_FALSE(cpu_is_amd()) << i;
        EXPECT_EQ(fake.leaves, fake.id_flag ? std::vector<std::uint32_t>{0} : std::vector<std::uint32_t>{}) << i;
        EXPECT_EQ(fake.clock_reads, 0) << i;
        EXPECT_STREQ(cpu_brand(), "") << i;
        EXPECT_EQ(cpu_speed_mhz() + cpu_l1_code_kb() + cpu_l1_data_kb() + cpu_l2_kb(), 0u) << i;
        const CpuPanelTexts panel = cpu_panel_texts();
        EXPECT_EQ(panel.brand, "Procesor not supported");
        EXPECT_EQ(panel.speed, "unknow Mhz");
        EXPECT_EQ(panel.l2, "unknow KB");
    }
}

TEST_F(Probe, NoLeafSixLeavesL2AtZero) {
    cpu.max_extended = 0x80000005;
    cpu_probe();
    EXPECT_EQ(cpu_l2_kb(), 0u);
    EXPECT_EQ(std::count(cpu.leaves.begin(), cpu.leaves.end(), 0x80000006u), 0);
    EXPECT_EQ(cpu_l1_data_kb(), 64u);
}

TEST_F(Probe, BrandFillingAllBytesStaysFortyEightCharacters) {
    cpu.brand = std::string(48, 'X');
    cpu_probe();
    EXPECT_EQ(std::strlen(cpu_brand()), 48u);
    EXPECT_EQ(std::string(cpu_brand()), std::string(48, 'X'));
}

TEST_F(Probe, SpeedIsTheCounterAdvanceInMillionsTruncated) {
    struct Case {
        std::uint64_t advance;
        std::uint32_t mhz;
    };
    const Case cases[] = {
        {1001000000, 1001},
        {999999999, 999},
        {4295291000, 4295},  // 4291 MHz over 1001 ms: beyond 32 bits
        {0, 0},
    };
    for (const Case& c : cases) {
        const std::uint64_t start = 0xFFFFFFFF00000000ull;  // near the counter's own wrap
        cpu.counter_script = {start, start + c.advance};
        EXPECT_EQ(cpu_measure_mhz(), c.mhz) << c.advance;
    }
}

TEST_F(Probe, WindowIsTheFirstReadingPastOneThousandMilliseconds) {
    struct Case {
        std::uint32_t step_ms;
        std::uint32_t start;
        std::uint32_t mhz;  // at 1000 counts a microsecond: the window in ms
    };
    const Case cases[] = {
        {1, 5000, 1001},
        {10, 5000, 1010},
        {1, 0xFFFFFF00u, 1001},  // the millisecond counter wraps mid-window
        {10, 0xFFFFFFF0u, 1010},
    };
    for (const Case& c : cases) {
        test::FakeCpu fake;
        fake.step_ms = c.step_ms;
        fake.clock = c.start;
        cpu_set_ops(&fake);
        EXPECT_EQ(cpu_measure_mhz(), c.mhz) << c.step_ms << " ms steps from " << c.start;
    }
}

TEST_F(Probe, NoTimeStampCounterMeansNoSpeedAndNoWait) {
    cpu.has_tsc = false;
    cpu_probe();
    EXPECT_TRUE(cpu_is_amd());
    EXPECT_EQ(cpu_speed_mhz(), 0u);
    EXPECT_EQ(cpu.clock_reads, 0);
    EXPECT_EQ(cpu_l2_kb(), 512u);
}

}  // namespace
}  // namespace quendel
