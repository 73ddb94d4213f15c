// The command line of przenosnik-cli: options, their defaults, a settings file under them,
// and how the trace reaches a stream.
#include "cli/CommandLine.h"
#include "cli/CompanyListing.h"
#include "cli/ConsoleHost.h"
#include "cli/ConvertCommand.h"
#include "settings/CompanyNip.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "support/CompanyRecords.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace przenosnik;

namespace {

CommandLine parse(QStringList arguments)
{
    arguments.prepend(QStringLiteral("przenosnik-cli"));
    return parseCommandLine(arguments);
}

// Everything a stream received, read back from a temporary file.
template <typename Write> QByteArray captured(Write write)
{
    std::FILE* file = std::tmpfile();
    if (!file)
        return "(no temporary file)";
    write(file);
    return test::readBackAndClose(file);
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultsAreTheWindowsFirstStart();
    void options_data();
    void options();
    void textOptionLimits_data();
    void textOptionLimits();
    void settingsFileGivesDefaults();
    void commandLineOverridesSettingsFile();
    void settingsFileNamesExportAndDirectory();
    void companies();
    void companiesOneALine_data();
    void companiesOneALine();
    void helpWinsOverTheRest();
    void exitCodes_data();
    void exitCodes();
    void traceLinesReachTheStream_data();
    void traceLinesReachTheStream();
    void messageBoxesGoToStandardError();
};

void CommandLineTest::defaultsAreTheWindowsFirstStart()
{
    const CommandLine line = parse({"FVS0314.TXT", "/dane/firma1"});
    QCOMPARE(line.action, CliAction::Convert);
    QCOMPARE(line.error, QString());
    const ConversionSettings& s = line.settings;
    QCOMPARE(s.exportFile, QStringLiteral("FVS0314.TXT"));
    QCOMPARE(s.companyDirectory, QStringLiteral("/dane/firma1"));
    QCOMPARE(s.ledgerEncoding, PolishEncoding::Cp852);
    QVERIFY(s.sym2006);
    QVERIFY(s.szablon31);
    QVERIFY(!s.postalCode);
    QVERIFY(!s.alwaysDescription);
    QVERIFY(!s.dryRun);
    QVERIFY(s.skipDuplicates);
    QVERIFY(s.attribute.isEmpty() && s.registerId.isEmpty() && s.defaultDescription.isEmpty());
}

void CommandLineTest::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected"); // the settings the options must give, as a compact text

    QTest::newRow("nothing") << QStringList{"a"} << "dry enc=2 sym szab";
    QTest::newRow("mazovia") << QStringList{"--codepage=maz", "a"} << "dry enc=1 sym szab";
    QTest::newRow("MAZ in capitals") << QStringList{"--codepage=MAZ", "a"} << "dry enc=1 sym szab";
    QTest::newRow("852") << QStringList{"--codepage", "852", "a"} << "dry enc=2 sym szab";
    QTest::newRow("older layout") << QStringList{"--no-sym2006", "--no-szablon31", "a"} << "dry enc=2";
    QTest::newRow("switches on") << QStringList{"--postal-code", "--always-description", "a"}
                                 << "dry enc=2 sym szab kod def";
    QTest::newRow("switches on again")
        << QStringList{"--sym2006", "--szablon31", "--no-postal-code", "a"} << "dry enc=2 sym szab";
    QTest::newRow("texts") << QStringList{"--attribute=Ż", "--register=R", "--description=Usługi", "a"}
                           << "dry enc=2 sym szab atr=Ż rej=R opis=Usługi";
    QTest::newRow("without the journal") << QStringList{"--no-journal", "a"} << "dry nojrn enc=2 sym szab";
    QTest::newRow("books duplicates") << QStringList{"--no-skip-duplicates", "a"} << "dry enc=2 sym szab dup";
    QTest::newRow("skips duplicates") << QStringList{"--skip-duplicates", "a"} << "dry enc=2 sym szab";
    QTest::newRow("options after the file")
        << QStringList{"a", "--codepage=maz", "--postal-code"} << "dry enc=1 sym szab kod";
    QTest::newRow("documents to skip")
        << QStringList{"--skip-documents=9,3,7-8", "a"} << "dry enc=2 sym szab skip=3,7-9";
}

