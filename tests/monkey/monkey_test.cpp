// Tens of thousands of random user actions on the main window: typing, pasting and committing
// odd text through the input method into any box, the decide and copy buttons, the check box,
// clear all and the usage window. The window-less model is driven by the same actions and is
// the reference: after every action the settlement record, the messages shown, the check box
// and the boxes touched must equal the model's, and no message box may be left open.
//
// The run is seeded and repeatable: the seed is printed, and PELMORA_MONKEY_SEED=<seed> runs the
// same actions again. PELMORA_MONKEY_ACTIONS sets how many actions a run takes.

#include "main_window.hpp"
#include "memory_fields.hpp"
#include "press.hpp"
#include "tallies.hpp"
#include "usage_window.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <array>
#include <deque>
#include <map>
#include <random>

#ifndef PELMORA_MONKEY_DEFAULT_ACTIONS
#define PELMORA_MONKEY_DEFAULT_ACTIONS 20000
#endif

using namespace Qt::StringLiterals;
using namespace pelmora;

namespace {

// Code unit for code unit (QString::fromUtf16 would drop a leading byte-order mark).
QString q(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), static_cast<qsizetype>(s.size()));
}

// A text for a failure report: printable ASCII as is, anything else as \uXXXX, cut short.
QString shown(const QString &s)
{
    QString out;
    for (QChar c : s.left(60))
        out += (c.unicode() >= 0x20 && c.unicode() < 0x7F) ? QString(c)
                                                           : u"\\u%1"_s.arg(uint(c.unicode()), 4, 16, QChar(u'0'));
    if (s.size() > 60)
        out += u"...(%1 chars)"_s.arg(s.size());
    return out;
}

// Every field of the record as "name=value", so that a difference names its field.
QStringList describe(const tally_state &s)
{
    QStringList out;
#define FIELD(m) out << (u"" #m "="_s + QString::number(s.m))
#define TEXT(m) out << (u"" #m "="_s + shown(q(s.m)))
    FIELD(uri_val1); FIELD(uri_val2); FIELD(uri_val3); FIELD(uri_val4); FIELD(uri_val5);
    FIELD(uri_val6); FIELD(uri_val7); FIELD(uri_val8); FIELD(uri_val9);
    TEXT(uri_fmt1); TEXT(uri_fmt2); TEXT(uri_fmt3); TEXT(uri_fmt4); TEXT(uri_fmt5);
    TEXT(uri_fmt6); TEXT(uri_fmt7); TEXT(uri_fmt8); TEXT(uri_fmt9);
    FIELD(uri_kei1); FIELD(uri_kei2);
    FIELD(syu_val1); FIELD(syu_val2); FIELD(syu_val3); FIELD(syu_val4);
    TEXT(syu_fmt1); TEXT(syu_fmt2); TEXT(syu_fmt3); TEXT(syu_fmt4);
    FIELD(card_val1); FIELD(card_val2); FIELD(card_val3); FIELD(card_val4);
    FIELD(card_val5); FIELD(card_val6); FIELD(card_val7); FIELD(card_val8);
    TEXT(card_msg); FIELD(card_kei); FIELD(nin_val); FIELD(goukei_val); TEXT(goukei_fmt);
    FIELD(bunpai_val); TEXT(bunpai_fmt); TEXT(copy_buf);
#undef FIELD
#undef TEXT
    return out;
}

constexpr field input_boxes[] = {
    field::uri1, field::uri2, field::uri3, field::uri4, field::uri5, field::uri6, field::uri7,
    field::uri8, field::uri9, field::syu1, field::syu2, field::syu3, field::syu4, field::card1,
    field::card2, field::card3, field::card4, field::card5, field::card6, field::card7,
    field::card8, field::nin};

constexpr field output_boxes[] = {field::nokori_txt, field::card_txt, field::uri_goukei_txt,
                                  field::uri_goukei_txt2, field::bun_txt, field::bunpai_copy};

