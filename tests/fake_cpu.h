#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cpu/cpu_probe.h"

namespace quendel::test {

// A scripted processor: records the CPUID leaves asked for; its clock moves
// `step_ms` per reading and its counter follows the clock at `counts_per_ms`.
class FakeCpu final : public CpuOps {
public:
    bool id_flag = true;
    CpuidResult vendor{0, 0x68747541, 0x444D4163, 0x69746E65};  // AuthenticAMD
    std::string brand = "AMD Athlon(tm) Processor";
    std::uint32_t max_extended = 0x80000008;
    CpuidResult l1{0, 0, 64u << 24, 64u << 24};
    CpuidResult l2{0, 0, 512u << 16, 0};
    bool has_tsc = true;
    std::uint32_t clock = 5000;
    std::uint32_t step_ms = 1;
    std::uint64_t counts_per_ms = 1000000;
    std::uint64_t counter_base = 0;
    /// When set, the counter reads these values in turn instead.
    std::vector<std::uint64_t> counter_script;

    std::vector<std::uint32_t> leaves;
    int clock_reads = 0;
    std::uint32_t elapsed_ms = 0;

    bool id_flag_toggles() override { return id_flag; }

    CpuidResult cpuid(std::uint32_t leaf) override {
        leaves.push_back(leaf);
        switch (leaf) {
            case 0:
                return vendor;
            case 1:
                return {0, 0, 0, has_tsc ? 1u << 4 : 0u};
            case 0x80000000:
                return {max_extended, 0, 0, 0};
            case 0x80000005:
                return l1;
            case 0x80000006:
                return l2;
            default:
                break;
        }
        if (leaf >= 0x80000002 && leaf <= 0x80000004) {
            std::uint32_t words[4] = {};
            const std::size_t from = (leaf - 0x80000002) * 16;
            if (from < brand.size())
                std::memcpy(words, brand.data() + from, std::min<std::size_t>(16, brand.size() - from));
            return {words[0], words[1], words[2], words[3]};
        }
        return {};
    }

    std::uint64_t rdtsc() override {
        if (!counter_script.empty()) {
            const std::uint64_t value = counter_script.front();
            counter_script.erase(counter_script.begin());
            return value;
        }
        return counter_base + static_cast<std::uint64_t>(elapsed_ms) * counts_per_ms;
    }

    std::uint32_t clock_ms() override {
        ++clock_reads;
        clock += step_ms;
        elapsed_ms += step_ms;
        return clock;
    }
};

/// A processor of another vendor.
inline FakeCpu intel_cpu() {
    FakeCpu cpu;
    cpu.vendor = {0, 0x756E6547, 0x6C65746E, 0x49656E69};  // GenuineIntel
    return cpu;
}

}  // namespace quendel::test
