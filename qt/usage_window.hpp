#pragma once

#include "form.hpp"

#include <QWidget>

#include <functional>

class QPushButton;

namespace pelmora {

// "frmTip": four steps of how to use the main window. Modeless and owned by the main window,
// so it never gets a task-bar button of its own and never outlives it. What its button and its
// close box do is the owner's to say (usage_step): the window only reports them.
class UsageWindow final : public QWidget {
    Q_OBJECT

public:
    using Report = std::function<void(usage_event)>;
    UsageWindow(QWidget *owner, Report report);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Report m_report;
    QPushButton *m_default = nullptr; // pressed by Enter
    QPushButton *m_cancel = nullptr;  // pressed by Esc
    QWidget *m_first = nullptr;       // the first of the tab order that takes the focus
};

} // namespace pelmora
