#include "memory_fields.hpp"
#include "press.hpp"
#include "tallies.hpp"
#include "test_support.hpp"

#include <QObject>
#include <QStringList>
#include <QTest>

using namespace pelmora;
using namespace Qt::StringLiterals;

namespace {

// Boxes given as "name=text"; a name that is not a box fails the test loudly.
void fill(memory_fields &w, const QStringList &boxes)
{
    for (const QString &entry : boxes) {
        const auto eq = entry.indexOf(u'=');
        const auto f = field_by_name(entry.left(eq).toStdString());
        QVERIFY2(f.has_value(), qPrintable(entry));
        w.set_text(*f, u16(entry.mid(eq + 1)));
    }
}

QString text(const memory_fields &w, field f)
{
    return q(w.text(f));
}

QString messages(const memory_fields &w)
{
    QStringList all;
    for (const auto &m : w.messages)
        all << q(m);
    return all.join(u'|');
}

// A record as an earlier run left it, so that "unchanged" can be told from "zeroed".
tally_state earlier_state()
{
    tally_state s;
    s.uri_kei1 = 111;
    s.uri_kei2 = 222;
    s.card_kei = 33;
    s.card_msg = u"old cards";
    s.goukei_val = 444;
    s.bunpai_val = 55;
    s.nin_val = 6;
    return s;
}

void mark_outputs(memory_fields &w)
{
    for (field f : {field::nokori_txt, field::card_txt, field::uri_goukei_txt,
                    field::uri_goukei_txt2, field::bun_txt, field::bunpai_copy})
        w.set_text(f, u"old " + std::u16string(field_name(f).begin(), field_name(f).end()));
}

// A platform that writes down what the commands asked of it, as "what:detail" lines.
struct recording_front_end final : front_end {
    bool clipboard_refuses = false;
    QStringList asked;

    bool put_on_clipboard(std::u16string_view text) override
    {
        asked << u"clipboard:"_s + q(std::u16string(text));
        return !clipboard_refuses;
    }
    void end_program() override { asked << u"end"_s; }
    void show_usage() override { asked << u"usage"_s; }
};

// A window as a settlement leaves it: every line and both totals computed.
void settled(memory_fields &w, tally_state &s)
{
    w.set_orc_check(orc_unchecked);
    fill(w, {u"syu1=12"_s, u"card1=1"_s, u"uri1=1500"_s, u"uri6=99"_s, u"nin=3"_s});
    run_leftover_tally(w, s);
    run_sales_tally(w, s);
    run_share_division(w, s);
    w.focus_requests.clear();
}

} // namespace

class TalliesTest : public QObject {
    Q_OBJECT

private slots:
    void freshModel();
    void leftover_data();
    void leftover();
    void leftoverStopsPartWay();
    void sales_data();
    void sales();
    void salesStopsPartWay();
    void share_data();
    void share();
    void commandRunnerReportsAndGoesOn();
    void pressEveryBinding();
    void pressReportsErrors_data();
    void pressReportsErrors();
    void timer1MovesTheFocusOnce();
    void clearAllKeepsTotals();
    void settlementRoad();
};

void TalliesTest::freshModel()
{
    memory_fields w;
    QCOMPARE(w.orc_check(), orc_checked);
    QCOMPARE(text(w, field::nin), u"12"_s);
    QCOMPARE(text(w, field::card_txt), u"（カード等欄）"_s);
    QCOMPARE(text(w, field::uri_goukei_txt2), u"売り5回目～8回目用"_s);
    QCOMPARE(text(w, field::bunpai_copy), QString());
    QCOMPARE(text(w, field::uri1), QString());
    QCOMPARE(tally_state{}, tally_state{}); // every number 0, every text empty
    QCOMPARE(tally_state{}.uri_kei1, 0);
    QVERIFY(!field_by_name("uri10").has_value());
    QVERIFY(!field_by_name("orc_check").has_value()); // the check box is no text box
    for (field f : all_fields)
        QCOMPARE(field_by_name(field_name(f)), std::optional<field>(f));
}

