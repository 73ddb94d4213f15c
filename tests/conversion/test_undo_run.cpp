// Taking runs back: the monthly files return byte for byte to what they were
// before the run, whether it completed, stopped on a failure or was killed;
// nothing is changed when the ledger program touched a file since. Also the
// journal that cannot be written and the number of backup folders kept.
#include "conversion/RunConversion.h"
#include "ledger/JournalHistory.h"
#include "ledger/JournalRecord.h"
#include "ledger/LedgerEntry.h"
#include "ledger/RunBackup.h"
#include "ledger/UndoRun.h"
#include "ledger/UndoText.h"

#include "support/ConversionTestHost.h"
#include "support/FaultRuns.h"
#include "support/LedgerFiles.h"
#include "support/ScratchFiles.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMap>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

using Files = QMap<QString, QByteArray>;

// The company directory's files as the ledger program sees them: everything
// but the journal and the backups.
Files ledgerFiles(const QString& company)
{
    Files files;
    for (const QString& name : QDir(company).entryList(QDir::Files)) {
        if (name != JournalFileName)
            files.insert(name, readFile(QDir(company).filePath(name)));
    }
    return files;
}

// A company whose March file holds two entries of the ledger program and part of a third.
QString companyWithMarch(ScratchFiles& dir)
{
    const QString company = dir.freshCompany();
    const QByteArray march = foreignRecord(1, 'a') + foreignRecord(2, 'b') + QByteArray(150, 'c');
    if (!writeFile(monthFilePath(company, 2014, 3), march))
        qFatal("cannot write the March file");
    return company;
}

// The tests book the same invoices again and again: the duplicate guard is off.
ConversionSettings bookedAgain(ConversionSettings settings)
{
    settings.skipDuplicates = false;
    return settings;
}

UndoResult undoLast(const QString& company)
{
    const UndoPlan plan = planUndo(company, readJournal(company));
    if (!plan.canUndo())
        return {false, plan.found ? plan.refusal : QStringLiteral("nothing")};
    return applyUndo(company, plan);
}

} // namespace

class UndoRunTest : public QObject
{
    Q_OBJECT

    ScratchFiles m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void undoRestoresTheFiles_data()
    {
        QTest::addColumn<int>("runs");
        QTest::addColumn<bool>("blockApril"); // a directory stands where the April file would go
        QTest::addColumn<int>("undos");
        QTest::addColumn<int>("state");     // the files are as after this many runs
        QTest::addColumn<bool>("lastDone"); // the last undo took something back

        QTest::newRow("completed run") << 1 << false << 1 << 0 << true;
        QTest::newRow("stopped run") << 1 << true << 1 << 0 << true;
        QTest::newRow("the later of two runs") << 2 << false << 1 << 1 << true;
        QTest::newRow("two undos in a row") << 2 << false << 2 << 0 << true;
        QTest::newRow("nothing left to take back") << 2 << false << 3 << 0 << false;
    }
    void undoRestoresTheFiles()
    {
        QFETCH(int, runs);
        QFETCH(bool, blockApril);
        QFETCH(int, undos);
        QFETCH(int, state);
        QFETCH(bool, lastDone);

        const QString company = companyWithMarch(m_dir);
        if (blockApril)
            QVERIFY(QDir().mkpath(monthFilePath(company, 2014, 4)));
        QList<Files> states{ledgerFiles(company)};
        for (int i = 0; i < runs; ++i) {
            RecordingHost host;
            QCOMPARE(RunConversion(bookedAgain(m_dir.realRun(marchExport(4, {3, 4}), company)), host),
                     blockApril ? RunOutcome::StoppedEarly : RunOutcome::Completed);
            states.append(ledgerFiles(company));
        }
        QVERIFY(states.at(1) != states.at(0));
        // The backup holds the March file as it was, partial entry included.
        const QString firstRun = readJournal(company).runs.first().id;
        QCOMPARE(readFile(backupFolder(company, firstRun) + "/2014T305.3"), states.at(0).value("2014T305.3"));

        UndoResult result;
        for (int i = 0; i < undos; ++i)
            result = undoLast(company);
        QCOMPARE(result.done, lastDone);
        QVERIFY2(result.failure.isEmpty() != !lastDone, qPrintable(result.failure));
        QCOMPARE(ledgerFiles(company), states.at(state));
        const JournalContents journal = readJournal(company);
        QVERIFY(journal.problems.isEmpty());
        QCOMPARE(journal.runs.first().outcome(), undos >= runs ? QStringLiteral("cofnięta")
                                                 : blockApril  ? journal::Stopped
                                                               : journal::Completed);
    }

    // The ledger program (or anything else) changed a file after the run.
    void refusesWhenAFileChanged_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("reason");

