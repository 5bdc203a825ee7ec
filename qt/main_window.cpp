#include "main_window.hpp"

#include "accessibility.hpp"
#include "direct_digits.hpp"
#include "form.hpp"
#include "label_fit.hpp"
#include "look.hpp"
#include "tallies.hpp"
#include "usage_window.hpp"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <limits>
#include <string>

using namespace Qt::StringLiterals;

namespace pelmora {

namespace {

QString qText(std::u16string_view text)
{
    return QStringView(text).toString();
}

// Number boxes ask the input method for plain Latin digits whenever they take the focus, so
// that digits go in directly; a user who wants the input method back switches it on by hand.
void preferDirectDigits(QLineEdit *box)
{
    box->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhPreferLatin
                             | Qt::ImhNoPredictiveText);
    switchInputMethodOffOnFocus(box);
}

void setColours(QWidget *w, std::initializer_list<std::pair<QPalette::ColorRole, QColor>> roles)
{
    QPalette p = w->palette();
    for (const auto &[role, c] : roles)
        p.setColor(role, c);
    w->setPalette(p);
}

QWidget *makeControl(const control_row &row, QWidget *container)
{
    const QColor bg = colour(row.background, QColor());
    const QColor fg = colour(row.foreground, Qt::black);
    const QString text = row.text ? QString::fromUtf16(row.text) : QString();
    QWidget *w = nullptr;
    switch (row.what) {
    case kind::frame: {
        auto *frame = new QGroupBox(text, container);
        // The style draws the caption in the Text colour the group box reports.
        setColours(frame, {{QPalette::Window, bg}, {QPalette::WindowText, fg},
                           {QPalette::Text, fg}});
        frame->setAutoFillBackground(true);
        w = frame;
        break;
    }
    case kind::label: {
        auto *label = new QLabel(text, container);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setColours(label, {{QPalette::Window, bg}, {QPalette::WindowText, fg}});
        label->setAutoFillBackground(true);
        w = label;
        break;
    }
    case kind::text_box: {
        auto *box = new QLineEdit(container);
        box->setMaxLength(std::numeric_limits<int>::max());
        box->setAlignment((row.flags & centred) ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        box->setFrame(!(row.flags & flat));
        setColours(box, {{QPalette::Base, colour(row.background, Qt::white)},
                         {QPalette::Text, fg}});
        w = box;
        break;
    }
    case kind::button: {
        auto *button = new QPushButton(text, container);
        // Enter presses only the button the table makes the default: none in this window.
        button->setAutoDefault(false);
        button->setDefault(row.flags & default_button);
        setColours(button, {{QPalette::Button, bg}, {QPalette::ButtonText, fg}});
        w = button;
        break;
    }
    case kind::picture: // only the usage window has one
        Q_UNREACHABLE();
    case kind::check_box: {
        auto *check = new QCheckBox(text, container);
        // A check box fills its background with the Button colour.
        setColours(check, {{QPalette::Window, bg}, {QPalette::Button, bg},
                           {QPalette::WindowText, fg}, {QPalette::ButtonText, fg},
                           {QPalette::Base, Qt::white}, {QPalette::Text, Qt::black}});
        check->setAutoFillBackground(true);
        w = check;
        break;
    }
    }
    w->setObjectName(QLatin1StringView(row.name));
    if (row.flags & (bold_font | small_font))
        w->setFont(windowFont((row.flags & small_font) ? small_point_size : standard_point_size,
                              row.flags & bold_font));
    w->move(twips(row.left), twips(row.top));
    w->setFixedSize(twips(row.width), twips(row.height));
    return w;
}

} // namespace

MainWindow::MainWindow(MessageFunction showMessage, QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                      | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_showMessage(std::move(showMessage))
{
    if (!m_showMessage) {
        m_showMessage = [this](const QString &text) {
            QMessageBox box(QMessageBox::NoIcon, qText(message_title), text, QMessageBox::Ok, this);
            box.exec();
        };
    }
    setObjectName(QLatin1StringView(main_window.name));
    setWindowTitle(QString::fromUtf16(main_window.caption));
    setWindowIcon(windowIcon());
    setPalette(standardPalette());
    setFont(windowFont());

    // The client area below the menu bar.
    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    setColours(client, {{QPalette::Window, colour(main_window.background, Qt::white)}});
    client->setAutoFillBackground(true);
    client->setFixedSize(twips(main_window.width), twips(main_window.height));
    setCentralWidget(client);

    buildControls(client);
    buildMenus();
    chainTabOrder();
    connectCommands();
    applyAccessibleNames(this);
    condenseOverflowingLabels(this);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(twips(main_window.left), twips(main_window.top));

    // Once the window is up, the cursor waits in the first reward box.
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(u"Timer1"_s);
    m_timer1->setInterval(timer1_interval_ms);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, [this] { fire_timer1(*this); });
    m_timer1->start();
    m_boxes[index_of(timer1_target)]->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls(QWidget *client)
{
    for (const control_row &row : main_controls()) {
        QWidget *container = client;
        if (std::string_view(row.container) != "window")
            container = client->findChild<QWidget *>(QLatin1StringView(row.container));
        QWidget *w = makeControl(row, container);
        const std::optional<field> bound = field_by_name(row.name);
        if (row.what == kind::text_box && bound) { // a box that is no field is left unbound
            const field f = *bound;
            auto *box = static_cast<QLineEdit *>(w);
            m_boxes[index_of(f)] = box;
            box->setText(qText(start_text(f)));
            box->setCursorPosition(0);
            if (row.flags & digits)
                preferDirectDigits(box);
        } else if (row.what == kind::check_box) {
            m_orcCheck = static_cast<QCheckBox *>(w);
            m_orcCheck->setChecked(true);
        }
    }
}

void MainWindow::buildMenus()
{
    for (const menu_row &row : main_menus()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf16(row.menu_caption));
        menu->setObjectName(QLatin1StringView(row.menu));
        QAction *action = menu->addAction(QString::fromUtf16(row.command_caption));
        action->setObjectName(QLatin1StringView(row.command));
    }
}

void MainWindow::chainTabOrder()
{
    QWidget *previous = nullptr;
    for (const char *name : main_tab_order()) {
        auto *w = findChild<QWidget *>(QLatin1StringView(name));
        if (!w)
            continue; // a name the tables do not have (the table test reports it)
        w->setFocusPolicy(Qt::StrongFocus);
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void MainWindow::connectCommands()
{
    for (const binding_row &row : main_bindings()) {
        const auto run = [this, &row] { press(row, {*this, m_state, *this}); };
        const QLatin1StringView name(row.control);
        if (auto *button = findChild<QPushButton *>(name))
            connect(button, &QPushButton::clicked, this, run);
        else
            connect(findChild<QAction *>(name), &QAction::triggered, this, run);
    }
}

bool MainWindow::put_on_clipboard(std::u16string_view text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(qText(text));
    return true; // Qt reports no refusal
}

void MainWindow::end_program()
{
    close();
}

void MainWindow::show_usage()
{
    usageEvent(usage_event::show);
}

void MainWindow::usageEvent(usage_event on)
{
    const usage_state now = !m_usage ? usage_state::absent
                            : m_usage->isVisible() ? usage_state::visible
                                                   : usage_state::hidden;
    switch (usage_step(now, on)) {
    case usage_action::none:
        return;
    case usage_action::make_and_show:
        m_usage = new UsageWindow(this, [this](usage_event e) { usageEvent(e); });
        m_usage->move(twips(usage_window.left), twips(usage_window.top));
        [[fallthrough]];
    case usage_action::show:
        m_usage->show();
        m_usage->raise();
        m_usage->activateWindow();
        return;
    case usage_action::hide:
        m_usage->hide();
        activateWindow(); // the keyboard goes back to the main window, where the user works
        return;
    case usage_action::destroy: {
        // Gone at once for the next show; deleted once its own events are done.
        UsageWindow *gone = m_usage;
        m_usage = nullptr;
        gone->hide();
        gone->deleteLater();
        return;
    }
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    usageEvent(usage_event::program_end);
    event->accept();
}

std::u16string MainWindow::text(field f) const
{
    return m_boxes[index_of(f)]->text().toStdU16String();
}

void MainWindow::set_text(field f, std::u16string_view text)
{
    QLineEdit *box = m_boxes[index_of(f)];
    box->setText(qText(text));
    // Long report lines show their beginning, as they are read.
    box->setCursorPosition(0);
}

int MainWindow::orc_check() const
{
    switch (m_orcCheck->checkState()) {
    case Qt::Checked: return orc_checked;
    case Qt::PartiallyChecked: return orc_greyed;
    case Qt::Unchecked: break;
    }
    return orc_unchecked;
}

void MainWindow::set_focus(field f)
{
    m_boxes[index_of(f)]->setFocus(Qt::OtherFocusReason);
}

void MainWindow::show_message(std::u16string_view text)
{
    m_showMessage(qText(text));
}

} // namespace pelmora