void TalliesTest::leftover_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("rewardLine");
    QTest::addColumn<QString>("cardLine");

    const QString zeros = u"赤羽毛:0、青羽毛:0、呪印:0、金腕輪:0"_s;
    QTest::newRow("all empty") << QStringList{} << zeros << u"カード等無し"_s;
    QTest::newRow("grouped reward")
        << QStringList{u"syu1=1500"_s, u"syu3=2"_s} << u"赤羽毛:1,500、青羽毛:0、呪印:2、金腕輪:0"_s
        << u"カード等無し"_s;
    QTest::newRow("negative reward")
        << QStringList{u"syu2=-3"_s} << u"赤羽毛:0、青羽毛:-3、呪印:0、金腕輪:0"_s << u"カード等無し"_s;
    QTest::newRow("comma stops the reading")
        << QStringList{u"syu1=1,500"_s} << u"赤羽毛:1、青羽毛:0、呪印:0、金腕輪:0"_s << u"カード等無し"_s;
    QTest::newRow("large reward")
        << QStringList{u"syu4=2147483647"_s} << u"赤羽毛:0、青羽毛:0、呪印:0、金腕輪:2,147,483,647"_s
        << u"カード等無し"_s;
    QTest::newRow("two cards, trailing space")
        << QStringList{u"card1=2"_s, u"card3=1"_s} << zeros << u"慰c2 苦悩c1 "_s;
    QTest::newRow("album only") << QStringList{u"card8=3"_s} << zeros << u"帖3"_s;
    QTest::newRow("album ends the line")
        << QStringList{u"card1=2"_s, u"card8=1"_s} << zeros << u"慰c2 帖1"_s;
    QTest::newRow("card counts are not grouped")
        << QStringList{u"card2=1500"_s} << zeros << u"執行c1500 "_s;
    QTest::newRow("mixed signs summing to zero")
        << QStringList{u"card1=2"_s, u"card2=-2"_s} << zeros << u"カード等無し"_s;
    QTest::newRow("negative sum, no piece") << QStringList{u"card1=-1"_s} << zeros << QString();
    QTest::newRow("card rounds half to even") << QStringList{u"card1=2.5"_s} << zeros << u"慰c2 "_s;
    QTest::newRow("card rounds to zero") << QStringList{u"card1=0.5"_s} << zeros << u"カード等無し"_s;
    QTest::newRow("card letters") << QStringList{u"card1=abc"_s} << zeros << u"カード等無し"_s;
    QTest::newRow("every card, half-width katakana")
        << QStringList{u"card1=1"_s, u"card2=2"_s, u"card3=3"_s, u"card4=4"_s,
                       u"card5=5"_s, u"card6=6"_s, u"card7=7"_s, u"card8=8"_s}
        << zeros << u"慰c1 執行c2 苦悩c3 保護c4 監視c5 悲c6 ﾌﾟﾗｽﾞﾏc7 帖8"_s;
}

void TalliesTest::leftover()
{
    QFETCH(QStringList, boxes);
    QFETCH(QString, rewardLine);
    QFETCH(QString, cardLine);

    memory_fields w;
    fill(w, boxes);
    tally_state s = earlier_state();
    QVERIFY(run_command(w, [&] { run_leftover_tally(w, s); }));
    QCOMPARE(text(w, field::nokori_txt), rewardLine);
    QCOMPARE(text(w, field::card_txt), cardLine);
    QCOMPARE(q(s.card_msg), cardLine);
    QVERIFY(w.messages.empty());

    // Pressing again with the same boxes gives the same: nothing accumulates.
    const tally_state once = s;
    run_leftover_tally(w, s);
    QCOMPARE(s, once);
}

