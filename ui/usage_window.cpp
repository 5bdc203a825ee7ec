#include "usage_window.hpp"

#include "label_fit.hpp"
#include "look.hpp"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace pelmora {

namespace {

struct label_row {
    const char *name;
    const char16_t *text;
    int left, top, width, height; // twips, from the picture panel's top-left corner
    const char *foreground;       // nullptr: black
};

constexpr label_row labels[] = {
    {"Label1", u"Pelmora 使い方説明", 360, 180, 3135, 255, "#00C000"},
    {"Label2", u"1.残す物（報酬、カード、カード帖など）の個数を入力", 120, 600, 3975, 255, nullptr},
    {"Label3", u"2.収集品、装備などの売った金額(最大8回)を入力", 120, 960, 3855, 255, nullptr},
    {"Label4", u"3.残り品をｵｰｸｼｮﾝした場合はチェックボックスに", 120, 1440, 3855, 255, nullptr},
    {"Label5", u"チェックをし、ｵｰｸｼｮﾝの落札金額を入力", 600, 1680, 3255, 255, nullptr},
    {"Label6", u"4.決定ボタンの1、2、3を押す", 120, 2040, 3735, 255, nullptr},
    {"Label7", u"コピーボタンを押してROに貼付して下さい", 120, 2280, 3735, 255, nullptr},
    {"Label8", u"Pelmora\u3000Ver1.01", 1200, 3000, 2895, 255, "#FF0000"},
};

} // namespace

UsageWindow::UsageWindow(QWidget *owner)
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
{
    setObjectName(u"frmTip"_s);
    setWindowTitle(u"使い方説明"_s);
    setWindowIcon(windowIcon());
    setPalette(standardPalette());
    setFont(windowFont());
    // The close box destroys the window; "OK", Enter and Esc only hide it.
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips(5760), twips(3750));

    auto *picture = new QFrame(this);
    picture->setObjectName(u"Picture1"_s);
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setLineWidth(1);
    QPalette white = picture->palette();
    white.setColor(QPalette::Window, Qt::white);
    picture->setPalette(white);
    picture->setAutoFillBackground(true);
    picture->move(twips(120), twips(120));
    picture->setFixedSize(twips(4215), twips(3435));

    auto *icon = new QLabel(picture);
    icon->setObjectName(u"Picture1_icon"_s);
    icon->setPixmap(windowIcon().pixmap(16, 16));
    icon->setGeometry(QRect(picture->contentsRect().topLeft(), QSize(16, 16)));

    for (const label_row &row : labels) {
        auto *label = new QLabel(QString::fromUtf16(row.text), picture);
        label->setObjectName(QLatin1StringView(row.name));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPalette p = label->palette();
        p.setColor(QPalette::Window, Qt::white);
        p.setColor(QPalette::WindowText, colour(row.foreground, Qt::black));
        label->setPalette(p);
        label->setAutoFillBackground(true);
        label->move(twips(row.left), twips(row.top));
        label->setFixedSize(twips(row.width), twips(row.height));
    }

    m_ok = new QPushButton(u"OK"_s, this);
    m_ok->setObjectName(u"cmdOK"_s);
    m_ok->setDefault(true);
    m_ok->move(twips(4440), twips(120));
    m_ok->setFixedSize(twips(1215), twips(375));
    connect(m_ok, &QPushButton::clicked, this, &UsageWindow::dismiss);
    condenseOverflowingLabels(this); // the steps are long lines; no font may cut them off
}

void UsageWindow::keyPressEvent(QKeyEvent *event)
{
    // Enter and Esc anywhere in the window act as "OK".
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        dismiss();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void UsageWindow::dismiss()
{
    hide();
    // The keyboard goes back to the main window, where the user works.
    if (QWidget *owner = parentWidget())
        owner->activateWindow();
}

void UsageWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_ok->setFocus(Qt::OtherFocusReason);
}

} // namespace pelmora
