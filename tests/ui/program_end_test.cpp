#include "look.hpp"
#include "main_window.hpp"
#include "usage_window.hpp"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using pelmora::MainWindow;

// Runs the real event loop: "終了" or the close box must end it, whatever became of the
// usage window, and no window may be left on the screen.
class ProgramEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { pelmora::setUpApplicationLook(); }
    void ends_data();
    void ends();
};

void ProgramEndTest::ends_data()
{
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<QString>("usage"); // never, visible, hidden
    for (bool byMenu : {true, false})
        for (const char *usage : {"never", "visible", "hidden"})
            QTest::addRow("%s, usage window %s", byMenu ? "終了" : "close box", usage)
                << byMenu << QString::fromLatin1(usage);
}

void ProgramEndTest::ends()
{
    QFETCH(bool, byMenu);
    QFETCH(QString, usage);

    auto *win = new MainWindow([](const QString &) {});
    win->setAttribute(Qt::WA_DeleteOnClose);
    win->show();
    QVERIFY(QTest::qWaitForWindowExposed(win));
    if (usage != "never"_L1) {
        win->findChild<QAction *>("help_use")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(win->usageWindow()));
        if (usage == "hidden"_L1)
            QTest::mouseClick(win->usageWindow()->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    }

    QTimer::singleShot(0, win, [win, byMenu] {
        if (byMenu)
            win->findChild<QAction *>("file_close")->trigger();
        else
            win->close();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    watchdog.start(5000);
    QCOMPARE(QApplication::exec(), 0);

    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(ProgramEndTest)
#include "program_end_test.moc"