void TalliesTest::leftoverStopsPartWay()
{
    const QString overflow = u"実行時エラー '6':\n\nオーバーフローしました。"_s;
    const std::u16string reward = u"赤羽毛:5、青羽毛:0、呪印:0、金腕輪:0";

    { // a reward count too large: only the counts before it are new
        memory_fields w;
        mark_outputs(w);
        fill(w, {u"syu1=5"_s, u"syu2=2147483648"_s, u"card1=1"_s});
        tally_state s = earlier_state();
        QVERIFY(!run_command(w, [&] { run_leftover_tally(w, s); }));
        QCOMPARE(messages(w), overflow);
        QCOMPARE(s.syu_val1, 5);
        QCOMPARE(s.syu_val2, 0);
        QCOMPARE(q(s.syu_fmt1), QString());
        QCOMPARE(text(w, field::nokori_txt), u"old nokori_txt"_s);
        QCOMPARE(text(w, field::card_txt), u"old card_txt"_s);
        QCOMPARE(text(w, field::syu2), u"2147483648"_s); // what was typed stays
    }
    { // a card count too large: the reward line is already written
        memory_fields w;
        mark_outputs(w);
        fill(w, {u"syu1=5"_s, u"card1=3"_s, u"card2=40000"_s});
        tally_state s = earlier_state();
        QVERIFY(!run_command(w, [&] { run_leftover_tally(w, s); }));
        QCOMPARE(messages(w), overflow);
        QCOMPARE(q(w.text(field::nokori_txt)), q(reward));
        QCOMPARE(int(s.card_val1), 3);
        QCOMPARE(int(s.card_val2), 0);
        QCOMPARE(q(s.card_msg), u"old cards"_s);
        QCOMPARE(int(s.card_kei), 33);
        QCOMPARE(text(w, field::card_txt), u"old card_txt"_s);
    }
    { // the first partial sum overflows although the whole would fit
        memory_fields w;
        mark_outputs(w);
        fill(w, {u"syu1=5"_s, u"card1=32767"_s, u"card2=1"_s, u"card3=-1"_s});
        tally_state s = earlier_state();
        QVERIFY(!run_command(w, [&] { run_leftover_tally(w, s); }));
        QCOMPARE(messages(w), overflow);
        QCOMPARE(q(w.text(field::nokori_txt)), q(reward));
        QCOMPARE(q(s.card_msg), u"慰c32767 執行c1 "_s);
        QCOMPARE(int(s.card_kei), 33);
        QCOMPARE(text(w, field::card_txt), u"old card_txt"_s);
    }
}

