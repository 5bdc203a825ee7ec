#include "numbers.hpp"
#include "test_support.hpp"

#include <QObject>
#include <QTest>

#include <cmath>
#include <limits>

using namespace pelmora;
using namespace Qt::StringLiterals;

class NumbersTest : public QObject {
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void readNumberLongInput();
    void rounding_data();
    void rounding();
    void strictReading_data();
    void strictReading();
    void formatting_data();
    void formatting();
    void checkedAddition();
    void errorReport();
};

void NumbersTest::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("empty") << u""_s << 0.0;
    QTest::newRow("letters") << u"abc"_s << 0.0;
    QTest::newRow("sign alone") << u"-"_s << 0.0;
    QTest::newRow("comma alone") << u","_s << 0.0;
    QTest::newRow("point alone") << u"."_s << 0.0;
    QTest::newRow("blanks inside") << u" 12 3 "_s << 123.0;
    QTest::newRow("tab and line feed") << u"1\t2\n3"_s << 123.0;
    QTest::newRow("trailing letters") << u"12abc"_s << 12.0;
    QTest::newRow("comma ends the number") << u"1,500"_s << 1.0;
    QTest::newRow("decimal point") << u"1.5"_s << 1.5;
    QTest::newRow("second point ends") << u"1.5.3"_s << 1.5;
    QTest::newRow("leading point") << u".5"_s << 0.5;
    QTest::newRow("exponent") << u"1e3"_s << 1000.0;
    QTest::newRow("D exponent") << u"25D-1"_s << 2.5;
    QTest::newRow("exponent without digits") << u"7e"_s << 7.0;
    QTest::newRow("exponent sign without digits") << u"7e+"_s << 7.0;
    QTest::newRow("exponent without mantissa") << u"e5"_s << 0.0;
    QTest::newRow("negative") << u"-2.5"_s << -2.5;
    QTest::newRow("plus") << u"+40"_s << 40.0;
    QTest::newRow("blank after sign") << u"- 5"_s << -5.0;
    QTest::newRow("hex prefix is no number") << u"&H10"_s << 0.0;
    QTest::newRow("full-width digits") << u"１２３"_s << 123.0;
    QTest::newRow("full-width minus and point") << u"－１．５"_s << -1.5;
    QTest::newRow("full-width comma ends") << u"１，５００"_s << 1.0;
    QTest::newRow("ideographic space") << u"1\u30000"_s << 10.0;
    QTest::newRow("unpaired surrogate ends") << QString(QChar(0xD800)).prepend(u"9"_s) << 9.0;
    QTest::newRow("huge exponent") << u"1e999"_s << std::numeric_limits<double>::infinity();
    QTest::newRow("tiny exponent") << u"1e-999"_s << 0.0;
    QTest::newRow("max long") << u"2147483647"_s << 2147483647.0;
    QTest::newRow("many zeros then digit") << u"0000000000000000000000000000000000000042"_s << 42.0;
}

void NumbersTest::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(read_number(u16(text)), value);
}

void NumbersTest::readNumberLongInput()
{
    // A megabyte of digits pasted into a box: the nearest double, or infinity, never a hang.
    const std::u16string digits(1 << 20, u'9');
    QVERIFY(std::isinf(read_number(digits)));
    std::u16string fraction = u"0." + std::u16string(1 << 20, u'0') + u"5";
    QCOMPARE(read_number(fraction), 0.0);
    std::u16string third = u"0." + std::u16string(1 << 20, u'3');
    QCOMPARE(read_number(third), 1.0 / 3.0);
    // 2^53 + 1 lies halfway between two doubles: a non-zero digit thousands of places later
    // still tips it up, and trailing zeros leave it to the even neighbour.
    QCOMPARE(read_number(u"9007199254740993." + std::u16string(5000, u'0') + u"1"),
             9007199254740994.0);
    QCOMPARE(read_number(u"9007199254740993" + std::u16string(5000, u'0') + u"e-5000"),
             9007199254740992.0);
}

