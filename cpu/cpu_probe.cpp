#include "cpu/cpu_probe.h"

#include <time.h>

#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#define QUENDEL_X86 1
#endif

namespace quendel {
namespace {

class Hardware final : public CpuOps {
public:
    bool id_flag_toggles() override {
#if defined(__x86_64__)
        std::uint64_t saved = 0, flipped = 0;
        // Stepping below the red zone: the compiler may keep locals there, and
        // the pushes would overwrite them.
        asm volatile(
            "sub $128, %%rsp\n\t"
            "pushfq\n\t"
            "popq %0\n\t"
            "movq %0, %1\n\t"
            "xorq $0x200000, %1\n\t"
            "pushq %1\n\t"
            "popfq\n\t"
            "pushfq\n\t"
            "popq %1\n\t"
            "pushq %0\n\t"
            "popfq\n\t"
            "add $128, %%rsp"
            : "=&r"(saved), "=&r"(flipped)
            :
            : "cc", "memory");
        return ((saved ^ flipped) & 0x200000) != 0;
#elif defined(__i386__)
        std::uint32_t saved = 0, flipped = 0;
        asm volatile(
            "pushfl\n\t"
            "popl %0\n\t"
            "movl %0, %1\n\t"
            "xorl $0x200000, %1\n\t"
            "pushl %1\n\t"
            "popfl\n\t"
            "pushfl\n\t"
            "popl %1\n\t"
            "pushl %0\n\t"
            "popfl"
            : "=&r"(saved), "=&r"(flipped)
            :
            : "cc", "memory");
        return ((saved ^ flipped) & 0x200000) != 0;
#else
        return false;
#endif
    }

    CpuidResult cpuid(std::uint32_t leaf) override {
        CpuidResult r;
#if QUENDEL_X86
        // EBX, ECX and EDX cleared first: some leaves read ECX as a sub-leaf.
        asm volatile("cpuid" : "=a"(r.eax), "=b"(r.ebx), "=c"(r.ecx), "=d"(r.edx) : "a"(leaf), "b"(0), "c"(0), "d"(0));
#else
        (void)leaf;
#endif
        return r;
    }

    std::uint64_t rdtsc() override {
#if QUENDEL_X86
        return __rdtsc();
#else
        return 0;
#endif
    }

    std::uint32_t clock_ms() override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const std::uint64_t ms =
            static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
        return static_cast<std::uint32_t>(ms);
    }
};

constexpr std::uint32_t kVendorEbx = 0x68747541;   // "Auth"
constexpr std::uint32_t kVendorEdx = 0x69746E65;   // "enti"
constexpr std::uint32_t kVendorEcx = 0x444D4163;   // "cAMD"
constexpr std::uint32_t kTscFeatureBit = 1u << 4;  // leaf 1, EDX

ProcessorInfo g_info;
CpuOps* g_ops = nullptr;

CpuOps& ops() {
    return g_ops != nullptr ? *g_ops : cpu_hardware();
}

// Wrap-safe: a 32-bit counter's difference read as signed.
std::int32_t since(std::uint32_t later, std::uint32_t earlier) {
    return static_cast<std::int32_t>(later - earlier);
}

std::string format_count(const char* format, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<int>(value));
    return text;
}

}  // namespace

CpuOps& cpu_hardware() {
    static Hardware hardware;
    return hardware;
}

void cpu_set_ops(CpuOps* ops) {
    g_ops = ops;
}

bool cpu_has_cpuid() {
    return ops().id_flag_toggles();
}

void cpu_check_vendor() {
    g_info.is_amd = 0;
    const CpuidResult r = ops().cpuid(0);
    if (r.ebx != kVendorEbx || r.edx != kVendorEdx || r.ecx != kVendorEcx) return;
    g_info.is_amd = 1;
}

void cpu_read_brand() {
    char* out = g_info.brand;
    for (std::uint32_t leaf = 0x80000002; leaf <= 0x80000004; ++leaf) {
        const CpuidResult r = ops().cpuid(leaf);
        for (std::uint32_t word : {r.eax, r.ebx, r.ecx, r.edx}) {
            std::memcpy(out, &word, 4);
            out += 4;
        }
    }
    g_info.brand[48] = '\0';
}

void cpu_read_max_extended() {
    g_info.max_extended_leaf = ops().cpuid(0x80000000).eax;
}

void cpu_read_caches() {
    const CpuidResult l1 = ops().cpuid(0x80000005);
    g_info.l1_data_kb = l1.ecx >> 24;
    g_info.l1_code_kb = l1.edx >> 24;
    if (g_info.max_extended_leaf >= 0x80000006) g_info.l2_kb = ops().cpuid(0x80000006).ecx >> 16;
}

std::uint32_t cpu_measure_mhz() {
    CpuOps& cpu = ops();
    // RDTSC faults on a processor without a time-stamp counter: no speed then.
    if ((cpu.cpuid(1).edx & kTscFeatureBit) == 0) return 0;

    const std::uint32_t t0 = cpu.clock_ms();
    std::uint32_t t1 = cpu.clock_ms();
    while (since(t1, t0) <= 1) t1 = cpu.clock_ms();  // start just after a tick
    cpu.cpuid(0);                                    // serialise
    const std::uint64_t c0 = cpu.rdtsc();
    while (since(cpu.clock_ms(), t1) <= 1000) {
    }
    cpu.cpuid(0);
    const std::uint64_t c1 = cpu.rdtsc();
    // The whole 64-bit advance: its low 32 bits wrap above about 4.29 GHz.
    return static_cast<std::uint32_t>((c1 - c0) / 1000000u);
}

void cpu_probe() {
    g_info = ProcessorInfo{};
    if (!cpu_has_cpuid()) return;
    cpu_check_vendor();
    if (g_info.is_amd != 1) return;
    cpu_read_brand();
    cpu_read_max_extended();
    cpu_read_caches();
    g_info.speed_mhz = cpu_measure_mhz();
}

bool cpu_is_amd() {
    return g_info.is_amd != 0;
}
const char* cpu_brand() {
    return g_info.brand;
}
unsigned cpu_speed_mhz() {
    return g_info.speed_mhz;
}
unsigned cpu_l1_code_kb() {
    return g_info.l1_code_kb;
}
unsigned cpu_l1_data_kb() {
    return g_info.l1_data_kb;
}
unsigned cpu_l2_kb() {
    return g_info.l2_kb;
}

CpuPanelTexts cpu_panel_texts() {
    if (!cpu_is_amd()) return {"Procesor not supported", "unknow Mhz", "unknow KB", "unknow KB", "unknow KB"};
    return {cpu_brand(), format_count("%d Mhz", cpu_speed_mhz()), format_count("%d Kb", cpu_l1_code_kb()),
            format_count("%d Kb", cpu_l1_data_kb()), format_count("%d Kb", cpu_l2_kb())};
}

}  // namespace quendel
