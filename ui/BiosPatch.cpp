#include "ui/BiosPatch.h"

#include "ui/BiosPatchDlg.h"

BEGIN_MESSAGE_MAP(CBiosPatchApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CBiosPatchApp::InitInstance() {
    Enable3dControlsStatic();

    CBiosPatchDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has closed: end the application rather than start a message loop.
    return FALSE;
}