void CommandLineTest::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    arguments.prepend(QStringLiteral("-n"));
    const CommandLine line = parse(arguments);
    QCOMPARE(line.error, QString());
    QCOMPARE(line.action, CliAction::Convert);
    const ConversionSettings& s = line.settings;
    QStringList got;
    if (s.dryRun)
        got << "dry";
    if (!s.keepJournal)
        got << "nojrn";
    got << QStringLiteral("enc=%1").arg(int(s.ledgerEncoding));
    const std::pair<bool, const char*> flags[] = {{s.sym2006, "sym"},
                                                  {s.szablon31, "szab"},
                                                  {s.postalCode, "kod"},
                                                  {s.alwaysDescription, "def"},
                                                  {!s.skipDuplicates, "dup"}};
    for (const auto& [on, name] : flags) {
        if (on)
            got << QString::fromLatin1(name);
    }
    if (!s.attribute.isEmpty())
        got << "atr=" + s.attribute;
    if (!s.registerId.isEmpty())
        got << "rej=" + s.registerId;
    if (!s.defaultDescription.isEmpty())
        got << "opis=" + s.defaultDescription;
    if (!s.excludedDocuments.isEmpty())
        got << "skip=" + s.excludedDocuments.text();
    QCOMPARE(got.join(' '), expected);
    QCOMPARE(s.exportFile, QStringLiteral("a"));
    QCOMPARE(s.companyDirectory, QString());
}

void CommandLineTest::textOptionLimits_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty attribute") << "--attribute=" << true;
    QTest::newRow("one-letter attribute") << "--attribute=ą" << true;
    QTest::newRow("two-letter attribute") << "--attribute=ab" << false;
    QTest::newRow("two-letter register") << "--register=ab" << false;
    QTest::newRow("36 Polish letters") << "--description=" + QString(36, u'ż') << true;
    QTest::newRow("37 letters") << "--description=" + QString(37, u'a') << false;
    QTest::newRow("unknown code page") << "--codepage=mazovia" << false;
    QTest::newRow("empty code page") << "--codepage=" << false;
}

void CommandLineTest::textOptionLimits()
{
    QFETCH(QString, option);
    QFETCH(bool, accepted);
    const CommandLine line = parse({"-n", option, "a"});
    QCOMPARE(line.action, accepted ? CliAction::Convert : CliAction::Invalid);
    QCOMPARE(line.error.isEmpty(), accepted);
}

void CommandLineTest::settingsFileGivesDefaults()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("PRZENOSN.INI");
    QVERIFY(test::writeFile(ini, "[main]\r\nrb_maz_checked=Y\r\nEdit_Atrybut_Text= X \r\n"
                                 "Edit_OPIS_Text=  Sprzeda\xbf  \r\nchb_kod_Checked=1\r\n"
                                 "chb_Sym2006_Checked=no\r\nchb_Szablon31_Checked=Q\r\n"
                                 "chb_def_opis_Checked=TRUE\r\nchb_duplikaty_Checked=FALSE\r\n"));
    const CommandLine line = parse({"--settings=" + ini, "-n", "a"});
    QCOMPARE(line.error, QString());
    const ConversionSettings& s = line.settings;
    QCOMPARE(s.ledgerEncoding, PolishEncoding::Mazovia);
    QCOMPARE(s.attribute, QStringLiteral("X"));
    QCOMPARE(s.defaultDescription, QStringLiteral("Sprzedaż"));
    QVERIFY(s.postalCode);
    QVERIFY(!s.sym2006);
    QVERIFY(s.szablon31); // "Q" cannot be read: the default stays
    QVERIFY(s.alwaysDescription);
    QVERIFY(!s.skipDuplicates);
    QVERIFY(s.dryRun);
    // The file is only read.
    QCOMPARE(test::readFile(ini).left(6), QByteArray("[main]"));
}