// Pieces that typed and pasted text is made of: numbers of every shape and size, words that
// number readers elsewhere take for numbers, full-width and other scripts' digits, blanks that
// are not ASCII, direction marks and emoji.
const QStringList typed_pieces = {
    u"0"_s, u"1"_s, u"7"_s, u"12"_s, u"1500"_s, u"-"_s, u"+"_s, u"."_s, u","_s, u"e"_s, u"E"_s,
    u"d"_s, u"D"_s, u"1e3"_s, u"1e999"_s, u"-1e999"_s, u"1D-3"_s, u"2.5"_s, u"0.5"_s, u"-0.5"_s,
    u"1,500"_s, u"1.234.567"_s, u"2147483647"_s, u"2147483648"_s, u"-2147483648"_s,
    u"-2147483649"_s, u"32767"_s, u"32768"_s, u"-32769"_s, u"2147483647.5"_s, u"NaN"_s, u"nan"_s,
    u"inf"_s, u"Infinity"_s, u"-inf"_s, u"1.#INF"_s, u"#N/A"_s, u"0x1F"_s, u"&H10"_s, u"&O17"_s,
    u"abc"_s, u" "_s, u"１２３"_s, u"－５"_s, u"１ｅ３"_s, u"．５"_s, u"\u3000"_s, u"\u200F"_s,
    u"\u202E"_s, u"\u200E"_s, u"\u2066"_s, u"\uFEFF"_s, u"\u00A0"_s, u"\u2212"_s, u"\u0661\u0662"_s,
    u"\u0967"_s, u"\u00B2"_s, u"\u00BD"_s, u"\U0001F600"_s, u"\U0001F4B0"_s, u"￥"_s, u"$"_s,
    u"zeny"_s, u"\uE000"_s,
};

// What only a paste can put in a box: control characters, lone surrogates, non-characters.
const QStringList pasted_only = {
    u"\t"_s, u"\n"_s, u"\r\n"_s, QString(QChar(u'\0')), u"\x1b"_s, u"\x7f"_s, u"\u0085"_s,
    u"\u2028"_s, QString(QChar(0xD800)), QString(QChar(0xDFFF)), QString(QChar(0xFFFE)),
    QString(QChar(0xFFFF)), u"\b"_s,
};

class Monkey {
public:
    Monkey(quint64 seed, long actions) : m_rng(seed), m_actions(actions) {}

    // Runs every action; returns a description of the first fault, or nothing.
    QString run();

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(int percent) { return pick(100) < percent; }
    template <typename T, std::size_t N>
    const T &any(const T (&items)[N]) { return items[pick(int(N))]; }
    const QString &any(const QStringList &items) { return items[pick(int(items.size()))]; }

    QString typedText();
    QString pastedText();
    QString bigText();

    QLineEdit *box(field f) { return m_win->findChild<QLineEdit *>(QLatin1StringView(field_name(f))); }
    QPushButton *button(const char *name) { return m_win->findChild<QPushButton *>(name); }
    QAction *action(const char *name) { return m_win->findChild<QAction *>(name); }

    std::optional<field> act();
    enum class way { keys, paste, input_method };
    void enter(field f, const QString &text, bool replace, way how);
    void decide(const char *name, const std::function<void()> &tally);
    void copy(int which);
    void usage();
    void note(const QString &what);

    void checkAfterAction(std::optional<field> touched);
    void checkAllBoxes();
    void problem(const QString &what);

    std::mt19937_64 m_rng;
    long m_actions;
    long m_index = 0;
    std::unique_ptr<MainWindow> m_win;
    QStringList m_windowMessages;
    memory_fields m_model;
    tally_state m_state;
    std::deque<QString> m_recent;
    QString m_problem;
    long m_decided = 0, m_completed = 0;
};

QString Monkey::typedText()
{
    if (chance(40)) // what a user means to type, so that the tallies also complete
        return QString::number(pick(3) == 0 ? pick(40) : pick(2000000));
    QString text;
    const int pieces = 1 + pick(chance(20) ? 8 : 3);
    for (int i = 0; i < pieces; ++i)
        text += any(typed_pieces);
    if (chance(10)) { // a long number typed digit by digit
        text += QString::number(1 + pick(9));
        for (int n = pick(30); n > 0; --n)
            text += QChar(u'0' + pick(10));
    }
    return text;
}

QString Monkey::pastedText()
{
    QString text;
    const int pieces = 1 + pick(6);
    for (int i = 0; i < pieces; ++i)
        text += chance(30) ? any(pasted_only) : any(typed_pieces);
    if (chance(10)) { // a number too long for any integer: 1 followed by up to 400 digits
        text += u'1';
        for (int n = pick(400); n > 0; --n)
            text += QChar(u'0' + pick(10));
    }
    if (chance(5)) // a code unit of any value
        text += QChar(static_cast<char16_t>(pick(0x10000)));
    return text;
}

