#pragma once

#include "platform/mfc.h"
#include "res/resource.h"

/// The About box, opened from the main dialog's system menu.
class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD) {}
    enum { IDD = IDD_ABOUTBOX };

    DECLARE_MESSAGE_MAP()
};
