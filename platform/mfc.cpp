#include "platform/mfc.h"

#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "platform/dialog_window.h"
#include "platform/icon_image.h"
#include "platform/resources.h"
#include "platform/test_hooks.h"

struct IconHandle {
    QIcon icon;
    QPixmap large;  ///< the 32 x 32 image DrawIcon paints
};

namespace {

constexpr const char* kIdProperty = "dialogControlId";

QString from8bit(const char* text) {
    return QString::fromLocal8Bit(text != nullptr ? text : "");
}
std::string to8bit(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

UINT low_word(WPARAM value) {
    return static_cast<UINT>(value & 0xFFFF);
}
UINT high_word(WPARAM value) {
    return static_cast<UINT>((value >> 16) & 0xFFFF);
}
WPARAM make_wparam(UINT low, UINT high) {
    return static_cast<WPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

// Windows rounds dialog-unit conversions to the nearest pixel.
int mul_div(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

// The standard 16-colour palette the icon resources index.
const QRgb kPalette[16] = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};

struct TestHookState {
    std::deque<std::optional<std::string>> file_answers;
    bool recording = false;
    std::vector<afx_test::MessageBoxRecord> boxes;
};

TestHookState& hooks() {
    static TestHookState state;
    return state;
}

CWinApp* g_app = nullptr;

QWidget* modal_owner() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd != nullptr) return app->m_pMainWnd->GetSafeHwnd();
    return nullptr;
}

}  // namespace

QImage AfxRenderIconImage(const IconImage& image) {
    QImage out(image.size, image.size, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    for (int y = 0; y < image.size && y < static_cast<int>(image.rows.size()); ++y) {
        const char* row = image.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < image.size && row[x] != '\0'; ++x) {
            const char c = row[x];
            int index = -1;
            if (c >= '0' && c <= '9') index = c - '0';
            if (c >= 'a' && c <= 'f') index = c - 'a' + 10;
            if (index >= 0) out.setPixel(x, y, kPalette[index]);
        }
    }
    return out;
}

// ---- CString ------------------------------------------------------------

BOOL CString::LoadString(UINT id) {
    for (const StringResource& entry : AfxResources().strings) {
        if (entry.id == id) {
            text_ = entry.text;
            return TRUE;
        }
    }
    return FALSE;
}

// ---- Resources ----------------------------------------------------------

const DialogTemplate* AfxFindDialogTemplate(UINT id) {
    for (const DialogTemplate& dialog : AfxResources().dialogs) {
        if (dialog.id == id) return &dialog;
    }
    return nullptr;
}

const DialogInit* AfxFindDialogInit(UINT id) {
    for (const DialogInit& init : AfxResources().dialog_inits) {
        if (init.dialog_id == id) return &init;
    }
    return nullptr;
}

const IconResource* AfxFindIcon(UINT id) {
    for (const IconResource& icon : AfxResources().icons) {
        if (icon.id == id) return &icon;
    }
    return nullptr;
}

// ---- Message maps -------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CCmdTarget::OnCmdMsg(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->entries; entry->message != 0; ++entry) {
            if (entry->message != message) continue;
            if (message == WM_COMMAND && (entry->code != code || entry->id != id)) continue;
            const LRESULT value = entry->handler(this, wParam, lParam);
            if (result != nullptr) *result = value;
            return true;
        }
    }
    return false;
}

// ---- CMenu --------------------------------------------------------------

BOOL CMenu::AppendMenu(UINT flags, UINT id, LPCTSTR text) {
    items_.push_back({flags, (flags & MF_SEPARATOR) ? 0u : id, (flags & MF_SEPARATOR) ? CString() : CString(text)});
    return TRUE;
}

UINT CMenu::GetMenuItemID(int position) const {
    if (position < 0 || position >= GetMenuItemCount()) return static_cast<UINT>(-1);
    return items_[static_cast<std::size_t>(position)].id;
}

UINT CMenu::GetMenuState(int position) const {
    if (position < 0 || position >= GetMenuItemCount()) return static_cast<UINT>(-1);
    return items_[static_cast<std::size_t>(position)].flags;
}

int CMenu::GetMenuString(int position, CString& text) const {
    if (position < 0 || position >= GetMenuItemCount()) return 0;
    text = items_[static_cast<std::size_t>(position)].text;
    return text.GetLength();
}

// ---- CWnd ---------------------------------------------------------------

CWnd::~CWnd() = default;