void TalliesTest::sales_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("orc");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kei1");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<int>("kei2");
    QTest::addColumn<QString>("line2");

    // An earlier run left 111, 222, "old uri_goukei_txt" and "old uri_goukei_txt2".
    const QString none = u"売上金額が入力されていません"_s;
    const QString old1 = u"old uri_goukei_txt"_s, old2 = u"old uri_goukei_txt2"_s;
    const QStringList example{u"uri1=15000"_s, u"uri3=8000"_s, u"uri5=3000"_s};

    QTest::newRow("gap kept, no auction") << example << 0 << QString() << 23000
        << u"売1:15,000、売2:0、売3:8,000"_s << 0 << QString();
    QTest::newRow("gap kept, auction") << example << 1 << QString() << 26000
        << u"売1:15,000、売2:0、売3:8,000、ｵｰｸ:3,000"_s << 0 << QString();
    QTest::newRow("greyed is unchecked") << example << 2 << QString() << 23000
        << u"売1:15,000、売2:0、売3:8,000"_s << 0 << QString();
    QTest::newRow("both groups")
        << QStringList{u"uri1=1000000"_s, u"uri7=250000"_s} << 0 << QString() << 1000000
        << u"売1:1,000,000"_s << 250000 << u"売5:0、売6:250,000"_s;
    QTest::newRow("last of each group")
        << QStringList{u"uri4=1200"_s, u"uri9=500"_s} << 1 << QString() << 1200
        << u"売1:0、売2:0、売3:0、売4:1,200、ｵｰｸ:0"_s << 500 << u"売5:0、売6:0、売7:0、売8:500"_s;
    QTest::newRow("second group only") << QStringList{u"uri6=1000"_s} << 0 << QString() << 0
        << QString() << 1000 << u"売5:1,000"_s;
    QTest::newRow("second group only, auction") << QStringList{u"uri6=1000"_s} << 1 << QString()
        << 0 << u"売1:0、ｵｰｸ:0"_s << 1000 << u"売5:1,000"_s;
    QTest::newRow("nothing entered") << QStringList{} << 1 << none << 111 << old1 << 222 << old2;
    QTest::newRow("auction alone is no sale")
        << QStringList{u"uri5=5000"_s} << 1 << none << 111 << old1 << 222 << old2;
    QTest::newRow("rounds to nothing")
        << QStringList{u"uri1=0.4"_s} << 0 << none << 111 << old1 << 222 << old2;
    QTest::newRow("negative counts as entered")
        << QStringList{u"uri2=-500"_s} << 0 << QString() << -500 << QString() << 0 << QString();
    QTest::newRow("negative, auction")
        << QStringList{u"uri2=-500"_s} << 1 << QString() << -500 << u"売1:0、ｵｰｸ:0"_s << 0 << QString();
    QTest::newRow("rounds half up to even")
        << QStringList{u"uri1=1.5"_s} << 0 << QString() << 2 << u"売1:2"_s << 0 << QString();
    QTest::newRow("rounds half down to even")
        << QStringList{u"uri1=2.5"_s} << 0 << QString() << 2 << u"売1:2"_s << 0 << QString();
    QTest::newRow("comma stops the reading")
        << QStringList{u"uri1=1,500"_s} << 0 << QString() << 1 << u"売1:1"_s << 0 << QString();
    QTest::newRow("auction not counted")
        << QStringList{u"uri1=1000"_s, u"uri5=700"_s} << 0 << QString() << 1000 << u"売1:1,000"_s
        << 0 << QString();
    QTest::newRow("largest amount")
        << QStringList{u"uri1=2147483647"_s} << 0 << QString() << 2147483647
        << u"売1:2,147,483,647"_s << 0 << QString();
    QTest::newRow("smallest amount")
        << QStringList{u"uri1=-2147483648"_s} << 0 << QString() << int(-2147483648LL)
        << QString() << 0 << QString();
    QTest::newRow("full-width digits")
        << QStringList{u"uri1=１２００"_s} << 0 << QString() << 1200 << u"売1:1,200"_s << 0 << QString();
}

void TalliesTest::sales()
{
    QFETCH(QStringList, boxes);
    QFETCH(int, orc);
    QFETCH(QString, message);
    QFETCH(int, kei1);
    QFETCH(QString, line1);
    QFETCH(int, kei2);
    QFETCH(QString, line2);

    memory_fields w;
    mark_outputs(w);
    w.set_orc_check(orc);
    fill(w, boxes);
    tally_state s = earlier_state();
    QVERIFY(run_command(w, [&] { run_sales_tally(w, s); }));
    QCOMPARE(messages(w), message);
    QCOMPARE(s.uri_kei1, kei1);
    QCOMPARE(text(w, field::uri_goukei_txt), line1);
    QCOMPARE(s.uri_kei2, kei2);
    QCOMPARE(text(w, field::uri_goukei_txt2), line2);
    // Every amount is read and formatted, the auction's too, whatever the outcome.
    QCOMPARE(q(s.uri_fmt5), q(format_amount(s.uri_val5, money_pattern)));
    QCOMPARE(q(s.uri_fmt9), q(format_amount(s.uri_val9, money_pattern)));

    const tally_state once = s;
    run_sales_tally(w, s);
    QCOMPARE(s, once);
}

