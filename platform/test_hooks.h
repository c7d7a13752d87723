#pragma once
// For tests only: answer file dialogs and record message boxes without
// running a modal loop.

#include <optional>
#include <string>
#include <vector>

#include "platform/mfc.h"

namespace afx_test {

struct MessageBoxRecord {
    std::string text;
    UINT type;  ///< as requested
    std::string caption;
};

/// The next file dialog returns IDOK with `path` (as GetPathName) without showing.
void answer_next_file_dialog(const std::string& path);
/// The next file dialog returns IDCANCEL without showing.
void cancel_next_file_dialog();
/// File-dialog answers not yet used.
std::size_t pending_file_dialog_answers();

/// While on, AfxMessageBox records each box and returns IDOK without showing it.
void record_message_boxes(bool on);
/// The boxes recorded since the last call.
std::vector<MessageBoxRecord> take_message_boxes();

}  // namespace afx_test