void CWnd::SetWindowText(LPCTSTR text) {
    const QString value = from8bit(text);
    if (auto* edit = qobject_cast<QLineEdit*>(m_pWidget)) {
        edit->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(m_pWidget)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QPushButton*>(m_pWidget)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(m_pWidget)) {
        group->setTitle(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(m_pWidget)) {
        combo->setEditText(value);
    } else if (m_pWidget != nullptr) {
        m_pWidget->setWindowTitle(value);
    }
}

void CWnd::GetWindowText(CString& text) const {
    QString value;
    if (auto* edit = qobject_cast<QLineEdit*>(m_pWidget)) {
        value = edit->text();
    } else if (auto* label = qobject_cast<QLabel*>(m_pWidget)) {
        value = label->text();
    } else if (auto* button = qobject_cast<QPushButton*>(m_pWidget)) {
        value = button->text();
    } else if (auto* group = qobject_cast<QGroupBox*>(m_pWidget)) {
        value = group->title();
    } else if (auto* combo = qobject_cast<QComboBox*>(m_pWidget)) {
        value = combo->currentText();
    } else if (m_pWidget != nullptr) {
        value = m_pWidget->windowTitle();
    }
    text = CString(to8bit(value));
}

CWnd* CWnd::GetDlgItem(int id) const {
    if (m_pWidget == nullptr) return nullptr;
    auto found = m_childWrappers.find(id);
    if (found != m_childWrappers.end()) return found->second.get();
    for (QWidget* child : m_pWidget->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->property(kIdProperty).toInt() == id && child->property(kIdProperty).isValid()) {
            auto wrapper = std::make_unique<CWnd>();
            wrapper->Attach(child);
            return (m_childWrappers[id] = std::move(wrapper)).get();
        }
    }
    return nullptr;
}

void CWnd::SetDlgItemText(int id, LPCTSTR text) {
    if (CWnd* item = GetDlgItem(id)) item->SetWindowText(text);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    const UINT code = message == WM_COMMAND ? high_word(wParam) : 0;
    const UINT id = message == WM_COMMAND ? low_word(wParam) : 0;
    if (OnCmdMsg(message, code, id, wParam, lParam, &result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::IsIconic() const {
    return m_pWidget != nullptr && m_pWidget->isMinimized();
}

void CWnd::GetClientRect(LPRECT rect) const {
    *rect = RECT{};
    if (m_pWidget == nullptr) return;
    rect->right = m_pWidget->width();
    rect->bottom = m_pWidget->height();
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) {
    if (!m_pSystemMenu || bRevert) {
        m_pSystemMenu = std::make_unique<CMenu>();
        m_pSystemMenu->AppendMenu(MF_STRING, SC_MOVE, "&Move");
        m_pSystemMenu->AppendMenu(MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    }
    return m_pSystemMenu.get();
}

void CWnd::OnSysCommand(UINT nID, LPARAM lParam) {
    DefWindowProc(WM_SYSCOMMAND, nID, lParam);
}

void CWnd::OnPaint() {
    DefWindowProc(WM_PAINT, 0, 0);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETICON:
            if (m_pWidget != nullptr && lParam != 0) {
                m_pWidget->setWindowIcon(reinterpret_cast<HICON>(lParam)->icon);
            }
            return 0;
        case WM_SYSCOMMAND:
            switch (static_cast<UINT>(wParam) & 0xFFF0) {
                case SC_CLOSE:
                    return SendMessage(WM_CLOSE);
                case SC_MOVE:
                    if (m_pWidget != nullptr && m_pWidget->windowHandle() != nullptr) {
                        m_pWidget->windowHandle()->startSystemMove();
                    }
                    return 0;
                default:
                    return 0;
            }
        case WM_ICONERASEBKGND:
            if (wParam != 0) reinterpret_cast<CPaintDC*>(wParam)->EraseBackground();
            return 1;
        case WM_CLOSE:
            if (m_pWidget != nullptr) m_pWidget->hide();
            return 0;
        case WM_COMMAND: {
            // Commands no window handles go to the application (F1's ID_HELP).
            LRESULT result = 0;
            if (CWinApp* app = AfxGetApp()) {
                app->OnCmdMsg(WM_COMMAND, high_word(wParam), low_word(wParam), wParam, lParam, &result);
            }
            return result;
        }
        default:
            return 0;
    }
}

// ---- CComboBox ----------------------------------------------------------

int CComboBox::AddString(LPCTSTR text) {
    auto* combo = qobject_cast<QComboBox*>(m_pWidget);
    if (combo == nullptr) return CB_ERR;
    // Adding to an empty editable combo would select the entry; a list box
    // gains entries without a selection.
    const QSignalBlocker quiet(combo);
    const int previous = combo->currentIndex();
    const QString edit_text = combo->currentText();
    combo->addItem(from8bit(text));
    if (previous == -1) {
        combo->setCurrentIndex(-1);
        combo->setEditText(edit_text);
    }
    return combo->count() - 1;
}

int CComboBox::GetCurSel() const {
    auto* combo = qobject_cast<QComboBox*>(m_pWidget);
    return combo != nullptr ? combo->currentIndex() : CB_ERR;
}

void CComboBox::GetLBText(int index, CString& text) const {
    auto* combo = qobject_cast<QComboBox*>(m_pWidget);
    text =
        combo != nullptr && index >= 0 && index < combo->count() ? CString(to8bit(combo->itemText(index))) : CString();
}

// ---- Data exchange ------------------------------------------------------

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(id);
    if (item == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        item->GetWindowText(value);
    } else {
        item->SetWindowText(value);
    }
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.GetSafeHwnd() != nullptr) return;
    if (CWnd* item = pDX->m_pDlgWnd->GetDlgItem(id)) {
        control.Attach(item->GetSafeHwnd());
        pDX->m_pDlgWnd->m_attachedControls.push_back(&control);
    }
}

// ---- CDialog ------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    delete m_pWidget;
}