void TalliesTest::salesStopsPartWay()
{
    const QString overflow = u"実行時エラー '6':\n\nオーバーフローしました。"_s;
    struct {
        const char *name;
        QStringList boxes;
        int kei1, kei2;
        bool line1New;
    } cases[] = {
        // A box too large: the boxes before it are read, nothing after.
        {"box too large", {u"uri1=7"_s, u"uri3=2147483648"_s, u"uri6=5"_s}, 111, 222, false},
        {"first total", {u"uri1=2147483647"_s, u"uri2=1"_s}, 111, 222, false},
        {"first partial sum", {u"uri1=2147483647"_s, u"uri2=1"_s, u"uri3=-1"_s}, 111, 222, false},
        {"auction tips the first total", {u"uri1=2147483647"_s, u"uri5=1"_s}, 111, 222, false},
        {"second total", {u"uri1=9"_s, u"uri6=2147483647"_s, u"uri7=1"_s}, 9, 222, true},
    };
    for (const auto &c : cases) {
        memory_fields w;
        mark_outputs(w);
        fill(w, c.boxes);
        tally_state s = earlier_state();
        QVERIFY2(!run_command(w, [&] { run_sales_tally(w, s); }), c.name);
        QCOMPARE(messages(w), overflow);
        QCOMPARE(s.uri_kei1, c.kei1);
        QCOMPARE(s.uri_kei2, c.kei2);
        QCOMPARE(text(w, field::uri_goukei_txt) == u"old uri_goukei_txt"_s, !c.line1New);
        QCOMPARE(text(w, field::uri_goukei_txt2), u"old uri_goukei_txt2"_s);
        for (const QString &entry : c.boxes) // every typed text stays
            QCOMPARE(text(w, *field_by_name(entry.section(u'=', 0, 0).toStdString())),
                     entry.section(u'=', 1));
    }

    // Read part-way: uri1 and uri2 stored and formatted... no, formatted only once all five are read.
    memory_fields w;
    fill(w, {u"uri1=7"_s, u"uri2=8"_s, u"uri3=2147483648"_s});
    tally_state s;
    run_command(w, [&] { run_sales_tally(w, s); });
    QCOMPARE(s.uri_val1, 7);
    QCOMPARE(s.uri_val2, 8);
    QCOMPARE(s.uri_val3, 0);
    QCOMPARE(q(s.uri_fmt1), QString());

    // Too large in the second group: the first group is read and formatted.
    memory_fields w2;
    fill(w2, {u"uri1=7"_s, u"uri6=1"_s, u"uri7=-2147483649"_s});
    tally_state s2;
    run_command(w2, [&] { run_sales_tally(w2, s2); });
    QCOMPARE(q(s2.uri_fmt1), u"7"_s);
    QCOMPARE(s2.uri_val6, 1);
    QCOMPARE(q(s2.uri_fmt6), QString());
}

