// The Windows-1250 codec: characters of the upper half, the five undefined
// bytes, narrowing of what the code page cannot hold.
#include "encoding/Windows1250.h"

#include "support/TestSupport.h"

#include <QSet>
#include <QTest>

using namespace przenosnik;

class Windows1250Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyByteSurvivesRoundTrip()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        const QString text = decodeWindows1250(all);
        QCOMPARE(text.size(), 256);
        // No two bytes may share a character, or the way back would lose one.
        QSet<char16_t> seen;
        for (const QChar c : text)
            seen.insert(c.unicode());
        QCOMPARE(seen.size(), 256);
        QVERIFY(fitsWindows1250(text));
        PRZ_COMPARE_BYTES(encodeWindows1250(text), all);
    }

    void decodesByte_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("character");
        QTest::newRow("nul") << 0x00 << QString(QChar(0));
        QTest::newRow("ascii A") << 0x41 << QStringLiteral("A");
        QTest::newRow("del") << 0x7F << QString(QChar(0x7F));
        QTest::newRow("euro") << 0x80 << QStringLiteral("€");
        QTest::newRow("undefined 81") << 0x81 << QString(QChar(0x81));
        QTest::newRow("undefined 83") << 0x83 << QString(QChar(0x83));
        QTest::newRow("undefined 88") << 0x88 << QString(QChar(0x88));
        QTest::newRow("undefined 90") << 0x90 << QString(QChar(0x90));
        QTest::newRow("undefined 98") << 0x98 << QString(QChar(0x98));
        QTest::newRow("low quote") << 0x84 << QStringLiteral("„");
        QTest::newRow("right quote") << 0x94 << QStringLiteral("”");
        QTest::newRow("nbsp") << 0xA0 << QString(QChar(0xA0));
        QTest::newRow("dot above") << 0xFF << QStringLiteral("˙");
        // The Polish letters, as the export files carry them.
        const char16_t* polish = u"ąćęłńóśżźĄĆĘŁŃÓŚŻŹ";
        const int bytes[] = {0xB9, 0xE6, 0xEA, 0xB3, 0xF1, 0xF3, 0x9C, 0xBF, 0x9F,
                             0xA5, 0xC6, 0xCA, 0xA3, 0xD1, 0xD3, 0x8C, 0xAF, 0x8F};
        for (int i = 0; i < 18; ++i) {
            QTest::addRow("polish %02x", bytes[i]) << bytes[i] << QString(QChar(polish[i]));
        }
        QTest::newRow("e acute") << 0xE9 << QStringLiteral("é");
        QTest::newRow("o double acute") << 0xF5 << QStringLiteral("ő");
        QTest::newRow("U umlaut") << 0xDC << QStringLiteral("Ü");
    }

    void decodesByte()
    {
        QFETCH(int, byte);
        QFETCH(QString, character);
        const QByteArray one(1, static_cast<char>(byte));
        QCOMPARE(decodeWindows1250(one), character);
        PRZ_COMPARE_BYTES(encodeWindows1250(character), one);
    }

    void narrowsWhatItCannotHold_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("fits");
        QTest::newRow("empty") << QString() << QByteArray() << true;
        QTest::newRow("polish word") << QStringLiteral("Żółć") << QByteArray("\xAF\xF3\xB3\xE6") << true;
        QTest::newRow("cjk") << QStringLiteral("a漢b") << QByteArray("a?b") << false;
        QTest::newRow("cyrillic") << QStringLiteral("Жx") << QByteArray("?x") << false;
        // U+0080 is a C1 control, not the euro sign that byte 80 stands for.
        QTest::newRow("c1 control 80") << QString(QChar(0x80)) << QByteArray("?") << false;
        QTest::newRow("non-character") << QString(QChar(0xFFFF)) << QByteArray("?") << false;
        QTest::newRow("pair is one character") << QStringLiteral("x😀y") << QByteArray("x?y") << false;
        QTest::newRow("two pairs") << QStringLiteral("😀😀") << QByteArray("??") << false;
        QTest::newRow("lone high surrogate")
            << QString(QChar(0xD83D)) + QStringLiteral("z") << QByteArray("?z") << false;
        QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) << QByteArray("?") << false;
        QTest::newRow("question mark itself") << QStringLiteral("?") << QByteArray("?") << true;
    }

    void narrowsWhatItCannotHold()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, fits);
        PRZ_COMPARE_BYTES(encodeWindows1250(text), bytes);
        QCOMPARE(fitsWindows1250(text), fits);
    }
};

QTEST_GUILESS_MAIN(Windows1250Test)
#include "test_windows1250.moc"
