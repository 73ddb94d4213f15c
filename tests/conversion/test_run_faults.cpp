// Runs that meet failing files: an append refused by the file-size limit, a
// monthly file that cannot be opened, a company directory that disappears, an
// export file that is a directory or cannot be read, and the ledger program
// appending to the same monthly file meanwhile. Permissions are never used to
// make a file fail: the tests also run as root.
#include "conversion/ConversionRun.h"
#include "conversion/ConversionState.h"
#include "conversion/ExportLineSource.h"
#include "conversion/ExportReader.h"
#include "ledger/LedgerEntry.h"

#include "support/ConversionTestHost.h"
#include "support/LedgerFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

const QString RealEnd = QStringLiteral(" *** Koniec przetwarzania ***");
const QString DryEnd = QStringLiteral(" *** Koniec procedury sprawdzającej (BEZ ZAPISU ) ***");
const QString PeriodFailure = QStringLiteral(" * błąd otwarcia okresu *");
const QString ReadFailure = QStringLiteral("io Błąd odczytu z pliku ");

QString countLine(int n)
{
    return QStringLiteral(" *** Ilość dokumentów %1").arg(n);
}

QString appendFailure(const QString& path)
{
    return QStringLiteral("Błąd dopisania do pliku %1 !").arg(path);
}

QString openFailure(const QString& path)
{
    return QStringLiteral("Błąd otwarcia pliku %1 !").arg(path);
}

// An export of `count` March 2014 sales invoices numbered "FV 1" onwards; the
// dates of the documents listed in `april` fall in April instead.
QString marchExport(int count, const QList<int>& april = {})
{
    QString text = exportHeader();
    for (int i = 1; i <= count; ++i) {
        Invoice invoice;
        invoice.number = QStringLiteral("FV %1").arg(i);
        invoice.date = april.contains(i) ? QStringLiteral("2014-04-02") : QStringLiteral("2014-03-12");
        text += documentBlock(invoice, registerBlock("23", "100.00", "23.00"));
    }
    return text;
}

// Gives its bytes in small pieces, then fails every read.
class BreakingDevice : public QIODevice
{
public:
    explicit BreakingDevice(QByteArray head) : m_head(std::move(head))
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_head.isEmpty())
            return -1;
        const qint64 n = std::min<qint64>({maxSize, m_head.size(), 64});
        memcpy(data, m_head.constData(), size_t(n));
        m_head.remove(0, n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_head;
};

// A host that lets a test act at the moment a trace line is written, as the
// ledger program or the user might between two steps of a run.
class HookedHost : public RecordingHost
{
public:
    std::function<void(const QString&)> onTrace;

    void appendTrace(const QString& line) override
    {
        RecordingHost::appendTrace(line);
        if (onTrace)
            onTrace(line);
    }
};

// What a run in a child process reported.
struct ChildRun
{
    int status = -1; // the RunOutcome, or -1 when the child did not end normally
    QStringList trace;
};

// Runs the conversion in a child process whose files may not grow beyond
// `limit` bytes. SIGXFSZ is ignored there, so a write past the limit fails
// with an error instead of ending the process.
ChildRun runUnderFileSizeLimit(const ConversionSettings& settings, rlim_t limit, const QString& traceFile)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit original{};
        getrlimit(RLIMIT_FSIZE, &original);
        rlimit limited = original;
        limited.rlim_cur = limit;
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0)
            _exit(100);
        RecordingHost host;
        const RunOutcome outcome = RunConversion(settings, host);
        setrlimit(RLIMIT_FSIZE, &original); // the trace file itself must not be cut
        if (!writeFile(traceFile, host.trace.join(QLatin1Char('\n')).toUtf8()))
            _exit(101);
        _exit(static_cast<int>(outcome));
    }
    ChildRun result;
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return result;
    result.status = WEXITSTATUS(status);
    result.trace = QString::fromUtf8(readFile(traceFile)).split(QLatin1Char('\n'));
    return result;
}

#ifdef PRZENOSNIK_CLI_BINARY
// Lines of text that a process printed, without the empty string after the last line end.
QStringList outputLines(const QByteArray& output)
{
    QStringList lines = QString::fromUtf8(output).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
#endif

} // namespace

class RunFaultsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    QString writeExport(const QString& text)
    {
        const QString path = m_dir.filePath(QStringLiteral("FVS%1.TXT").arg(++m_serial));
        if (!writeFile(path, exportBytes(text)))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QString freshCompany()
    {
        const QString path = m_dir.filePath(QStringLiteral("firma%1").arg(++m_serial));
        if (!QDir().mkpath(path))
            qFatal("cannot create %s", qPrintable(path));
        return path;
    }

    ConversionSettings realRun(const QString& exportText, const QString& company)
    {
        ConversionSettings settings;
        settings.exportFile = writeExport(exportText);
        settings.companyDirectory = company;
        return settings;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // The file-size limit lets `fits` more entries in; the next append fails.
    void appendBeyondFileSizeLimit_data()
    {
        QTest::addColumn<int>("existingRecords");
        QTest::addColumn<int>("partialTail");
        QTest::addColumn<int>("fits");
        QTest::addColumn<int>("slack"); // bytes allowed beyond the last entry that fits

        QTest::newRow("new file, nothing fits") << 0 << 0 << 0 << 0;
        QTest::newRow("new file, two fit") << 0 << 0 << 2 << 0;
        QTest::newRow("57 records, one fits") << 57 << 0 << 1 << 0;
        QTest::newRow("limit inside a record") << 3 << 0 << 1 << 150;
        QTest::newRow("limit one byte short") << 2 << 0 << 2 << 399;
        QTest::newRow("partial tail, limit at its end") << 2 << 100 << 0 << 100;
    }
    void appendBeyondFileSizeLimit()
    {
        QFETCH(int, existingRecords);
        QFETCH(int, partialTail);
        QFETCH(int, fits);
        QFETCH(int, slack);

        const QString company = freshCompany();
        const QString path = monthFilePath(company, 2014, 3);
        QByteArray before;
        for (int k = 1; k <= existingRecords; ++k)
            before += foreignRecord(k, static_cast<char>('a' + k % 26));
        before += QByteArray(partialTail, 'z');
        if (existingRecords > 0 || partialTail > 0)
            QVERIFY(writeFile(path, before));

        const int documents = fits + 2;
        const ConversionSettings settings = realRun(marchExport(documents), company);
        const rlim_t limit = rlim_t(existingRecords + fits) * LedgerEntrySize + rlim_t(slack);
        const ChildRun run =
            runUnderFileSizeLimit(settings, limit, m_dir.filePath(QStringLiteral("trace.txt")));

        QCOMPARE(run.status, int(RunOutcome::StoppedEarly));
        // The failure line, then the count (the failed document is counted) and the end line.
        QVERIFY(run.trace.size() >= 3);
        QCOMPARE(run.trace.mid(run.trace.size() - 3),
                 QStringList({appendFailure(path), countLine(fits + 1), RealEnd}));
        QCOMPARE(run.trace.count(appendFailure(path)), 1);

        const QByteArray after = readFile(path);
        const qsizetype kept = qsizetype(existingRecords) * LedgerEntrySize;
        PRZ_COMPARE_BYTES(after.left(kept), before.left(kept));
        const QList<QByteArray> records = wholeRecords(after);
        QCOMPARE(records.size(), existingRecords + fits);
        for (int k = existingRecords; k < records.size(); ++k) {
            QCOMPARE(entryNumber(records[k]), k + 1);
            QCOMPARE(documentNumber(records[k]),
                     QStringLiteral("FV %1").arg(k - existingRecords + 1).toLatin1());
        }
        // No half-written entry is left behind the last whole one.
        QCOMPARE(after.size(), qMax(qsizetype(records.size()) * LedgerEntrySize, qsizetype(before.size())));
    }

    // The same failure seen from the command-line converter: exit status 1.
    void commandLineAppendBeyondFileSizeLimit()
    {
#ifndef PRZENOSNIK_CLI_BINARY
        QSKIP("the command-line converter is not built");
#else
        const QString company = freshCompany();
        const QString path = monthFilePath(company, 2014, 3);
        const ConversionSettings settings = realRun(marchExport(3), company);

        QProcess cli;
        cli.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limited{};
            getrlimit(RLIMIT_FSIZE, &limited);
            limited.rlim_cur = LedgerEntrySize;
            setrlimit(RLIMIT_FSIZE, &limited);
        });
        cli.start(QStringLiteral(PRZENOSNIK_CLI_BINARY), {settings.exportFile, company});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 1);
        const QStringList lines = outputLines(cli.readAllStandardOutput());
        QVERIFY(lines.size() >= 3);
        QCOMPARE(lines.mid(lines.size() - 3), QStringList({appendFailure(path), countLine(2), RealEnd}));
        const QList<QByteArray> records = wholeRecords(readFile(path));
        QCOMPARE(records.size(), 1);
        QCOMPARE(entryNumber(records[0]), 1);
        QCOMPARE(readFile(path).size(), LedgerEntrySize);
