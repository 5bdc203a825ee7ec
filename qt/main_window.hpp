#pragma once

#include "press.hpp"
#include "usage_window.hpp"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QTimer;

namespace pelmora {

// The window "top": every box, button and menu of a settlement. Its text boxes are the
// window fields the tallies read and write.
class MainWindow final : public QMainWindow, public window_fields, public front_end {
    Q_OBJECT

public:
    // Shows a message and returns once the user has answered it.
    using MessageFunction = std::function<void(const QString &)>;

    // Without a message function, messages go to a modal box titled message_title.
    explicit MainWindow(MessageFunction showMessage = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    std::u16string text(field f) const override;
    void set_text(field f, std::u16string_view text) override;
    int orc_check() const override;
    void set_focus(field f) override;
    void show_message(std::u16string_view text) override;

    const tally_state &state() const { return m_state; }
    // The usage window while it exists; it is created on the first "使い方を表示".
    UsageWindow *usageWindow() const { return m_usage; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The platform's part of the commands, asked for by press() only.
    bool put_on_clipboard(std::u16string_view text) override;
    void end_program() override;
    void show_usage() override;

    void buildControls(QWidget *client);
    void buildMenus();
    void chainTabOrder();
    void connectCommands();
    // Does what the usage window's life asks when `on` happens to it.
    void usageEvent(usage_event on);

    MessageFunction m_showMessage;
    tally_state m_state;
    std::array<QLineEdit *, field_count> m_boxes{};
    QCheckBox *m_orcCheck = nullptr;
    QTimer *m_timer1 = nullptr;
    QPointer<UsageWindow> m_usage;
};

} // namespace pelmora
