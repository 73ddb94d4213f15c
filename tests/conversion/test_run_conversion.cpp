// Whole runs on small export files: the trace, line for line, and the bytes
// of the monthly files.
#include "conversion/RunConversion.h"
#include "encoding/PolishEncoding.h"
#include "encoding/Windows1250.h"
#include "ledger/LedgerEntry.h"

#include "support/ConversionTestHost.h"
#include "support/LedgerFiles.h"
#include "support/ScratchFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

const QString Banner = QStringLiteral(" *** Procedura sprawdzająca (BEZ ZAPISU ) ***");
const QString Start = QStringLiteral(" *** Rozpoczynam konwersję ...");
const QString EndOfFile = QStringLiteral("Osiągnięto fizyczny koniec pliku ");
const QString DryEnd = QStringLiteral(" *** Koniec procedury sprawdzającej (BEZ ZAPISU ) ***");
const QString RealEnd = QStringLiteral(" *** Koniec przetwarzania ***");
const QString Unsuitable =
    QStringLiteral(" *** Nieodpowiednia, różna od (2) lub (3) wersja pliku źródłowego *** ");
const QString HeaderMark = QStringLiteral("Eksport dokumentów - SAGE Symfonia Handel");

QString countLine(int n)
{
    return QStringLiteral(" *** Ilość dokumentów %1").arg(n);
}

QStringList documentTrace(const QString& number, const QString& date, const QString& net, const QString& vat)
{
    return {
        QString(),
        QStringLiteral("* Dokument nr:%1 | Firma:Zakład Usługowy \"Żuraw\" | NIP:677-001-02-03").arg(number),
        QStringLiteral("  Kraków Długa 5 3"),
        QStringLiteral(" z dnia %1 na kwotę netto=%2, vat=%3").arg(date, net, vat)};
}

} // namespace

class RunConversionTest : public QObject
{
    Q_OBJECT

    ScratchFiles m_dir; // export files and company directories

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void dryRunTraceLineForLine()
    {
        Invoice second;
        second.number = QStringLiteral("FV 2/03/2014");
        second.date = QStringLiteral("2014-03-05");
        second.net = QStringLiteral("1234.50");
        second.vat = QStringLiteral("98.76");
        const QString text = exportHeader() +
                             documentBlock(Invoice(), registerBlock("23", "100.00", "23.00")) +
                             documentBlock(second, registerBlock("8", "1234.50", "98.76"));
        ConversionSettings settings;
        settings.exportFile = m_dir.writeExport(text);
        settings.dryRun = true;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);