#endif
    }

    // A directory stands where a monthly file should be.
    void monthFileIsADirectory_data()
    {
        QTest::addColumn<int>("blockedDocument"); // 1-based: the first document in the blocked month
        QTest::addColumn<QList<int>>("april");    // documents dated in April
        QTest::addColumn<int>("written");         // entries written in March before the failure

        QTest::newRow("first document") << 1 << QList<int>{1, 2} << 0;
        QTest::newRow("after two March entries") << 3 << QList<int>{3, 4} << 2;
    }
    void monthFileIsADirectory()
    {
        QFETCH(int, blockedDocument);
        QFETCH(QList<int>, april);
        QFETCH(int, written);

        const QString company = freshCompany();
        const QString blocked = monthFilePath(company, 2014, 4);
        QVERIFY(QDir().mkpath(blocked));
        RecordingHost host;
        QCOMPARE(RunConversion(realRun(marchExport(4, april), company), host), RunOutcome::StoppedEarly);

        QVERIFY(host.trace.size() >= 4);
        QCOMPARE(host.trace.mid(host.trace.size() - 4),
                 QStringList({openFailure(blocked), PeriodFailure, countLine(blockedDocument), RealEnd}));
        QVERIFY(QFileInfo(blocked).isDir());
        QVERIFY(QDir(blocked).isEmpty());
        const QList<QByteArray> records = wholeRecords(readFile(monthFilePath(company, 2014, 3)));
        QCOMPARE(records.size(), written);
    }

    // The company directory is removed while the run goes on.
    void companyDirectoryVanishes_data()
    {
        QTest::addColumn<QList<int>>("april");
        QTest::addColumn<QString>("failure"); // "open" or "append"

        QTest::newRow("before the next month is opened") << QList<int>{2, 3} << "open";
        QTest::newRow("while its month file is open") << QList<int>{} << "append";
    }
    void companyDirectoryVanishes()
    {
        QFETCH(QList<int>, april);
        QFETCH(QString, failure);

        const QString company = freshCompany();
        HookedHost host;
        bool removed = false;
        host.onTrace = [&](const QString& line) {
            // The mapping's first line of the second document: the first entry is written.
            if (!removed && line.startsWith(QStringLiteral("* Dokument nr:FV 2 "))) {
                QVERIFY(QFile::exists(monthFilePath(company, 2014, 3)));
                removed = QDir(company).removeRecursively();
            }
        };
        QCOMPARE(RunConversion(realRun(marchExport(3, april), company), host), RunOutcome::StoppedEarly);
        QVERIFY(removed);

        const QString path = monthFilePath(company, 2014, failure == QLatin1String("open") ? 4 : 3);
        const QStringList expectedEnd =
            failure == QLatin1String("open")
                ? QStringList({openFailure(path), PeriodFailure, countLine(2), RealEnd})
                : QStringList({appendFailure(path), countLine(2), RealEnd});
        QVERIFY(host.trace.size() >= expectedEnd.size());
        QCOMPARE(host.trace.mid(host.trace.size() - expectedEnd.size()), expectedEnd);
        QVERIFY(!QFileInfo::exists(company)); // nothing was created again
    }

    // An export "file" that is a directory never starts a run.
    void exportFileIsADirectory()
    {
        const QString directory = m_dir.filePath(QStringLiteral("FVS_KATALOG.TXT"));
        QVERIFY(QDir().mkpath(directory));
        const QString company = freshCompany();

        for (const bool dryRun : {true, false}) {
            const InputCheck check = CheckInputs(directory, company, dryRun);
            QCOMPARE(check.verdict, InputVerdict::FocusExportFile);
        }

        ConversionSettings settings;
        settings.exportFile = directory;
        settings.companyDirectory = company;
        RecordingHost host;
        host.documentCount = 7; // the count of an earlier run
        QCOMPARE(RunConversion(settings, host), RunOutcome::ExportNotOpened);
        QCOMPARE(host.exportFailures,
                 QStringList{QStringLiteral("Błąd otwarcia pliku epp \"%1\"").arg(directory)});
        QVERIFY(host.trace.isEmpty());
        QCOMPARE(host.documentCount, 7);
        QVERIFY(QDir(company).isEmpty());
    }

    // A file that opens but cannot be read: the read error ends the input.
    void exportFileUnreadable_data()
    {
        QTest::addColumn<bool>("dryRun");
        QTest::newRow("dry run") << true;
        QTest::newRow("real run") << false;
    }
    void exportFileUnreadable()
    {
        QFETCH(bool, dryRun);
#ifndef Q_OS_LINUX
        QSKIP("needs a file that opens but fails every read");
#else
        // Reading the process's own memory at offset 0 fails with an I/O error.
        const QString unreadable = QStringLiteral("/proc/self/mem");
        const QString company = freshCompany();
        ConversionSettings settings;
        settings.exportFile = unreadable;
        settings.companyDirectory = company;
        settings.dryRun = dryRun;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::UnsuitableVersion);
        QStringList expected{
            ReadFailure,
            QStringLiteral(" *** Nieodpowiednia, różna od (2) lub (3) wersja pliku źródłowego *** "),
            dryRun ? DryEnd : RealEnd};
        if (dryRun)
            expected.prepend(QStringLiteral(" *** Procedura sprawdzająca (BEZ ZAPISU ) ***"));
        QCOMPARE(host.trace, expected);
        QCOMPARE(host.documentCount, 0);
        QVERIFY(QDir(company).isEmpty());
