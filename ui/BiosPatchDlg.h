#pragma once

#include "platform/mfc.h"
#include "res/resource.h"

/// The main dialog: two file names, a divider choice, "Apply PATCH", and the
/// processor panel.
class CBiosPatchDlg : public CDialog {
public:
    explicit CBiosPatchDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_MAIN };
    CComboBox m_cbDivider;
    CString m_strInputName;
    CString m_strOutputName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    HICON m_hIcon;

public:
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnBrowseInput();
    afx_msg void OnApplyPatch();
    afx_msg void OnBrowseOutput();

    DECLARE_MESSAGE_MAP()
};
