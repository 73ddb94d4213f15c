// The export reader: header, document blocks and the forward-moving lookups.
#include "conversion/ConversionRun.h"
#include "conversion/ExportLineSource.h"
#include "conversion/ExportReader.h"
#include "encoding/Windows1250.h"

#include "support/ConversionTestHost.h"

#include <QBuffer>
#include <QTest>

#include <memory>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

const QStringList EndOfFileLines{QString(), QStringLiteral("Osiągnięto fizyczny koniec pliku ")};

// A run reading the given export text from memory.
struct ReaderFixture
{
    explicit ReaderFixture(const QString& text) : run(settings, host)
    {
        buffer.setData(exportBytes(text));
        buffer.open(QIODevice::ReadOnly);
        source = std::make_unique<ExportLineSource>(buffer);
        run.exportFile = source.get();
    }

    // The lines of the current document, as a block read would leave them.
    void setDocument(const QStringList& lines)
    {
        run.document.clear();
        for (const QString& line : lines)
            run.document.append(encodeWindows1250(line));
        run.cursor.reset();
    }
    QStringList document() const { return run.document.toStringList(); }

    ConversionSettings settings;
    RecordingHost host;
    QBuffer buffer;
    std::unique_ptr<ExportLineSource> source;
    ConversionRun run;
};

QByteArray bytes(const QString& text)
{
    return encodeWindows1250(text);
}

QString text(std::optional<QByteArrayView> value)
{
    return value ? decodeWindows1250(*value) : QString();
}

LedgerDate date(int day, int month, int year)
{
    return LedgerDate{quint8(day), quint8(month), quint16(year)};
}

} // namespace

class ExportReaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineText_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "kod ="
                               << "kod = FV 1/2014" << true << "FV 1/2014";
        QTest::newRow("inside a longer key") << "vat ="
                                             << "typ_rejestru_vat = 1" << true << "1";
        QTest::newRow("register line") << "netto ="
                                       << "\tnetto = 10.00" << true << "10.00";
        QTest::newRow("first occurrence") << "a ="
                                          << "xa = 1 a = 2" << true << "1 a = 2";
        QTest::newRow("empty value") << "opis ="
                                     << "opis =   " << true << "";
        QTest::newRow("case sensitive") << "kod ="
                                        << "KOD = 1" << false << "";
        QTest::newRow("blank before equals needed") << "kod ="
                                                    << "kod= 1" << false << "";
        QTest::newRow("control characters trimmed") << "x ="
                                                    << "x =\x01 v \x1f" << true << "v";
        const QString tail = QString(250, QLatin1Char(' ')) + QStringLiteral("abcdefghij");
        // Cut to 255 characters before trimming: five letters survive.
        QTest::newRow("cut to 255 then trimmed") << "k ="
                                                 << "k =" + tail << true << "abcde";
    }
    void lineText()
    {
        QFETCH(QString, key);
        QFETCH(QString, line);
        QFETCH(bool, found);
        QFETCH(QString, value);
        const QByteArray lineBytes = bytes(line);
        const auto result = LineText(bytes(key), lineBytes);
        QCOMPARE(result.has_value(), found);
        QCOMPARE(text(result), value);
    }

    void lineDate_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<LedgerDate>("expected");
        QTest::addColumn<QStringList>("messages");
        const auto msg = [](const char* part, const QString& value) {
            return QStringLiteral("Błąd określenia %1 w \"%2\"").arg(QString::fromUtf8(part), value);
        };
        QTest::newRow("full") << "2014-03-12" << date(12, 3, 2014) << QStringList{};
        QTest::newRow("separators not examined") << "2014/03x12" << date(12, 3, 2014) << QStringList{};
        QTest::newRow("no leading zeros")
            << "2014-3-5" << date(0, 3, 2014)
            << QStringList{msg("MIESIĄCA", "2014-3-5"), msg("DNIA", "2014-3-5")};
        QTest::newRow("empty") << "" << date(0, 0, 0) << QStringList{};
        QTest::newRow("letters in the year")
            << "20x4-03-12" << date(12, 3, 20) << QStringList{msg("ROKU", "20x4-03-12")};
        QTest::newRow("two-digit year") << "14-03-12" << date(0, 255, 14)
                                        << QStringList{msg("ROKU", "14-03-12"), msg("DNIA", "14-03-12")};
        QTest::newRow("out of calendar") << "2014-13-40" << date(40, 13, 2014) << QStringList{};
        QTest::newRow("time after the date") << "2014-03-12 10:00" << date(12, 3, 2014) << QStringList{};
        QTest::newRow("blank inside a part")
            << "2014- 3-12" << date(12, 0, 2014) << QStringList{msg("MIESIĄCA", "2014- 3-12")};
    }
    void lineDate()
    {
        QFETCH(QString, value);
        QFETCH(LedgerDate, expected);
        QFETCH(QStringList, messages);
        ReaderFixture f(QString{});
        const auto d = LineDate(f.run, "data =", bytes(QStringLiteral("data = ") + value));
        QVERIFY(d);
        QCOMPARE(*d, expected);
        QCOMPARE(f.host.trace, messages);
        QVERIFY(!LineDate(f.run, "data =", "datasp = 2014-03-12"));
    }

    void lineAmountReportsBadValues()
    {
        ReaderFixture f(QString{});
        QCOMPARE(LineAmount(f.run, "netto =", "netto = 12.5"), 12.5);
        QVERIFY(f.host.trace.isEmpty());
        QVERIFY(!LineAmount(f.run, "netto =", "vat = 12.5"));
        QVERIFY(f.host.trace.isEmpty());
        QVERIFY(!LineAmount(f.run, "netto =", "netto = 12,5"));
        QVERIFY(!LineAmount(f.run, "netto =", "netto ="));
        QCOMPARE(f.host.trace, QStringList(2, QStringLiteral("Błąd określenia wartości DOUBLE")));
    }

    void findMovesForward()
    {
        ReaderFixture f(QString{});
        f.setDocument(QStringList{"kod = A", "data = 2014-03-12", "netto = 5", "typ_rejestru_vat = 1",
                                  "Rejestr{", "\tnetto = 7", "\tvat = 1.61", "}"});
        ConversionRun& run = f.run;
        QCOMPARE(text(FindText(run, "kod =")), QStringLiteral("A"));
        QCOMPARE(run.lineCursor(), 1);
        QCOMPARE(FindAmount(run, "netto ="), 5.0);
        QCOMPARE(run.currentLine().toByteArray(), QByteArray("netto = 5"));
        // "vat =" meets the register-type line first.
        QCOMPARE(FindAmount(run, "vat ="), 1.0);
        QCOMPARE(run.lineCursor(), 4);
        QCOMPARE(FindAmount(run, "netto ="), 7.0);
        // A line is never matched twice.
        QVERIFY(!FindDate(run, "data ="));
        QCOMPARE(run.lineCursor(), 8);
        QVERIFY(f.host.trace.isEmpty());
    }

    void missingKeyLosesEveryLaterKey()
    {
        ReaderFixture f(QString{});
        f.setDocument(QStringList{"kod = A", "khnazwa = B", "khnip = C"});
        ConversionRun& run = f.run;
        QVERIFY(!FindText(run, "opis ="));
        QVERIFY(!FindText(run, "khnazwa ="));
        QVERIFY(!FindText(run, "khadres =", QuietNotFound));
        QVERIFY(!FindText(run, "khnip ="));
        QVERIFY(!FindInteger(run, "kod ="));
        QCOMPARE(f.host.trace, (QStringList{QStringLiteral("* nie odnaleziono \"opis =\""),
                                            QStringLiteral("* nie odnaleziono \"khnazwa =\""),
                                            QStringLiteral("* nie odnaleziono \"khnip =\"")}));
    }

    void quietOnlyForItsOwnLookup()
    {
        ReaderFixture f(QString{});
        f.setDocument(QStringList{"Rejestr{"});
        QVERIFY(FindText(f.run, "Rejestr{", QuietNotFound));
        QVERIFY(!FindText(f.run, "}"));
        QCOMPARE(f.host.trace, QStringList{QStringLiteral("* nie odnaleziono \"}\"")});
    }

    void findSkipsInvalidValues()
    {
        ReaderFixture f(QString{});
        f.setDocument(QStringList{"netto = x", "stawka = 2.5", "stawka = 7", "netto = 3.25", "data = 20",
                                  "data = 2014-01-02"});
        ConversionRun& run = f.run;
        QCOMPARE(FindInteger(run, "stawka ="), 7);
        QCOMPARE(run.lineCursor(), 3);
        QVERIFY(f.host.trace.isEmpty());
        run.cursor.reset();
        QCOMPARE(FindAmount(run, "netto ="), 3.25);
        QCOMPARE(f.host.trace, QStringList{QStringLiteral("Błąd określenia wartości DOUBLE")});
        // A date with errors still stops the search.
        f.host.trace.clear();
        QCOMPARE(FindDate(run, "data ="), date(0, 0, 20));
        QCOMPARE(run.lineCursor(), 5);
        QCOMPARE(f.host.trace.size(), 2);
    }

    void header_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("version");
        QTest::addColumn<QStringList>("trace");
        QTest::addColumn<QString>("invalid");
        const QString mark = QStringLiteral("Eksport - SAGE Symfonia");
        QTest::newRow("version 3") << mark + "\nx = 1\n  Wersja szablonu = 3  \nDokument{\n"
                                   << 3 << QStringList{mark, "Wersja szablonu = 3"} << "";
        QTest::newRow("3.1 is 3") << "Wersja szablonu = 3.1\n"
                                  << 3 << QStringList{"Wersja szablonu = 3.1"} << "";
        QTest::newRow("23 is 2") << "Wersja szablonu = 23\n"
                                 << 2 << QStringList{"Wersja szablonu = 23"} << "";
        QTest::newRow("10 is 1") << "Wersja szablonu = 10\n"
                                 << 1 << QStringList{"Wersja szablonu = 10"} << "";
        QTest::newRow("empty value") << "Wersja szablonu =\nWersja szablonu = 3\n"
                                     << -1 << QStringList{"Wersja szablonu ="} << "";
        QTest::newRow("mark is case-sensitive")
            << "Sage\n\tSAGE  \nWersja szablonu = 2" << 2 << QStringList{"SAGE", "Wersja szablonu = 2"} << "";
        QTest::newRow("mark and key on one line")
            << "SAGE Wersja szablonu = 2\n"
            << 2 << QStringList{"SAGE Wersja szablonu = 2", "SAGE Wersja szablonu = 2"} << "";
        QTest::newRow("no version line") << "SAGE\nDokument{\n\tkod = 1\n}\n"
                                         << -1 << (QStringList{"SAGE"} + EndOfFileLines) << "";
        QTest::newRow("not a digit") << "SAGE\nWersja szablonu = X2\n" << -1 << QStringList{"SAGE"} << "X";
        QTest::newRow("sign is not a digit") << "Wersja szablonu = -3\n" << -1 << QStringList{} << "-";
        const QString longLine = QString(300, QLatin1Char('.')) + "Wersja szablonu = 3";
        QTest::newRow("key after character 255") << longLine << 3 << QStringList{longLine} << "";
        // Of a line longer than the reader keeps, the rest is not searched.
        const qsizetype kept = ExportLineSource::MaxKeptLineLength;
        const QString keyAtEnd = QString(kept - 19, QLatin1Char('.')) + "Wersja szablonu = 3";
        QTest::newRow("key at the end of the kept part") << keyAtEnd + "\n"
                                                         << 3 << QStringList{keyAtEnd} << "";
        QTest::newRow("key beyond the kept part")
            << QString(kept - 16, QLatin1Char('.')) + "Wersja szablonu = 3\nWersja szablonu = 2\n"
            << 2 << QStringList{"Wersja szablonu = 2"} << "";
    }
    void header()
    {
        QFETCH(QString, text);
        QFETCH(int, version);
        QFETCH(QStringList, trace);
        QFETCH(QString, invalid);
        ReaderFixture f(text);
        ReadHeader(f.run);
        QCOMPARE(f.run.templateVersion, version);
        QCOMPARE(f.host.trace, trace);
        QCOMPARE(f.run.invalidVersion, invalid);
    }

    void blocks()
    {
        const QString text = QStringLiteral("Dokument{ tail ignored\n"
                                            "\tanulowany = 0\n\trodzaj_dok = sprzedaży\n"
                                            "  kod = spaces instead of a tab\n"
                                            "\t\tnetto = 1\n"
                                            "}\n"
                                            "between blocks\n"
                                            "Dokument{\n\tanulowany = 1\n\trodzaj_dok = zakupu\n}\n"
                                            "Dokument{\n\tanulowany = tak\n\trodzaj_dok = zakupu\n}\n"
                                            "Dokument{\n\tanulowany = 0\n\trodzaj_dok = Sprzedaży\n}\n"
                                            "Dokument{\n\tanulowany = 0\n\trodzaj_dok = korekta\n}\n"
                                            "Dokument{\n\tkod = 1\n\tx = 2\n}\n"
                                            "Dokument{\n}\n"
                                            "Dokument{\n\trodzaj_dok = zakupu\n\tanulowany = 0\n}\n"
                                            "Dokument{\n\tanulowany = 0\n\tkod = no kind line\n}\n");
        ReaderFixture f(text);
        ConversionRun& run = f.run;
        QVERIFY(ReadNextDocument(run));
        QCOMPARE(run.documentKind, SalesDocument);
        QCOMPARE(f.document(), (QStringList{"anulowany = 0", "rodzaj_dok = sprzedaży", "\tnetto = 1"}));
        QVERIFY(FindText(run, "netto ="));

        QVERIFY(!ReadNextDocument(run)); // cancelled
        QVERIFY(!run.endOfInput);
        QCOMPARE(run.lineCursor(), 0);
        QVERIFY(ReadNextDocument(run)); // a cancel flag that is no number does not cancel
        QCOMPARE(run.documentKind, PurchaseDocument);
        QVERIFY(!ReadNextDocument(run)); // kind in another letter case
        QVERIFY(!ReadNextDocument(run)); // neither sales nor purchase
        QCOMPARE(run.documentKind, -1);
        QVERIFY(ReadNextDocument(run)); // no cancel key, no kind key
        QCOMPARE(run.documentKind, -1);
        QVERIFY(ReadNextDocument(run)); // no lines at all
        QVERIFY(f.document().isEmpty());
        QCOMPARE(run.documentKind, -1);
        QVERIFY(ReadNextDocument(run)); // keys on the wrong lines
        QCOMPARE(run.documentKind, -1);
        QVERIFY(ReadNextDocument(run)); // line 1 without the kind key
        QCOMPARE(run.documentKind, -1);
        QVERIFY(f.host.trace.isEmpty());

        QVERIFY(!ReadNextDocument(run));
        QVERIFY(run.endOfInput);
        QVERIFY(f.document().isEmpty());
        QCOMPARE(f.host.trace, EndOfFileLines);
    }

    void unfinishedBlocks()
    {
        // A block without its closing line takes in the lines of the next one;
        // a block cut off by the end of the file is not used.
        const QString text = QStringLiteral("Dokument{\n\tanulowany = 0\n\trodzaj_dok = zakupu\n"
                                            "Dokument{\n\tkod = 2\n}\n"
                                            "Dokument{\n\tanulowany = 0\n\trodzaj_dok = zakupu\n\tkod = 3\n");
        ReaderFixture f(text);
        QVERIFY(ReadNextDocument(f.run));
        QCOMPARE(f.document(), (QStringList{"anulowany = 0", "rodzaj_dok = zakupu", "kod = 2"}));
        QVERIFY(!ReadNextDocument(f.run));
        QVERIFY(f.run.endOfInput);
        // The lines of the cut-off block stay until the next block is sought.
        QCOMPARE(f.document().size(), 3);
        QCOMPARE(f.document().last(), QStringLiteral("kod = 3"));
        QCOMPARE(f.host.trace, EndOfFileLines);
    }

    void blockLinesAreBounded()
    {
        // A block whose closing line never comes keeps its first lines only.
        QString text = QStringLiteral("Dokument{\n\tanulowany = 0\n\trodzaj_dok = zakupu\n");
        for (qsizetype i = 2; i < MaxDocumentLines; ++i)
            text += QStringLiteral("\tx = %1\n").arg(i);
        text += QStringLiteral("\tkod = dropped\n}\nDokument{\n\tkod = next\n}\n");
        ReaderFixture f(text);
        QVERIFY(ReadNextDocument(f.run));
        QCOMPARE(f.document().size(), MaxDocumentLines);
        QCOMPARE(f.document().last(), QStringLiteral("x = %1").arg(MaxDocumentLines - 1));
        QVERIFY(!FindText(f.run, "kod ="));
        QVERIFY(ReadNextDocument(f.run));
        QCOMPARE(f.document(), QStringList{"kod = next"});
    }

    void longDocumentLinesAreCut()
    {
        const QString value = QString(300, QLatin1Char('x'));
        ReaderFixture f("Dokument{\n\tkod = " + value + "\n}\n");
        QVERIFY(ReadNextDocument(f.run));
        QCOMPARE(f.document().first().size(), 255);
        QCOMPARE(text(FindText(f.run, "kod =")), QString(249, QLatin1Char('x')));
    }

    void stripStreetPrefix_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ul.") << "ul. Długa"
                             << "Długa";
        QTest::newRow("UL. without blank") << "UL.Długa"
                                           << "Długa";
        QTest::newRow("Al.") << "Al. Jerozolimskie"
                             << "Jerozolimskie";
        QTest::newRow("inside a word") << "Sul.ejów"
                                       << "Sejów";
        QTest::newRow("in the middle") << " Rynek ul. 5 "
                                       << "Rynek  5";
        QTest::newRow("UL. before AL.") << "al. Ul. Kwiatowa"
                                        << "al.  Kwiatowa";
        QTest::newRow("only the first") << "ul. Ul. x"
                                        << "Ul. x";
        QTest::newRow("no prefix") << "Świętokrzyska 3"
                                   << "Świętokrzyska 3";
        QTest::newRow("aleja spelled out") << "Aleja Róż"
                                           << "Aleja Róż";
        QTest::newRow("prefix alone") << "ul."
                                      << "";
        // Upper-casing letter by letter keeps the positions: ß stays one letter.
        QTest::newRow("after sharp s") << "Groß ul. Mühlen"
                                       << "Groß  Mühlen";
    }
    void stripStreetPrefix()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(decodeWindows1250(StripStreetPrefix(bytes(text))), expected);
    }
};

QTEST_GUILESS_MAIN(ExportReaderTest)
#include "test_export_reader.moc"
