#include "main_window.hpp"

#include "accessibility.hpp"
#include "direct_digits.hpp"
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

enum class kind { frame, label, text_box, button, check_box };

enum flag : unsigned {
    none = 0,
    centred = 1,  // text boxes: centre the text
    bold = 2,     // the people count and the share for pasting stand out
    small = 4,    // 8.25 pt instead of 9
    flat = 8,     // output boxes: drawn without a border, since Tab stops at them
};

struct control_row {
    const char *name;
    kind what;
    const char *container; // "window" or the name of a frame listed above it
    const char16_t *text;  // text boxes take their start text from the window fields
    int left, top, width, height; // twips, from the container's top-left corner
    const char *background;       // nullptr: the standard colour of the kind
    const char *foreground;       // text colour, or a frame's caption colour
    unsigned flags;
};

// One row per control, top to bottom and left to right within each container.
constexpr control_row controls[] = {
    {"Frame2", kind::frame, "window", u"残した物", 240, 120, 5655, 1695, "#FFE0C0", "#FF8000", none},
    {"Label1", kind::label, "Frame2", u"赤い羽毛", 120, 240, 735, 255, "#FFE0C0", nullptr, none},
    {"syu1", kind::text_box, "Frame2", nullptr, 1200, 240, 735, 270, nullptr, "#FF0000", centred},
    {"Label5", kind::label, "Frame2", u"個", 2040, 360, 255, 255, "#FFE0C0", nullptr, none},
    {"Label3", kind::label, "Frame2", u"呪われた印", 2400, 240, 975, 255, "#FFE0C0", nullptr, none},
    {"syu3", kind::text_box, "Frame2", nullptr, 3480, 240, 735, 270, nullptr, "#FF0000", centred},
    {"Label7", kind::label, "Frame2", u"個", 4320, 360, 255, 255, "#FFE0C0", nullptr, none},
    {"Label2", kind::label, "Frame2", u"青い羽毛", 120, 600, 735, 255, "#FFE0C0", nullptr, none},
    {"syu2", kind::text_box, "Frame2", nullptr, 1200, 600, 735, 270, nullptr, "#FF0000", centred},
    {"Label6", kind::label, "Frame2", u"個", 2040, 720, 255, 255, "#FFE0C0", nullptr, none},
    {"Label4", kind::label, "Frame2", u"金の腕輪", 2400, 600, 855, 255, "#FFE0C0", nullptr, none},
    {"syu4", kind::text_box, "Frame2", nullptr, 3480, 600, 735, 270, nullptr, "#FF0000", centred},
    {"Label8", kind::label, "Frame2", u"個", 4320, 720, 255, 255, "#FFE0C0", nullptr, none},
    {"Label25", kind::label, "Frame2", u"慰c", 120, 960, 375, 255, "#FFE0C0", nullptr, none},
    {"card1", kind::text_box, "Frame2", nullptr, 600, 960, 255, 270, nullptr, "#FF0000", centred},
    {"Label27", kind::label, "Frame2", u"保護c", 960, 960, 495, 255, "#FFE0C0", nullptr, none},
    {"card4", kind::text_box, "Frame2", nullptr, 1440, 960, 255, 270, nullptr, "#FF0000", centred},
    {"Label26", kind::label, "Frame2", u"執行c", 1920, 960, 495, 255, "#FFE0C0", nullptr, none},
    {"card2", kind::text_box, "Frame2", nullptr, 2520, 960, 255, 270, nullptr, "#FF0000", centred},
    {"Label28", kind::label, "Frame2", u"監視c", 2880, 960, 495, 255, "#FFE0C0", nullptr, none},
    {"card5", kind::text_box, "Frame2", nullptr, 3360, 960, 255, 270, nullptr, "#FF0000", centred},
    {"Label29", kind::label, "Frame2", u"苦悩c", 120, 1320, 495, 255, "#FFE0C0", nullptr, none},
    {"card3", kind::text_box, "Frame2", nullptr, 600, 1320, 255, 270, nullptr, "#FF0000", centred},
    {"Label30", kind::label, "Frame2", u"悲c", 960, 1320, 375, 255, "#FFE0C0", nullptr, none},
    {"card6", kind::text_box, "Frame2", nullptr, 1440, 1320, 255, 270, nullptr, "#FF0000", centred},
    {"Label31", kind::label, "Frame2", u"ﾌﾟﾗｽﾞﾏc", 1800, 1320, 615, 255, "#FFE0C0", nullptr, none},
    {"card7", kind::text_box, "Frame2", nullptr, 2520, 1320, 255, 270, nullptr, "#FF0000", centred},
    {"Label32", kind::label, "Frame2", u"c帖", 2880, 1320, 375, 255, "#FFE0C0", nullptr, none},
    {"card8", kind::text_box, "Frame2", nullptr, 3360, 1320, 255, 270, nullptr, "#FF0000", centred},
    {"Label21", kind::label, "Frame2", u"(個数を入力)", 4320, 1320, 1095, 255, "#FFE0C0", "#C04000", none},
    {"Frame1", kind::frame, "window", u"売上金", 240, 1920, 5655, 2175, "#C0C0FF", "#0000FF", none},
    {"Label9", kind::label, "Frame1", u"売り1回目：", 120, 240, 975, 255, "#C0C0FF", nullptr, none},
    {"uri1", kind::text_box, "Frame1", nullptr, 1080, 240, 975, 270, nullptr, "#0000FF", none},
    {"Label13", kind::label, "Frame1", u"zeny", 2160, 360, 375, 255, "#C0C0FF", nullptr, none},
    {"Label33", kind::label, "Frame1", u"売り5回目：", 2880, 240, 975, 255, "#C0C0FF", nullptr, none},
    {"uri6", kind::text_box, "Frame1", nullptr, 3840, 240, 975, 270, nullptr, "#0000FF", none},
    {"Label37", kind::label, "Frame1", u"zeny", 4920, 360, 375, 255, "#C0C0FF", nullptr, none},
    {"Label10", kind::label, "Frame1", u"売り2回目：", 120, 600, 975, 255, "#C0C0FF", nullptr, none},
    {"uri2", kind::text_box, "Frame1", nullptr, 1080, 600, 975, 270, nullptr, "#0000FF", none},
    {"Label14", kind::label, "Frame1", u"zeny", 2160, 720, 375, 255, "#C0C0FF", nullptr, none},
    {"Label34", kind::label, "Frame1", u"売り6回目：", 2880, 600, 975, 255, "#C0C0FF", nullptr, none},
    {"uri7", kind::text_box, "Frame1", nullptr, 3840, 600, 975, 270, nullptr, "#0000FF", none},
    {"Label38", kind::label, "Frame1", u"zeny", 4920, 720, 375, 255, "#C0C0FF", nullptr, none},
    {"Label11", kind::label, "Frame1", u"売り3回目：", 120, 960, 975, 255, "#C0C0FF", nullptr, none},
    {"uri3", kind::text_box, "Frame1", nullptr, 1080, 960, 975, 270, nullptr, "#0000FF", none},
    {"Label15", kind::label, "Frame1", u"zeny", 2160, 1080, 375, 255, "#C0C0FF", nullptr, none},
    {"Label35", kind::label, "Frame1", u"売り7回目：", 2880, 960, 975, 255, "#C0C0FF", nullptr, none},
    {"uri8", kind::text_box, "Frame1", nullptr, 3840, 960, 975, 270, nullptr, "#0000FF", none},
    {"Label39", kind::label, "Frame1", u"zeny", 4920, 1080, 375, 255, "#C0C0FF", nullptr, none},
    {"Label12", kind::label, "Frame1", u"売り4回目：", 120, 1320, 975, 255, "#C0C0FF", nullptr, none},
    {"uri4", kind::text_box, "Frame1", nullptr, 1080, 1320, 975, 270, nullptr, "#0000FF", none},
    {"Label16", kind::label, "Frame1", u"zeny", 2160, 1440, 375, 255, "#C0C0FF", nullptr, none},
    {"Label36", kind::label, "Frame1", u"売り8回目：", 2880, 1320, 975, 255, "#C0C0FF", nullptr, none},
    {"uri9", kind::text_box, "Frame1", nullptr, 3840, 1320, 975, 270, nullptr, "#0000FF", none},
    {"Label40", kind::label, "Frame1", u"zeny", 4920, 1440, 375, 255, "#C0C0FF", nullptr, none},
    {"orc_check", kind::check_box, "Frame1", u"残し物オークション", 120, 1680, 1815, 375, "#C0C0FF", nullptr, none},
    {"uri5", kind::text_box, "Frame1", nullptr, 2040, 1680, 1095, 270, nullptr, "#0000FF", none},
    {"Label20", kind::label, "Frame1", u"zeny", 3240, 1680, 375, 255, "#C0C0FF", nullptr, none},
    {"Label41", kind::label, "Frame1", u"(金額を入力)", 4320, 1800, 1215, 255, "#C0C0FF", "#0000C0", none},
    {"Label24", kind::label, "window", u"★テキスト欄に書かれた文字をコピペしてRO内で貼り付けて下さい。", 360, 4320, 5055, 255, "#FFFFFF", "#FF0000", none},
    {"Label18", kind::label, "window", u"・残した物\u3000(決定1ボタンを押すと回数、カンマ付金額が表示されます)", 360, 4680, 5415, 255, "#FFFFFF", "#FF8000", none},
    {"nokori_txt", kind::text_box, "window", nullptr, 360, 5040, 5415, 375, "#FFE0C0", nullptr, flat},
    {"nokori_btn", kind::button, "window", u"決定1", 5880, 5040, 615, 375, "#FFE0C0", nullptr, none},
    {"copy1", kind::button, "window", u"ｺﾋﾟｰ", 6600, 5040, 495, 375, "#FFE0C0", nullptr, none},
    {"card_txt", kind::text_box, "window", nullptr, 360, 5520, 5415, 375, "#FFE0C0", nullptr, flat},
    {"copy2", kind::button, "window", u"ｺﾋﾟｰ", 6600, 5520, 495, 375, "#FFE0C0", nullptr, none},
    {"Label17", kind::label, "window", u"・売上金\u3000(決定2ボタンを押すと回数、カンマ付金額が表示されます)", 360, 6120, 5415, 255, "#FFFFFF", "#0000FF", none},
    {"uri_goukei_txt", kind::text_box, "window", nullptr, 360, 6480, 5415, 375, "#C0C0FF", nullptr, flat},
    {"uri_kei_btn", kind::button, "window", u"決定2", 5880, 6480, 615, 375, "#C0C0FF", nullptr, none},
    {"copy3", kind::button, "window", u"ｺﾋﾟｰ", 6600, 6480, 615, 375, "#C0C0FF", nullptr, none},
    {"uri_goukei_txt2", kind::text_box, "window", nullptr, 360, 6960, 5415, 375, "#C0C0FF", nullptr, flat},
    {"copy4", kind::button, "window", u"ｺﾋﾟｰ", 6600, 6960, 615, 375, "#C0C0FF", nullptr, none},
    {"Label19", kind::label, "window", u"・合計金額と分配金", 360, 7560, 1695, 255, "#FFFFFF", "#FF0000", none},
    {"Label22", kind::label, "window", u"分配する人数は？", 2400, 7560, 1575, 255, "#FFFFFF", nullptr, none},
    {"nin", kind::text_box, "window", nullptr, 3960, 7440, 495, 375, "#FFC0C0", nullptr, centred | bold},
    {"Label23", kind::label, "window", u"人", 4560, 7560, 255, 255, "#FFFFFF", nullptr, none},
    {"bun_txt", kind::text_box, "window", nullptr, 360, 8040, 5415, 375, "#FFC0C0", nullptr, flat},
    {"bun_btn", kind::button, "window", u"決定3", 5880, 8040, 615, 375, "#FFC0C0", nullptr, none},
    {"copy5", kind::button, "window", u"ｺﾋﾟｰ", 6600, 8040, 615, 375, "#FFC0C0", nullptr, none},
    {"Label42", kind::label, "window", u"★分配金コピペ用テキストボックス→", 360, 8640, 2895, 255, "#FFFFFF", "#00C000", none},
    {"bunpai_copy", kind::text_box, "window", nullptr, 3360, 8520, 1575, 390, "#FF8080", "#800000", centred | bold},
    {"copy6", kind::button, "window", u"ｺﾋﾟｰ", 5040, 8520, 615, 375, "#FF8080", nullptr, none},
    {"Label43", kind::label, "window", u"(カンマ付はRO内で金額認識できない為)", 360, 8880, 3135, 255, "#FFFFFF", nullptr, small},
};

