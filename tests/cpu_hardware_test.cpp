// The probe on the machine's own processor, against what the kernel reports
// and a CPUID reading of the compiler's own.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include "cpu/cpu_probe.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace quendel {
namespace {

std::map<std::string, std::string> kernel_cpuinfo() {
    std::map<std::string, std::string> fields;
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line) && !line.empty()) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        auto trim = [](std::string s) {
            s.erase(0, s.find_first_not_of(" \t"));
            s.erase(s.find_last_not_of(" \t") + 1);
            return s;
        };
        fields[trim(line.substr(0, colon))] = trim(line.substr(colon + 1));
    }
    return fields;
}

TEST(ProbeOnThisMachine, AgreesWithTheKernelAndAnIndependentCpuid) {
#if !(defined(__x86_64__) || defined(__i386__))
    GTEST_SKIP() << "not an x86 processor";
#else
    auto kernel = kernel_cpuinfo();
    if (kernel.count("vendor_id") == 0) GTEST_SKIP() << "/proc/cpuinfo names no vendor";
    cpu_set_ops(nullptr);
    cpu_probe();
    ASSERT_EQ(cpu_is_amd(), kernel["vendor_id"] == "AuthenticAMD");
    if (!cpu_is_amd()) GTEST_SKIP() << "not an AMD processor: the rest of the probe does not run";

    // The brand against CPUID read here. Not against the kernel's "model
    // name": virtual machines may show their guests a name of their own there.
    unsigned eax, ebx, ecx, edx;
    char brand[49] = {};
    for (unsigned i = 0; i < 3; ++i) {
        ASSERT_TRUE(__get_cpuid(0x80000002 + i, &eax, &ebx, &ecx, &edx));
        const unsigned words[4] = {eax, ebx, ecx, edx};
        std::memcpy(brand + 16 * i, words, 16);
    }
    EXPECT_STREQ(cpu_brand(), brand);

    ASSERT_TRUE(__get_cpuid(0x80000005, &eax, &ebx, &ecx, &edx));
    EXPECT_EQ(cpu_l1_data_kb(), ecx >> 24);
    EXPECT_EQ(cpu_l1_code_kb(), edx >> 24);
    if (__get_cpuid_max(0x80000000, nullptr) >= 0x80000006) {
        ASSERT_TRUE(__get_cpuid(0x80000006, &eax, &ebx, &ecx, &edx));
        EXPECT_EQ(cpu_l2_kb(), ecx >> 16);
        // The kernel's "cache size" on AMD is the L2 size.
        if (kernel.count("cache size")) {
            EXPECT_EQ(std::to_string(cpu_l2_kb()) + " KB", kernel["cache size"]);
        }
    }

    if (kernel.count("cpu MHz") == 0) GTEST_SKIP() << "the kernel reports no clock";
    const double expected = std::stod(kernel["cpu MHz"]) * 1.001;  // measured over 1001 ms
    EXPECT_NEAR(cpu_speed_mhz(), expected, expected * 0.03);
#endif
}

}  // namespace
}  // namespace quendel