        QTest::newRow("entry appended") << "2014T305.3"
                                        << "append"
                                        << "ma długość";
        QTest::newRow("earlier entry changed") << "2014T305.3"
                                               << "byte 10"
                                               << "zmienione wpisy sprzed";
        QTest::newRow("added entry changed") << "2014T305.3"
                                             << "byte 1300"
                                             << "dopisane przez konwersję";
        QTest::newRow("cut short") << "2014T305.3"
                                   << "cut"
                                   << "krótszy";
        QTest::newRow("created file removed") << "2014T305.4"
                                              << "remove"
                                              << "nie istnieje";
    }
    void refusesWhenAFileChanged()
    {
        QFETCH(QString, file);
        QFETCH(QString, change);
        QFETCH(QString, reason);

        const QString company = companyWithMarch(m_dir);
        RecordingHost host;
        QCOMPARE(RunConversion(bookedAgain(m_dir.realRun(marchExport(4, {3, 4}), company)), host),
                 RunOutcome::Completed);
        const QString path = QDir(company).filePath(file);
        QByteArray bytes = readFile(path);
        if (change == "append")
            QVERIFY(appendToFile(path, foreignRecord(6, 'x')));
        else if (change == "cut")
            QVERIFY(QFile::resize(path, 400));
        else if (change == "remove")
            QVERIFY(QFile::remove(path));
        else {
            const int offset = change.mid(5).toInt();
            bytes[offset] = char(bytes.at(offset) ^ 0x20);
            QVERIFY(writeFile(path, bytes));
        }
        const Files changed = ledgerFiles(company);

        const UndoPlan plan = planUndo(company, readJournal(company));
        QVERIFY(plan.found);
        QCOMPARE(plan.refusedFile, file);
        QVERIFY2(plan.refusal.contains(reason), qPrintable(plan.refusal));
        const QString message = undoRefusalText(plan);
        QVERIFY(message.contains(file) && message.contains(backupFolder(company, plan.run.id)));
        const UndoResult result = applyUndo(company, plan);
        QVERIFY(!result.done);
        QVERIFY(!result.failure.isEmpty());
        QCOMPARE(ledgerFiles(company), changed);
        QCOMPARE(readJournal(company).runs.last().outcome(), journal::Completed);
    }

    // While another run writes into the directory, nothing is taken back.
    void refusesWhileAnotherRunWrites()
    {
        const QString company = companyWithMarch(m_dir);
        RecordingHost host;
        QCOMPARE(RunConversion(bookedAgain(m_dir.realRun(marchExport(4, {3, 4}), company)), host),
                 RunOutcome::Completed);
        const Files after = ledgerFiles(company);
        QLockFile otherRun(company + QStringLiteral("/PRZENOSN.LCK"));
        QVERIFY(otherRun.tryLock(0));
        const UndoResult result = undoLast(company);
        QVERIFY(!result.done);
        QVERIFY2(result.failure.contains(QStringLiteral("inna konwersja")), qPrintable(result.failure));
        otherRun.unlock();
        QCOMPARE(ledgerFiles(company), after);
        QCOMPARE(readJournal(company).runs.last().outcome(), journal::Completed);
    }

    // A run killed in the middle leaves a run record without an end; it is cut
    // back to where it began.
    void killedRunIsUndone()
    {
        if (!havePosixFaults())
            QSKIP("Windows has no fork: no run to kill in the middle inside the test");
        const QString company = companyWithMarch(m_dir);
        const Files before = ledgerFiles(company);
        const ConversionSettings settings = m_dir.realRun(marchExport(20000), company);
        const QString march = monthFilePath(company, 2014, 3);

        QVERIFY(killChildWhen(
            [&] {
                RecordingHost host;
                RunConversion(settings, host);
            },
            [&] {
                return QFileInfo(march).size() >= before.value("2014T305.3").size() + 100 * LedgerEntrySize;
            }));

        const JournalContents journal = readJournal(company);
        QVERIFY(interruptedLastRun(journal));
        QCOMPARE(journal.runs.last().outcome(), QStringLiteral("przerwana"));
        const UndoPlan plan = planUndo(company, journal);
        QVERIFY2(plan.canUndo(), qPrintable(plan.refusal));
        QVERIFY(plan.entries() >= 100);
        QVERIFY(undoPlanLines(plan).last().contains("mógł dopisać"));
        QVERIFY(applyUndo(company, plan).done);
        QCOMPARE(ledgerFiles(company), before);
    }

    // No entry is written that the journal does not know about.
    void unwritableJournalStopsTheRun_data()
    {
        QTest::addColumn<QString>("blocked"); // made a directory or a file
        QTest::addColumn<bool>("withMarch");

        QTest::newRow("journal is a directory") << JournalFileName << false;
        QTest::newRow("backup folder cannot be made") << BackupDirectoryName << true;
    }
    void unwritableJournalStopsTheRun()
    {
        QFETCH(QString, blocked);
        QFETCH(bool, withMarch);

        const QString company = withMarch ? companyWithMarch(m_dir) : m_dir.freshCompany();
        const QString path = QDir(company).filePath(blocked);
        QVERIFY(blocked == JournalFileName ? QDir().mkpath(path) : writeFile(path, "x"));
        const Files before = ledgerFiles(company);
        RecordingHost host;
        QCOMPARE(RunConversion(m_dir.realRun(marchExport(2), company), host), RunOutcome::StoppedEarly);

        QVERIFY(host.trace.size() >= 4);
        QCOMPARE(host.trace.mid(host.trace.size() - 4).at(0).left(22),
                 QStringLiteral("Błąd zapisu dziennika "));
        QVERIFY(host.trace.at(host.trace.size() - 4).contains(blocked));
        QCOMPARE(host.trace.mid(host.trace.size() - 3), QStringList({PeriodFailure, countLine(1), RealEnd}));
        QCOMPARE(ledgerFiles(company), before);
    }

    void keepsTheBackupsOfTwentyRuns()
    {
        const QString company = companyWithMarch(m_dir);
        const QString exportText = marchExport(1);
        for (int i = 0; i < KeptBackupRuns + 2; ++i) {
            RecordingHost host;
            QCOMPARE(RunConversion(bookedAgain(m_dir.realRun(exportText, company)), host),
                     RunOutcome::Completed);
        }
        QStringList newest;
        for (const JournalRun& run : readJournal(company).runs)
            newest.append(run.id);
        QCOMPARE(newest.size(), KeptBackupRuns + 2);
        newest = newest.mid(2);
        QStringList kept =
            QDir(QDir(company).filePath(BackupDirectoryName)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(kept.begin(), kept.end(), runIdLess);
        QCOMPARE(kept, newest);
    }
};

QTEST_GUILESS_MAIN(UndoRunTest)
#include "test_undo_run.moc"