// Tab goes down each column of a grid before moving right, then through the buttons and
// the output boxes; after "copy6" it wraps to "syu1".
constexpr const char *tab_order[] = {
    "syu1", "syu2", "syu3", "syu4",
    "card1", "card3", "card4", "card6", "card2", "card7", "card5", "card8",
    "uri1", "uri2", "uri3", "uri4", "uri6", "uri7", "uri8", "uri9", "uri5",
    "nokori_btn", "uri_kei_btn", "nin", "bun_btn",
    "copy1", "copy2", "copy3", "copy4", "copy5",
    "bunpai_copy", "bun_txt", "uri_goukei_txt2", "uri_goukei_txt", "card_txt", "nokori_txt",
    "orc_check", "copy6",
};

struct menu_row {
    const char *menu;
    const char16_t *menuCaption;
    const char *command;
    const char16_t *commandCaption;
};

constexpr menu_row menus[] = {
    {"file_top", u"ファイル(&F)", "file_close", u"終了(&X)"},
    {"edit_top", u"編集(&E)", "edit_clear", u"全てクリア(&C)"},
    {"help_top", u"使い方(&H)", "help_use", u"使い方を表示(&U)"},
};

struct copy_row {
    const char *button;
    field box;
};

constexpr copy_row copies[] = {
    {"copy1", field::nokori_txt},     {"copy2", field::card_txt},
    {"copy3", field::uri_goukei_txt}, {"copy4", field::uri_goukei_txt2},
    {"copy5", field::bun_txt},        {"copy6", field::bunpai_copy},
};

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