void TalliesTest::share_data()
{
    QTest::addColumn<QString>("nin");
    QTest::addColumn<int>("kei1");
    QTest::addColumn<int>("kei2");
    QTest::addColumn<QString>("shown");   // message box text, empty for none
    QTest::addColumn<int>("ninVal");      // nin_val afterwards (6 when left alone)
    QTest::addColumn<QString>("line");    // bun_txt afterwards
    QTest::addColumn<QString>("share");   // bunpai_copy afterwards

    const QString oldLine = u"old bun_txt"_s, oldShare = u"old bunpai_copy"_s;
    const QString empty = u"割り人数が入力されていません"_s;
    const QString tooFew = u"1人以下は実行できません"_s;
    const QString noTotal = u"｢決定2｣ボタンを押してから｢決定3｣ボタンを押して下さい"_s;
    const QString mismatch = u"実行時エラー '13':\n\n型が一致しません。"_s;
    const QString overflow = u"実行時エラー '6':\n\nオーバーフローしました。"_s;

    QTest::newRow("worked example") << u"3"_s << 1000000 << 234567 << QString() << 3
        << u"合計金額: [1,234,567]\u3000[3]人割り\u3000分配金額： [411,522]"_s << u"411522"_s;
    QTest::newRow("2.5 to even") << u"4"_s << 10 << 0 << QString() << 4
        << u"合計金額: [10]\u3000[4]人割り\u3000分配金額： [2]"_s << u"2"_s;
    QTest::newRow("3.5 to even") << u"4"_s << 14 << 0 << QString() << 4
        << u"合計金額: [14]\u3000[4]人割り\u3000分配金額： [4]"_s << u"4"_s;
    QTest::newRow("7 between 2") << u"2"_s << 7 << 0 << QString() << 2
        << u"合計金額: [7]\u3000[2]人割り\u3000分配金額： [4]"_s << u"4"_s;
    QTest::newRow("people rounded") << u"2.5"_s << 100 << 0 << QString() << 2
        << u"合計金額: [100]\u3000[2]人割り\u3000分配金額： [50]"_s << u"50"_s;
    QTest::newRow("just over one") << u"1.4"_s << 900 << 0 << QString() << 1
        << u"合計金額: [900]\u3000[1]人割り\u3000分配金額： [900]"_s << u"900"_s;
    QTest::newRow("negative total") << u"3"_s << -1000 << 0 << QString() << 3
        << u"合計金額: [-1,000]\u3000[3]人割り\u3000分配金額： [-333]"_s << u"-333"_s;
    QTest::newRow("grouped people") << u"1,000"_s << 2000000 << 0 << QString() << 1000
        << u"合計金額: [2,000,000]\u3000[1000]人割り\u3000分配金額： [2,000]"_s << u"2000"_s;
    QTest::newRow("largest total") << u"12"_s << 2147483647 << 0 << QString() << 12
        << u"合計金額: [2,147,483,647]\u3000[12]人割り\u3000分配金額： [178,956,971]"_s
        << u"178956971"_s;
    QTest::newRow("empty") << QString() << 100 << 0 << empty << 6 << oldLine << oldShare;
    QTest::newRow("empty before any sales") << QString() << 0 << 0 << empty << 6 << oldLine << oldShare;
    QTest::newRow("one") << u"1"_s << 100 << 0 << tooFew << 1 << oldLine << oldShare;
    QTest::newRow("zero") << u"0"_s << 100 << 0 << tooFew << 0 << oldLine << oldShare;
    QTest::newRow("negative") << u"-3"_s << 100 << 0 << tooFew << -3 << oldLine << oldShare;
    QTest::newRow("under one") << u"0.7"_s << 100 << 0 << tooFew << 1 << oldLine << oldShare;
    QTest::newRow("no sales total") << u"12"_s << 0 << 0 << noTotal << 12 << oldLine << oldShare;
    QTest::newRow("second total alone") << u"12"_s << 0 << 5000 << noTotal << 12 << oldLine << oldShare;
    QTest::newRow("letters") << u"abc"_s << 100 << 0 << mismatch << 6 << oldLine << oldShare;
    QTest::newRow("one blank") << u" "_s << 100 << 0 << mismatch << 6 << oldLine << oldShare;
    QTest::newRow("too many") << u"40000"_s << 100 << 0 << overflow << 6 << oldLine << oldShare;
    QTest::newRow("total too large") << u"3"_s << 2000000000 << 200000000 << overflow << 3
        << oldLine << oldShare;
}

void TalliesTest::share()
{
    QFETCH(QString, nin);
    QFETCH(int, kei1);
    QFETCH(int, kei2);
    QFETCH(QString, shown);
    QFETCH(int, ninVal);
    QFETCH(QString, line);
    QFETCH(QString, share);

    memory_fields w;
    mark_outputs(w);
    w.set_text(field::nin, u16(nin));
    tally_state s = earlier_state();
    s.uri_kei1 = kei1;
    s.uri_kei2 = kei2;
    const tally_state before = s;
    run_command(w, [&] { run_share_division(w, s); });
    QCOMPARE(messages(w), shown);
    QCOMPARE(int(s.nin_val), ninVal);
    QCOMPARE(text(w, field::bun_txt), line);
    QCOMPARE(text(w, field::bunpai_copy), share);
    QCOMPARE(text(w, field::nin), nin);
    if (!shown.isEmpty()) { // a refusal touches nothing but nin_val
        tally_state expected = before;
        expected.nin_val = s.nin_val;
        QCOMPARE(s, expected);
    }
}

