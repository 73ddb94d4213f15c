// The INI reader and writer: the rewrite rules, name matching, placement of new
// keys, and the encodings a file keeps.
#include "encoding/AsciiValues.h"
#include "settings/IniFile.h"

#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QTest>

using namespace przenosnik;

namespace {

QByteArray crlf(const char* text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

} // namespace

class IniFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rewriteNormalisesLines_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("only lines before the first section")
            << QByteArray("a=1\n; note\nplain\n") << QByteArray();
        QTest::newRow("comments and blank lines dropped")
            << QByteArray("; head\n[MAIN]\n\n  ; indented comment\nA=1\n\n\nB=2\n")
            << crlf("[MAIN]\nA=1\nB=2\n\n");
        QTest::newRow("blanks around line and first equals")
            << QByteArray("  [MAIN]  \n\t Key  =  some value \t\nX= a = b \n")
            << crlf("[MAIN]\nKey=some value\nX=a = b\n\n");
        QTest::newRow("one empty line after each section")
            << QByteArray("[A]\nx=1\n[B]\n[C]\ny=2") << crlf("[A]\nx=1\n\n[B]\n\n[C]\ny=2\n\n");
        QTest::newRow("line without equals kept")
            << QByteArray("[A]\n  loose text  \nk=v\n") << crlf("[A]\nloose text\nk=v\n\n");
        QTest::newRow("unclosed bracket is no section")
            << QByteArray("[A]\n[B\nk=v\n") << crlf("[A]\n[B\nk=v\n\n");
        QTest::newRow("CR and CRLF line ends")
            << QByteArray("[A]\rk=1\r\nm=2\r\r\n[B]\r\n") << crlf("[A]\nk=1\nm=2\n\n[B]\n\n");
        QTest::newRow("repeated section joins the first")
            << QByteArray("[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n") << crlf("[A]\nx=1\nz=3\n\n[B]\ny=2\n\n");
        QTest::newRow("repeated section in other case of Polish letters")
            << QByteArray("[\xaf\xf3\xb3w]\nx=1\n[\xbf\xd3\xa3W]\ny=2\n")
            << crlf("[\xaf\xf3\xb3w]\nx=1\ny=2\n\n");
        QTest::newRow("empty value") << QByteArray("[A]\nk=\nm =   \n") << crlf("[A]\nk=\nm=\n\n");
    }

    void rewriteNormalisesLines()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        PRZ_COMPARE_BYTES(IniFile::fromBytes(input).toBytes(), expected);
    }

    void readsValuesWithoutRegardToCase()
    {
        const IniFile file = IniFile::fromBytes("[Main]\nRB_MAZ_Checked = TRUE \nEmpty=\n");
        QCOMPARE(file.value(u"MAIN", u"rb_maz_checked"), std::optional<QString>(QStringLiteral("TRUE")));
        QCOMPARE(file.value(u"main", u"Empty"), std::optional<QString>(QString()));
        QVERIFY(file.hasKey(u"MAIN", u"EMPTY"));
        QVERIFY(!file.hasKey(u"MAIN", u"Missing"));
        QVERIFY(!file.hasKey(u"OTHER", u"Empty"));
        QCOMPARE(file.value(u"MAIN", u"Missing"), std::nullopt);
    }

    void lineWithoutEqualsIsNoKey()
    {
        const IniFile file = IniFile::fromBytes("[A]\nflag\n");
        QVERIFY(!file.hasKey(u"A", u"flag"));
        QVERIFY(file.keys(u"A").isEmpty());
    }

    void firstOfRepeatedKeysCounts()
    {
        IniFile file = IniFile::fromBytes("[A]\nk=1\nK=2\n");
        QCOMPARE(file.value(u"A", u"k"), std::optional<QString>(QStringLiteral("1")));
        file.setValue(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("9"));
        PRZ_COMPARE_BYTES(file.toBytes(), crlf("[A]\nk=9\nK=2\n\n"));
    }

    // Existing keys keep their place and spelling, new keys go to the end of
    // their own section, a new section to the end of the file, and foreign
    // sections and keys stay.
    void setValueKeepsLayout()
    {
        IniFile file = IniFile::fromBytes("; by hand\n[Other]\nForeign=1\n[main]\nNormPos=1,2,3,4\n"
                                          "Mine=x\nSHOWCMD=1\n[Tail]\nz=0\n");
        file.setValue(QStringLiteral("MAIN"), QStringLiteral("ShowCmd"), QStringLiteral("3"));
        file.setValue(QStringLiteral("MAIN"), QStringLiteral("FormVersion"), QStringLiteral("0"));
        file.setValue(QStringLiteral("MAIN"), QStringLiteral("normpos"), QStringLiteral("5,6,7,8"));
        file.setValue(QStringLiteral("New"), QStringLiteral("Key"), QStringLiteral("v"));
        PRZ_COMPARE_BYTES(file.toBytes(), crlf("[Other]\nForeign=1\n\n"
                                               "[main]\nNormPos=5,6,7,8\nMine=x\nSHOWCMD=3\nFormVersion=0\n\n"
                                               "[Tail]\nz=0\n\n"
                                               "[New]\nKey=v\n\n"));
        QCOMPARE(file.sections(), QStringList({"Other", "main", "Tail", "New"}));
        QCOMPARE(file.keys(u"MAIN"), QStringList({"NormPos", "Mine", "SHOWCMD", "FormVersion"}));
    }

    void copiesChangeApart()
    {
        const IniFile original = IniFile::fromBytes("[A]\nk=1\n");
        IniFile copy = original;
        copy.setValue(QStringLiteral("a"), QStringLiteral("K"), QStringLiteral("2"));
        QCOMPARE(original.value(u"A", u"k"), std::optional<QString>(QStringLiteral("1")));
        QCOMPARE(copy.value(u"A", u"k"), std::optional<QString>(QStringLiteral("2")));
    }

    // Reading takes time in proportion to the file: 200 000 sections take a
    // fraction of a second, where a search of every earlier section for each
    // new one takes minutes. The bound leaves room for slow builds.
    void manySectionsReadInLinearTime()
    {
        constexpr int sections = 200000;
        QByteArray bytes;
        for (int i = 0; i < sections; ++i)
            bytes += "[S" + QByteArray::number(i) + "]\r\n";
        bytes += "[s0]\r\nk=v\r\n";
        QElapsedTimer timer;
        timer.start();
        const IniFile file = IniFile::fromBytes(bytes);
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(file.sections().size(), sections);
        QCOMPARE(file.value(u"S0", u"K"), std::optional<QString>(QStringLiteral("v")));
        QVERIFY2(elapsed < 20000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    }

    void valuesAreWrittenAsHeld()
    {
        IniFile file;
        file.setValue(QStringLiteral("S"), QStringLiteral("Text"), QStringLiteral("  a;b=c [x]  "));
        PRZ_COMPARE_BYTES(file.toBytes(), crlf("[S]\nText=  a;b=c [x]  \n\n"));
        // Reading the written file removes the blanks again.
        QCOMPARE(IniFile::fromBytes(file.toBytes()).value(u"S", u"Text"),
                 std::optional<QString>(QStringLiteral("a;b=c [x]")));
    }

    // A value can never break the file's structure by starting a line of its own.
    void lineBreaksInValueBecomeBlanks()
    {
        IniFile file;
        file.setValue(QStringLiteral("S"), QStringLiteral("Text"), QStringLiteral("a\r\n[Evil]\nx=1"));
        const IniFile reread = IniFile::fromBytes(file.toBytes());
        QCOMPARE(reread.sections(), QStringList({"S"}));
        QCOMPARE(reread.value(u"S", u"Text"), std::optional<QString>(QStringLiteral("a  [Evil] x=1")));
    }

    void newFileIsWindows1250WithoutMark()
    {
        IniFile file;
        QCOMPARE(file.encoding(), IniEncoding::Ansi);
        file.setValue(QStringLiteral("MAIN"), QStringLiteral("Edit_OPIS_Text"),
                      QStringLiteral("Sprzedaż łóżek"));
        PRZ_COMPARE_BYTES(file.toBytes(), QByteArray("[MAIN]\r\nEdit_OPIS_Text=Sprzeda\xBF \xB3\xF3\xBF"
                                                     "ek\r\n\r\n"));
    }

    void fileWithoutMarkIsReadAsWindows1250()
    {
        const IniFile file = IniFile::fromBytes("[MAIN]\nde_KPR_Text=C:\\KPR\\Fabryka \x9C\xA5\n");
        QCOMPARE(file.encoding(), IniEncoding::Ansi);
        QCOMPARE(file.value(u"MAIN", u"de_KPR_Text"),
                 std::optional<QString>(QStringLiteral("C:\\KPR\\Fabryka śĄ")));
    }

    void markedFileKeepsItsEncoding_data()
    {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QByteArray>("payload"); // "[A]\r\nk=ż\r\n\r\n" in the file's encoding
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF") << int(IniEncoding::Utf8)
                               << QByteArray("[A]\r\nk=\xC5\xBC\r\n\r\n");
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE") << int(IniEncoding::Utf16LE)
                                   << QByteArray("[\0A\0]\0\r\0\n\0k\0=\0\x7C\x01\r\0\n\0\r\0\n\0", 24);
        QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF") << int(IniEncoding::Utf16BE)
                                   << QByteArray("\0[\0A\0]\0\r\0\n\0k\0=\x01\x7C\0\r\0\n\0\r\0\n", 24);
    }

    void markedFileKeepsItsEncoding()
    {
        QFETCH(QByteArray, mark);
        QFETCH(int, encoding);
        QFETCH(QByteArray, payload);
        IniFile file = IniFile::fromBytes(mark + payload);
        QCOMPARE(int(file.encoding()), encoding);
        QCOMPARE(file.value(u"A", u"k"), std::optional<QString>(QStringLiteral("ż")));
        PRZ_COMPARE_BYTES(file.toBytes(), mark + payload);

        // A character outside Windows-1250 survives in a Unicode file.
        file.setValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("Ω"));
        QCOMPARE(IniFile::fromBytes(file.toBytes()).value(u"A", u"k"),
                 std::optional<QString>(QStringLiteral("Ω")));
        QVERIFY(file.toBytes().startsWith(mark));
    }

    void trimBlanksRemovesSpacesAndControls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("only blanks") << QStringLiteral(" \t ") << QString();
        QTest::newRow("both ends") << QStringLiteral("\t a b \x01") << QStringLiteral("a b");
        QTest::newRow("inner kept") << QStringLiteral("a  b") << QStringLiteral("a  b");
        QTest::newRow("no-break space kept")
            << QStringLiteral("\u00A0a\u00A0") << QStringLiteral("\u00A0a\u00A0");
    }

    void trimBlanksRemovesSpacesAndControls()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(trimControl(text), expected);
    }
};

QTEST_APPLESS_MAIN(IniFileTest)
#include "test_ini_file.moc"
