// At any scale factor the windows must look the same, only finer: every control at the same
// place relative to the others, and every caption inside its control.
#include "look.hpp"
#include "main_window.hpp"
#include "usage_window.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QWindow>

using namespace Qt::StringLiterals;
using pelmora::MainWindow;

namespace {

// The scale factor this run was started with; ctest runs the suite at 1 and at 2.
qreal expectedScale()
{
    const QByteArray factor = qgetenv("QT_SCALE_FACTOR");
    return factor.isEmpty() ? 1.0 : factor.toDouble();
}

struct caption {
    QString text;
    QRect room; // where the style draws the text, in the control's coordinates
};

// The caption a control shows and the room its style leaves for it; empty text for controls
// without a caption.
caption captionOf(QWidget *w)
{
    QStyle *style = w->style();
    if (auto *button = qobject_cast<QPushButton *>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = button->text();
        return {button->text(), style->subElementRect(QStyle::SE_PushButtonContents, &opt, button)};
    }
    if (auto *check = qobject_cast<QCheckBox *>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(check);
        opt.text = check->text();
        return {check->text(), style->subElementRect(QStyle::SE_CheckBoxContents, &opt, check)};
    }
    if (auto *frame = qobject_cast<QGroupBox *>(w)) {
        // The caption sits on the frame's top line; it must not run past the frame's ends.
        return {frame->title(), frame->rect().adjusted(8, 0, -8, 0)};
    }
    if (auto *label = qobject_cast<QLabel *>(w))
        return {label->text(), label->contentsRect()};
    return {};
}

// Widgets that show a caption: labels, buttons, check boxes and frames.
QList<QWidget *> captioned(QWidget *top)
{
    QList<QWidget *> found;
    for (QWidget *w : top->findChildren<QWidget *>()) {
        if (w->isWindow() || w->objectName().startsWith(u"qt_"_s))
            continue;
        if (!captionOf(w).text.isEmpty())
            found << w;
    }
    return found;
}

} // namespace

class HighDpiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void pictureScales_data();
    void pictureScales();
    void captionsFit_data();
    void captionsFit();

private:
    QWidget *window(const QString &which);

    std::unique_ptr<MainWindow> m_top;
};

void HighDpiTest::initTestCase()
{
    pelmora::setUpApplicationLook();
    m_top = std::make_unique<MainWindow>([](const QString &) {});
    m_top->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_top.get()));
    m_top->findChild<QAction *>(u"help_use"_s)->trigger();
    QVERIFY(m_top->usageWindow());
    QVERIFY(QTest::qWaitForWindowExposed(m_top->usageWindow()));
    QCOMPARE(m_top->windowHandle()->devicePixelRatio(), expectedScale());
}

QWidget *HighDpiTest::window(const QString &which)
{
    return which == u"top"_s ? static_cast<QWidget *>(m_top.get()) : m_top->usageWindow();
}

void HighDpiTest::pictureScales_data()
{
    // A point just inside the bottom-right corner of a control, where nothing else is drawn,
    // shows the control's own colour only if the whole picture scaled as one.
    QTest::addColumn<QString>("control");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("leftovers frame") << u"Frame2"_s << QColor(0xFF, 0xE0, 0xC0);
    QTest::newRow("sales frame") << u"Frame1"_s << QColor(0xC0, 0xC0, 0xFF);
    QTest::newRow("card line") << u"card_txt"_s << QColor(0xFF, 0xE0, 0xC0);
    QTest::newRow("second sales line") << u"uri_goukei_txt2"_s << QColor(0xC0, 0xC0, 0xFF);
    QTest::newRow("people count") << u"nin"_s << QColor(0xFF, 0xC0, 0xC0);
    QTest::newRow("decide 3") << u"bun_btn"_s << QColor(0xFF, 0xC0, 0xC0);
    QTest::newRow("share for pasting") << u"bunpai_copy"_s << QColor(0xFF, 0x80, 0x80);
    QTest::newRow("last copy button") << u"copy6"_s << QColor(0xFF, 0x80, 0x80);
    QTest::newRow("client corner") << u"client"_s << QColor(Qt::white);
}

void HighDpiTest::pictureScales()
{
    QFETCH(QString, control);
    QFETCH(QColor, expected);
    const qreal scale = expectedScale();
    const QPixmap shot = m_top->grab();
    QCOMPARE(shot.devicePixelRatio(), scale);
    QCOMPARE(shot.size(), m_top->size() * scale);

    auto *w = m_top->findChild<QWidget *>(control);
    QVERIFY(w);
    const QPoint inside = w->mapTo(m_top.get(), w->rect().bottomRight() - QPoint(4, 4));
    const QImage image = shot.toImage();
    QCOMPARE(image.pixelColor(inside * scale), expected);
}

void HighDpiTest::captionsFit_data()
{
    QTest::addColumn<QString>("which");
    QTest::newRow("main window") << u"top"_s;
    QTest::newRow("usage window") << u"frmTip"_s;
}

void HighDpiTest::captionsFit()
{
    QFETCH(QString, which);
    QWidget *top = window(which);
    const QList<QWidget *> controls = captioned(top);
    QVERIFY(controls.size() > 5);
    QStringList cut;
    for (QWidget *w : controls) {
        const caption c = captionOf(w);
        const QFontMetrics fm(w->font());
        const int width = fm.horizontalAdvance(c.text);
        if (width > c.room.width() || fm.height() > c.room.height()) {
            cut << u"%1 \"%2\": needs %3x%4, has %5x%6"_s.arg(w->objectName(), c.text)
                       .arg(width).arg(fm.height()).arg(c.room.width()).arg(c.room.height());
        }
        // A control that sticks out of its container is cut off by it.
        if (!w->parentWidget()->rect().contains(w->geometry()))
            cut << u"%1 reaches outside %2"_s.arg(w->objectName(), w->parentWidget()->objectName());
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u"; "_s)));
}

QTEST_MAIN(HighDpiTest)
#include "high_dpi_test.moc"