// A megabyte pasted in one go.
QString Monkey::bigText()
{
    const qsizetype size = 1 << 20;
    switch (pick(4)) {
    case 0: return QString(size, u'9'); // far beyond any integer: Overflow
    case 1: return QString(size - 1, QChar(0x3000)) + u'5'; // blanks, then a 5
    case 2: return u"7"_s + QString(size - 2, u'0') + u'x'; // 7e1048574: Overflow
    default: {
        QString text;
        while (text.size() < size)
            text += chance(50) ? any(pasted_only) : any(typed_pieces);
        return text;
    }
    }
}

void Monkey::note(const QString &what)
{
    m_recent.push_back(u"#%1 %2"_s.arg(m_index).arg(what));
    if (m_recent.size() > 12)
        m_recent.pop_front();
}

void Monkey::problem(const QString &what)
{
    if (m_problem.isEmpty())
        m_problem = what;
}

// Types, pastes or commits through the input method into a box, at its end or over all of it;
// the model gets the same text.
void Monkey::enter(field f, const QString &text, bool replace, way how)
{
    static const QString ways[] = {u"type"_s, u"paste"_s, u"commit"_s};
    QLineEdit *b = box(f);
    note(u"%1 %2 '%3' into %4"_s.arg(ways[int(how)], replace ? u"over"_s : u"after"_s,
                                      shown(text), QLatin1StringView(field_name(f))));
    QTest::mouseClick(b, Qt::LeftButton);
    if (replace)
        QTest::keyClick(b, Qt::Key_A, Qt::ControlModifier);
    else
        QTest::keyClick(b, Qt::Key_End);
    if (replace && text.isEmpty()) {
        QTest::keyClick(b, chance(50) ? Qt::Key_Delete : Qt::Key_Backspace);
    } else if (how == way::paste) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(b, Qt::Key_V, Qt::ControlModifier);
    } else if (how == way::input_method) {
        // What a Japanese input method sends when the user confirms a conversion.
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(b, &event);
    } else {
        for (qsizetype i = 0; i < text.size();) {
            // One key press per character; an emoji is one key press of two code units.
            const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString key = text.mid(i, n);
            const char16_t c = key[0].unicode();
            const auto code = c < 0x80 && QChar(c).isLetterOrNumber()
                                  ? Qt::Key(QChar(c).toUpper().unicode())
                                  : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, b, code, key, Qt::NoModifier);
            i += n;
        }
    }
    const std::u16string typed = text.toStdU16String();
    m_model.set_text(f, replace ? typed : m_model.text(f) + typed);
}

void Monkey::decide(const char *name, const std::function<void()> &tally)
{
    note(QString::fromLatin1(name));
    const qsizetype shownBefore = m_windowMessages.size();
    QTest::mouseClick(button(name), Qt::LeftButton);
    run_command(m_model, tally);
    ++m_decided;
    if (m_windowMessages.size() == shownBefore)
        ++m_completed;
}

void Monkey::copy(int which)
{
    const QString name = u"copy%1"_s.arg(which + 1);
    note(name);
    QTest::mouseClick(button(name.toLatin1().constData()), Qt::LeftButton);
    run_command(m_model, [&] { take_copy(m_model, m_state, output_boxes[which]); });
    if (QGuiApplication::clipboard()->text() != q(m_state.copy_buf))
        problem(u"the clipboard holds '%1', expected '%2'"_s.arg(
            shown(QGuiApplication::clipboard()->text()), shown(q(m_state.copy_buf))));
}

