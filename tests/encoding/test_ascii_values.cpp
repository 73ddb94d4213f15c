// The value forms of the export: trimming, integers, amounts, date digits.
#include "encoding/AsciiValues.h"

#include <QTest>

#include <cmath>

using namespace przenosnik;

class AsciiValuesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trimsControlCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks") << "  abc  "
                                << "abc";
        QTest::newRow("tabs and control characters") << "\t\x01 a b\x1f\r"
                                                     << "a b";
        QTest::newRow("inner blanks stay") << "a  \t b"
                                           << "a  \t b";
        QTest::newRow("only blanks") << " \t "
                                     << "";
        QTest::newRow("empty") << ""
                               << "";
        // A no-break space is above U+0020 and is kept.
        QTest::newRow("no-break space kept") << "\u00a0x\u00a0"
                                             << "\u00a0x\u00a0";
    }
    void trimsControlCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(trimControl(text), expected);
    }

    void parsesIntegers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("digits") << "1234" << true << 1234;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("minus") << "-15" << true << -15;
        QTest::newRow("plus") << "+15" << true << 15;
        QTest::newRow("highest") << "2147483647" << true << 2147483647;
        QTest::newRow("lowest") << "-2147483648" << true << int(-2147483647 - 1);
        QTest::newRow("one above highest") << "2147483648" << false << 0;
        QTest::newRow("one below lowest") << "-2147483649" << false << 0;
        QTest::newRow("far too long") << "99999999999999999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign alone") << "-" << false << 0;
        QTest::newRow("two signs") << "+-1" << false << 0;
        QTest::newRow("leading blank") << " 1" << false << 0;
        QTest::newRow("trailing blank") << "1 " << false << 0;
        QTest::newRow("inner blank") << "1 000" << false << 0;
        QTest::newRow("decimal point") << "1.0" << false << 0;
        QTest::newRow("letter") << "12a" << false << 0;
        QTest::newRow("hex prefix") << "0x10" << false << 0;
        QTest::newRow("dollar hex") << "$10" << false << 0;
        QTest::newRow("arabic-indic digit") << "\u0661" << false << 0;
        QTest::newRow("full-width digit") << "\uff11" << false << 0;
    }
    void parsesIntegers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto parsed = parseInteger(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, value);
    }

    void parsesAmounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "100" << true << 100.0;
        QTest::newRow("fraction") << "239.02" << true << 239.02;
        QTest::newRow("negative") << "-12345.67" << true << -12345.67;
        QTest::newRow("plus") << "+0.5" << true << 0.5;
        QTest::newRow("exponent") << "1.5E3" << true << 1500.0;
        QTest::newRow("small exponent") << "25e-1" << true << 2.5;
        QTest::newRow("exponent with plus") << "2e+2" << true << 200.0;
        QTest::newRow("zero") << "0.00" << true << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("comma") << "12,50" << false << 0.0;
        QTest::newRow("thousands separator") << "1,234.50" << false << 0.0;
        QTest::newRow("blank inside") << "1 234.50" << false << 0.0;
        QTest::newRow("point without fraction") << "12." << false << 0.0;
        QTest::newRow("point without digits before") << ".5" << false << 0.0;
        QTest::newRow("exponent without digits") << "1e" << false << 0.0;
        QTest::newRow("exponent sign only") << "1e-" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("infinity") << "inf" << false << 0.0;
        QTest::newRow("not a number") << "nan" << false << 0.0;
        QTest::newRow("hex float") << "0x1p3" << false << 0.0;
        QTest::newRow("currency") << "10.00 zł" << false << 0.0;
        QTest::newRow("too large") << "1e400" << false << 0.0;
        QTest::newRow("too large, negative") << "-1e400" << false << 0.0;
        QTest::newRow("largest double") << "1.7976931348623157e308" << false << 0.0;
        QTest::newRow("1e308") << "1e308" << false << 0.0;
        QTest::newRow("a trillion") << "1000000000000" << false << 0.0;
        QTest::newRow("a trillion, negative") << "-1e12" << false << 0.0;
        QTest::newRow("a trillion in small units") << "0.000001e18" << false << 0.0;
        QTest::newRow("just below a trillion") << "999999999999.99" << true << 999999999999.99;
        QTest::newRow("just below, negative") << "-999999999999.99" << true << -999999999999.99;
        // Too small for a double: the nearest double is zero, a valid amount.
        QTest::newRow("too small") << "1e-400" << true << 0.0;
        QTest::newRow("too small, many digits") << "0.000001e-330" << true << 0.0;
        QTest::newRow("subnormal") << "1e-310" << true << 1e-310;
    }
    void parsesAmounts()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        const auto parsed = parseAmount(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, value);
    }

    void parseAmountIsExact()
    {
        // Read as the nearest double, exactly as a C reader would.
        QCOMPARE(*parseAmount(u"0.1"), 0.1);
        QCOMPARE(*parseAmount(u"239.02") - *parseAmount(u"239.00"), 239.02 - 239.00);
    }

    void parseAmountTooSmallKeepsItsSign()
    {
        const auto parsed = parseAmount(u"-1e-400");
        QVERIFY(parsed.has_value());
        QCOMPARE(*parsed, 0.0);
        QVERIFY(std::signbit(*parsed));
    }

    void leadingDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("all digits") << "2014" << 2014;
        QTest::newRow("digit then hyphen") << "3-" << 3;
        QTest::newRow("no digits") << "x5" << 0;
        QTest::newRow("sign first") << "-3" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void leadingDigits()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(leadingDigitsValue(text), value);
    }
};

QTEST_GUILESS_MAIN(AsciiValuesTest)
#include "test_ascii_values.moc"
