#include "platform/dialog_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

DialogWindow::DialogWindow(CDialog* owner, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      owner_(owner) {
    installEventFilter(this);
}

void DialogWindow::watchKeys(QWidget* widget) {
    widget->installEventFilter(this);
}

// The dialog's own keys come before the controls see them, as the dialog
// manager does it: Enter, Escape, Alt+Space and F1.
bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event))) return true;
    return QDialog::eventFilter(watched, event);
}

bool DialogWindow::handleKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            if (modifiers != Qt::NoModifier) return false;
            // A focused push button is pressed; otherwise the default button's
            // command, or IDOK when there is none.
            if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
                button->click();
                return true;
            }
            for (QPushButton* button : findChildren<QPushButton*>()) {
                if (button->isDefault()) {
                    button->click();
                    return true;
                }
            }
            owner_->SendMessage(WM_COMMAND, IDOK);
            return true;
        }
        case Qt::Key_Escape:
            if (modifiers != Qt::NoModifier) return false;
            owner_->SendMessage(WM_COMMAND, IDCANCEL);
            return true;
        case Qt::Key_Space:
            if (modifiers != Qt::AltModifier) return false;
            owner_->ShowSystemMenu(mapToGlobal(QPoint(0, 0)));
            return true;
        case Qt::Key_F1:
            owner_->SendMessage(WM_COMMAND, ID_HELP);
            return true;
        default:
            return false;
    }
}

// The close box is the system menu's Close.
void DialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    owner_->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
}

void DialogWindow::reject() {
    owner_->SendMessage(WM_COMMAND, IDCANCEL);
}

void DialogWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    owner_->SendMessage(WM_PAINT);
}

// The templates give no position: the window, frame included, is centred over
// its owner or on the screen once the frame's size is known.
void DialogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QRect area = parentWidget() != nullptr ? parentWidget()->frameGeometry() : QRect();
    if (area.isEmpty()) {
        if (QScreen* screen = this->screen()) area = screen->availableGeometry();
    }
    const QRect frame = frameGeometry();
    move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    owner_->ShowSystemMenu(event->globalPos());
}
