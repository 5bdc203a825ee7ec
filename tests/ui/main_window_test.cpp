#include "look.hpp"
#include "main_window.hpp"
#include "numbers.hpp"
#include "usage_window.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <vector>

using namespace Qt::StringLiterals;
using pelmora::MainWindow;

namespace {

struct control {
    const char *name;
    const char *kind;
    const char *container;
    const char16_t *text;
    QRect geometry; // device-independent pixels
    const char *background; // nullptr: a label takes its container's colour
    const char *foreground; // a frame's caption colour
    const char *font;       // "9", "9b" (bold) or "8.25"
    bool centred;
};

// What the window shows when it opens, control by control.
const control expected[] = {
    {"Frame2", "frame", "window", u"残した物", {16, 8, 377, 113}, "#FFE0C0", "#FF8000", "9", false},
    {"Label1", "label", "Frame2", u"赤い羽毛", {8, 16, 49, 17}, "#FFE0C0", "#000000", "9", false},
    {"syu1", "text_box", "Frame2", u"", {80, 16, 49, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label5", "label", "Frame2", u"個", {136, 24, 17, 17}, "#FFE0C0", "#000000", "9", false},
    {"Label3", "label", "Frame2", u"呪われた印", {160, 16, 65, 17}, "#FFE0C0", "#000000", "9", false},
    {"syu3", "text_box", "Frame2", u"", {232, 16, 49, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label7", "label", "Frame2", u"個", {288, 24, 17, 17}, "#FFE0C0", "#000000", "9", false},
    {"Label2", "label", "Frame2", u"青い羽毛", {8, 40, 49, 17}, "#FFE0C0", "#000000", "9", false},
    {"syu2", "text_box", "Frame2", u"", {80, 40, 49, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label6", "label", "Frame2", u"個", {136, 48, 17, 17}, "#FFE0C0", "#000000", "9", false},
    {"Label4", "label", "Frame2", u"金の腕輪", {160, 40, 57, 17}, "#FFE0C0", "#000000", "9", false},
    {"syu4", "text_box", "Frame2", u"", {232, 40, 49, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label8", "label", "Frame2", u"個", {288, 48, 17, 17}, "#FFE0C0", "#000000", "9", false},
    {"Label25", "label", "Frame2", u"慰c", {8, 64, 25, 17}, "#FFE0C0", "#000000", "9", false},
    {"card1", "text_box", "Frame2", u"", {40, 64, 17, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label27", "label", "Frame2", u"保護c", {64, 64, 33, 17}, "#FFE0C0", "#000000", "9", false},
    {"card4", "text_box", "Frame2", u"", {96, 64, 17, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label26", "label", "Frame2", u"執行c", {128, 64, 33, 17}, "#FFE0C0", "#000000", "9", false},
    {"card2", "text_box", "Frame2", u"", {168, 64, 17, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label28", "label", "Frame2", u"監視c", {192, 64, 33, 17}, "#FFE0C0", "#000000", "9", false},
    {"card5", "text_box", "Frame2", u"", {224, 64, 17, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label29", "label", "Frame2", u"苦悩c", {8, 88, 33, 17}, "#FFE0C0", "#000000", "9", false},
    {"card3", "text_box", "Frame2", u"", {40, 88, 17, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label30", "label", "Frame2", u"悲c", {64, 88, 25, 17}, "#FFE0C0", "#000000", "9", false},
    {"card6", "text_box", "Frame2", u"", {96, 88, 17, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label31", "label", "Frame2", u"ﾌﾟﾗｽﾞﾏc", {120, 88, 41, 17}, "#FFE0C0", "#000000", "9", false},
    {"card7", "text_box", "Frame2", u"", {168, 88, 17, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label32", "label", "Frame2", u"c帖", {192, 88, 25, 17}, "#FFE0C0", "#000000", "9", false},
    {"card8", "text_box", "Frame2", u"", {224, 88, 17, 18}, "#FFFFFF", "#FF0000", "9", true},
    {"Label21", "label", "Frame2", u"(個数を入力)", {288, 88, 73, 17}, "#FFE0C0", "#C04000", "9", false},
    {"Frame1", "frame", "window", u"売上金", {16, 128, 377, 145}, "#C0C0FF", "#0000FF", "9", false},
    {"Label9", "label", "Frame1", u"売り1回目：", {8, 16, 65, 17}, "#C0C0FF", "#000000", "9", false},
    {"uri1", "text_box", "Frame1", u"", {72, 16, 65, 18}, "#FFFFFF", "#0000FF", "9", false},
    {"Label13", "label", "Frame1", u"zeny", {144, 24, 25, 17}, "#C0C0FF", "#000000", "9", false},
    {"Label33", "label", "Frame1", u"売り5回目：", {192, 16, 65, 17}, "#C0C0FF", "#000000", "9", false},
    {"uri6", "text_box", "Frame1", u"", {256, 16, 65, 18}, "#FFFFFF", "#0000FF", "9", false},
    {"Label37", "label", "Frame1", u"zeny", {328, 24, 25, 17}, "#C0C0FF", "#000000", "9", false},
    {"Label10", "label", "Frame1", u"売り2回目：", {8, 40, 65, 17}, "#C0C0FF", "#000000", "9", false},
    {"uri2", "text_box", "Frame1", u"", {72, 40, 65, 18}, "#FFFFFF", "#0000FF", "9", false},
    {"Label14", "label", "Frame1", u"zeny", {144, 48, 25, 17}, "#C0C0FF", "#000000", "9", false},
    {"Label34", "label", "Frame1", u"売り6回目：", {192, 40, 65, 17}, "#C0C0FF", "#000000", "9", false},
    {"uri7", "text_box", "Frame1", u"", {256, 40, 65, 18}, "#FFFFFF", "#0000FF", "9", false},
    {"Label38", "label", "Frame1", u"zeny", {328, 48, 25, 17}, "#C0C0FF", "#000000", "9", false},
    {"Label11", "label", "Frame1", u"売り3回目：", {8, 64, 65, 17}, "#C0C0FF", "#000000", "9", false},
    {"uri3", "text_box", "Frame1", u"", {72, 64, 65, 18}, "#FFFFFF", "#0000FF", "9", false},
    {"Label15", "label", "Frame1", u"zeny", {144, 72, 25, 17}, "#C0C0FF", "#000000", "9", false},
    {"Label35", "label", "Frame1", u"売り7回目：", {192, 64, 65, 17}, "#C0C0FF", "#000000", "9", false},
    {"uri8", "text_box", "Frame1", u"", {256, 64, 65, 18}, "#FFFFFF", "#0000FF", "9", false},
    {"Label39", "label", "Frame1", u"zeny", {328, 72, 25, 17}, "#C0C0FF", "#000000", "9", false},
    {"Label12", "label", "Frame1", u"売り4回目：", {8, 88, 65, 17}, "#C0C0FF", "#000000", "9", false},
    {"uri4", "text_box", "Frame1", u"", {72, 88, 65, 18}, "#FFFFFF", "#0000FF", "9", false},
    {"Label16", "label", "Frame1", u"zeny", {144, 96, 25, 17}, "#C0C0FF", "#000000", "9", false},
    {"Label36", "label", "Frame1", u"売り8回目：", {192, 88, 65, 17}, "#C0C0FF", "#000000", "9", false},
    {"uri9", "text_box", "Frame1", u"", {256, 88, 65, 18}, "#FFFFFF", "#0000FF", "9", false},
    {"Label40", "label", "Frame1", u"zeny", {328, 96, 25, 17}, "#C0C0FF", "#000000", "9", false},
    {"orc_check", "check_box", "Frame1", u"残し物オークション", {8, 112, 121, 25}, "#C0C0FF", "#000000", "9", false},
    {"uri5", "text_box", "Frame1", u"", {136, 112, 73, 18}, "#FFFFFF", "#0000FF", "9", false},
    {"Label20", "label", "Frame1", u"zeny", {216, 112, 25, 17}, "#C0C0FF", "#000000", "9", false},
    {"Label41", "label", "Frame1", u"(金額を入力)", {288, 120, 81, 17}, "#C0C0FF", "#0000C0", "9", false},
    {"Label24", "label", "window", u"★テキスト欄に書かれた文字をコピペしてRO内で貼り付けて下さい。", {24, 288, 337, 17}, "#FFFFFF", "#FF0000", "9", false},
    {"Label18", "label", "window", u"・残した物\u3000(決定1ボタンを押すと回数、カンマ付金額が表示されます)", {24, 312, 361, 17}, "#FFFFFF", "#FF8000", "9", false},
    {"nokori_txt", "text_box", "window", u"上記｢残した物｣入力後、右の｢決定｣ボタンを押して下さい", {24, 336, 361, 25}, "#FFE0C0", "#000000", "9", false},
    {"nokori_btn", "button", "window", u"決定1", {392, 336, 41, 25}, "#FFE0C0", "#000000", "9", false},
    {"copy1", "button", "window", u"ｺﾋﾟｰ", {440, 336, 33, 25}, "#FFE0C0", "#000000", "9", false},
    {"card_txt", "text_box", "window", u"（カード等欄）", {24, 368, 361, 25}, "#FFE0C0", "#000000", "9", false},
    {"copy2", "button", "window", u"ｺﾋﾟｰ", {440, 368, 33, 25}, "#FFE0C0", "#000000", "9", false},
    {"Label17", "label", "window", u"・売上金\u3000(決定2ボタンを押すと回数、カンマ付金額が表示されます)", {24, 408, 361, 17}, "#FFFFFF", "#0000FF", "9", false},
    {"uri_goukei_txt", "text_box", "window", u"上記｢売上金｣入力後、右の｢決定｣ボタンを押して下さい", {24, 432, 361, 25}, "#C0C0FF", "#000000", "9", false},
    {"uri_kei_btn", "button", "window", u"決定2", {392, 432, 41, 25}, "#C0C0FF", "#000000", "9", false},
    {"copy3", "button", "window", u"ｺﾋﾟｰ", {440, 432, 41, 25}, "#C0C0FF", "#000000", "9", false},
    {"uri_goukei_txt2", "text_box", "window", u"売り5回目\uFF5E8回目用", {24, 464, 361, 25}, "#C0C0FF", "#000000", "9", false},
    {"copy4", "button", "window", u"ｺﾋﾟｰ", {440, 464, 41, 25}, "#C0C0FF", "#000000", "9", false},
    {"Label19", "label", "window", u"・合計金額と分配金", {24, 504, 113, 17}, "#FFFFFF", "#FF0000", "9", false},
    {"Label22", "label", "window", u"分配する人数は？", {160, 504, 105, 17}, "#FFFFFF", "#000000", "9", false},
    {"nin", "text_box", "window", u"12", {264, 496, 33, 25}, "#FFC0C0", "#000000", "9b", true},
    {"Label23", "label", "window", u"人", {304, 504, 17, 17}, "#FFFFFF", "#000000", "9", false},
    {"bun_txt", "text_box", "window", u"｢決定2｣ボタンを押した後、｢決定3｣ボタンを押して下さい", {24, 536, 361, 25}, "#FFC0C0", "#000000", "9", false},
    {"bun_btn", "button", "window", u"決定3", {392, 536, 41, 25}, "#FFC0C0", "#000000", "9", false},
    {"copy5", "button", "window", u"ｺﾋﾟｰ", {440, 536, 41, 25}, "#FFC0C0", "#000000", "9", false},
    {"Label42", "label", "window", u"★分配金コピペ用テキストボックス→", {24, 576, 193, 17}, "#FFFFFF", "#00C000", "9", false},
    {"bunpai_copy", "text_box", "window", u"", {224, 568, 105, 26}, "#FF8080", "#800000", "9b", true},
    {"copy6", "button", "window", u"ｺﾋﾟｰ", {336, 568, 41, 25}, "#FF8080", "#000000", "9", false},
    {"Label43", "label", "window", u"(カンマ付はRO内で金額認識できない為)", {24, 592, 209, 17}, "#FFFFFF", "#000000", "8.25", false},
};

const char *const tab_order[] = {
    "syu1", "syu2", "syu3", "syu4",
    "card1", "card3", "card4", "card6", "card2", "card7", "card5", "card8",
    "uri1", "uri2", "uri3", "uri4", "uri6", "uri7", "uri8", "uri9", "uri5",
    "nokori_btn", "uri_kei_btn", "nin", "bun_btn",
    "copy1", "copy2", "copy3", "copy4", "copy5",
    "bunpai_copy", "bun_txt", "uri_goukei_txt2", "uri_goukei_txt", "card_txt", "nokori_txt",
    "orc_check", "copy6",
};

const char *const output_boxes[] = {"nokori_txt", "card_txt", "uri_goukei_txt",
                                    "uri_goukei_txt2", "bun_txt", "bunpai_copy"};

bool isOutputBox(const QString &name)
{
    for (const char *o : output_boxes)
        if (name == QLatin1StringView(o))
            return true;
    return false;
}

// What an input method learns when it asks the focused control whether it takes composition,
// and what it is told to prefer.
struct input_method_answer {
    bool enabled;
    Qt::InputMethodHints hints;
};

input_method_answer askFocusForInputMethod()
{
    QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImHints);
    QCoreApplication::sendEvent(QGuiApplication::focusObject(), &query);
    return {query.value(Qt::ImEnabled).toBool(),
            Qt::InputMethodHints(query.value(Qt::ImHints).toInt())};
}

// A window as the user sees it, with the messages it showed.
struct shown_window {
    QStringList messages;
    MainWindow win{[this](const QString &m) { messages << m; }};

    shown_window()
    {
        win.show();
        if (!QTest::qWaitForWindowActive(&win))
            qFatal("the main window did not become active");
    }
    QLineEdit *box(const char *name) { return win.findChild<QLineEdit *>(name); }
    QPushButton *button(const char *name) { return win.findChild<QPushButton *>(name); }
    QCheckBox *orc() { return win.findChild<QCheckBox *>("orc_check"); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // Clicks into a box, selects what it holds and types over it.
    void type(const char *name, const QString &text)
    {
        QLineEdit *b = box(name);
        QTest::mouseClick(b, Qt::LeftButton);
        QTest::keyClick(b, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(b, Qt::Key_Delete);
        else
            QTest::keyClicks(b, text);
    }
    QStringList texts()
    {
        QStringList all;
        for (pelmora::field f : pelmora::all_fields)
            all << QString::fromStdU16String(win.text(f));
        return all;
    }
    QString focusName() const
    {
        QWidget *w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }
};

// The reward, card and sales of one hunt, typed as a user types them.
void typeSettlement(shown_window &w)
{
    w.type("syu1", u"1500"_s);
    w.type("syu3", u"2"_s);
    w.type("card1", u"2"_s);
    w.type("card8", u"1"_s);
    w.type("uri1", u"1000000"_s);
    w.type("uri7", u"234567"_s);
    QTest::mouseClick(w.orc(), Qt::LeftButton, {}, QPoint(8, w.orc()->height() / 2));
    w.type("nin", u"3"_s);
}

const QString nokoriLine = u"赤羽毛:1,500、青羽毛:0、呪印:2、金腕輪:0"_s;
const QString cardLine = u"慰c2 帖1"_s;
const QString salesLine = u"売1:1,000,000"_s;
const QString salesLine2 = u"売5:0、売6:234,567"_s;
const QString shareLine = u"合計金額: [1,234,567]\u3000[3]人割り\u3000分配金額： [411,522]"_s;
const QString shareDigits = u"411522"_s;

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { pelmora::setUpApplicationLook(); }
    void init() { QGuiApplication::clipboard()->setText(u"before"_s); }

    void controls_data();
    void controls();
    void window();
    void tabOrder();
    void inputMethodKeys_data();
    void inputMethodKeys();
    void menus_data();
    void menus();
    void roadOfSettlement();
    void copyButtons_data();
    void copyButtons();
    void clearAll();
    void timer1();
    void enterAndEscPressNothing_data();
    void enterAndEscPressNothing();
    void tallyErrors_data();
    void tallyErrors();
    void defaultMessageBox();
    void tables_data();
    void tables();
};

void MainWindowTest::controls_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(expected)); ++i)
        QTest::newRow(expected[i].name) << i;
}

void MainWindowTest::controls()
{
    QFETCH(int, row);
    const control &c = expected[row];
    shown_window w;
    auto *widget = w.win.findChild<QWidget *>(c.name);
    QVERIFY(widget);
    const QString container = widget->parentWidget()->objectName();
    QCOMPARE(container, QLatin1StringView(c.container) == "window"_L1
                            ? u"client"_s : QString::fromLatin1(c.container));
    QCOMPARE(widget->geometry(), c.geometry);

    const QString kind = QString::fromLatin1(c.kind);
    QString text;
    QPalette::ColorRole textRole = QPalette::WindowText;
    QPoint plain; // a point of the control that shows its background, not its text
    const QRect r = widget->rect();
    if (kind == "label"_L1) {
        text = qobject_cast<QLabel *>(widget)->text();
        plain = r.bottomRight();
    } else if (kind == "text_box"_L1) {
        auto *box = qobject_cast<QLineEdit *>(widget);
        text = box->text();
        textRole = QPalette::Text;
        plain = r.bottomRight() - QPoint(3, 3);
        QCOMPARE(box->alignment() & Qt::AlignHorizontal_Mask,
                 c.centred ? Qt::AlignHCenter : Qt::AlignLeft);
        QVERIFY(!box->isReadOnly());
    } else if (kind == "button"_L1) {
        text = qobject_cast<QPushButton *>(widget)->text();
        textRole = QPalette::ButtonText;
        plain = QPoint(3, r.height() - 4);
    } else if (kind == "check_box"_L1) {
        auto *check = qobject_cast<QCheckBox *>(widget);
        text = check->text();
        plain = QPoint(r.width() - 2, 1);
        QCOMPARE(check->checkState(), Qt::Checked);
    } else {
        auto *frame = qobject_cast<QGroupBox *>(widget);
        QVERIFY(frame);
        text = frame->title();
        textRole = QPalette::Text; // the caption colour
        plain = r.bottomRight() - QPoint(6, 6);
    }
    QCOMPARE(text, QString::fromUtf16(c.text));
    QCOMPARE(widget->palette().color(textRole), QColor::fromString(QLatin1StringView(c.foreground)));

    // What the style really paints, so that a style that tints faces is caught.
    const QColor painted = widget->grab().toImage().pixelColor(plain);
    QCOMPARE(painted.name(QColor::HexRgb).toUpper(), QString::fromLatin1(c.background));

    const QFont font = widget->font();
    // An installed Japanese gothic, so that no substitute has to be searched for.
    const QString family = font.families().value(0);
    QVERIFY2(pelmora::gothicFamilies().contains(family), qPrintable(family));
    QVERIFY(QFontDatabase::families(QFontDatabase::Japanese).contains(family));
    const QString size = QString::fromLatin1(c.font);
    QCOMPARE(font.pointSizeF(), size == "8.25"_L1 ? 8.25 : 9.0);
    QCOMPARE(font.bold(), size == "9b"_L1);
}

void MainWindowTest::window()
{
    shown_window w;
    QCOMPARE(w.win.objectName(), u"top"_s);
    QCOMPARE(w.win.windowTitle(), u"Pelmora Ver1.01"_s);
    QVERIFY(w.win.windowIcon().availableSizes().contains(QSize(16, 16)));
    const Qt::WindowFlags flags = w.win.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    // The client area sits right below the menu bar and nothing can resize the window.
    auto *client = w.win.centralWidget();
    QCOMPARE(client->size(), QSize(497, 613));
    QCOMPARE(client->y(), w.win.menuBar()->geometry().bottom() + 1);
    QCOMPARE(w.win.minimumSize(), w.win.maximumSize());
    QCOMPARE(w.win.size(), QSize(497, 613 + client->y()));
    QCOMPARE(client->grab().toImage().pixelColor(490, 300), QColor(Qt::white));

    QVERIFY(w.win.state() == pelmora::tally_state{});
    QVERIFY(!w.win.usageWindow());
    QCOMPARE(w.focusName(), u"syu1"_s);

    // Every label's text stands whole in its box, set closer where it has to be.
    for (const QLabel *label : w.win.findChildren<QLabel *>()) {
        const QFont font = label->font();
        QVERIFY2(QFontMetrics(font).horizontalAdvance(label->text()) <= label->contentsRect().width(),
                 qPrintable(label->objectName()));
    }
}

void MainWindowTest::tabOrder()
{
    shown_window w;
    w.box("syu1")->setFocus();
    QStringList visited{w.focusName()};
    for (std::size_t i = 0; i < std::size(tab_order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << w.focusName();
        // The input method is asked for plain digits in number boxes only.
        if (auto *box = qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
            const auto hints = Qt::InputMethodHints(
                QGuiApplication::focusObject()->property("inputMethodHints").toInt());
            QCOMPARE(bool(hints & Qt::ImhPreferLatin), !isOutputBox(box->objectName()));
            // ... and is kept away from them when they take the focus.
            QCOMPARE(askFocusForInputMethod().enabled, isOutputBox(box->objectName()));
        }
    }
    QStringList wanted;
    for (const char *name : tab_order)
        wanted << QString::fromLatin1(name);
    wanted << u"syu1"_s;
    QCOMPARE(visited, wanted);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(w.focusName(), u"copy6"_s);
}

void MainWindowTest::inputMethodKeys_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("半角/全角") << u"syu1"_s << int(Qt::Key_Zenkaku_Hankaku) << Qt::KeyboardModifiers();
    QTest::newRow("全角") << u"syu4"_s << int(Qt::Key_Zenkaku) << Qt::KeyboardModifiers();
    QTest::newRow("半角") << u"card1"_s << int(Qt::Key_Hankaku) << Qt::KeyboardModifiers();
    QTest::newRow("漢字") << u"card8"_s << int(Qt::Key_Kanji) << Qt::KeyboardModifiers();
    QTest::newRow("変換") << u"uri1"_s << int(Qt::Key_Henkan) << Qt::KeyboardModifiers();
    QTest::newRow("ひらがな") << u"uri9"_s << int(Qt::Key_Hiragana_Katakana) << Qt::KeyboardModifiers();
    QTest::newRow("英数") << u"uri5"_s << int(Qt::Key_Eisu_toggle) << Qt::KeyboardModifiers();
    QTest::newRow("Ctrl+Space") << u"nin"_s << int(Qt::Key_Space) << Qt::KeyboardModifiers(Qt::ControlModifier);
}

// A number box starts each focus with the input method off; the user's input-method key hands
// it back, without typing anything, until the focus leaves.
void MainWindowTest::inputMethodKeys()
{
    QFETCH(QString, box);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    shown_window w;
    QLineEdit *b = w.box(box.toLatin1().constData());
    w.type(box.toLatin1().constData(), u"12"_s);
    input_method_answer answer = askFocusForInputMethod();
    QVERIFY(!answer.enabled);
    QVERIFY(answer.hints & Qt::ImhPreferNumbers);

    // Ctrl+Space comes with the text of the space bar, as from a keyboard.
    const QString text = key == Qt::Key_Space ? u" "_s : QString();
    QTest::sendKeyEvent(QTest::Click, b, Qt::Key(key), text, modifiers);
    answer = askFocusForInputMethod();
    QVERIFY(answer.enabled);
    QVERIFY(answer.hints & Qt::ImhPreferNumbers);
    QTest::sendKeyEvent(QTest::Click, b, Qt::Key(key), text, modifiers);
    QVERIFY(askFocusForInputMethod().enabled);
    QCOMPARE(b->text(), u"12"_s);

    QTest::keyClick(b, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != b);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(w.focusName(), box);
    QVERIFY(!askFocusForInputMethod().enabled);
}

void MainWindowTest::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("menuCaption");
    QTest::addColumn<int>("menuKey");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("commandCaption");
    QTest::addColumn<int>("commandKey");
    QTest::newRow("Alt+E C clears all") << u"edit_top"_s << u"編集(&E)"_s << int(Qt::Key_E)
        << u"edit_clear"_s << u"全てクリア(&C)"_s << int(Qt::Key_C);
    QTest::newRow("Alt+H U shows the usage window") << u"help_top"_s << u"使い方(&H)"_s
        << int(Qt::Key_H) << u"help_use"_s << u"使い方を表示(&U)"_s << int(Qt::Key_U);
    QTest::newRow("Alt+F X ends") << u"file_top"_s << u"ファイル(&F)"_s << int(Qt::Key_F)
        << u"file_close"_s << u"終了(&X)"_s << int(Qt::Key_X);
}

void MainWindowTest::menus()
{
    QFETCH(QString, menu);
    QFETCH(QString, menuCaption);
    QFETCH(int, menuKey);
    QFETCH(QString, command);
    QFETCH(QString, commandCaption);
    QFETCH(int, commandKey);

    shown_window w;
    auto *m = w.win.findChild<QMenu *>(menu);
    QCOMPARE(m->title(), menuCaption);
    QCOMPARE(m->actions().size(), 1);
    QCOMPARE(m->actions().first()->objectName(), command);
    QCOMPARE(m->actions().first()->text(), commandCaption);
    QVERIFY(m->actions().first()->shortcut().isEmpty());

    w.type("uri1", u"500"_s);
    QTest::keyClick(&w.win, Qt::Key(menuKey), Qt::AltModifier);
    QTRY_COMPARE(QApplication::activePopupWidget(), m);
    QTest::keyClick(m, Qt::Key(commandKey));
    QTRY_VERIFY(!QApplication::activePopupWidget());

    if (command == "edit_clear"_L1) {
        QCOMPARE(w.box("uri1")->text(), QString());
        QCOMPARE(w.box("card_txt")->text(), u"（カード欄）"_s);
    } else if (command == "help_use"_L1) {
        QVERIFY(w.win.usageWindow());
        QTRY_VERIFY(w.win.usageWindow()->isVisible());
    } else {
        QTRY_VERIFY(!w.win.isVisible());
    }
    QVERIFY(w.messages.isEmpty());
}

void MainWindowTest::roadOfSettlement()
{
    shown_window w;
    typeSettlement(w);
    w.click("nokori_btn");
    QCOMPARE(w.box("nokori_txt")->text(), nokoriLine);
    QCOMPARE(w.box("card_txt")->text(), cardLine);
    w.click("uri_kei_btn");
    QCOMPARE(w.box("uri_goukei_txt")->text(), salesLine);
    QCOMPARE(w.box("uri_goukei_txt2")->text(), salesLine2);
    w.click("bun_btn");
    QCOMPARE(w.box("bun_txt")->text(), shareLine);
    QCOMPARE(w.box("bunpai_copy")->text(), shareDigits);
    QVERIFY(w.messages.isEmpty());

    // Each copy button puts its line on the clipboard, to be pasted into the game.
    const std::pair<const char *, QString> pastes[] = {
        {"copy1", nokoriLine}, {"copy2", cardLine},  {"copy3", salesLine},
        {"copy4", salesLine2}, {"copy5", shareLine}, {"copy6", shareDigits},
    };
    for (const auto &[button, line] : pastes) {
        w.click(button);
        QCOMPARE(QGuiApplication::clipboard()->text(), line);
    }
}

void MainWindowTest::copyButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed"); // what the user types over the box; "-": nothing
    QTest::addColumn<QString>("pasted");
    QTest::newRow("copy6 before any 決定3") << u"copy6"_s << u"bunpai_copy"_s << u"-"_s << QString();
    QTest::newRow("copy1 of the start text") << u"copy1"_s << u"nokori_txt"_s << u"-"_s
        << u"上記｢残した物｣入力後、右の｢決定｣ボタンを押して下さい"_s;
    const char *const boxes[] = {"nokori_txt", "card_txt", "uri_goukei_txt",
                                 "uri_goukei_txt2", "bun_txt", "bunpai_copy"};
    for (int i = 0; i < 6; ++i) {
        const QString button = u"copy%1"_s.arg(i + 1);
        QTest::addRow("%s edited by hand", qPrintable(button))
            << button << QString::fromLatin1(boxes[i]) << u"売1:99 ｵｰｸ"_s << u"売1:99 ｵｰｸ"_s;
    }
}

void MainWindowTest::copyButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);

    shown_window w;
    if (typed != "-"_L1) {
        QTest::mouseClick(w.box(box.toLatin1()), Qt::LeftButton);
        QTest::keyClick(w.box(box.toLatin1()), Qt::Key_End);
        QTest::keyClick(w.box(box.toLatin1()), Qt::Key_A, Qt::ControlModifier);
        // Japanese comes through the input method, switched on by hand.
        QInputMethodEvent commit;
        commit.setCommitString(typed);
        QApplication::sendEvent(w.box(box.toLatin1()), &commit);
    }
    QStringList changes;
    QClipboard *clipboard = QGuiApplication::clipboard();
    QObject listening;
    connect(clipboard, &QClipboard::dataChanged, &listening, [&] { changes << clipboard->text(); });
    w.click(button.toLatin1());
    QCOMPARE(clipboard->text(), pasted);
    QCOMPARE(w.win.state().copy_buf, pasted.toStdU16String());
    // The clipboard is emptied before the new text goes there.
    QCOMPARE(changes.value(0), QString());
    QVERIFY(w.messages.isEmpty());
}

void MainWindowTest::clearAll()
{
    shown_window w;
    typeSettlement(w);
    w.click("nokori_btn");
    w.click("uri_kei_btn");
    w.click("bun_btn");
    const pelmora::tally_state before = w.win.state();
    w.box("bun_txt")->setFocus();

    w.win.findChild<QAction *>("edit_clear")->trigger();

    QStringList wanted(pelmora::field_count, QString());
    auto put = [&](pelmora::field f, const QString &t) { wanted[int(pelmora::index_of(f))] = t; };
    put(pelmora::field::nokori_txt, u"上記｢残した物｣入力後、右の｢決定｣ボタンを押して下さい"_s);
    put(pelmora::field::card_txt, u"（カード欄）"_s);
    put(pelmora::field::uri_goukei_txt, u"上記｢売上金｣入力後、右の｢決定｣ボタンを押して下さい"_s);
    put(pelmora::field::uri_goukei_txt2, u"売り5回目\uFF5E8回目用"_s);
    put(pelmora::field::bun_txt, u"｢決定2｣ボタンを押した後、｢決定3｣ボタンを押して下さい"_s);
    put(pelmora::field::bunpai_copy, shareDigits); // the last share stays
    QCOMPARE(w.texts(), wanted);
    QCOMPARE(w.orc()->checkState(), Qt::Unchecked);
    QVERIFY(w.win.state() == before);
    QCOMPARE(w.focusName(), u"syu1"_s);

    // The totals of the last 決定2 are still there to divide.
    w.type("nin", u"3"_s);
    w.click("bun_btn");
    QCOMPARE(w.box("bunpai_copy")->text(), shareDigits);
    QVERIFY(w.messages.isEmpty());
}

void MainWindowTest::timer1()
{
    MainWindow win([](const QString &) {});
    auto *timer = win.findChild<QTimer *>("Timer1");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 200);
    QSignalSpy ticks(timer, &QTimer::timeout);
    win.show();
    QVERIFY(QTest::qWaitForWindowActive(&win));
    win.findChild<QLineEdit *>("uri1")->setFocus();
    QVERIFY(ticks.wait(1000));
    QCOMPARE(QApplication::focusWidget()->objectName(), u"syu1"_s);
    QVERIFY(!timer->isActive());

    // Later focus changes are the user's.
    win.findChild<QLineEdit *>("uri1")->setFocus();
    QTest::qWait(500);
    QCOMPARE(ticks.count(), 1);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"uri1"_s);
}

void MainWindowTest::enterAndEscPressNothing_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    const std::pair<const char *, Qt::Key> keys[] = {
        {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}, {"Esc", Qt::Key_Escape}};
    for (const char *name : tab_order)
        for (const auto &[keyName, key] : keys)
            QTest::addRow("%s in %s", keyName, name) << QString::fromLatin1(name) << int(key);
}

void MainWindowTest::enterAndEscPressNothing()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    shown_window w;
    w.type("uri1", u"1000"_s);
    w.type("nin", u""_s); // 決定3 would complain
    const QStringList before = w.texts();
    auto *widget = w.win.findChild<QWidget *>(control);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key(key));
    QTest::qWait(20);
    QCOMPARE(w.texts(), before);
    QVERIFY(w.messages.isEmpty());
    QVERIFY(w.win.state() == pelmora::tally_state{});
    QCOMPARE(QGuiApplication::clipboard()->text(), u"before"_s);
    QVERIFY(w.win.isVisible());
}

void MainWindowTest::tallyErrors_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::newRow("40000 people") << u"nin"_s << u"40000"_s << u"bun_btn"_s;
    QTest::newRow("sale beyond 32 bits") << u"uri6"_s << u"2147483648"_s << u"uri_kei_btn"_s;
    QTest::newRow("reward count beyond 32 bits") << u"syu2"_s << u"9999999999"_s << u"nokori_btn"_s;
}

void MainWindowTest::tallyErrors()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    shown_window w;
    typeSettlement(w);
    w.click("uri_kei_btn");
    w.type(box.toLatin1(), typed);
    const QStringList before = w.texts();

    w.click(button.toLatin1());
    const pelmora::tally_error overflow(pelmora::error_kind::overflow);
    QCOMPARE(w.messages, QStringList{QString::fromStdU16String(pelmora::error_report(overflow))});
    QVERIFY(w.win.isVisible());
    QCOMPARE(w.texts(), before);

    // The window goes on working once the box is corrected.
    w.messages.clear();
    w.type(box.toLatin1(), box == "nin"_L1 ? u"3"_s : u"0"_s);
    w.click("bun_btn");
    QVERIFY(w.messages.isEmpty());
    QVERIFY(!w.box("bunpai_copy")->text().isEmpty());
}

void MainWindowTest::defaultMessageBox()
{
    MainWindow win;
    win.show();
    QVERIFY(QTest::qWaitForWindowActive(&win));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QList<QAbstractButton *> buttons;
    bool modal = false;
    QTimer::singleShot(100, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons();
        modal = box->isModal();
        QTest::keyClick(box, Qt::Key_Return);
    });
    // A fresh window has no totals to divide yet.
    QTest::mouseClick(win.findChild<QPushButton *>("bun_btn"), Qt::LeftButton);
    QCOMPARE(title, u"Pelmora"_s);
    QCOMPARE(text, u"｢決定2｣ボタンを押してから｢決定3｣ボタンを押して下さい"_s);
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons.size(), 1);
    QVERIFY(modal);
}

// A window's tables copied, so that a fault can be planted in them.
struct planted_tables {
    pelmora::window_tables tables;
    std::vector<pelmora::control_row> controls;
    std::vector<const char *> tabs;
    std::vector<pelmora::menu_row> menus;
    std::vector<pelmora::binding_row> bindings;

    explicit planted_tables(const pelmora::window_tables &t)
        : tables(t), controls(t.controls.begin(), t.controls.end()),
          tabs(t.tab_order.begin(), t.tab_order.end()), menus(t.menus.begin(), t.menus.end()),
          bindings(t.bindings.begin(), t.bindings.end())
    {
    }
    pelmora::control_row &row(std::string_view name)
    {
        for (auto &r : controls)
            if (r.name == name)
                return r;
        qFatal("no row %s", std::string(name).c_str());
    }
    pelmora::window_tables view() const
    {
        return {tables.window, controls, tabs, menus, bindings};
    }
};

struct table_case {
    const char *name;
    bool usage;                     // the usage window's tables, else the main window's
    void (*plant)(planted_tables &); // nullptr: the tables as they are
    const char *fault;              // what the check must say; nullptr: nothing
};

const table_case table_cases[] = {
    {"main window as built", false, nullptr, nullptr},
    {"usage window as built", true, nullptr, nullptr},
    {"text box that is no field", false, [](planted_tables &t) {
         t.controls.push_back({"memo", pelmora::kind::text_box, "window", nullptr, 0, 0, 300, 270, nullptr, nullptr, 0});
         t.tabs.push_back("memo");
     }, "\"memo\": a text box that is no window field"},
    {"misspelt name in the tab order", false, [](planted_tables &t) { t.tabs[20] = "uri10"; },
     "\"uri10\": in the tab order, but no control"},
    {"box left out of the tab order", false, [](planted_tables &t) { t.tabs.erase(t.tabs.begin() + 20); },
     "\"uri5\": takes the focus but is not in the tab order"},
    {"name twice in the tab order", false, [](planted_tables &t) { t.tabs[1] = "syu1"; },
     "\"syu1\": twice in the tab order"},
    {"label in the tab order", true, [](planted_tables &t) { t.tabs.push_back("Label1"); },
     "\"Label1\": in the tab order, but no control"},
    {"misspelt binding", false, [](planted_tables &t) { t.bindings[8].control = "copy7"; },
     "\"copy7\": bound, but no button or menu command"},
    {"button bound twice", false, [](planted_tables &t) { t.bindings.push_back(t.bindings[0]); },
     "\"nokori_btn\": bound twice"},
    {"button bound to nothing", false, [](planted_tables &t) { t.bindings.erase(t.bindings.begin() + 8); },
     "\"copy6\": a button that runs no command"},
    {"menu command named twice", false, [](planted_tables &t) { t.menus[1].command = "file_close"; },
     "\"file_close\": menu command of a name already taken"},
    {"menu command named as a control", false, [](planted_tables &t) { t.menus[0].command = "copy1"; },
     "\"copy1\": menu command of a name already taken"},
    {"control named twice", false, [](planted_tables &t) { t.row("Label43").name = "Label42"; },
     "\"Label42\": control of a name already taken"},
    {"box reaching out of its frame", false, [](planted_tables &t) { t.row("card8").left = 5500; },
     "\"card8\": reaches outside its container"},
    {"button reaching out of the window", true, [](planted_tables &t) { t.row("cmdOK").width = 1400; },
     "\"cmdOK\": reaches outside its container"},
    {"container made after the row", false, [](planted_tables &t) { t.row("Label1").container = "Frame1"; },
     "\"Label1\": its container is no frame or panel above it"},
    {"label as a container", true, [](planted_tables &t) { t.row("Label2").container = "Label1"; },
     "\"Label2\": its container is no frame or panel above it"},
    {"two default buttons", false, [](planted_tables &t) {
         t.row("copy1").flags |= pelmora::default_button;
         t.row("copy2").flags |= pelmora::default_button;
     }, "more than one default or cancel button"},
    {"panel as the cancel button", true, [](planted_tables &t) { t.row("Picture1").flags |= pelmora::cancel_button; },
     "\"Picture1\": a default or cancel button that is no button"},
};

void MainWindowTest::tables_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(table_cases)); ++i)
        QTest::newRow(table_cases[i].name) << i;
}

// The window tables are what both front-ends build from: each fault planted in them is named.
void MainWindowTest::tables()
{
    QFETCH(int, index);
    const table_case &c = table_cases[index];
    planted_tables t(c.usage ? pelmora::usage_tables() : pelmora::main_tables());
    if (c.plant)
        c.plant(t);
    const std::vector<std::string> faults = pelmora::table_faults(t.view());
    QString said;
    for (const std::string &f : faults)
        said += QString::fromStdString(f) + u'\n';
    if (!c.fault) {
        QVERIFY2(faults.empty(), qPrintable(said));
        // Every box and copy button of the real main window is named for screen readers, so
        // a name misspelt in the accessibility rows shows here as an empty name.
        for (const pelmora::control_row &row : c.usage ? pelmora::usage_controls() : pelmora::main_controls()) {
            const bool copies = std::string_view(row.name).starts_with("copy");
            if (!c.usage && (row.what == pelmora::kind::text_box || copies))
                QVERIFY2(!pelmora::accessible_text_of(row.name).name.empty(), row.name);
        }
        return;
    }
    QVERIFY2(said.contains(QString::fromUtf8(c.fault)), qPrintable(said));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
