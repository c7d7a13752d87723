#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quendel {

constexpr std::size_t kRoutineSize = 22;

/// The BIOS routine that walks the table of 48-byte L2 divider entries, looking
/// for the entry whose first byte equals AL (and halting with POST code EE when
/// it meets the FF end marker).
constexpr std::array<std::uint8_t, kRoutineSize> kSearchSignature = {
    0x2E, 0x80, 0x3D, 0xFF,  // cmp byte ptr cs:[di], 0FFh
    0x74, 0x0A,              // je  halt
    0x2E, 0x3A, 0x05,        // cmp al, cs:[di]
    0x74, 0x0B,              // je  found
    0x83, 0xC7, 0x30,        // add di, 30h
    0xEB, 0xF0,              // jmp start
    0xB0, 0xEE,              // halt: mov al, 0EEh
    0xE6, 0x80,              // out 80h, al
    0xEB, 0xFE,              // jmp $
};

/// Where the replacement keeps entry number A (AL is 7 or even) and B (AL odd).
constexpr std::size_t kFirstIndexOffset = 9;
constexpr std::size_t kSecondIndexOffset = 14;

/// The routine written in place of the signature: it skips a fixed number of
/// entries instead of searching. Same length, so every later byte keeps its
/// offset. Process-wide; only the bytes at the two index offsets ever change.
extern std::array<std::uint8_t, kRoutineSize> kReplacementTemplate;

/// The replacement as shipped, with the "1/2" indexes.
constexpr std::array<std::uint8_t, kRoutineSize> kReplacementInitial = {
    0x3C, 0x07,        // cmp al, 7
    0x74, 0x04,        // je  first
    0xA8, 0x01,        // test al, 1
    0x75, 0x05,        // jnz second
    0xB9, 0x06, 0x00,  // first: mov cx, A
    0xEB, 0x03,        // jmp skip
    0xB9, 0x05, 0x00,  // second: mov cx, B
    0x83, 0xC7, 0x30,  // skip: add di, 30h
    0xE2, 0xFB,        // loop skip
    0x90,              // nop
};

/// One choice of the divider combo box and the two table indexes it selects.
struct DividerSetting {
    const char* label;
    std::uint8_t first_index;
    std::uint8_t second_index;
};

/// In the order labels are compared and listed.
constexpr std::array<DividerSetting, 3> kDividerSettings = {{
    {"1/2", 6, 5},
    {"2/5", 7, 9},
    {"1/3", 4, 3},
}};

/// The row whose label equals `label` byte for byte, or nullptr.
const DividerSetting* find_divider_setting(const char* label);

/// Stores the row's two indexes in kReplacementTemplate; nothing else changes.
void apply_divider_setting(const DividerSetting& row);

}  // namespace quendel