bool isInputBox(field f)
{
    return index_of(f) <= index_of(field::nin);
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
        // Enter and Esc press no button of this window.
        button->setAutoDefault(false);
        button->setDefault(false);
        setColours(button, {{QPalette::Button, bg}, {QPalette::ButtonText, fg}});
        w = button;
        break;
    }
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
    if (row.flags & (bold | small))
        w->setFont(windowFont((row.flags & small) ? 8.25 : 9.0, row.flags & bold));
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
            QMessageBox box(QMessageBox::NoIcon, u"Pelmora"_s, text, QMessageBox::Ok, this);
            box.exec();
        };
    }
    setObjectName(u"top"_s);
    setWindowTitle(u"Pelmora Ver1.01"_s);
    setWindowIcon(windowIcon());
    setPalette(standardPalette());
    setFont(windowFont());

    // The client area below the menu bar.
    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    setColours(client, {{QPalette::Window, Qt::white}});
    client->setAutoFillBackground(true);
    client->setFixedSize(twips(7455), twips(9195));
    setCentralWidget(client);

    buildControls(client);
    buildMenus();
    chainTabOrder();
    connectCommands();
    applyAccessibleNames(this);
    condenseOverflowingLabels(this);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(twips(4395), twips(990));

    // Once the window is up, the cursor waits in the first reward box.
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(u"Timer1"_s);
    m_timer1->setInterval(200);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this,
            [this] { runCommand([this] { set_focus(field::syu1); }); });
    m_timer1->start();
    m_boxes[index_of(field::syu1)]->setFocus();
}