void TalliesTest::commandRunnerReportsAndGoesOn()
{
    memory_fields w;
    fill(w, {u"uri1=2147483648"_s});
    tally_state s;
    QVERIFY(!run_command(w, [&] { run_sales_tally(w, s); }));
    QCOMPARE(w.messages.size(), std::size_t(1));
    // The model is still usable: mend the box and the same command completes.
    w.set_text(field::uri1, u"2147483647");
    QVERIFY(run_command(w, [&] { run_sales_tally(w, s); }));
    QCOMPARE(w.messages.size(), std::size_t(1));
    QCOMPARE(text(w, field::uri_goukei_txt), u"売1:2,147,483,647、ｵｰｸ:0"_s);
}

void TalliesTest::pressEveryBinding()
{
    for (const binding_row &b : main_bindings()) {
        memory_fields w;
        tally_state s;
        settled(w, s);
        w.set_text(b.box, u"edited " + w.text(b.box)); // a copy takes the box as the user left it
        w.set_text(field::nin, u"4");                  // and 決定3 the count as it stands now
        recording_front_end platform;
        QVERIFY2(press(b, {w, s, platform}), b.control);
        QVERIFY2(w.messages.empty(), b.control);

        QStringList asked;
        QString box = text(w, b.box);
        switch (b.does) {
        case command::copy:
            asked << u"clipboard:"_s + box;
            QCOMPARE(q(s.copy_buf), box);
            QVERIFY(box.startsWith(u"edited "_s));
            break;
        case command::end_program: asked << u"end"_s; break;
        case command::show_usage: asked << u"usage"_s; break;
        case command::clear_all: QCOMPARE(w.focus_requests, std::vector<field>{field::syu1}); break;
        case command::leftover_tally: QCOMPARE(box, u"赤羽毛:12、青羽毛:0、呪印:0、金腕輪:0"_s); break;
        case command::sales_tally: QCOMPARE(box, u"売1:1,500"_s); break;
        case command::share_division: QCOMPARE(text(w, field::bunpai_copy), u"400"_s); break;
        }
        QCOMPARE(platform.asked, asked);
    }
}

void TalliesTest::pressReportsErrors_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("refuses");
    QTest::addColumn<QString>("shown");

    const QString overflow = u"実行時エラー '6':\n\nオーバーフローしました。"_s;
    const QString refused = u"実行時エラー '521':\n\nクリップボードを開けません。"_s;
    QTest::newRow("決定1 overflows") << u"nokori_btn"_s << QStringList{u"syu2=2147483648"_s} << false << overflow;
    QTest::newRow("決定2 overflows") << u"uri_kei_btn"_s << QStringList{u"uri3=2147483648"_s} << false << overflow;
    QTest::newRow("決定3 cannot read nin") << u"bun_btn"_s << QStringList{u"nin=abc"_s} << false
                                            << u"実行時エラー '13':\n\n型が一致しません。"_s;
    QTest::newRow("clipboard refuses") << u"copy5"_s << QStringList{} << true << refused;
    QTest::newRow("validation is no error") << u"bun_btn"_s << QStringList{u"nin=1"_s} << false
                                            << u"1人以下は実行できません"_s;
}

