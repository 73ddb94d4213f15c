// Conversions between the six Polish letter encodings.
#include "encoding/PolishEncoding.h"
#include "encoding/PolishLetterTable.h"
#include "encoding/Windows1250.h"

#include "support/TestSupport.h"

#include <QTest>

#include <initializer_list>

using namespace przenosnik;

Q_DECLARE_METATYPE(przenosnik::PolishEncoding)

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int v : values)
        result.append(static_cast<char>(v));
    return result;
}

constexpr PolishEncoding AllEncodings[] = {PolishEncoding::Plain,     PolishEncoding::Mazovia,
                                           PolishEncoding::Cp852,     PolishEncoding::Marks,
                                           PolishEncoding::Iso8859_2, PolishEncoding::Windows1250};

const QByteArray Lodz = bytes({163, 243, 100, 159}); // Łódź in Windows-1250
const QByteArray Zolc = bytes({175, 243, 179, 230}); // Żółć in Windows-1250

} // namespace

class PolishEncodingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableRowsAreWhatTheLedgerExpects()
    {
        for (const PolishLetterRow& row : PolishLetterTable)
            QCOMPARE(int(row[0]), PolishLetterCount);
        const auto rowText = [](PolishEncoding e) {
            const PolishLetterRow& row = PolishLetterTable[static_cast<std::size_t>(e)];
            return QByteArray(reinterpret_cast<const char*>(row.data() + 1), PolishLetterCount);
        };
        QCOMPARE(rowText(PolishEncoding::Plain), QByteArray("acelnoszzueaooACELNOSZZUEAOO"));
        QCOMPARE(rowText(PolishEncoding::Marks), QByteArray(",',/''''`     ,',/'''-'     "));
        // The Windows-1250 row must agree with the codec letter for letter.
        QCOMPARE(decodeWindows1250(rowText(PolishEncoding::Windows1250)),
                 QStringLiteral("ąćęłńóśżźüëäöőĄĆĘŁŃÓŚŻŹÜËÄÖŐ"));
        for (const PolishEncoding e : {PolishEncoding::Mazovia, PolishEncoding::Cp852,
                                       PolishEncoding::Iso8859_2, PolishEncoding::Windows1250}) {
            const QByteArray row = rowText(e);
            for (int i = 0; i < row.size(); ++i)
                QVERIFY2(row.indexOf(row[i]) == i,
                         qPrintable(QStringLiteral("row %1 repeats column %2").arg(int(e)).arg(i + 1)));
        }
    }

    void lookupFindsFirstOccurrence_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<PolishEncoding>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("plain a") << int('a') << PolishEncoding::Plain << 1;
        QTest::newRow("plain e") << int('e') << PolishEncoding::Plain << 3;
        QTest::newRow("plain o") << int('o') << PolishEncoding::Plain << 6;
        QTest::newRow("plain z") << int('z') << PolishEncoding::Plain << 8;
        QTest::newRow("plain A") << int('A') << PolishEncoding::Plain << 15;
        QTest::newRow("plain O") << int('O') << PolishEncoding::Plain << 20;
        QTest::newRow("plain Z") << int('Z') << PolishEncoding::Plain << 22;
        QTest::newRow("plain b absent") << int('b') << PolishEncoding::Plain << 0;
        QTest::newRow("marks comma") << int(',') << PolishEncoding::Marks << 1;
        QTest::newRow("marks apostrophe") << int('\'') << PolishEncoding::Marks << 2;
        QTest::newRow("marks slash") << int('/') << PolishEncoding::Marks << 4;
        QTest::newRow("marks grave") << int('`') << PolishEncoding::Marks << 9;
        QTest::newRow("marks space") << int(' ') << PolishEncoding::Marks << 10;
        QTest::newRow("marks hyphen") << int('-') << PolishEncoding::Marks << 22;
        QTest::newRow("last column") << 213 << PolishEncoding::Windows1250 << 28;
        QTest::newRow("mazovia shared byte") << 129 << PolishEncoding::Mazovia << 10;
        // The length byte is not a letter.
        QTest::newRow("length byte") << 28 << PolishEncoding::Cp852 << 0;
        QTest::newRow("zero byte") << 0 << PolishEncoding::Mazovia << 0;
    }

    void lookupFindsFirstOccurrence()
    {
        QFETCH(int, byte);
        QFETCH(PolishEncoding, row);
        QFETCH(int, column);
        QCOMPARE(findPolishLetter(static_cast<quint8>(byte), row), column);
    }

    void convertsWords_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<PolishEncoding>("from");
        QTest::addColumn<PolishEncoding>("to");
        QTest::addColumn<QByteArray>("expected");
        using E = PolishEncoding;
        QTest::newRow("Lodz plain") << Lodz << E::Windows1250 << E::Plain << bytes({76, 111, 100, 122});
        QTest::newRow("Lodz mazovia") << Lodz << E::Windows1250 << E::Mazovia << bytes({156, 162, 100, 166});
        QTest::newRow("Lodz cp852") << Lodz << E::Windows1250 << E::Cp852 << bytes({157, 162, 100, 171});
        QTest::newRow("Lodz marks") << Lodz << E::Windows1250 << E::Marks
                                    << bytes({47, 76, 39, 111, 100, 96, 122});
        QTest::newRow("Lodz iso") << Lodz << E::Windows1250 << E::Iso8859_2 << bytes({163, 243, 100, 188});
        QTest::newRow("Lodz same") << Lodz << E::Windows1250 << E::Windows1250 << Lodz;
        QTest::newRow("Zolc plain") << Zolc << E::Windows1250 << E::Plain << QByteArray("Zolc");
        QTest::newRow("Zolc mazovia") << Zolc << E::Windows1250 << E::Mazovia << bytes({161, 162, 146, 141});
        QTest::newRow("Zolc cp852") << Zolc << E::Windows1250 << E::Cp852 << bytes({189, 162, 136, 134});
        QTest::newRow("Zolc marks") << Zolc << E::Windows1250 << E::Marks
                                    << bytes({45, 90, 39, 111, 47, 108, 39, 99});
        QTest::newRow("Zolc iso") << Zolc << E::Windows1250 << E::Iso8859_2 << bytes({175, 243, 179, 230});
        // And back from the ledger's code pages.
        QTest::newRow("Lodz from mazovia")
            << bytes({156, 162, 100, 166}) << E::Mazovia << E::Windows1250 << Lodz;
        QTest::newRow("Lodz from cp852") << bytes({157, 162, 100, 171}) << E::Cp852 << E::Windows1250 << Lodz;
        QTest::newRow("Zolc from cp852") << bytes({189, 162, 136, 134}) << E::Cp852 << E::Windows1250 << Zolc;
        QTest::newRow("Zolc mazovia to cp852")
            << bytes({161, 162, 146, 141}) << E::Mazovia << E::Cp852 << bytes({189, 162, 136, 134});
        QTest::newRow("Lodz from iso")
            << bytes({163, 243, 100, 188}) << E::Iso8859_2 << E::Windows1250 << Lodz;
        QTest::newRow("mazovia shared letters")
            << bytes({129, 137, 132, 148, 139, 154, 211, 142, 153, 138}) << E::Mazovia << E::Windows1250
            << bytes({252, 235, 228, 246, 245, 220, 203, 196, 214, 213});
        QTest::newRow("cp852 shared letters")
            << bytes({129, 137, 132, 148, 139, 154, 211, 142, 153, 138}) << E::Cp852 << E::Windows1250
            << bytes({252, 235, 228, 246, 245, 220, 203, 196, 214, 213});
        // Letters outside the row: digits, punctuation, e acute (233), control bytes.
        QTest::newRow("others one for one") << bytes({'1', '.', 233, 0, 9, 255, 185}) << E::Windows1250
                                            << E::Cp852 << bytes({'1', '.', 233, 0, 9, 255, 165});
        QTest::newRow("others into marks") << bytes({'1', '.', 233, 0, 9, 255, 185}) << E::Windows1250
                                           << E::Marks << bytes({'1', '.', 233, 0, 9, 255, ',', 'a'});
        QTest::newRow("marks path u umlaut")
            << bytes({252}) << E::Windows1250 << E::Marks << bytes({32, 117});
        QTest::newRow("marks path L stroke") << bytes({163}) << E::Windows1250 << E::Marks << bytes({47, 76});
        QTest::newRow("marks path Z dot") << bytes({175}) << E::Windows1250 << E::Marks << bytes({45, 90});
        QTest::newRow("marks from cp852")
            << bytes({157, 'x'}) << E::Cp852 << E::Marks << bytes({47, 76, 'x'});
        // Plain letters stand for the first column that holds them.
        QTest::newRow("plain to cp852") << QByteArray("abdozAOZ") << E::Plain << E::Cp852
                                        << bytes({165, 'b', 'd', 162, 190, 164, 224, 189});
        QTest::newRow("plain to 1250")
            << QByteArray("eEuU") << E::Plain << E::Windows1250 << bytes({234, 202, 252, 220});
        QTest::newRow("plain to marks unchanged")
            << QByteArray("Lodz") << E::Plain << E::Marks << QByteArray("Lodz");
        // Every mark alone is a letter; pairs are not recognised.
        QTest::newRow("marks to 1250")
            << QByteArray(",'/` -") << E::Marks << E::Windows1250 << bytes({185, 230, 179, 159, 252, 175});
        QTest::newRow("marks pair stays apart")
            << QByteArray("/L'o") << E::Marks << E::Cp852 << bytes({136, 'L', 134, 'o'});
        QTest::newRow("marks to plain") << QByteArray(",-") << E::Marks << E::Plain << QByteArray("aZ");
    }

    void convertsWords()
    {
        QFETCH(QByteArray, source);
        QFETCH(PolishEncoding, from);
        QFETCH(PolishEncoding, to);
        QFETCH(QByteArray, expected);
        PRZ_COMPARE_BYTES(ConvertPolish(source, from, to), expected);
        if (from == PolishEncoding::Windows1250)
            PRZ_COMPARE_BYTES(FromWindows1250(source, to), expected);
        if (to == PolishEncoding::Windows1250)
            PRZ_COMPARE_BYTES(ToWindows1250(source, from), expected);
    }

    void emptyAndIdentityForEveryPair()
    {
        QByteArray everyByte; // the longest short string: bytes 1..255
        for (int b = 1; b < 256; ++b)
            everyByte.append(static_cast<char>(b));
        for (const PolishEncoding from : AllEncodings) {
            for (const PolishEncoding to : AllEncodings)
                QVERIFY(ConvertPolish(QByteArrayView(), from, to).isEmpty());
            PRZ_COMPARE_BYTES(ConvertPolish(everyByte, from, from), everyByte);
        }
        PRZ_COMPARE_BYTES(ConvertPolish(everyByte, PolishEncoding::Plain, PolishEncoding::Marks), everyByte);
    }

    void marksExpansionIsCutAt255_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray a = bytes({185}); // ą
        QTest::newRow("100 letters in 200") << (a + "b").repeated(100) << QByteArray(",ab").repeated(85);
        QTest::newRow("cut between mark and letter")
            << QByteArray(254, 'x') + a + a << QByteArray(254, 'x') + ",";
        QTest::newRow("fits exactly") << QByteArray(253, 'x') + a << QByteArray(253, 'x') + ",a";
        QTest::newRow("all letters") << a.repeated(255) << QByteArray(",a").repeated(127) + ",";
    }

    void marksExpansionIsCutAt255()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, expected);
        const QByteArray result = ConvertPolish(source, PolishEncoding::Windows1250, PolishEncoding::Marks);
        QCOMPARE(result.size(), MaxShortStringLength);
        PRZ_COMPARE_BYTES(result, expected);
    }

    void toLedgerEncoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PolishEncoding>("encoding");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty") << QString() << PolishEncoding::Cp852 << QByteArray();
        QTest::newRow("Lodz mazovia")
            << QStringLiteral("Łódź") << PolishEncoding::Mazovia << bytes({156, 162, 100, 166});
        QTest::newRow("Lodz cp852") << QStringLiteral("Łódź") << PolishEncoding::Cp852
                                    << bytes({157, 162, 100, 171});
        QTest::newRow("Zolc cp852") << QStringLiteral("Żółć") << PolishEncoding::Cp852
                                    << bytes({189, 162, 136, 134});
        QTest::newRow("unmappable") << QStringLiteral("a漢😀ą") << PolishEncoding::Cp852
                                    << bytes({'a', '?', '?', 165});
        // A byte outside the table keeps its Windows-1250 value.
        QTest::newRow("euro") << QStringLiteral("€") << PolishEncoding::Mazovia << bytes({0x80});
        QTest::newRow("undefined byte") << QString(QChar(0x98)) << PolishEncoding::Cp852 << bytes({0x98});
        QTest::newRow("first 255 of 300")
            << QStringLiteral("ż").repeated(254) + QStringLiteral("ab").repeated(23) << PolishEncoding::Cp852
            << QByteArray(254, char(190)) + "a";
        QTest::newRow("pairs count as one each")
            << QStringLiteral("😀").repeated(300) << PolishEncoding::Cp852 << QByteArray(255, '?');
    }

    void toLedgerEncoding()
    {
        QFETCH(QString, text);
        QFETCH(PolishEncoding, encoding);
        QFETCH(QByteArray, expected);
        PRZ_COMPARE_BYTES(ToLedgerEncoding(text, encoding), expected);
    }
};

QTEST_GUILESS_MAIN(PolishEncodingTest)
#include "test_polish_encoding.moc"
