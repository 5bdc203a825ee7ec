#pragma once

#include <QWidget>

class QPushButton;

namespace pelmora {

// "frmTip": four steps of how to use the main window. Modeless and owned by the main window,
// so it never gets a task-bar button of its own and never outlives it.
class UsageWindow final : public QWidget {
    Q_OBJECT

public:
    explicit UsageWindow(QWidget *owner);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // "OK", Enter and Esc: hidden, kept for the next show.
    void dismiss();

    QPushButton *m_default = nullptr; // pressed by Enter
    QPushButton *m_cancel = nullptr;  // pressed by Esc
    QWidget *m_first = nullptr;       // the first of the tab order that takes the focus
};

} // namespace pelmora