BOOL CDialog::OnInitDialog() {
    ExecuteDlgInit();
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    if (m_pWidget == nullptr) return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (auto* window = qobject_cast<QDialog*>(m_pWidget)) window->done(result);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) return SendMessage(WM_COMMAND, make_wparam(IDCANCEL, BN_CLICKED));
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CDialog::ExecuteDlgInit() {
    const DialogInit* init = AfxFindDialogInit(m_nIDTemplate);
    if (init == nullptr) return;
    for (const DialogInitEntry& entry : init->entries) {
        CWnd* item = GetDlgItem(entry.control_id);
        if (item == nullptr || entry.message != DLGINIT_ADDSTRING) continue;
        CComboBox combo;
        combo.Attach(item->GetSafeHwnd());
        combo.AddString(entry.data);
    }
}

void CDialog::BuildFromTemplate() {
    const DialogTemplate& t = *AfxFindDialogTemplate(m_nIDTemplate);
    auto* window = static_cast<DialogWindow*>(m_pWidget);

    QFont font(from8bit(t.font_face));
    font.setPixelSize(mul_div(t.font_points, 96, 72));
    font.setWeight(t.font_weight >= 700 ? QFont::Bold : QFont::Normal);
    window->setFont(font);
    // Dialog base units from the dialog font, as the dialog manager takes them.
    const QFontMetrics metrics(font);
    const int text_width =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int base_x = (text_width / 26 + 1) / 2;
    const int base_y = metrics.height();
    auto px = [&](int x) { return mul_div(x, base_x, 4); };
    auto py = [&](int y) { return mul_div(y, base_y, 8); };

    window->setWindowTitle(from8bit(t.caption));
    window->setFixedSize(px(t.cx), py(t.cy));

    std::vector<QWidget*> tab_stops;
    std::vector<QGroupBox*> groups;
    int unnamed = 0;
    for (const DialogControl& c : t.controls) {
        QWidget* widget = nullptr;
        const QRect box(px(c.x), py(c.y), px(c.cx), py(c.cy));
        switch (c.kind) {
            case ControlKind::Edit: {
                auto* edit = new QLineEdit(window);
                edit->setFrame((c.style & WS_BORDER) != 0);
                edit->setText(from8bit(c.text));
                widget = edit;
                break;
            }
            case ControlKind::PushButton: {
                auto* button = new QPushButton(from8bit(c.text), window);
                button->setAutoDefault(false);
                button->setDefault((c.style & 0xF) == BS_DEFPUSHBUTTON);
                const int id = c.id;
                QObject::connect(button, &QPushButton::clicked, window, [this, id] {
                    SendMessage(WM_COMMAND, make_wparam(static_cast<UINT>(id), BN_CLICKED));
                });
                widget = button;
                break;
            }
            case ControlKind::Static: {
                auto* label = new QLabel(from8bit(c.text), window);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                label->setWordWrap(true);  // left-aligned statics wrap
                label->setTextFormat(Qt::PlainText);
                widget = label;
                break;
            }
            case ControlKind::GroupBox: {
                auto* group = new QGroupBox(from8bit(c.text), window);
                groups.push_back(group);
                widget = group;
                break;
            }
            case ControlKind::ComboBox: {
                auto* combo = new QComboBox(window);
                combo->setEditable((c.style & 0x3) == CBS_DROPDOWN);
                combo->setInsertPolicy(QComboBox::NoInsert);  // typed text never joins the list
                combo->setDuplicatesEnabled(true);
                // The template height spans the field and its dropped list.
                const int field_height = combo->sizeHint().height();
                combo->setMaxVisibleItems(std::max(1, (box.height() - field_height) / std::max(1, py(8))));
                combo->setGeometry(box.x(), box.y(), box.width(), field_height);
                widget = combo;
                break;
            }
            case ControlKind::Icon: {
                auto* label = new QLabel(window);
                if (HICON icon = AfxGetApp() ? AfxGetApp()->LoadIcon(static_cast<UINT>(std::atoi(c.text))) : nullptr) {
                    label->setPixmap(icon->large);
                    label->resize(icon->large.size());
                }
                label->move(box.topLeft());
                widget = label;
                break;
            }
        }
        if (c.kind != ControlKind::ComboBox && c.kind != ControlKind::Icon) widget->setGeometry(box);
        widget->setObjectName(c.name != nullptr ? QString::fromLatin1(c.name)
                                                : QStringLiteral("static_%1").arg(unnamed++));
        widget->setProperty(kIdProperty, c.id);
        widget->setFocusPolicy((c.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
        if (c.style & WS_TABSTOP) tab_stops.push_back(widget);
        window->watchKeys(widget);
        if (auto* combo = qobject_cast<QComboBox*>(widget); combo != nullptr && combo->lineEdit() != nullptr) {
            window->watchKeys(combo->lineEdit());
        }
    }
    // A group box is drawn behind the controls it frames.
    for (QGroupBox* group : groups) group->lower();
    for (std::size_t i = 1; i < tab_stops.size(); ++i) QWidget::setTabOrder(tab_stops[i - 1], tab_stops[i]);
    if (!tab_stops.empty()) tab_stops.front()->setFocus();
}

void CDialog::ShowSystemMenu(const QPoint& globalPos) {
    QMenu menu(m_pWidget);
    for (const CMenu::Item& item : GetSystemMenu(FALSE)->items()) {
        if (item.flags & MF_SEPARATOR) {
            menu.addSeparator();
        } else {
            QAction* action = menu.addAction(from8bit(item.text));
            action->setData(item.id);
        }
    }
    if (QAction* chosen = menu.exec(globalPos)) SendMessage(WM_SYSCOMMAND, chosen->data().toUInt(), 0);
}

int CDialog::DoModal() {
    if (AfxFindDialogTemplate(m_nIDTemplate) == nullptr) return -1;
    QWidget* owner = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (owner == nullptr && AfxGetApp() != nullptr && AfxGetApp()->m_pMainWnd != this) owner = modal_owner();

    auto* window = new DialogWindow(this, owner);
    m_pWidget = window;
    m_pSystemMenu.reset();  // a new window starts with the plain system menu
    m_nModalResult = -1;
    BuildFromTemplate();
    OnInitDialog();

    if (m_nModalResult == -1) window->exec();
    const int result = m_nModalResult;

    for (CWnd* control : m_attachedControls) control->Attach(nullptr);
    m_attachedControls.clear();
    m_childWrappers.clear();
    m_pWidget = nullptr;
    delete window;
    return result;
}

// ---- Painting -----------------------------------------------------------

CPaintDC::CPaintDC(CWnd* wnd) : m_pWnd(wnd) {
    if (wnd->GetSafeHwnd() != nullptr) m_painter = std::make_unique<QPainter>(wnd->GetSafeHwnd());
}

CPaintDC::~CPaintDC() = default;

void CPaintDC::DrawIcon(int x, int y, HICON icon) {
    if (m_painter && icon != nullptr) m_painter->drawPixmap(x, y, icon->large);
}

void CPaintDC::EraseBackground() {
    if (m_painter) m_painter->fillRect(m_pWnd->GetSafeHwnd()->rect(), m_pWnd->GetSafeHwnd()->palette().window());
}

int GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? 32 : 0;
}

// ---- File dialogs and message boxes -------------------------------------

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR /*lpszFilter*/, CWnd* pParentWnd)
    : m_bOpen(bOpenFileDialog),
      m_defExt(lpszDefExt),
      m_fileName(lpszFileName),
      m_flags(dwFlags),
      m_pParent(pParentWnd) {}