void CommandLineTest::commandLineOverridesSettingsFile()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("PRZENOSN.INI");
    QVERIFY(test::writeFile(ini,
                            "[MAIN]\nRB_MAZ_Checked=TRUE\nchb_kod_Checked=TRUE\nchb_Sym2006_Checked=FALSE\n"
                            "Edit_REJ_Text=R\nEdit_OPIS_Text=Towar\nchb_def_opis_Checked=TRUE\n"));
    const CommandLine line =
        parse({"--codepage=852", "--no-postal-code", "--sym2006", "--register=", "--description=Usługa",
               "--no-always-description", "--settings=" + ini, "-n", "a"});
    QCOMPARE(line.error, QString());
    const ConversionSettings& s = line.settings;
    QCOMPARE(s.ledgerEncoding, PolishEncoding::Cp852);
    QVERIFY(!s.postalCode);
    QVERIFY(s.sym2006);
    QCOMPARE(s.registerId, QString());
    QCOMPARE(s.defaultDescription, QStringLiteral("Usługa"));
    QVERIFY(!s.alwaysDescription);
}

void CommandLineTest::settingsFileNamesExportAndDirectory()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("PRZENOSN.INI");
    QVERIFY(
        test::writeFile(ini, "[MAIN]\nFE_EPP_Text=C:\\EKSPORT\\FVS0314.TXT\nde_KPR_Text=C:\\KPR\\FIRMA1\n"));
    CommandLine line = parse({"--settings=" + ini});
    QCOMPARE(line.action, CliAction::Convert);
    QCOMPARE(line.settings.exportFile, QStringLiteral("C:\\EKSPORT\\FVS0314.TXT"));
    QCOMPARE(line.settings.companyDirectory, QStringLiteral("C:\\KPR\\FIRMA1"));

    line = parse({"--settings=" + ini, "inny.txt"});
    QCOMPARE(line.settings.exportFile, QStringLiteral("inny.txt"));
    QCOMPARE(line.settings.companyDirectory, QStringLiteral("C:\\KPR\\FIRMA1"));

    // The NIP the window keeps for the directory given, unless --nip names one.
    SettingsStore store(QStringLiteral("MAIN"), IniFile::fromBytes(test::readFile(ini)));
    storeCompanyNip(store, QStringLiteral("C:\\KPR\\FIRMA1"), QStringLiteral("5260250274"));
    QVERIFY(test::writeFile(ini, store.contents().toBytes()));
    QCOMPARE(parse({"--settings=" + ini}).settings.companyNip, QStringLiteral("5260250274"));
    QCOMPARE(parse({"--settings=" + ini, "--nip=1234563218"}).settings.companyNip,
             QStringLiteral("1234563218"));
    QCOMPARE(parse({"--settings=" + ini, "inny.txt", "C:\\KPR\\FIRMA2"}).settings.companyNip, QString());

    QVERIFY(test::writeFile(ini, "[MAIN]\nFE_EPP_Text=FVS.TXT\n"));
    QCOMPARE(parse({"--settings=" + ini}).action, CliAction::Invalid); // no directory, not a dry run
    QCOMPARE(parse({"--settings=" + ini, "-n"}).action, CliAction::Convert);
    QCOMPARE(parse({"--settings=" + dir.path(), "-n", "a"}).action, CliAction::Invalid);
}

