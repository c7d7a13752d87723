#include "ui/BiosPatchDlg.h"

#include "cpu/cpu_probe.h"
#include "patch/apply.h"
#include "ui/AboutDlg.h"

CBiosPatchDlg::CBiosPatchDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

void CBiosPatchDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DIVIDER, m_cbDivider);
    DDX_Text(pDX, IDC_INPUT_NAME, m_strInputName);
    DDX_Text(pDX, IDC_OUTPUT_NAME, m_strOutputName);
}

BEGIN_MESSAGE_MAP(CBiosPatchDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_BROWSE_INPUT, OnBrowseInput)
ON_BN_CLICKED(IDC_APPLY_PATCH, OnApplyPatch)
ON_BN_CLICKED(IDC_BROWSE_OUTPUT, OnBrowseOutput)
END_MESSAGE_MAP()

BOOL CBiosPatchDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // IDM_ABOUTBOX must be in the system command range.
    static_assert((IDM_ABOUTBOX & 0xFFF0) == IDM_ABOUTBOX && IDM_ABOUTBOX < 0xF000);
    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // Blocks about a second on AMD processors while it times the clock.
    quendel::cpu_probe();
    if (quendel::cpu_is_amd()) {
        // "%d Mhz" and "%d Kb" of the probe's numbers, in panel order.
        const quendel::CpuPanelTexts panel = quendel::cpu_panel_texts();
        SetDlgItemText(IDC_PROCESSOR, panel.brand.c_str());
        SetDlgItemText(IDC_SPEED, panel.speed.c_str());
        SetDlgItemText(IDC_L1_CODE, panel.l1_code.c_str());
        SetDlgItemText(IDC_L1_DATA, panel.l1_data.c_str());
        SetDlgItemText(IDC_L2_SIZE, panel.l2.c_str());
    }
    return TRUE;
}

// Enter must not close the dialog.
void CBiosPatchDlg::OnOK() {}

void CBiosPatchDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CBiosPatchDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, dc.GetSafeHdc(), 0);

        // Centre the icon in the client rectangle.
        const int cxIcon = GetSystemMetrics(SM_CXICON);
        const int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

HCURSOR CBiosPatchDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CBiosPatchDlg::OnApplyPatch() {
    UpdateData(TRUE);
    quendel::apply_patch(
        m_strInputName.str(), m_strOutputName.str(), m_cbDivider.GetCurSel(),
        [this](int index) {
            CString label;
            m_cbDivider.GetLBText(index, label);
            return label.str();
        },
        [](const std::string& text, quendel::MessageKind kind) {
            UINT type = MB_OK;
            if (kind == quendel::MessageKind::Error) type = MB_ICONERROR;
            if (kind == quendel::MessageKind::Information) type = MB_ICONINFORMATION;
            AfxMessageBox(text.c_str(), type);
        });
}

void CBiosPatchDlg::OnBrowseInput() {
    CFileDialog dlg(TRUE, "", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr, nullptr);
    if (dlg.DoModal() == IDOK) m_strInputName = dlg.GetPathName();
    // Both fields are rewritten from the members, confirmed or not.
    UpdateData(FALSE);
}

void CBiosPatchDlg::OnBrowseOutput() {
    CFileDialog dlg(FALSE, "", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr, nullptr);
    if (dlg.DoModal() == IDOK) m_strOutputName = dlg.GetPathName();
    UpdateData(FALSE);
}