        QStringList expected{Banner, HeaderMark, QStringLiteral("Wersja szablonu = 3"), Start};
        expected += documentTrace("FV 1/03/2014", "12- 3-2014", "100,00 zł", "23,00 zł");
        expected += documentTrace("FV 2/03/2014", " 5- 3-2014", "1 234,50 zł", "98,76 zł");
        expected += {QString(), EndOfFile, countLine(2), DryEnd};
        QCOMPARE(host.trace, expected);
        QCOMPARE(host.documentCount, 2);
        QVERIFY(host.exportFailures.isEmpty());
        QVERIFY(host.versionFailures.isEmpty());
    }

    void dryRunCreatesNothing()
    {
        const QString company = m_dir.freshCompany();
        ConversionSettings settings;
        settings.exportFile =
            m_dir.writeExport(exportHeader() + documentBlock(Invoice(), registerBlock("23", "100", "23")));
        settings.companyDirectory = company;
        settings.dryRun = true;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);
        QCOMPARE(host.documentCount, 1);
        QVERIFY(QDir(company).isEmpty());
        // The directory need not even exist.
        settings.companyDirectory = m_dir.filePath(QStringLiteral("brak"));
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);
        QVERIFY(!QFileInfo::exists(settings.companyDirectory));
    }

    void realRunAppendsInProcessingOrder()
    {
        // March, March, April, March: the March file is opened again for the
        // fourth document and gets its entries in the order of the export.
        QString text = exportHeader();
        const QStringList dates{"2014-03-01", "2014-03-02", "2014-04-03", "2014-03-04"};
        for (int i = 0; i < dates.size(); ++i) {
            Invoice invoice;
            invoice.number = QStringLiteral("FV %1").arg(i + 1);
            invoice.date = dates[i];
            text += documentBlock(invoice, registerBlock("23", "100.00", "23.00"));
        }
        const QString company = m_dir.freshCompany();
        QVERIFY(writeFile(company + QStringLiteral("/2014T305.3"), QByteArray(57 * 400, 'x')));
        ConversionSettings settings;
        settings.exportFile = m_dir.writeExport(text);
        settings.companyDirectory = company;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);
        QCOMPARE(host.trace.mid(host.trace.size() - 4),
                 (QStringList{QString(), EndOfFile, countLine(4), RealEnd}));
        QCOMPARE(host.trace.first(), HeaderMark);

        const QByteArray march = readFile(company + QStringLiteral("/2014T305.3"));
        const QByteArray april = readFile(company + QStringLiteral("/2014T305.4"));
        QCOMPARE(march.size(), 60 * 400);
        QCOMPARE(april.size(), 400);
        QCOMPARE(march.left(57 * 400), QByteArray(57 * 400, 'x'));
        const auto record = [](const QByteArray& file, int index) {
            LedgerEntry entry;
            const QByteArray bytes = file.mid(index * 400, 400);
            for (int i = 0; i < 400; ++i)
                entry.setByte(FieldLayout{"", i, 1, FieldKind::UInt8}, quint8(bytes[i]));
            return entry;
        };
        const QList<QPair<int, QByteArray>> expected{{58, "FV 1"}, {59, "FV 2"}, {60, "FV 4"}};
        for (int i = 0; i < 3; ++i) {
            const LedgerEntry entry = record(march, 57 + i);
            QCOMPARE(entry.int32(field::EntryNo), expected[i].first);
            QCOMPARE(entry.text(field::DocNo), expected[i].second);
            QCOMPARE(entry.date(field::DocDate).month, quint8(3));
            QCOMPARE(entry.real(field::Kol1W), 100.0);
            QCOMPARE(entry.real(field::Kol2W), 0.0);
        }
        const LedgerEntry fourth = record(april, 0);
        QCOMPARE(fourth.int32(field::EntryNo), 1);
        QCOMPARE(fourth.text(field::DocNo), QByteArray("FV 3"));
        QCOMPARE(QDir(company).entryList({"*T305.*"}, QDir::Files).size(), 2);
    }

    // The example export saved again by an editor gives the same entries and
    // the same trace; a file read as UTF-8 says so beside the trace.
    void sameEntriesWhateverTheFileIsSavedAs_data()
    {
        QTest::addColumn<QString>("saved");
        for (const char* saved : {"LF", "CR", "UTF-8", "UTF-8 with a byte-order mark", "UTF-8 with CR"})
            QTest::newRow(saved) << QString::fromLatin1(saved);
    }
    void sameEntriesWhateverTheFileIsSavedAs()
    {
        QFETCH(QString, saved);
        const QByteArray original = readFile(QStringLiteral(PRZENOSNIK_EXAMPLES "/FVS0314.TXT"));
        QVERIFY(original.contains("\r\n") && !original.contains('\x1a'));
        QByteArray bytes = original;
        if (saved.endsWith(QLatin1String("CR")))
            bytes.replace("\r\n", "\r");
        else if (saved == QLatin1String("LF"))
            bytes.replace("\r\n", "\n");
        const bool utf8 = saved.startsWith(QLatin1String("UTF-8"));
        if (utf8)
            bytes = decodeWindows1250(bytes).toUtf8();
        if (saved.contains(QLatin1String("byte-order mark")))
            bytes.prepend("\xef\xbb\xbf");

        const auto run = [this](const QString& name, const QByteArray& exportBytes, RecordingHost& host) {
            ConversionSettings settings;
            settings.exportFile = m_dir.filePath(name);
            settings.companyDirectory = m_dir.freshCompany();
            if (!writeFile(settings.exportFile, exportBytes))
                return QMap<QString, QByteArray>();
            RunConversion(settings, host);
            QMap<QString, QByteArray> files;
            for (const QString& name : QDir(settings.companyDirectory).entryList({"*T305.*"}, QDir::Files))
                files.insert(name, readFile(settings.companyDirectory + QLatin1Char('/') + name));
            return files;
        };
        RecordingHost reference;
        const QMap<QString, QByteArray> expected = run(QStringLiteral("cp1250.txt"), original, reference);
        RecordingHost host;
        const QMap<QString, QByteArray> files = run(saved + QStringLiteral(".txt"), bytes, host);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(files, expected);
        QCOMPARE(host.trace, reference.trace);
        QCOMPARE(host.notices, utf8 ? QStringList{utf8ExportNotice()} : QStringList());
    }

    void monthFileFailureStopsTheRun()
    {
        Invoice first;
        Invoice second;
        second.number = QStringLiteral("FV 2");
        second.date = QStringLiteral("2014-13-01");
        Invoice third;
        third.number = QStringLiteral("FV 3");
        const QString company = m_dir.freshCompany();
        ConversionSettings settings;
        settings.exportFile =
            m_dir.writeExport(exportHeader() + documentBlock(first, registerBlock("23", "100", "23")) +
                              documentBlock(second, registerBlock("23", "100", "23")) +
                              documentBlock(third, registerBlock("23", "100", "23")));
        settings.companyDirectory = company;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::StoppedEarly);
        QCOMPARE(host.documentCount, 2);
        const QString path = monthFilePath(company, 2014, 13);
        QCOMPARE(host.trace.mid(host.trace.size() - 4),
                 (QStringList{QStringLiteral("Błąd otwarcia pliku %1 !").arg(path),
                              QStringLiteral(" * błąd otwarcia okresu *"), countLine(2), RealEnd}));
        QVERIFY(!host.trace.join('\n').contains(QStringLiteral("FV 3")));
        // The document memo keeps the block the run stopped at.
        QVERIFY(host.document.contains(QStringLiteral("kod = FV 2")));
        QCOMPARE(readFile(company + QStringLiteral("/2014T305.3")).size(), 400);
        QVERIFY(!QFileInfo::exists(path));
    }

    void missingCompanyDirectoryStopsAtTheFirstDocument()
    {
        ConversionSettings settings;
        settings.exportFile =
            m_dir.writeExport(exportHeader() + documentBlock(Invoice(), registerBlock("23", "100", "23")));
        settings.companyDirectory = m_dir.filePath(QStringLiteral("nie-ma"));
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::StoppedEarly);
        QCOMPARE(host.documentCount, 1);
        QCOMPARE(host.trace.mid(host.trace.size() - 3),
                 (QStringList{QStringLiteral(" * błąd otwarcia okresu *"), countLine(1), RealEnd}));
    }

    void versions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<RunOutcome>("outcome");
        QTest::addColumn<QStringList>("trace");
        const QString block = documentBlock(Invoice(), registerBlock("23", "100", "23"));
        QTest::newRow("no version line")
            << HeaderMark + "\n" + block << RunOutcome::UnsuitableVersion
            << QStringList{Banner, HeaderMark, QString(), EndOfFile, Unsuitable, DryEnd};
        QTest::newRow("empty file") << QString() << RunOutcome::UnsuitableVersion
                                    << QStringList{Banner, QString(), EndOfFile, Unsuitable, DryEnd};
        QTest::newRow("version 10 is 1") << "Wersja szablonu = 10\n" + block << RunOutcome::UnsuitableVersion
                                         << QStringList{Banner, "Wersja szablonu = 10", Unsuitable, DryEnd};
        QTest::newRow("empty version") << "Wersja szablonu = \n" + block << RunOutcome::UnsuitableVersion
                                       << QStringList{Banner, "Wersja szablonu =", Unsuitable, DryEnd};
        QTest::newRow("blocks before the version line are skipped")
            << block + "Wersja szablonu = 2\n"
            << RunOutcome::Completed
            << QStringList{Banner, "Wersja szablonu = 2", Start, QString(), EndOfFile, countLine(0), DryEnd};
        QTest::newRow("all blocks rejected")
            << "Wersja szablonu = 3.1\n" + QString(block).replace("anulowany = 0", "anulowany = 1")
            << RunOutcome::Completed
            << QStringList{Banner, "Wersja szablonu = 3.1", Start, QString(), EndOfFile, countLine(0),
                           DryEnd};
        QTest::newRow("file ends inside a block")
            << "Wersja szablonu = 3\nDokument{\n\tanulowany = 0\n\trodzaj_dok = zakupu\n"
            << RunOutcome::Completed
            << QStringList{Banner, "Wersja szablonu = 3", Start, QString(), EndOfFile, countLine(0), DryEnd};
        QTest::newRow("Ctrl-Z ends the file")
            << "Wersja szablonu = 3\n\x1a" + block << RunOutcome::Completed
            << QStringList{Banner, "Wersja szablonu = 3", Start, QString(), EndOfFile, countLine(0), DryEnd};
    }
    void versions()
    {
        QFETCH(QString, text);
        QFETCH(RunOutcome, outcome);
        QFETCH(QStringList, trace);
        ConversionSettings settings;
        settings.exportFile = m_dir.writeExport(text);
        settings.dryRun = true;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), outcome);
        QCOMPARE(host.trace, trace);
        QCOMPARE(host.documentCount, 0);
        QVERIFY(host.versionFailures.isEmpty());
    }

    void versionThatIsNoNumberStopsAtOnce()
    {
        ConversionSettings settings;
        settings.exportFile = m_dir.writeExport(HeaderMark + "\nWersja szablonu = X3\n" +
                                                documentBlock(Invoice(), registerBlock("23", "100", "23")));
        settings.dryRun = true;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::InvalidVersion);
        QCOMPARE(host.versionFailures,
                 QStringList{QStringLiteral("'X' nie jest poprawną wartością całkowitą")});
        QCOMPARE(host.trace, (QStringList{Banner, HeaderMark}));
        QVERIFY(host.exportFailures.isEmpty());
    }

    void exportThatCannotBeOpened()
    {
        RecordingHost host;
        host.trace = QStringList{QStringLiteral("earlier line")};
        host.documentCount = 5;
        ConversionSettings settings;
        settings.exportFile = m_dir.filePath(QStringLiteral("brak.txt"));
        QCOMPARE(RunConversion(settings, host), RunOutcome::ExportNotOpened);
        QCOMPARE(host.exportFailures,
                 QStringList{QStringLiteral("Błąd otwarcia pliku epp \"%1\"").arg(settings.exportFile)});
        QCOMPARE(host.trace, QStringList{QStringLiteral("earlier line")});
        QCOMPARE(host.documentCount, 5);
    }

    void readErrorEndsTheInput()
    {
        // Reading this file fails at once with an I/O error.
        const QString path = QStringLiteral("/proc/self/mem");
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly) || probe.read(1).size() != 0 || probe.error() == QFile::NoError)
            QSKIP("no file here that fails on reading");
        ConversionSettings settings;
        settings.exportFile = path;
        settings.dryRun = true;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::UnsuitableVersion);
        QCOMPARE(host.trace,
                 (QStringList{Banner, QStringLiteral("io Błąd odczytu z pliku "), Unsuitable, DryEnd}));
    }

    void olderLayoutWithoutVatPart()
    {
        Invoice invoice;
        invoice.vatRegisterType = QStringLiteral("0");
        invoice.kind = QStringLiteral("zakupu");
        const QString company = m_dir.freshCompany();
        ConversionSettings settings;
        settings.exportFile = m_dir.writeExport(exportHeader("2") + documentBlock(invoice, QString()));
        settings.companyDirectory = company;
        settings.sym2006 = false;
        settings.szablon31 = false;
        settings.ledgerEncoding = PolishEncoding::Mazovia;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);
        QCOMPARE(host.trace.mid(3, 5),
                 (QStringList{QString(),
                              QStringLiteral("* Dokument nr:FV 1/03/2014 | Firma:Zakład Usługowy \"Żuraw\" | "
                                             "NIP:677-001-02-03"),
                              QStringLiteral("  Kraków Długa"),
                              QStringLiteral(" z dnia 12- 3-2014 na kwotę netto=-") + zl("100,00") +
                                  QStringLiteral(", vat=-") + zl("23,00"),
                              QStringLiteral("dokument bez części VAT !")}));
        const QByteArray file = readFile(company + QStringLiteral("/2014T305.3"));
        QCOMPARE(file.size(), 400);
        QCOMPARE(file.at(field::EntryKind.offset), '\x01');
        QCOMPARE(file.at(field::RegisterKind.offset), '\x00');
        QCOMPARE(file.at(field::Kol1Nr.offset), '\x0a');
        double kol1 = 0;
        memcpy(&kol1, file.constData() + field::Kol1W.offset, 8);
        QCOMPARE(kol1, -123.0);
        // Mazovia letters in the address: "Kraków Długa".
        QCOMPARE(file.mid(field::PartyAddress.offset, 13), QByteArray("\x0c"
                                                                      "Krak\xa2w D\x92uga"));
    }

    void twoRunsStartFromZero()
    {
        ConversionSettings settings;
        settings.exportFile =
            m_dir.writeExport(exportHeader() + documentBlock(Invoice(), registerBlock("23", "1", "0.23")));
        settings.dryRun = true;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);
        QCOMPARE(host.documentCount, 1);
        QCOMPARE(host.trace.count(countLine(1)), 2);
        // The memo was emptied when the run sought a block after the last one.
        QVERIFY(host.document.isEmpty());
    }

    void checksInputs_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<bool>("companyExists");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<InputVerdict>("verdict");
        const QString file = m_dir.filePath(QStringLiteral("FVS-check.TXT"));
        writeFile(file, QByteArray("x"));
        const QString missing = m_dir.filePath(QStringLiteral("none.TXT"));
        QTest::newRow("plain") << file << false << true << file << InputVerdict::Run;
        QTest::newRow("quoted") << "\"" + file + "\"" << false << true << file << InputVerdict::Run;
        QTest::newRow("leading quote only") << "\"" + file << false << true << file << InputVerdict::Run;
        QTest::newRow("trailing quote only") << file + "\"" << false << true << file << InputVerdict::Run;
        QTest::newRow("empty") << "" << true << true << "" << InputVerdict::FocusExportFile;
        QTest::newRow("quotes only") << "\"\"" << true << true << "" << InputVerdict::FocusExportFile;
        QTest::newRow("missing file")
            << missing << false << false << missing << InputVerdict::FocusExportFile;
        // A folder is one of KSeF invoices.
        QTest::newRow("a directory of invoices")
            << m_dir.path() << true << true << m_dir.path() << InputVerdict::Run;
        QTest::newRow("missing directory")
            << file << false << false << file << InputVerdict::FocusCompanyDirectory;
        QTest::newRow("dry run needs no directory") << file << true << false << file << InputVerdict::Run;
        const QString longName(300, QLatin1Char('n'));
        QTest::newRow("quoted name cut to 255")
            << "\"" + longName + "\"" << true << true << QString(255, QLatin1Char('n'))
            << InputVerdict::FocusExportFile;
        QTest::newRow("unquoted name not cut")
            << longName << true << true << longName << InputVerdict::FocusExportFile;
    }
    void checksInputs()
    {
        QFETCH(QString, typed);
        QFETCH(bool, dryRun);
        QFETCH(bool, companyExists);
        QFETCH(QString, shown);
        QFETCH(InputVerdict, verdict);
        const QString company = companyExists ? m_dir.path() : m_dir.filePath(QStringLiteral("brak-firmy"));
        const InputCheck check = checkInputs(typed, company, dryRun);
        QCOMPARE(check.exportFile, shown);
        QCOMPARE(check.verdict, verdict);
    }
};

QTEST_GUILESS_MAIN(RunConversionTest)
#include "test_run_conversion.moc"
