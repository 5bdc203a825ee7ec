#include "look.hpp"
#include "main_window.hpp"
#include "usage_window.hpp"

#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using pelmora::MainWindow;

namespace {

struct control {
    const char *name;
    const char16_t *text;
    int left, top, width, height; // twips
    const char *foreground;       // nullptr: black
};

// What the usage window shows, control by control; the labels sit on Picture1.
const control expected[] = {
    {"Picture1", nullptr, 120, 120, 4215, 3435, nullptr},
    {"cmdOK", u"OK", 4440, 120, 1215, 375, nullptr},
    {"Label1", u"Pelmora 使い方説明", 360, 180, 3135, 255, "#00C000"},
    {"Label2", u"1.残す物（報酬、カード、カード帖など）の個数を入力", 120, 600, 3975, 255, nullptr},
    {"Label3", u"2.収集品、装備などの売った金額(最大8回)を入力", 120, 960, 3855, 255, nullptr},
    {"Label4", u"3.残り品をｵｰｸｼｮﾝした場合はチェックボックスに", 120, 1440, 3855, 255, nullptr},
    {"Label5", u"チェックをし、ｵｰｸｼｮﾝの落札金額を入力", 600, 1680, 3255, 255, nullptr},
    {"Label6", u"4.決定ボタンの1、2、3を押す", 120, 2040, 3735, 255, nullptr},
    {"Label7", u"コピーボタンを押してROに貼付して下さい", 120, 2280, 3735, 255, nullptr},
    {"Label8", u"Pelmora\u3000Ver1.01", 1200, 3000, 2895, 255, "#FF0000"},
};

QWidget *usage(MainWindow &win)
{
    return win.usageWindow();
}

void show(MainWindow &win)
{
    win.findChild<QAction *>("help_use")->trigger();
}

int usageWindowsAlive()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->objectName() == "frmTip"_L1;
    return n;
}

} // namespace

class UsageWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { pelmora::setUpApplicationLook(); }
    void controls_data();
    void controls();
    void window();
    void lifecycle_data();
    void lifecycle();
};

void UsageWindowTest::controls_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(expected)); ++i)
        QTest::newRow(expected[i].name) << i;
}

void UsageWindowTest::controls()
{
    QFETCH(int, row);
    const control &c = expected[row];
    MainWindow win([](const QString &) {});
    show(win);
    QWidget *tip = usage(win);
    QVERIFY(QTest::qWaitForWindowExposed(tip));
    auto *w = tip->findChild<QWidget *>(c.name);
    QVERIFY(w);
    QCOMPARE(w->geometry(), QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15));
    // An installed Japanese gothic, so that no substitute has to be searched for.
    const QString family = w->font().families().value(0);
    QVERIFY2(pelmora::gothicFamilies().contains(family), qPrintable(family));
    QVERIFY(QFontDatabase::families(QFontDatabase::Japanese).contains(family));
    QCOMPARE(w->font().pointSizeF(), 9.0);
    const QImage face = w->grab().toImage();
    if (auto *label = qobject_cast<QLabel *>(w)) {
        QCOMPARE(label->parentWidget()->objectName(), u"Picture1"_s);
        QCOMPARE(label->text(), QString::fromUtf16(c.text));
        QCOMPARE(label->palette().color(QPalette::WindowText),
                 c.foreground ? QColor::fromString(QLatin1StringView(c.foreground)) : QColor(Qt::black));
        QCOMPARE(face.pixelColor(face.rect().bottomRight()), QColor(Qt::white));
    } else if (auto *button = qobject_cast<QPushButton *>(w)) {
        QCOMPARE(button->text(), QString::fromUtf16(c.text));
        QVERIFY(button->isDefault());
    } else {
        // The white panel with its sunken border, and the coin at its top-left corner.
        auto *picture = qobject_cast<QFrame *>(w);
        QVERIFY(picture);
        QCOMPARE(picture->frameShadow(), QFrame::Sunken);
        QCOMPARE(face.pixelColor(face.rect().center()), QColor(Qt::white));
        const QImage coin = tip->windowIcon().pixmap(16, 16).toImage();
        const QPoint corner = picture->contentsRect().topLeft();
        QCOMPARE(face.pixelColor(corner + QPoint(8, 8)), coin.pixelColor(8, 8));
    }
}