void CommandLineTest::companies()
{
    CommandLine line = parse({"--companies=/kpr/SPISFIRM.DAT"});
    QCOMPARE(line.action, CliAction::ListCompanies);
    QCOMPARE(line.companiesPath, QStringLiteral("/kpr/SPISFIRM.DAT"));
    QCOMPARE(line.settings.ledgerEncoding, PolishEncoding::Cp852);
    line = parse({"--companies=/kpr", "--codepage=maz"});
    QCOMPARE(line.action, CliAction::ListCompanies);
    QCOMPARE(line.settings.ledgerEncoding, PolishEncoding::Mazovia);
    QCOMPARE(parse({"--companies="}).action, CliAction::Invalid);
    QCOMPARE(parse({"--companies=/kpr", "a"}).action, CliAction::Invalid);
}

void CommandLineTest::companiesOneALine_data()
{
    QTest::addColumn<QByteArray>("firma");
    QTest::addColumn<QByteArray>("katalog");
    QTest::addColumn<QString>("line"); // %1: the list's folder
    QTest::newRow("plain") << QByteArray("Apteka") << QByteArray("APT") << "Apteka\tAPT\t\t%1APT\n";
    QTest::newRow("TAB, CR and LF in Firma")
        << QByteArray("A\tB\rC\nD") << QByteArray("APT") << "A\uFFFDB\uFFFDC\uFFFDD\tAPT\t\t%1APT\n";
    QTest::newRow("terminal escapes in Firma")
        << QByteArray("\x1b[2J\x1b[31mX") << QByteArray("APT") << "\uFFFD[2J\uFFFD[31mX\tAPT\t\t%1APT\n";
    QTest::newRow("TAB and LF in Katalog")
        << QByteArray("Apteka") << QByteArray("A\tB\nC") << "Apteka\tA\uFFFDB\uFFFDC\t\t%1A\uFFFDB\uFFFDC\n";
    QTest::newRow("Katalog two levels up")
        << QByteArray("Gora") << QByteArray("../..") << "Gora\t../..\t\t\n";
    QTest::newRow("Katalog absolute") << QByteArray("Etc") << QByteArray("/etc") << "Etc\t/etc\t\t\n";
    QTest::newRow("Katalog with a backslash")
        << QByteArray("Dos") << QByteArray("..\\KPR") << "Dos\t..\\KPR\t\t\n";
}

void CommandLineTest::companiesOneALine()
{
    QFETCH(QByteArray, firma);
    QFETCH(QByteArray, katalog);
    QFETCH(QString, line);
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("SPISFIRM.DAT"));
    QVERIFY(test::writeFile(list, test::companyRecord(firma, katalog, QByteArray())));
    int code = -1;
    const QByteArray out = captured(
        [&](std::FILE* file) { code = runCompaniesCommand(list, PolishEncoding::Cp852, file, stderr); });
    QCOMPARE(code, ExitCompleted);
    QCOMPARE(QString::fromUtf8(out), line.arg(dir.path() + QLatin1Char('/')));
}

void CommandLineTest::helpWinsOverTheRest()
{
    QCOMPARE(parse({"--help", "--codepage=437"}).action, CliAction::Help);
    QCOMPARE(parse({"-h"}).action, CliAction::Help);
    QCOMPARE(parse({"--version", "a"}).action, CliAction::Version);
    QCOMPARE(parse({"--help", "--no-such-option"}).action, CliAction::Invalid);
}

void CommandLineTest::exitCodes_data()
{
    QTest::addColumn<RunOutcome>("outcome");
    QTest::addColumn<int>("code");
    QTest::newRow("completed") << RunOutcome::Completed << 0;
    QTest::newRow("export not opened") << RunOutcome::ExportNotOpened << 1;
    QTest::newRow("version not a digit") << RunOutcome::InvalidVersion << 1;
    QTest::newRow("unsuitable version") << RunOutcome::UnsuitableVersion << 1;
    QTest::newRow("monthly file failed") << RunOutcome::StoppedEarly << 1;
    QTest::newRow("directory busy") << RunOutcome::DirectoryBusy << 1;
}