void NumbersTest::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("asLong");  // 0 in "longError" means no error
    QTest::addColumn<int>("longError");
    QTest::addColumn<int>("asShort");
    QTest::addColumn<int>("shortError");

    QTest::newRow("half to even 0.5") << 0.5 << 0 << 0 << 0 << 0;
    QTest::newRow("half to even 1.5") << 1.5 << 2 << 0 << 2 << 0;
    QTest::newRow("half to even 2.5") << 2.5 << 2 << 0 << 2 << 0;
    QTest::newRow("half to even 3.5") << 3.5 << 4 << 0 << 4 << 0;
    QTest::newRow("half to even -0.5") << -0.5 << 0 << 0 << 0 << 0;
    QTest::newRow("half to even -2.5") << -2.5 << -2 << 0 << -2 << 0;
    QTest::newRow("below half") << 2.4999 << 2 << 0 << 2 << 0;
    QTest::newRow("above half") << -2.5001 << -3 << 0 << -3 << 0;
    QTest::newRow("long max") << 2147483647.4 << 2147483647 << 0 << 0 << 6;
    QTest::newRow("long max half") << 2147483647.5 << 0 << 6 << 0 << 6;
    QTest::newRow("long min") << -2147483648.0 << int(-2147483648LL) << 0 << 0 << 6;
    QTest::newRow("long min half") << -2147483648.5 << int(-2147483648LL) << 0 << 0 << 6;
    QTest::newRow("below long min") << -2147483649.0 << 0 << 6 << 0 << 6;
    QTest::newRow("short max half") << 32767.5 << 32768 << 0 << 0 << 6;
    QTest::newRow("short max") << 32767.4 << 32767 << 0 << 32767 << 0;
    QTest::newRow("short min") << -32768.0 << -32768 << 0 << -32768 << 0;
    QTest::newRow("below short min") << -32769.0 << -32769 << 0 << 0 << 6;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0 << 6 << 0 << 6;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0 << 6 << 0 << 6;
}

void NumbersTest::rounding()
{
    QFETCH(double, value);
    QFETCH(int, asLong);
    QFETCH(int, longError);
    QFETCH(int, asShort);
    QFETCH(int, shortError);

    std::int32_t l = 0;
    QCOMPARE(error_of([&] { l = to_long(value); }), longError);
    if (longError == 0)
        QCOMPARE(l, asLong);
    std::int16_t s = 0;
    QCOMPARE(error_of([&] { s = to_short(value); }), shortError);
    if (shortError == 0)
        QCOMPARE(int(s), asShort);
}

void NumbersTest::strictReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("asDouble"); // when doubleError is 0
    QTest::addColumn<int>("doubleError");
    QTest::addColumn<int>("asShort");     // when shortError is 0
    QTest::addColumn<int>("shortError");

    QTest::newRow("empty") << u""_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("letters") << u"abc"_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("one blank") << u" "_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("ideographic blank") << u"\u3000"_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("sign alone") << u"-"_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("point alone") << u"."_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("blanks around") << u" 3 "_s << 3.0 << 0 << 3 << 0;
    QTest::newRow("half to even") << u"2.5"_s << 2.5 << 0 << 2 << 0;
    QTest::newRow("just above one") << u"1.4"_s << 1.4 << 0 << 1 << 0;
    QTest::newRow("negative") << u"-3"_s << -3.0 << 0 << -3 << 0;
    QTest::newRow("grouped") << u"1,234,567"_s << 1234567.0 << 0 << 0 << 6;
    QTest::newRow("grouped negative") << u"-2,147,483,648"_s << -2147483648.0 << 0 << 0 << 6;
    QTest::newRow("grouped small") << u"1,500"_s << 1500.0 << 0 << 1500 << 0;
    QTest::newRow("short overflow") << u"40000"_s << 40000.0 << 0 << 0 << 6;
    QTest::newRow("short min") << u"-32768"_s << -32768.0 << 0 << -32768 << 0;
    QTest::newRow("leading comma") << u",5"_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("trailing letters") << u"12abc"_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("blank inside") << u"1 2"_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("exponent not taken") << u"1e3"_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("two points") << u"1.2.3"_s << 0.0 << 13 << 0 << 13;
    QTest::newRow("leading point") << u".5"_s << 0.5 << 0 << 0 << 0;
    QTest::newRow("trailing point") << u"7."_s << 7.0 << 0 << 7 << 0;
    QTest::newRow("full-width") << u"１２"_s << 12.0 << 0 << 12 << 0;
    QTest::newRow("line feed after") << u"5\n"_s << 5.0 << 0 << 5 << 0;
    QTest::newRow("too large for a double")
        << QString(400, u'9') << 0.0 << 6 << 0 << 6;
}