void Monkey::usage()
{
    UsageWindow *tip = m_win->usageWindow();
    if (!tip || !tip->isVisible()) {
        note(u"show the usage window"_s);
        action("help_use")->trigger();
        tip = m_win->usageWindow();
        if (!tip || !tip->isVisible())
            problem(u"the usage window did not show"_s);
        return;
    }
    switch (pick(4)) {
    case 0:
        note(u"usage window: OK"_s);
        QTest::mouseClick(tip->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        break;
    case 1:
        note(u"usage window: Esc"_s);
        QTest::keyClick(tip, Qt::Key_Escape);
        break;
    case 2:
        note(u"usage window: Enter"_s);
        QTest::keyClick(tip, Qt::Key_Return);
        break;
    default:
        note(u"usage window: close box"_s);
        tip->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        break;
    }
    if (m_win->usageWindow() && m_win->usageWindow()->isVisible())
        problem(u"the usage window is still visible"_s);
}

std::optional<field> Monkey::act()
{
    const int roll = pick(100);
    const bool replace = chance(60);
    field f = any(input_boxes);
    if (roll < 25) {
        enter(f, typedText(), replace, way::keys);
        return f;
    } else if (roll < 30) {
        enter(f, typedText(), replace, way::input_method);
        return f;
    } else if (roll < 42) {
        enter(f, pastedText(), replace, way::paste);
        return f;
    } else if (roll < 45) {
        enter(f, QString(), true, way::keys); // empties the box
        return f;
    } else if (roll < 49) {
        f = any(output_boxes); // the user may edit a report line before copying it
        const bool paste = chance(50);
        enter(f, paste ? pastedText() : typedText(), replace, paste ? way::paste : way::keys);
        return f;
    } else if (roll < 58) {
        decide("nokori_btn", [&] { run_leftover_tally(m_model, m_state); });
    } else if (roll < 67) {
        decide("uri_kei_btn", [&] { run_sales_tally(m_model, m_state); });
    } else if (roll < 76) {
        decide("bun_btn", [&] { run_share_division(m_model, m_state); });
    } else if (roll < 86) {
        copy(pick(6));
    } else if (roll < 90) {
        note(u"click the check box"_s);
        QTest::mouseClick(m_win->findChild<QCheckBox *>("orc_check"), Qt::LeftButton,
                          {}, QPoint(6, 6));
        m_model.set_orc_check(m_model.orc_check() == orc_checked ? orc_unchecked : orc_checked);
    } else if (roll < 93) {
        note(u"clear all"_s);
        action("edit_clear")->trigger();
        run_command(m_model, [&] { run_clear_all(m_model); });
    } else if (roll < 97) {
        usage();
    } else {
        // Keys that press no button of the main window.
        static constexpr Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
                                           Qt::Key_Tab, Qt::Key_Backtab};
        const Qt::Key key = any(keys);
        f = chance(50) ? any(input_boxes) : any(output_boxes);
        note(u"key %1 in %2"_s.arg(int(key), 0, 16).arg(QLatin1StringView(field_name(f))));
        QTest::keyClick(box(f), key);
    }
    return std::nullopt;
}

void Monkey::checkAfterAction(std::optional<field> touched)
{
    if (QWidget *modal = QApplication::activeModalWidget())
        problem(u"a modal window is open: %1"_s.arg(modal->objectName()));
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != m_win.get() && w != m_win->usageWindow())
            problem(u"an unexpected window is open: %1 '%2'"_s.arg(
                QString::fromLatin1(w->metaObject()->className()), w->windowTitle()));
    if (!m_win->isVisible())
        problem(u"the main window closed"_s);
    if (m_win->findChildren<UsageWindow *>().size() > 1)
        problem(u"more than one usage window"_s);

    if (m_windowMessages.size() != qsizetype(m_model.messages.size())) {
        problem(u"the window showed %1 messages, the model %2; last: '%3'"_s.arg(
            m_windowMessages.size()).arg(m_model.messages.size()).arg(
            shown(m_windowMessages.isEmpty() ? QString() : m_windowMessages.last())));
    } else if (!m_windowMessages.isEmpty() && m_windowMessages.last() != q(m_model.messages.back())) {
        problem(u"the window showed '%1', the model '%2'"_s.arg(
            shown(m_windowMessages.last()), shown(q(m_model.messages.back()))));
    }

    if (m_win->orc_check() != m_model.orc_check())
        problem(u"orc_check is %1, the model's %2"_s.arg(m_win->orc_check()).arg(m_model.orc_check()));

    if (!(m_win->state() == m_state)) {
        const QStringList a = describe(m_win->state()), e = describe(m_state);
        QStringList diff;
        for (qsizetype i = 0; i < a.size(); ++i)
            if (a[i] != e[i])
                diff << a[i] + u" (model: "_s + e[i] + u")"_s;
        problem(u"the record differs: "_s + diff.join(u"; "_s));
    }

    auto compareBox = [&](field f) {
        const QString inWindow = box(f)->text();
        if (inWindow != q(m_model.text(f)))
            problem(u"box %1 holds '%2', the model '%3'"_s.arg(
                QLatin1StringView(field_name(f)), shown(inWindow), shown(q(m_model.text(f)))));
    };
    for (field f : output_boxes)
        compareBox(f);
    if (touched)
        compareBox(*touched);
}

