#pragma once

#include <cstdint>
#include <string>

namespace quendel {

struct CpuidResult {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

/// What the probe asks of the processor. The default is the real hardware;
/// tests put a scripted processor in its place.
class CpuOps {
public:
    virtual ~CpuOps() = default;
    /// Whether the EFLAGS ID bit can be flipped, i.e. CPUID exists.
    virtual bool id_flag_toggles() = 0;
    virtual CpuidResult cpuid(std::uint32_t leaf) = 0;
    /// The full 64-bit time-stamp counter.
    virtual std::uint64_t rdtsc() = 0;
    /// A 32-bit millisecond counter that may wrap.
    virtual std::uint32_t clock_ms() = 0;
};

/// The processor this program runs on.
CpuOps& cpu_hardware();
/// Makes the probe use `ops`; nullptr restores the hardware.
void cpu_set_ops(CpuOps* ops);

/// What the probe found; all zero before it runs, and beyond the vendor test
/// on anything but an AMD processor.
struct ProcessorInfo {
    int is_amd = 0;
    char brand[49] = {};
    std::uint32_t max_extended_leaf = 0;
    std::uint32_t speed_mhz = 0;
    std::uint32_t l1_code_kb = 0;
    std::uint32_t l1_data_kb = 0;
    std::uint32_t l2_kb = 0;
};

/// Identifies the processor; blocks about one second on AMD to time its clock.
void cpu_probe();

bool cpu_is_amd();
/// The module's own zero-terminated brand text; valid for the process's life.
const char* cpu_brand();
unsigned cpu_speed_mhz();
unsigned cpu_l1_code_kb();
unsigned cpu_l1_data_kb();
unsigned cpu_l2_kb();

// The probe's steps, in the order cpu_probe() runs them.
bool cpu_has_cpuid();
void cpu_check_vendor();
void cpu_read_brand();
void cpu_read_max_extended();
void cpu_read_caches();
/// Time-stamp counts over a window of at least 1001 ms, in millions.
std::uint32_t cpu_measure_mhz();

/// The processor panel's five texts as the dialog shows them: measured values
/// on AMD processors, the placeholders otherwise.
struct CpuPanelTexts {
    std::string brand, speed, l1_code, l1_data, l2;
};
CpuPanelTexts cpu_panel_texts();

}  // namespace quendel
