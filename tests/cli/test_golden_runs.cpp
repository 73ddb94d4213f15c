// End-to-end runs of przenosnik-cli: every directory of tests/data/cli is one run whose
// standard output, standard error, exit code and company directory afterwards are compared
// with what was worked out for it beforehand.
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using przenosnik::test::readFile;

namespace {

QString casesDir()
{
    return QStringLiteral(PRZENOSNIK_TEST_DATA "/cli");
}

// Relative paths of every file under dir, sorted.
QStringList filesUnder(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = QDir(dir).relativeFilePath(it.next());
        // The run's journal and backups are not the ledger's.
        if (!name.startsWith(QLatin1String("PRZENOSN.JRN")) &&
            !name.startsWith(QLatin1String("PRZENOSN.BAK")))
            files << name;
    }
    files.sort();
    return files;
}

bool copyTree(const QString& from, const QString& to)
{
    for (const QString& name : filesUnder(from)) {
        const QString target = QDir(to).filePath(name);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(QDir(from).filePath(name), target))
            return false;
    }
    return true;
}

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList& arguments,
              QProcess::ProcessChannelMode channels = QProcess::SeparateChannels)
{
    QProcess process;
    process.setProcessChannelMode(channels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANG", "LANGUAGE", "LC_MONETARY", "LC_NUMERIC", "LC_COLLATE"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PRZENOSNIK_CLI_BINARY), arguments);
    Result result;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    if (channels == QProcess::SeparateChannels)
        result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// A case's text with its placeholders filled in for a run into company. The
// program joins the company directory and a monthly file's name with the
// system's separator ("\\" on Windows); the cases are written with "/".
QString filled(QString text, const QString& caseDir, const QString& company)
{
    static const QRegularExpression monthFile(QStringLiteral("@OUT@/(\\d+T305\\.)"));
    text.replace(monthFile, QStringLiteral("@OUT@") + QDir::separator() + QStringLiteral("\\1"));
    return text.replace(QLatin1String("@EXAMPLES@"), QStringLiteral(PRZENOSNIK_EXAMPLES))
        .replace(QLatin1String("@CASE@"), caseDir)
        .replace(QLatin1String("@OUT@"), company);
}

QString caseText(const QString& caseDir, const char* name, const QString& company)
{
    return filled(QString::fromUtf8(readFile(QDir(caseDir).filePath(QLatin1String(name)))), caseDir, company);
}

// The case's command line, for a run into company, a copy of the case's directory before it.
QStringList prepareCase(const QString& caseDir, const QString& company)
{
    if (!QDir().mkpath(company) || !copyTree(QDir(caseDir).filePath(QStringLiteral("before")), company))
        return {};
    return caseText(caseDir, "args", company).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class GoldenRuns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void run_data();
    void run();
    void bothStreamsIntoOne_data();
    void bothStreamsIntoOne();
    void badCommandLine_data();
    void badCommandLine();
    void helpAndVersion();
    void pdfReportHoldsTheTotals();
};

void GoldenRuns::run_data()
{
    QTest::addColumn<QString>("caseDir");
    const QStringList names = QDir(casesDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QVERIFY2(names.size() >= 20, "the run cases are missing");
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << QDir(casesDir()).filePath(name);
}

void GoldenRuns::run()
{
    QFETCH(QString, caseDir);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString company = scratch.filePath(QStringLiteral("firma"));
    const QStringList arguments = prepareCase(caseDir, company);
    QVERIFY(!arguments.isEmpty());
    const auto fill = [&](const QString& text) { return filled(text, caseDir, company); };
    const QString caseFile = QDir(caseDir).filePath(QStringLiteral("%1"));

    const Result result = runCli(arguments);
    QCOMPARE(result.exitCode, QString::fromLatin1(readFile(caseFile.arg("exit"))).trimmed().toInt());

    const QStringList expected = fill(QString::fromUtf8(readFile(caseFile.arg("stdout.txt")))).split('\n');
    const QStringList actual = result.out.split('\n');
    for (qsizetype i = 0; i < std::min(expected.size(), actual.size()); ++i)
        QVERIFY2(actual.at(i) == expected.at(i),
                 qPrintable(QStringLiteral("line %1: got \"%2\", expected \"%3\"")
                                .arg(i + 1)
                                .arg(actual.at(i), expected.at(i))));
    QCOMPARE(actual.size(), expected.size());

    if (QFile::exists(caseFile.arg("stderr.txt")))
        QCOMPARE(result.err, fill(QString::fromUtf8(readFile(caseFile.arg("stderr.txt")))));
    else if (QFile::exists(caseFile.arg("stderr-nonempty")))
        QVERIFY(!result.err.trimmed().isEmpty());
    else
        QCOMPARE(result.err, QString());

    const QString after = QDir(caseDir).filePath(QStringLiteral("after"));
    QCOMPARE(filesUnder(company), filesUnder(after));
    for (const QString& name : filesUnder(after)) {
        const QByteArray written = readFile(QDir(company).filePath(name));
        PRZ_COMPARE_BYTES(written, readFile(QDir(after).filePath(name)));
    }
}

// Both streams into one file (2>&1): a message of standard error comes after
// the trace lines written before it. The cases that print on both streams
// print their messages last.
void GoldenRuns::bothStreamsIntoOne_data()
{
    QTest::addColumn<QString>("caseDir");
    for (const QString& name : QDir(casesDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir dir(QDir(casesDir()).filePath(name));
        if (QFileInfo(dir.filePath("stdout.txt")).size() > 0 &&
            QFileInfo(dir.filePath("stderr.txt")).size() > 0)
            QTest::newRow(qPrintable(name)) << dir.path();
    }
}

void GoldenRuns::bothStreamsIntoOne()
{
    QFETCH(QString, caseDir);
    QTemporaryDir scratch;
    const QString company = scratch.filePath(QStringLiteral("firma"));
    const QStringList arguments = prepareCase(caseDir, company);
    QVERIFY(scratch.isValid() && !arguments.isEmpty());
    const Result result = runCli(arguments, QProcess::MergedChannels);
    QCOMPARE(result.out, caseText(caseDir, "stdout.txt", company) + caseText(caseDir, "stderr.txt", company));
}

void GoldenRuns::badCommandLine_data()
{
    const QString march = QStringLiteral(PRZENOSNIK_EXAMPLES "/FVS0314.TXT");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown option") << QStringList{"--bogus", "-n", march};
    QTest::newRow("unknown short option") << QStringList{"-x", "-n", march};
    QTest::newRow("bad code page") << QStringList{"--codepage=437", "-n", march};
    QTest::newRow("code page without value") << QStringList{"-n", march, "--codepage"};
    QTest::newRow("attribute of two characters") << QStringList{"--attribute=AB", "-n", march};
    QTest::newRow("register of two characters") << QStringList{"--register=Żó", "-n", march};
    QTest::newRow("description of 37 characters")
        << QStringList{"--description=" + QString(37, u'ś'), "-n", march};
    QTest::newRow("no export file") << QStringList{"-n"};
    QTest::newRow("nothing at all") << QStringList{};
    QTest::newRow("no company directory") << QStringList{march};
    QTest::newRow("three arguments") << QStringList{"-n", march, "/tmp", "/tmp"};
    QTest::newRow("switch and its negation") << QStringList{"--postal-code", "--no-postal-code", "-n", march};
    QTest::newRow("a value given twice") << QStringList{"--codepage=852", "--codepage=maz", "-n", march};
    QTest::newRow("missing settings file")
        << QStringList{"--settings=/nonexistent/PRZENOSN.INI", "-n", march};
    QTest::newRow("companies with an export file") << QStringList{"--companies=" PRZENOSNIK_EXAMPLES, march};
    QTest::newRow("dry run with a value") << QStringList{"--dry-run=yes", march};
    QTest::newRow("report of another format") << QStringList{"-n", march, "--report=/tmp/raport.txt"};
    QTest::newRow("report without extension") << QStringList{"-n", march, "--report=/tmp/raport"};
    QTest::newRow("documents to skip, not a list") << QStringList{"-n", march, "--skip-documents=3;7"};
    QTest::newRow("documents to skip, empty") << QStringList{"-n", march, "--skip-documents="};
    QTest::newRow("documents to skip with an undo") << QStringList{"--skip-documents=3", "--undo=/tmp"};
    QTest::newRow("NIP of nine digits") << QStringList{"--nip=676101123", "-n", march};
    QTest::newRow("NIP with a letter") << QStringList{"--nip=PL6761011234", "-n", march};
    QTest::newRow("report of the company list")
        << QStringList{"--companies=" PRZENOSNIK_EXAMPLES, "--summary"};
}

void GoldenRuns::badCommandLine()
{
    QFETCH(QStringList, arguments);
    const Result result = runCli(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.startsWith(QLatin1String("przenosnik-cli: ")), qPrintable(result.err));
    QVERIFY(result.err.contains(QLatin1String("--help")));
}

void GoldenRuns::helpAndVersion()
{
    const Result help = runCli({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(
        help.out.startsWith(QStringLiteral("Użycie: przenosnik-cli [OPCJE] PLIK_EKSPORTU [KATALOG_FIRMY]")));
    for (const char* option :
         {"--dry-run", "--codepage=852|maz", "--no-sym2006", "--sym2006", "--no-szablon31", "--szablon31",
          "--postal-code", "--no-postal-code",
          "--attribute=", "--register=", "--description=", "--always-description", "--no-always-description",
          "--settings=", "--companies=", "--report=", "--nip=", "--summary", "--version"})
        QVERIFY2(help.out.contains(QLatin1String(option)), option);
    QCOMPARE(runCli({QStringLiteral("-h")}).out, help.out);

    const Result version = runCli({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith(QLatin1String("przenosnik-cli ")));
    QCOMPARE(version.err, QString());
}

// Every row of the totals that --summary prints stands in the PDF report's text, cell by cell.
void GoldenRuns::pdfReportHoldsTheTotals()
{
#ifndef PRZENOSNIK_PDF_REPORT
    QSKIP("this build writes no PDF reports");
#endif
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir scratch;
    const QString pdf = scratch.filePath(QStringLiteral("Raport.PDF"));
    const Result result = runCli({QStringLiteral("-n"), QStringLiteral(PRZENOSNIK_EXAMPLES "/FVS0314.TXT"),
                                  "--report=" + pdf, QStringLiteral("--summary")});
    QCOMPARE(result.exitCode, 0);

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(30000));
    QCOMPARE(pdftotext.exitCode(), 0);
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    QVERIFY2(text.contains(QStringLiteral("FVS0314.TXT")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("symulacja")));

    // "  sprzedaż: dokumentów 9; Netto 23/22% 17205,67; ..." gives "sprzedaż 9 17205,67 ...".
    static const QRegularExpression kindLine(QStringLiteral("^  (\\S+): dokumentów (\\d+);"));
    static const QRegularExpression amount(QStringLiteral("(-?\\d+,\\d\\d)(;|$)"));
    int rows = 0;
    for (const QString& line : result.err.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch kind = kindLine.match(line);
        if (!kind.hasMatch())
            continue;
        QStringList cells{kind.captured(1), kind.captured(2)};
        for (const QRegularExpressionMatch& match : amount.globalMatch(line))
            cells.append(match.captured(1));
        QCOMPARE(cells.size(), 15);
        QVERIFY2(text.contains(cells.join(QLatin1Char(' '))), qPrintable(cells.join(QLatin1Char(' '))));
        ++rows;
    }
    QCOMPARE(rows, 5); // sales and purchases of the one month, then the three kinds of the whole run
}

QTEST_GUILESS_MAIN(GoldenRuns)
#include "test_golden_runs.moc"