MainWindow::~MainWindow() = default;

UsageWindow *MainWindow::usageWindow() const
{
    return m_usage;
}

void MainWindow::buildControls(QWidget *client)
{
    for (const control_row &row : controls) {
        QWidget *container = client;
        if (std::string_view(row.container) != "window")
            container = client->findChild<QWidget *>(QLatin1StringView(row.container));
        QWidget *w = makeControl(row, container);
        if (row.what == kind::text_box) {
            const field f = *field_by_name(row.name);
            auto *box = static_cast<QLineEdit *>(w);
            m_boxes[index_of(f)] = box;
            box->setText(qText(start_text(f)));
            box->setCursorPosition(0);
            if (isInputBox(f))
                preferDirectDigits(box);
        } else if (row.what == kind::check_box) {
            m_orcCheck = static_cast<QCheckBox *>(w);
            m_orcCheck->setChecked(true);
        }
    }
}

void MainWindow::buildMenus()
{
    for (const menu_row &row : menus) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf16(row.menuCaption));
        menu->setObjectName(QLatin1StringView(row.menu));
        QAction *command = menu->addAction(QString::fromUtf16(row.commandCaption));
        command->setObjectName(QLatin1StringView(row.command));
    }
}

void MainWindow::chainTabOrder()
{
    QWidget *previous = nullptr;
    for (const char *name : tab_order) {
        auto *w = findChild<QWidget *>(QLatin1StringView(name));
        w->setFocusPolicy(Qt::StrongFocus);
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void MainWindow::connectCommands()
{
    auto button = [this](const char *name) {
        return findChild<QPushButton *>(QLatin1StringView(name));
    };
    auto action = [this](const char *name) {
        return findChild<QAction *>(QLatin1StringView(name));
    };
    connect(button("nokori_btn"), &QPushButton::clicked, this,
            [this] { runCommand([this] { run_leftover_tally(*this, m_state); }); });
    connect(button("uri_kei_btn"), &QPushButton::clicked, this,
            [this] { runCommand([this] { run_sales_tally(*this, m_state); }); });
    connect(button("bun_btn"), &QPushButton::clicked, this,
            [this] { runCommand([this] { run_share_division(*this, m_state); }); });
    for (const copy_row &row : copies) {
        const field box = row.box;
        connect(button(row.button), &QPushButton::clicked, this, [this, box] { copyBox(box); });
    }
    connect(action("file_close"), &QAction::triggered, this,
            [this] { runCommand([this] { close(); }); });
    connect(action("edit_clear"), &QAction::triggered, this,
            [this] { runCommand([this] { run_clear_all(*this); }); });
    connect(action("help_use"), &QAction::triggered, this,
            [this] { runCommand([this] { showUsage(); }); });
}

void MainWindow::runCommand(const std::function<void()> &command)
{
    run_command(*this, command);
}

void MainWindow::copyBox(field box)
{
    runCommand([this, box] {
        const std::u16string &text = take_copy(*this, m_state, box);
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(qText(text));
    });
}

void MainWindow::showUsage()
{
    if (!m_usage) {
        m_usage = new UsageWindow(this);
        m_usage->move(twips(2355), twips(2385));
    }
    m_usage->show();
    m_usage->raise();
    m_usage->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Ending the program takes the usage window with it, shown or hidden.
    delete m_usage.data();
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
