#include "patch/patch_data.h"

#include <cstring>

namespace quendel {

std::array<std::uint8_t, kRoutineSize> kReplacementTemplate = kReplacementInitial;

const DividerSetting* find_divider_setting(const char* label) {
    if (label == nullptr) return nullptr;
    for (const DividerSetting& row : kDividerSettings) {
        if (std::strcmp(row.label, label) == 0) return &row;
    }
    return nullptr;
}

void apply_divider_setting(const DividerSetting& row) {
    kReplacementTemplate[kFirstIndexOffset] = row.first_index;
    kReplacementTemplate[kSecondIndexOffset] = row.second_index;
}

}  // namespace quendel