void TalliesTest::pressReportsErrors()
{
    QFETCH(QString, control);
    QFETCH(QStringList, boxes);
    QFETCH(bool, refuses);
    QFETCH(QString, shown);

    memory_fields w;
    tally_state s;
    settled(w, s);
    fill(w, boxes);
    recording_front_end platform;
    platform.clipboard_refuses = refuses;
    const binding_row *b = binding_of(control.toStdString());
    QVERIFY(b);
    const bool error = shown.startsWith(u"実行時エラー"_s);
    QCOMPARE(press(*b, {w, s, platform}), !error);
    QCOMPARE(messages(w), shown);
    QVERIFY(!platform.asked.contains(u"end"_s)); // the program goes on

    // A refusal that a browser reports only later reads the same.
    w.messages.clear();
    report_refused_copy(w);
    QCOMPARE(messages(w), u"実行時エラー '521':\n\nクリップボードを開けません。"_s);
}

void TalliesTest::timer1MovesTheFocusOnce()
{
    memory_fields w;
    fire_timer1(w);
    QCOMPARE(w.focus_requests, std::vector<field>{field::syu1});
    QVERIFY(w.messages.empty());
    QCOMPARE(timer1_interval_ms, 200);
}

void TalliesTest::clearAllKeepsTotals()
{
    memory_fields w;
    w.set_orc_check(orc_unchecked);
    fill(w, {u"uri1=1000"_s, u"uri6=500"_s, u"syu1=3"_s, u"card8=1"_s, u"nin=3"_s});
    tally_state s;
    run_sales_tally(w, s);
    run_share_division(w, s);
    const tally_state before = s;

    run_clear_all(w);
    for (field f : all_fields) {
        if (index_of(f) <= index_of(field::card8))
            QCOMPARE(text(w, f), QString());
    }
    QCOMPARE(text(w, field::card_txt), u"（カード欄）"_s);
    QCOMPARE(text(w, field::nin), QString());
    QCOMPARE(text(w, field::nokori_txt), q(start_text(field::nokori_txt)));
    QCOMPARE(text(w, field::bun_txt), q(start_text(field::bun_txt)));
    QCOMPARE(text(w, field::bunpai_copy), u"500"_s);
    QCOMPARE(w.orc_check(), orc_unchecked);
    QCOMPARE(w.focus_requests, std::vector<field>{field::syu1});
    QCOMPARE(s, before);

    // A new people count divides the totals of the sales tally before the clearing.
    w.set_text(field::nin, u"5");
    run_share_division(w, s);
    QCOMPARE(text(w, field::bunpai_copy), u"300"_s);
}

void TalliesTest::settlementRoad()
{
    memory_fields w;
    tally_state s;
    fill(w, {u"syu1=12"_s, u"syu2=1500"_s, u"card1=1"_s, u"card7=2"_s, u"card8=1"_s,
             u"uri1=1500000"_s, u"uri2=820000"_s, u"uri6=99000"_s, u"uri5=300000"_s});
    auto press = [&](void (*tally)(window_fields &, tally_state &)) {
        QVERIFY(run_command(w, [&] { tally(w, s); }));
    };
    press(run_leftover_tally);
    press(run_sales_tally);
    press(run_share_division);
    QCOMPARE(text(w, field::nokori_txt), u"赤羽毛:12、青羽毛:1,500、呪印:0、金腕輪:0"_s);
    QCOMPARE(text(w, field::card_txt), u"慰c1 ﾌﾟﾗｽﾞﾏc2 帖1"_s);
    QCOMPARE(text(w, field::uri_goukei_txt), u"売1:1,500,000、売2:820,000、ｵｰｸ:300,000"_s);
    QCOMPARE(text(w, field::uri_goukei_txt2), u"売5:99,000"_s);
    QCOMPARE(text(w, field::bun_txt),
             u"合計金額: [2,719,000]\u3000[12]人割り\u3000分配金額： [226,583]"_s);
    QCOMPARE(text(w, field::bunpai_copy), u"226583"_s);
    QVERIFY(w.messages.empty());
    QCOMPARE(q(take_copy(w, s, field::bunpai_copy)), u"226583"_s);
    QCOMPARE(q(s.copy_buf), u"226583"_s);
}

QTEST_APPLESS_MAIN(TalliesTest)
#include "tallies_test.moc"
