// Numbers in the trace: money, plain numbers and padded integers.
#include "conversion/TraceFormat.h"

#include "support/ConversionTestHost.h"

#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

class TraceFormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void polishWhenTheEnvironmentNamesNoLocale()
    {
        // The tests run under LC_ALL=C.UTF-8; Windows always has regional settings.
        if (QLocale::system().language() != QLocale::C)
            QSKIP("the environment names a locale");
        QCOMPARE(traceLocale().language(), QLocale::Polish);
        QCOMPARE(formatMoney(12345.67), zl("12 345,67"));
    }

    // The digits are rounded as Qt rounds them, exact halves upwards too.
    void digitsRoundAsQtRoundsThem()
    {
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QList<double> values;
        for (int k = 0; k < 20000; ++k) {
            values << k / 8.0 << k / 1000.0 << k * 1.005 << k * 12345.678901;
        }
        values << 1e12 - 0.005 << 999999999999.995 << 0.005 << 2.675 << 1.0e-300;
        for (const double value : std::as_const(values))
            QCOMPARE(formatNumber(value, us), us.toString(value, 'f', 2));
    }

    void money_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("expected");
        const QLocale pl(QLocale::Polish, QLocale::Poland);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("pl") << pl << 12345.67 << zl("12 345,67");
        QTest::newRow("pl negative") << pl << -12345.67 << "-" + zl("12 345,67");
        QTest::newRow("pl zero") << pl << 0.0 << zl("0,00");
        QTest::newRow("pl negative zero") << pl << -0.0 << zl("0,00");
        QTest::newRow("pl rounds to zero") << pl << -0.001 << zl("0,00");
        QTest::newRow("pl small negative") << pl << -0.01 << "-" + zl("0,01");
        QTest::newRow("pl rounding") << pl << 0.125 << zl("0,13");
        QTest::newRow("pl four digits") << pl << 1250.0 << zl("1 250,00");
        QTest::newRow("pl millions") << pl << 1234567.89 << zl("1 234 567,89");
        QTest::newRow("pl hundreds") << pl << 999.99 << zl("999,99");
        QTest::newRow("us") << us << 1234.5 << "$1,234.50";
        QTest::newRow("us millions") << us << 1234567.0 << "$1,234,567.00";
        QTest::newRow("us negative") << us << -1234.5 << "-$1,234.50";
    }
    void money()
    {
        QFETCH(QLocale, locale);
        QFETCH(double, amount);
        QFETCH(QString, expected);
        const QString text = formatMoney(amount, locale);
        QCOMPARE(text, expected);
        QVERIFY(!text.contains(QLatin1Char('(')));
        QVERIFY(!text.contains(QChar(0x00a0)));
    }

    void numbers_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        const QLocale pl(QLocale::Polish, QLocale::Poland);
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("rate") << pl << 6.0 << "6,00";
        QTest::newRow("fraction") << pl << 2.5 << "2,50";
        QTest::newRow("negative") << pl << -2.0 << "-2,00";
        QTest::newRow("thousands") << pl << 12345.0 << "12 345,00";
        QTest::newRow("four digits grouped") << pl << 1234.5 << "1 234,50";
        QTest::newRow("millions") << pl << -1234567.891 << "-1 234 567,89";
        QTest::newRow("negative zero") << pl << -0.001 << "0,00";
        QTest::newRow("de") << de << 12345.678 << "12.345,68";
    }
    void numbers()
    {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formatNumber(value, locale), expected);
    }

    void padded_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("day 5") << 5 << 2 << " 5";
        QTest::newRow("day 12") << 12 << 2 << "12";
        QTest::newRow("zero") << 0 << 2 << " 0";
        QTest::newRow("wider than the field") << 255 << 2 << "255";
        QTest::newRow("year") << 2014 << 4 << "2014";
        QTest::newRow("short year") << 14 << 4 << "  14";
        QTest::newRow("long year") << 65535 << 4 << "65535";
    }
    void padded()
    {
        QFETCH(int, value);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QString text;
        appendPadded(text, value, width);
        QCOMPARE(text, expected);
    }
};

QTEST_GUILESS_MAIN(TraceFormatTest)
#include "test_trace_format.moc"
