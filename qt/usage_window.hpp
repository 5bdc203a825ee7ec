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

    QPushButton *m_ok = nullptr;
};

} // namespace pelmora
