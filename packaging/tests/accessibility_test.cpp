// What a screen reader announces for the boxes and buttons of the main window, read through
// the same accessibility interfaces that screen readers use.
#include "main_window.hpp"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using pelmora::MainWindow;

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void announced_data();
    void announced();
    void everyControlHasItsOwnName();

private:
    QAccessibleInterface *accessible(const QString &name);

    std::unique_ptr<MainWindow> m_top;
};

void AccessibilityTest::init()
{
    m_top = std::make_unique<MainWindow>([](const QString &) {});
    m_top->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_top.get()));
}

void AccessibilityTest::cleanup()
{
    m_top.reset();
}

QAccessibleInterface *AccessibilityTest::accessible(const QString &name)
{
    auto *w = m_top->findChild<QWidget *>(name);
    return w ? QAccessible::queryAccessibleInterface(w) : nullptr;
}

void AccessibilityTest::announced_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description"); // the unit, for boxes that have one
    QTest::addColumn<QString>("label");       // the label the box is tied to, if any

    const auto edit = QAccessible::EditableText;
    const auto button = QAccessible::Button;
    QTest::newRow("first reward") << u"syu1"_s << edit << u"赤い羽毛"_s << u"個"_s << u"Label1"_s;
    QTest::newRow("card in the second row") << u"card7"_s << edit << u"ﾌﾟﾗｽﾞﾏc"_s << QString()
                                            << u"Label31"_s;
    QTest::newRow("sale label loses its colon") << u"uri1"_s << edit << u"売り1回目"_s
                                                << u"zeny"_s << u"Label9"_s;
    QTest::newRow("eighth sale sits in uri9") << u"uri9"_s << edit << u"売り8回目"_s
                                              << u"zeny"_s << u"Label36"_s;
    QTest::newRow("auction bid named by the check box")
        << u"uri5"_s << edit << u"残し物オークションの落札金額"_s << u"zeny"_s << QString();
    QTest::newRow("people") << u"nin"_s << edit << u"分配する人数は？"_s << u"人"_s
                            << u"Label22"_s;
    QTest::newRow("reward line") << u"nokori_txt"_s << edit << u"残した物の報告（報酬）"_s
                                 << QString() << QString();
    QTest::newRow("share for pasting") << u"bunpai_copy"_s << edit
                                       << u"分配金（カンマなしの数字）"_s << QString() << QString();
    QTest::newRow("copy of the card line") << u"copy2"_s << button
                                           << u"残した物の報告（カード）をｺﾋﾟｰ"_s << QString()
                                           << QString();
    QTest::newRow("copy of the second sales line")
        << u"copy4"_s << button << u"売上金の報告（売り5回目～8回目）をｺﾋﾟｰ"_s << QString()
        << QString();
    QTest::newRow("copy of the share") << u"copy6"_s << button
                                       << u"分配金（カンマなしの数字）をｺﾋﾟｰ"_s << QString()
                                       << QString();
    QTest::newRow("decide button keeps its caption") << u"bun_btn"_s << button << u"決定3"_s
                                                     << QString() << QString();
}

void AccessibilityTest::announced()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(QString, label);

    QAccessibleInterface *iface = accessible(control);
    QVERIFY(iface);
    QCOMPARE(iface->role(), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Description), description);

    if (!label.isEmpty()) {
        QAccessibleInterface *labelIface = accessible(label);
        QVERIFY(labelIface);
        bool tied = false;
        for (const auto &[other, relation] : iface->relations(QAccessible::Label))
            tied = tied || other == labelIface;
        QVERIFY2(tied, qPrintable(u"%1 is not labelled by %2"_s.arg(control, label)));
    }
}

void AccessibilityTest::everyControlHasItsOwnName()
{
    // A screen reader user tells controls apart by name alone: six buttons that all say
    // "ｺﾋﾟｰ", or a box announced as nothing, cannot be found again.
    QHash<QString, QString> owner;
    QStringList faults;
    const QList<QWidget *> controls = m_top->findChildren<QWidget *>();
    int checked = 0;
    for (QWidget *w : controls) {
        if (!qobject_cast<QLineEdit *>(w) && !qobject_cast<QPushButton *>(w)
            && !qobject_cast<QCheckBox *>(w))
            continue;
        ++checked;
        const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        if (name.trimmed().isEmpty())
            faults << u"%1 has no name"_s.arg(w->objectName());
        else if (owner.contains(name))
            faults << u"%1 and %2 are both \"%3\""_s.arg(owner[name], w->objectName(), name);
        else
            owner.insert(name, w->objectName());
    }
    QVERIFY(checked > 30);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