void UsageWindowTest::window()
{
    MainWindow win([](const QString &) {});
    win.show();
    QVERIFY(!usage(win));
    show(win);
    QWidget *tip = usage(win);
    QVERIFY(QTest::qWaitForWindowActive(tip));
    QCOMPARE(tip->windowTitle(), u"使い方説明"_s);
    QCOMPARE(tip->size(), QSize(384, 250));
    QCOMPARE(tip->minimumSize(), tip->maximumSize());
    QVERIFY(!tip->isModal());
    // A tool window of the main window: no task-bar button, no minimise or maximise box.
    QCOMPARE(tip->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(tip->parentWidget(), &win);
    QVERIFY(!(tip->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(tip->windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(tip->windowIcon().pixmap(16, 16).toImage(), win.windowIcon().pixmap(16, 16).toImage());
}

void UsageWindowTest::lifecycle_data()
{
    // Steps: show, ok, enter, esc, close (the close box), move (the user drags it away).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("same");   // still the window the first show created
    QTest::addColumn<bool>("moved");  // where the user moved it, not at its first place
    QTest::newRow("first show") << QStringList{"show"} << true << true << true << false;
    QTest::newRow("show twice: one window") << QStringList{"show", "show"} << true << true << true << false;
    QTest::newRow("OK hides") << QStringList{"show", "ok"} << true << false << true << false;
    QTest::newRow("Enter hides") << QStringList{"show", "enter"} << true << false << true << false;
    QTest::newRow("Esc hides") << QStringList{"show", "esc"} << true << false << true << false;
    QTest::newRow("shown again where it was")
        << QStringList{"show", "move", "ok", "show"} << true << true << true << true;
    QTest::newRow("close box destroys") << QStringList{"show", "close"} << false << false << false << false;
    QTest::newRow("created anew at its first place")
        << QStringList{"show", "move", "close", "show"} << true << true << false << false;
}

void UsageWindowTest::lifecycle()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, exists);
    QFETCH(bool, visible);
    QFETCH(bool, same);
    QFETCH(bool, moved);

    MainWindow win([](const QString &) {});
    win.show();
    QVERIFY(QTest::qWaitForWindowActive(&win));
    QPointer<QWidget> first;
    QPoint firstPlace;
    for (const QString &step : steps) {
        QWidget *tip = usage(win);
        if (step == "show"_L1) {
            show(win);
            tip = usage(win);
            if (firstPlace.isNull()) {
                first = tip;
                firstPlace = tip->pos();
            }
            QTRY_COMPARE(QApplication::focusWidget(), tip->findChild<QWidget *>("cmdOK"));
        } else if (step == "ok"_L1) {
            QTest::mouseClick(tip->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        } else if (step == "enter"_L1) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else if (step == "esc"_L1) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        } else if (step == "move"_L1) {
            tip->move(firstPlace + QPoint(40, 30));
        } else if (step == "close"_L1) {
            tip->close();
            QTRY_COMPARE(usageWindowsAlive(), 0);
        }
    }
    QWidget *tip = usage(win);
    QCOMPARE(tip != nullptr, exists);
    QCOMPARE(usageWindowsAlive(), exists ? 1 : 0);
    if (!tip)
        return;
    QCOMPARE(tip->isVisible(), visible);
    QCOMPARE(first && tip == first.data(), same);
    QCOMPARE(tip->pos() != firstPlace, moved);
    QCOMPARE(tip->findChild<QLabel *>("Label1")->text(), u"Pelmora 使い方説明"_s);
    QVERIFY(win.isVisible());
}

QTEST_MAIN(UsageWindowTest)
#include "usage_window_test.moc"