void CommandLineTest::exitCodes()
{
    QFETCH(RunOutcome, outcome);
    QFETCH(int, code);
    QCOMPARE(exitCodeFor(outcome), code);
}

void CommandLineTest::traceLinesReachTheStream_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << QStringLiteral(" *** Koniec przetwarzania ***")
                           << QByteArray(" *** Koniec przetwarzania ***\n");
    QTest::newRow("empty") << QString() << QByteArray("\n");
    // A line is one line: every control character but TAB, line breaks too,
    // is written as U+FFFD.
    QTest::newRow("CR LF inside")
        << QStringLiteral("\r\nOsiągnięto fizyczny koniec pliku ")
        << QByteArray("\xef\xbf\xbd\xef\xbf\xbdOsi\xc4\x85gni\xc4\x99to fizyczny koniec pliku \n");
    QTest::newRow("lone CR") << QStringLiteral("a\rb")
                             << QByteArray("a\xef\xbf\xbd"
                                           "b\n");
    QTest::newRow("lone LF") << QStringLiteral("a\nb")
                             << QByteArray("a\xef\xbf\xbd"
                                           "b\n");
    QTest::newRow("terminal escapes")
        << QStringLiteral("\x1b[2J\x1b[31mFirma") << QByteArray("\xef\xbf\xbd[2J\xef\xbf\xbd[31mFirma\n");
    QTest::newRow("NUL, BEL, DEL and C1")
        << QString::fromUtf16(u"\u0000\u0007\u007f\u0085\u009f", 5)
        << QByteArray("\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\n");
    QTest::newRow("TAB kept") << QStringLiteral("a\tb") << QByteArray("a\tb\n");
    QTest::newRow("first above C1 kept")
        << QStringLiteral("\u00a0\u001f") << QByteArray("\xc2\xa0\xef\xbf\xbd\n");
    QTest::newRow("no-break space") << QStringLiteral("1\u00a0234,00\u00a0zł")
                                    << QByteArray("1\xc2\xa0"
                                                  "234,00\xc2\xa0z\xc5\x82\n");
    QTest::newRow("three and four bytes")
        << QString::fromUtf16(u"\u20ac\U0001F600") << QByteArray("\xe2\x82\xac\xf0\x9f\x98\x80\n");
    // A surrogate without its partner is encoded as Qt encodes it.
    const QString broken = QString::fromUtf16(u"\xd800x\xdc00");
    QTest::newRow("lone surrogates") << QStringLiteral("a") + broken
                                     << QByteArray("a") + broken.toUtf8() + "\n";
}

void CommandLineTest::traceLinesReachTheStream()
{
    QFETCH(QString, line);
    QFETCH(QByteArray, bytes);
    const QByteArray out = captured([&](std::FILE* file) {
        ConsoleOutput console(file, stderr);
        ConsoleHost host(console);
        host.appendTrace(line);
    });
    QCOMPARE(out, bytes);
}

void CommandLineTest::messageBoxesGoToStandardError()
{
    QByteArray out;
    const QByteArray err = captured([&](std::FILE* errFile) {
        out = captured([&](std::FILE* outFile) {
            ConsoleOutput console(outFile, errFile);
            ConsoleHost host(console);
            host.showExportOpenFailure(QStringLiteral("Błąd otwarcia pliku epp \"a\""));
            host.showInvalidVersion(QStringLiteral("'x' is not a valid integer value"));
            host.showRunRefused(QStringLiteral("Do katalogu a zapisuje"));
            host.setDocumentCount(4);
            QCOMPARE(host.documentCount(), 4);
        });
    });
    QCOMPARE(out, QByteArray());
    QCOMPARE(err, QByteArray("B\xc5\x82\xc4\x85"
                             "d otwarcia pliku epp \"a\"\n'x' is not a valid integer value\n"
                             "Do katalogu a zapisuje\n"));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