void Monkey::checkAllBoxes()
{
    for (field f : all_fields) {
        if (box(f)->text() != q(m_model.text(f)))
            problem(u"box %1 holds '%2', the model '%3'"_s.arg(QLatin1StringView(field_name(f)),
                                                              shown(box(f)->text()),
                                                              shown(q(m_model.text(f)))));
    }
}

QString Monkey::run()
{
    m_win = std::make_unique<MainWindow>([this](const QString &text) { m_windowMessages << text; });
    m_win->show();
    if (!QTest::qWaitForWindowExposed(m_win.get()))
        return u"the window did not show"_s;

    const long bigEvery = 10000; // a megabyte paste is slow to lay out; a few per run will do
    QElapsedTimer clock;
    clock.start();
    for (m_index = 0; m_index < m_actions && m_problem.isEmpty(); ++m_index) {
        if (m_index % bigEvery == std::min(m_actions, bigEvery) / 2) {
            const field f = any(input_boxes);
            enter(f, bigText(), true, way::paste);
            checkAfterAction(f);
        } else {
            checkAfterAction(act());
        }
        if (m_index % 50 == 0)
            QCoreApplication::processEvents(); // paints the odd texts too
        if (m_index % 1000 == 999)
            checkAllBoxes();
    }
    if (m_problem.isEmpty())
        checkAllBoxes();

    if (m_problem.isEmpty()) {
        // "終了" at the end: every window goes.
        note(u"end"_s);
        action("file_close")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (m_win->isVisible() || m_win->usageWindow())
            problem(u"a window is left after the end command"_s);
    }
    qInfo("%ld actions in %lld ms; %ld decide clicks, %ld of them completed", m_index,
          static_cast<long long>(clock.elapsed()), m_decided, m_completed);
    std::map<QString, int> byText; // how often each message came up
    for (const QString &m : std::as_const(m_windowMessages))
        ++byText[m.simplified()];
    for (const auto &[text, count] : byText)
        qInfo("%6d x %s", count, qPrintable(text));
    if (m_problem.isEmpty())
        return {};
    QString report = u"after action #%1: %2\nlast actions:\n"_s.arg(m_index - 1).arg(m_problem);
    for (const QString &a : m_recent)
        report += u"  "_s + a + u"\n"_s;
    return report;
}

quint64 seedToUse()
{
    bool ok = false;
    const quint64 fromEnv = qEnvironmentVariable("PELMORA_MONKEY_SEED").toULongLong(&ok);
    return ok ? fromEnv : QRandomGenerator::system()->generate64();
}

long actionsToRun()
{
    bool ok = false;
    const long fromEnv = qEnvironmentVariable("PELMORA_MONKEY_ACTIONS").toLong(&ok);
    return ok ? fromEnv : PELMORA_MONKEY_DEFAULT_ACTIONS;
}

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void randomActions();
};

namespace {

// The offscreen platform warns on every raise() of the usage window, and the font database on
// every script without an OpenType font; thousands of those lines would bury a failure report.
QtMessageHandler qtTestHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(u"This plugin does not support"_s)
        && !message.contains(u"OpenType support missing"_s))
        qtTestHandler(type, context, message);
}

} // namespace

void MonkeyTest::randomActions()
{
    qtTestHandler = qInstallMessageHandler(quietHandler);
    const auto restore = qScopeGuard([] { qInstallMessageHandler(qtTestHandler); });
    const quint64 seed = seedToUse();
    const long actions = actionsToRun();
    qInfo("monkey seed %llu, %ld actions (PELMORA_MONKEY_SEED=%llu repeats this run)",
          static_cast<unsigned long long>(seed), actions, static_cast<unsigned long long>(seed));
    Monkey monkey(seed, actions);
    const QString fault = monkey.run();
    if (!fault.isEmpty())
        QFAIL(qPrintable(u"seed %1, "_s.arg(seed) + fault));
}

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"
