// A real run killed at any step, its undo killed at any step, then the undo
// done (or finished): the company directory is byte for byte as before the run.
#include "conversion/RunConversion.h"
#include "conversion/RunReplay.h"
#include "ledger/CrashPoint.h"
#include "ledger/JournalHistory.h"
#include "ledger/UndoRun.h"

#include "support/ConversionTestHost.h"
#include "support/FaultRuns.h"
#include "support/LedgerFiles.h"
#include "support/ScratchFiles.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QTest>

#include <functional>
#include <optional>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

// Runs the step in a child process stopped at the crash point (0: never);
// answers whether the child was stopped there.
bool killedAt(int point, const std::function<void()>& step)
{
    return runInChild([&] {
               armCrashPoint(point);
               step();
               return 0;
           }) == 137;
}

UndoResult undoLastRun(const QString& company)
{
    const UndoPlan plan = planUndoOfLastRun(company, readJournal(company, JournalScope::UndoTarget));
    if (!plan.canUndo())
        return {false, plan.found ? plan.refusedFile + ' ' + plan.refusal : QStringLiteral("none"), {}, {}};
    return applyUndo(company, plan);
}

} // namespace

class CrashConsistencyTest : public QObject
{
    Q_OBJECT

    std::optional<ScratchFiles> m_scratch;

private Q_SLOTS:
    void initTestCase()
    {
        if (!havePosixFaults())
            QSKIP("a run killed at a point needs a child process forked from the test");
        // A kill leaves what was written in the page cache: a memory file
        // system keeps the dozens of runs from waiting on the disk.
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            qputenv("TMPDIR", "/dev/shm");
        m_scratch.emplace();
        QVERIFY(m_scratch->isValid());
    }

    void killedRunAndUndoLeaveTheDirectoryAsBefore_data()
    {
        QTest::addColumn<int>("runPoint");  // 0: the run completes
        QTest::addColumn<int>("undoPoint"); // 0: the first undo is not killed
        // A run of March, April and March again into a March file with a
        // partial entry passes about twenty points, its undo about a dozen.
        for (int point = 1; point <= 22; ++point)
            QTest::addRow("run killed at %d", point) << point << (point * 5) % 13;
        for (int point = 1; point <= 13; ++point)
            QTest::addRow("undo killed at %d", point) << 0 << point;
    }
    void killedRunAndUndoLeaveTheDirectoryAsBefore()
    {
        QFETCH(int, runPoint);
        QFETCH(int, undoPoint);

        const QString company = m_scratch->freshCompany();
        QVERIFY(writeOldFile(monthFilePath(company, 2014, 3),
                             foreignRecord(1, 'a') + foreignRecord(2, 'b') + QByteArray(150, 'c')));
        const Files before = ledgerFiles(company);
        const ConversionSettings settings = m_scratch->realRun(marchExport(6, {3, 4}), company);
        const bool runKilled = killedAt(runPoint, [&settings] {
            RecordingHost host;
            RunConversion(settings, host);
        });
        QVERIFY(runKilled || runPoint == 0 || runPoint > 18);
        const bool undoKilled = killedAt(undoPoint, [&company] { undoLastRun(company); });
        QVERIFY(undoKilled || undoPoint == 0 || runPoint > 0);

        // Nothing to undo only when the run stopped before its first file, or the first undo ended.
        const UndoResult result = undoLastRun(company);
        QVERIFY2(result.done || result.failure == QStringLiteral("none"), qPrintable(result.failure));
        QCOMPARE(ledgerFiles(company), before);
        QCOMPARE(readJournal(company).problems, QStringList());
    }
};

QTEST_GUILESS_MAIN(CrashConsistencyTest)
#include "test_crash_consistency.moc"