int CFileDialog::DoModal() {
    std::string chosen;
    if (!hooks().file_answers.empty()) {
        const std::optional<std::string> answer = hooks().file_answers.front();
        hooks().file_answers.pop_front();
        if (!answer) return IDCANCEL;
        chosen = *answer;
    } else {
        QFileDialog dialog(m_pParent != nullptr ? m_pParent->GetSafeHwnd() : modal_owner());
        dialog.setAcceptMode(m_bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);  // no must-exist check, also when opening
        if (!(m_flags & OFN_OVERWRITEPROMPT)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!m_defExt.IsEmpty()) dialog.setDefaultSuffix(from8bit(m_defExt));
        if (!m_fileName.IsEmpty()) dialog.selectFile(from8bit(m_fileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return IDCANCEL;
        chosen = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
    }
    // The system's file dialog fails on a path beyond its buffer: a cancel.
    if (chosen.size() > kMaxPath) return IDCANCEL;
    m_path = CString(chosen);
    return IDOK;
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT /*helpId*/) {
    const CWinApp* app = AfxGetApp();
    const std::string caption = app != nullptr ? app->m_pszAppName.str() : std::string();
    if (hooks().recording) {
        hooks().boxes.push_back({text != nullptr ? text : "", type, caption});
        return IDOK;
    }
    QMessageBox::Icon icon = QMessageBox::Warning;  // a box with no icon gets the exclamation
    switch (type & MB_ICONMASK) {
        case MB_ICONERROR:
            icon = QMessageBox::Critical;
            break;
        case MB_ICONINFORMATION:
            icon = QMessageBox::Information;
            break;
        default:
            break;
    }
    QMessageBox box(icon, from8bit(caption.c_str()), from8bit(text), QMessageBox::Ok, modal_owner());
    box.exec();
    return IDOK;
}

// ---- The application ----------------------------------------------------

CWinApp::CWinApp(LPCTSTR appName) : m_pszAppName(appName) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}

HICON CWinApp::LoadIcon(UINT id) const {
    static std::map<UINT, std::unique_ptr<IconHandle>> loaded;
    auto found = loaded.find(id);
    if (found != loaded.end()) return found->second.get();
    const IconResource* resource = AfxFindIcon(id);
    if (resource == nullptr) return nullptr;
    auto handle = std::make_unique<IconHandle>();
    for (const IconImage& image : resource->images) {
        const QPixmap pixmap = QPixmap::fromImage(AfxRenderIconImage(image));
        handle->icon.addPixmap(pixmap);
        if (image.size == 32 || handle->large.isNull()) handle->large = pixmap;
    }
    return (loaded[id] = std::move(handle)).get();
}

void CWinApp::OnHelp() {
    // There is no help engine to start here.
    AfxMessageBox("Failed to launch help.", MB_OK);
}

CString AfxTitleFromModulePath(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return CString(name);
}

int AfxWinMain(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::fprintf(stderr,
                     "%s: no display to show the dialog on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session, or use quendel-patch on the command line.\n",
                     argc > 0 ? argv[0] : "Quendel");
        return 1;
    }
    QApplication application(argc, argv);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    if (app->m_pszAppName.IsEmpty()) {
        char module[4096] = {};
        const ssize_t size = ::readlink("/proc/self/exe", module, sizeof module - 1);
        app->m_pszAppName = AfxTitleFromModulePath(size > 0 ? std::string(module, static_cast<std::size_t>(size))
                                                            : std::string(argc > 0 ? argv[0] : ""));
    }
    application.setApplicationDisplayName(from8bit(app->m_pszAppName));
    app->InitInstance();
    return 0;
}

// ---- Test hooks ---------------------------------------------------------

namespace afx_test {

void answer_next_file_dialog(const std::string& path) {
    hooks().file_answers.emplace_back(path);
}
void cancel_next_file_dialog() {
    hooks().file_answers.emplace_back(std::nullopt);
}
std::size_t pending_file_dialog_answers() {
    return hooks().file_answers.size();
}
void record_message_boxes(bool on) {
    hooks().recording = on;
}

std::vector<MessageBoxRecord> take_message_boxes() {
    std::vector<MessageBoxRecord> boxes;
    boxes.swap(hooks().boxes);
    return boxes;
}

}  // namespace afx_test