void NumbersTest::strictReading()
{
    QFETCH(QString, text);
    QFETCH(double, asDouble);
    QFETCH(int, doubleError);
    QFETCH(int, asShort);
    QFETCH(int, shortError);

    double d = 0;
    QCOMPARE(error_of([&] { d = parse_double(u16(text)); }), doubleError);
    if (doubleError == 0)
        QCOMPARE(d, asDouble);
    std::int16_t s = 0;
    QCOMPARE(error_of([&] { s = parse_short(u16(text)); }), shortError);
    if (shortError == 0)
        QCOMPARE(int(s), asShort);
}

void NumbersTest::formatting_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("grouped");
    QTest::addColumn<QString>("plain");

    QTest::newRow("zero") << 0 << u"0"_s << u"0"_s;
    QTest::newRow("minus one") << -1 << u"-1"_s << u"-1"_s;
    QTest::newRow("three digits") << 999 << u"999"_s << u"999"_s;
    QTest::newRow("four digits") << 1000 << u"1,000"_s << u"1000"_s;
    QTest::newRow("six digits") << 100000 << u"100,000"_s << u"100000"_s;
    QTest::newRow("seven digits") << 1234567 << u"1,234,567"_s << u"1234567"_s;
    QTest::newRow("negative grouped") << -1500 << u"-1,500"_s << u"-1500"_s;
    QTest::newRow("long max") << 2147483647 << u"2,147,483,647"_s << u"2147483647"_s;
    QTest::newRow("long min") << int(-2147483648LL) << u"-2,147,483,648"_s << u"-2147483648"_s;
    QTest::newRow("short min") << -32768 << u"-32,768"_s << u"-32768"_s;
}

void NumbersTest::formatting()
{
    QFETCH(int, value);
    QFETCH(QString, grouped);
    QFETCH(QString, plain);

    QCOMPARE(q(format_amount(value, money_pattern)), grouped);
    QCOMPARE(q(format_amount(value, count_pattern)), grouped);
    QCOMPARE(q(int_to_text(value)), plain);
    // What is formatted reads back to the same number; the positive-sale test relies on it.
    QCOMPARE(parse_double(format_amount(value, money_pattern)), double(value));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, format_amount(value, u"#,##0.00"));
}

void NumbersTest::checkedAddition()
{
    QCOMPARE(checked_add(std::int32_t(2147483646), std::int32_t(1)), 2147483647);
    QCOMPARE(error_of([] { checked_add(std::int32_t(2147483647), std::int32_t(1)); }), 6);
    QCOMPARE(error_of([] { checked_add(std::int32_t(-2147483647 - 1), std::int32_t(-1)); }), 6);
    QCOMPARE(int(checked_add(std::int16_t(32766), std::int16_t(1))), 32767);
    QCOMPARE(error_of([] { checked_add(std::int16_t(32767), std::int16_t(1)); }), 6);
    QCOMPARE(error_of([] { checked_add(std::int16_t(-32768), std::int16_t(-1)); }), 6);
}

void NumbersTest::errorReport()
{
    QCOMPARE(q(error_report(tally_error(error_kind::overflow))),
             u"実行時エラー '6':\n\nオーバーフローしました。"_s);
    QCOMPARE(q(error_report(tally_error(error_kind::type_mismatch))),
             u"実行時エラー '13':\n\n型が一致しません。"_s);
}

QTEST_APPLESS_MAIN(NumbersTest)
#include "numbers_test.moc"
