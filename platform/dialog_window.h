#pragma once

#include <QDialog>

#include "platform/mfc.h"

/// The Qt window behind a CDialog. Keys, the close box, painting and the
/// system menu are turned into the messages a dialog's handlers expect.
class DialogWindow final : public QDialog {
public:
    DialogWindow(CDialog* owner, QWidget* parent);

    /// Routes the dialog keys of `widget` (and of the dialog) through this window.
    void watchKeys(QWidget* widget);

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool handleKey(class QKeyEvent* key);
    CDialog* owner_;
};
