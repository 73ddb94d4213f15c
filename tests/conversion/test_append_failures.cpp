// Appends that the operating system refuses: a run under a file-size limit
// writes what fits, reports the failed append, ends with its count and end
// lines, and leaves every earlier byte of the monthly file as it was. No file
// permissions are involved: the tests also run as root.
#include "conversion/RunConversion.h"
#include "ledger/LedgerEntry.h"

#include "support/ConversionTestHost.h"
#include "support/FaultRuns.h"
#include "support/LedgerFiles.h"
#include "support/ScratchFiles.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

// What a run in a child process reported.
struct ChildRun
{
    int status = -1; // the RunOutcome, or -1 when the child did not end normally
    QStringList trace;
};

// Runs the conversion in a child process whose files may not grow beyond
// `limit` bytes. SIGXFSZ is ignored there, so a write past the limit fails
// with an error instead of ending the process.
ChildRun runUnderFileSizeLimit(const ConversionSettings& settings, qint64 limit, const QString& traceFile)
{
    ChildRun result;
    result.status = runInChild([&] {
        if (!limitFileSize(limit))
            return 100;
        RecordingHost host;
        const RunOutcome outcome = RunConversion(settings, host);
        limitFileSize(-1); // the trace file itself must not be cut
        if (!writeFile(traceFile, host.trace.join(QLatin1Char('\n')).toUtf8()))
            return 101;
        return static_cast<int>(outcome);
    });
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

class AppendFailuresTest : public QObject
{
    Q_OBJECT

    ScratchFiles m_dir; // export files and company directories

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // The file-size limit lets `fits` more entries in; the next append fails.
    void appendBeyondFileSizeLimit_data()
    {
        QTest::addColumn<bool>("fileBefore"); // a monthly file exists before the run
        QTest::addColumn<int>("existingRecords");
        QTest::addColumn<int>("partialTail");
        QTest::addColumn<int>("fits");
        QTest::addColumn<int>("slack"); // bytes allowed beyond the last entry that fits

        // A file that this run created and that holds nothing is removed again.
        QTest::newRow("new file, nothing fits") << false << 0 << 0 << 0 << 0;
        QTest::newRow("new file, two fit") << false << 0 << 0 << 2 << 0;
        QTest::newRow("empty file, nothing fits") << true << 0 << 0 << 0 << 0;
        QTest::newRow("57 records, one fits") << true << 57 << 0 << 1 << 0;
        QTest::newRow("limit inside a record") << true << 3 << 0 << 1 << 150;
        QTest::newRow("limit one byte short") << true << 2 << 0 << 2 << 399;
        // The partial record that the failed entry began to replace is put back.
        QTest::newRow("partial tail, limit at its end") << true << 2 << 100 << 0 << 100;
        QTest::newRow("partial tail, limit inside the entry") << true << 20 << 100 << 0 << 250;
        QTest::newRow("partial tail, one fits") << true << 2 << 100 << 1 << 399;
    }
    void appendBeyondFileSizeLimit()
    {
        if (!havePosixFaults())
            QSKIP("Windows has no file-size limit for a process");
        QFETCH(bool, fileBefore);
        QFETCH(int, existingRecords);
        QFETCH(int, partialTail);
        QFETCH(int, fits);
        QFETCH(int, slack);

        const QString company = m_dir.freshCompany();
        const QString path = monthFilePath(company, 2014, 3);
        QByteArray before;
        for (int k = 1; k <= existingRecords; ++k)
            before += foreignRecord(k, static_cast<char>('a' + k % 26));
        before += QByteArray(partialTail, 'z');
        if (fileBefore)
            QVERIFY(writeFile(path, before));

        const int documents = fits + 2;
        // The limit is on the monthly file; the journal would not fit under it either.
        ConversionSettings settings = m_dir.realRun(marchExport(documents), company);
        settings.keepJournal = false;
        const qint64 limit = qint64(existingRecords + fits) * LedgerEntrySize + slack;
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
        // Behind the entries written the file holds what it held before.
        PRZ_COMPARE_BYTES(after.mid(kept + qsizetype(fits) * LedgerEntrySize),
                          fits == 0 ? before.mid(kept) : QByteArray());
        QCOMPARE(QFileInfo::exists(path), fileBefore || fits > 0);
    }

    // The same failure seen from the command-line converter: exit status 1,
    // also when the signal of the file-size limit would end the process.
    void commandLineAppendBeyondFileSizeLimit_data()
    {
        QTest::addColumn<bool>("signalIgnored"); // SIGXFSZ ignored before the converter starts
        QTest::newRow("signal ignored") << true;
        QTest::newRow("signal at its default") << false;
    }
    void commandLineAppendBeyondFileSizeLimit()
    {
#ifndef PRZENOSNIK_CLI_BINARY
        QSKIP("the command-line converter is not built");
#else
        QFETCH(bool, signalIgnored);
        if (!havePosixFaults())
            QSKIP("Windows has no file-size limit for a process");
        const QString company = m_dir.freshCompany();
        const QString path = monthFilePath(company, 2014, 3);
        const ConversionSettings settings = m_dir.realRun(marchExport(3), company);

        QProcess cli;
        limitFileSizeOf(cli, LedgerEntrySize, signalIgnored);
        cli.start(QStringLiteral(PRZENOSNIK_CLI_BINARY), {"--no-journal", settings.exportFile, company});
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

    // A standard output whose reader has gone away neither ends nor shortens a run.
    void commandLineOutputClosed()
    {
#ifndef PRZENOSNIK_CLI_BINARY
        QSKIP("the command-line converter is not built");
#else
        if (!havePosixFaults())
            QSKIP("Windows has no SIGPIPE: a closed output is an ordinary write error there");
        const QString company = m_dir.freshCompany();
        const int documents = 300;
        const ConversionSettings settings = m_dir.realRun(marchExport(documents), company);
        QProcess cli;
        closeStandardOutputOf(cli);
        cli.start(QStringLiteral(PRZENOSNIK_CLI_BINARY), {settings.exportFile, company});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 0);
        const QList<QByteArray> records = wholeRecords(readFile(monthFilePath(company, 2014, 3)));
        QCOMPARE(records.size(), documents);
        QCOMPARE(documentNumber(records.last()), QByteArray("FV 300"));
#endif
    }
};

QTEST_GUILESS_MAIN(AppendFailuresTest)
#include "test_append_failures.moc"
