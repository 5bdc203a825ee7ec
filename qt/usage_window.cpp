#include "usage_window.hpp"

#include "form.hpp"
#include "label_fit.hpp"
#include "look.hpp"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace pelmora {

UsageWindow::UsageWindow(QWidget *owner, Report report)
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint),
      m_report(std::move(report))
{
    setObjectName(QLatin1StringView(usage_window.name));
    setWindowTitle(QString::fromUtf16(usage_window.caption));
    setWindowIcon(windowIcon());
    setPalette(standardPalette());
    setFont(windowFont());
    setFixedSize(twips(usage_window.width), twips(usage_window.height));

    QFrame *picture = nullptr;
    for (const control_row &row : usage_controls()) {
        QWidget *w = nullptr;
        QPalette p = palette();
        p.setColor(QPalette::Window, colour(row.background, p.color(QPalette::Window)));
        p.setColor(QPalette::WindowText, colour(row.foreground, Qt::black));
        switch (row.what) {
        case kind::picture: {
            picture = new QFrame(this);
            picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            picture->setLineWidth(1);
            w = picture;
            break;
        }
        case kind::label: {
            auto *label = new QLabel(QString::fromUtf16(row.text), picture);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            w = label;
            break;
        }
        case kind::button: {
            // Every button is reported as the window's button. Enter and Esc press the
            // buttons the table makes the default and the cancel button.
            auto *button = new QPushButton(QString::fromUtf16(row.text), this);
            button->setDefault(row.flags & default_button);
            if (row.flags & default_button)
                m_default = button;
            if (row.flags & cancel_button)
                m_cancel = button;
            connect(button, &QPushButton::clicked, this, [this] { m_report(usage_event::button); });
            w = button;
            break;
        }
        case kind::frame:
        case kind::text_box:
        case kind::check_box:
            Q_UNREACHABLE(); // the usage window has none
        }
        w->setObjectName(QLatin1StringView(row.name));
        if (row.what != kind::button) {
            w->setPalette(p);
            w->setAutoFillBackground(true);
        }
        w->move(twips(row.left), twips(row.top));
        w->setFixedSize(twips(row.width), twips(row.height));
        if (w == picture) {
            // The window icon at the panel's top-left corner, at its natural size.
            auto *icon = new QLabel(picture);
            icon->setObjectName(u"Picture1_icon"_s);
            icon->setPixmap(windowIcon().pixmap(16, 16));
            icon->setGeometry(QRect(picture->contentsRect().topLeft(), QSize(16, 16)));
        }
    }
    condenseOverflowingLabels(this); // the steps are long lines; no font may cut them off

    // Tab follows the table; a control that takes no focus (the panel) is passed over.
    QWidget *previous = nullptr;
    for (const char *name : usage_tab_order()) {
        auto *w = findChild<QWidget *>(QLatin1StringView(name));
        if (!w || w->focusPolicy() == Qt::NoFocus)
            continue;
        if (!m_first)
            m_first = w;
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void UsageWindow::keyPressEvent(QKeyEvent *event)
{
    // Enter and Esc anywhere in the window press its default and its cancel button.
    const int key = event->key();
    QPushButton *pressed = key == Qt::Key_Return || key == Qt::Key_Enter ? m_default
                           : key == Qt::Key_Escape                       ? m_cancel
                                                                         : nullptr;
    if (pressed)
        pressed->click();
    else
        QWidget::keyPressEvent(event);
}

void UsageWindow::closeEvent(QCloseEvent *event)
{
    event->ignore(); // the owner destroys the window, or keeps it
    m_report(usage_event::close_box);
}

void UsageWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The focus starts on the first of the tab order: "OK".
    if (m_first)
        m_first->setFocus(Qt::OtherFocusReason);
}

} // namespace pelmora
