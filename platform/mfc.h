#pragma once
// The application-framework names the dialog code is written against, backed
// by Qt 6 Widgets. Only what the dialogs use is here, behaving as they rely on.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class QWidget;
class QDialog;
class QPainter;
class QIcon;

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPCTSTR = const char*;
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

/// An icon resource with all its images.
struct IconHandle;
using HICON = IconHandle*;
using HCURSOR = IconHandle*;

// Dialog results and command ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr UINT ID_HELP = 0xE146;

// Message box types.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_ICONMASK = 0xF0;

// Messages and notifications the dialogs send or handle.
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_ICONERASEBKGND = 0x0027;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT BN_CLICKED = 0;
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;
constexpr int CB_ERR = -1;

// System commands.
constexpr UINT SC_MOVE = 0xF010;
constexpr UINT SC_CLOSE = 0xF060;

// Menu item flags.
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;

// System metrics.
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;

// File dialog flags.
constexpr DWORD OFN_OVERWRITEPROMPT = 0x0002;
constexpr DWORD OFN_HIDEREADONLY = 0x0004;
constexpr std::size_t kMaxPath = 260;

// Window and control styles used by the dialog templates.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;

#define afx_msg

struct RECT {
    long left = 0, top = 0, right = 0, bottom = 0;
};
using LPRECT = RECT*;

class CRect : public RECT {
public:
    int Width() const { return static_cast<int>(right - left); }
    int Height() const { return static_cast<int>(bottom - top); }
};

/// 8-bit text, as the dialogs' members and messages hold it.
class CString {
public:
    CString() = default;
    CString(const char* text) : text_(text != nullptr ? text : "") {}
    CString(std::string text) : text_(std::move(text)) {}
    operator const char*() const { return text_.c_str(); }
    const std::string& str() const { return text_; }
    BOOL IsEmpty() const { return text_.empty(); }
    int GetLength() const { return static_cast<int>(text_.size()); }
    /// Loads a string-table entry; false when there is none.
    BOOL LoadString(UINT id);
    friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
    friend bool operator==(const CString& a, const char* b) { return a.text_ == b; }

private:
    std::string text_;
};

class CWnd;

// ---- Message maps -------------------------------------------------------

class CCmdTarget;
using AfxHandler = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT message;  ///< 0 ends the table
    UINT code;     ///< notification code, for WM_COMMAND
    UINT id;       ///< control or command id, for WM_COMMAND
    AfxHandler handler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)();
    const AFX_MSGMAP_ENTRY* entries;
};

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {            \
        return GetThisMessageMap();                                \
    }                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {              \
        using ThisClass = theClass;                                \
        using TheBaseClass = baseClass;                            \
        static_assert(std::is_base_of_v<TheBaseClass, ThisClass>); \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                      \
    { 0, 0, 0, nullptr }                                                       \
    }                                                                          \
    ;                                                                          \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                               \
    }

#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
         static_cast<ThisClass*>(t)->memberFxn();                                                  \
         return 0;                                                                                 \
     }},
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
#define ON_WM_SYSCOMMAND()                                                   \
    {WM_SYSCOMMAND, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
         static_cast<ThisClass*>(t)->OnSysCommand(static_cast<UINT>(w), l);  \
         return 0;                                                           \
     }},
#define ON_WM_PAINT()                                               \
    {WM_PAINT, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
         static_cast<ThisClass*>(t)->OnPaint();                     \
         return 0;                                                  \
     }},
#define ON_WM_QUERYDRAGICON()                                                             \
    {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {               \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(t)->OnQueryDragIcon()); \
     }},

/// Something that handles messages through a message map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    /// Calls the most derived handler for the message; false when none has one.
    bool OnCmdMsg(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT* result);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// ---- Menus --------------------------------------------------------------

class CMenu {
public:
    struct Item {
        UINT flags;
        UINT id;
        CString text;
    };
    BOOL AppendMenu(UINT flags, UINT id = 0, LPCTSTR text = nullptr);
    int GetMenuItemCount() const { return static_cast<int>(items_.size()); }
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(int position) const;
    int GetMenuString(int position, CString& text) const;
    const std::vector<Item>& items() const { return items_; }

private:
    std::vector<Item> items_;
};

// ---- Windows and dialogs ------------------------------------------------

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    QWidget* GetSafeHwnd() const { return m_pWidget; }
    void Attach(QWidget* widget) { m_pWidget = widget; }
    void SetWindowText(LPCTSTR text);
    void GetWindowText(CString& text) const;
    CWnd* GetDlgItem(int id) const;
    void SetDlgItemText(int id, LPCTSTR text);
    /// Sends a message through the message map, falling back to the default processing.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL IsIconic() const;
    void GetClientRect(LPRECT rect) const;
    /// The window's own system menu: Move and Close, then what the program appends.
    CMenu* GetSystemMenu(BOOL bRevert);

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();

protected:
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    QWidget* m_pWidget = nullptr;
    std::unique_ptr<CMenu> m_pSystemMenu;
    mutable std::map<int, std::unique_ptr<CWnd>> m_childWrappers;

    friend class DialogWindow;
};

class CComboBox : public CWnd {
public:
    int AddString(LPCTSTR text);
    /// The chosen list entry, or CB_ERR (-1) while none has been chosen.
    int GetCurSel() const;
    void GetLBText(int index, CString& text) const;
};

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    /// Shows the dialog and returns IDOK or IDCANCEL when it ends.
    virtual int DoModal();
    void EndDialog(int result);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) { CWnd::OnSysCommand(nID, lParam); }

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

private:
    friend class DialogWindow;
    friend void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
    void BuildFromTemplate();
    void ExecuteDlgInit();
    void ShowSystemMenu(const class QPoint& globalPos);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult = -1;
    std::vector<CWnd*> m_attachedControls;  ///< let go of when the window goes
};

/// Paints inside a WM_PAINT handler.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    WPARAM GetSafeHdc() const { return reinterpret_cast<WPARAM>(this); }
    void DrawIcon(int x, int y, HICON icon);
    void EraseBackground();

private:
    CWnd* m_pWnd;
    std::unique_ptr<QPainter> m_painter;
};

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    int DoModal();
    CString GetPathName() const { return m_path; }

private:
    BOOL m_bOpen;
    CString m_defExt;
    CString m_fileName;
    DWORD m_flags;
    CWnd* m_pParent;
    CString m_path;
};

int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
int GetSystemMetrics(int index);

// ---- The application ----------------------------------------------------

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCTSTR appName = nullptr);
    ~CWinApp() override;
    virtual BOOL InitInstance() { return TRUE; }
    HICON LoadIcon(UINT id) const;
    BOOL Enable3dControlsStatic() { return TRUE; }
    afx_msg void OnHelp();

    CWnd* m_pMainWnd = nullptr;
    /// The title of every message box; from the executable's name unless given.
    CString m_pszAppName;
};

CWinApp* AfxGetApp();

/// The application title the framework derives from a module path: what
/// follows the last '\\', '/' or ':', cut at the last '.'.
CString AfxTitleFromModulePath(const std::string& path);

/// Runs the application: what the process's main does.
int AfxWinMain(int argc, char** argv);