#endif
    }

    // The read fails inside the second block: the first document is read, the
    // unfinished one is not, and the reader reports the error as the end.
    void readErrorInsideADocument()
    {
        const QString first = documentBlock(Invoice(), registerBlock("23", "100.00", "23.00"));
        const QString second = documentBlock(Invoice(), QString());
        BreakingDevice device(exportBytes(exportHeader() + first + second.left(second.size() / 2)));
        ConversionSettings settings;
        RecordingHost host;
        ConversionRun run(settings, host);
        ExportLineSource source(device);
        run.exportFile = &source;

        ReadHeader(run);
        QCOMPARE(run.templateVersion, 3);
        QVERIFY(ReadNextDocument(run));
        QCOMPARE(run.documentKind, 1);
        QCOMPARE(host.document.size(), first.count(QLatin1Char('\n')) - 2);
        host.trace.clear();

        QVERIFY(!ReadNextDocument(run));
        QVERIFY(run.endOfInput);
        QVERIFY(run.readFailed);
        QCOMPARE(host.trace, QStringList{ReadFailure});
        // Every later read meets the same end.
        QVERIFY(!ReadNextDocument(run));
        QVERIFY(run.endOfInput);
    }

    // The ledger program appends to the same monthly file between two of our
    // appends: our next entry counts its record and nothing of it is overwritten.
    void ledgerProgramAppendsMeanwhile_data()
    {
        QTest::addColumn<int>("existingRecords");
        QTest::addColumn<int>("foreignBytes"); // appended before our second entry

        QTest::newRow("new file, one foreign record") << 0 << 400;
        QTest::newRow("existing file, two foreign records") << 5 << 800;
        QTest::newRow("foreign partial record") << 1 << 150;
    }
    void ledgerProgramAppendsMeanwhile()
    {
        QFETCH(int, existingRecords);
        QFETCH(int, foreignBytes);

        const QString company = freshCompany();
        const QString path = monthFilePath(company, 2014, 3);
        QByteArray before;
        for (int k = 1; k <= existingRecords; ++k)
            before += foreignRecord(k, 'e');
        if (existingRecords > 0)
            QVERIFY(writeFile(path, before));

        QByteArray foreign;
        for (int k = 0; k * LedgerEntrySize < foreignBytes; ++k)
            foreign += foreignRecord(existingRecords + 2 + k, 'f');
        foreign.truncate(foreignBytes);

        HookedHost host;
        bool appended = false;
        host.onTrace = [&](const QString& line) {
            if (!appended && line.startsWith(QStringLiteral("* Dokument nr:FV 2 ")))
                appended = appendToFile(path, foreign);
        };
        QCOMPARE(RunConversion(realRun(marchExport(3), company), host), RunOutcome::Completed);
        QVERIFY(appended);
        QVERIFY(!host.trace.join(QLatin1Char('\n')).contains(QStringLiteral("Błąd")));

        const QByteArray after = readFile(path);
        const int foreignRecords = foreignBytes / LedgerEntrySize;
        const QList<QByteArray> records = wholeRecords(after);
        QCOMPARE(records.size(), existingRecords + 1 + foreignRecords + 2);
        QCOMPARE(after.size(), records.size() * LedgerEntrySize);
        PRZ_COMPARE_BYTES(after.left(before.size()), before);
        QCOMPARE(documentNumber(records[existingRecords]), QByteArray("FV 1"));
        QCOMPARE(entryNumber(records[existingRecords]), existingRecords + 1);
        for (int k = 0; k < foreignRecords; ++k)
            PRZ_COMPARE_BYTES(records[existingRecords + 1 + k],
                              foreign.mid(k * LedgerEntrySize, LedgerEntrySize));
        for (int k = existingRecords + 1 + foreignRecords, number = 2; k < records.size(); ++k, ++number) {
            QCOMPARE(entryNumber(records[k]), k + 1);
            QCOMPARE(documentNumber(records[k]), QStringLiteral("FV %1").arg(number).toLatin1());
        }
    }
};

QTEST_GUILESS_MAIN(RunFaultsTest)
#include "test_run_faults.moc"
