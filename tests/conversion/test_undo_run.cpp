// Taking runs back: the monthly files return byte for byte to what they were
// before the run, whether it completed, stopped on a failure or was killed;
// nothing is changed when the ledger program touched a file since. Also the
// journal that cannot be written and the number of backup folders kept.
#include "conversion/RunConversion.h"
#include "conversion/RunReplay.h"
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

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMap>
#include <QTest>
#include <QtEndian>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

// A company whose March file holds two entries of the ledger program and part of a third.
QString companyWithMarch(ScratchFiles& dir)
{
    const QString company = dir.freshCompany();
    const QByteArray march = foreignRecord(1, 'a') + foreignRecord(2, 'b') + QByteArray(150, 'c');
    if (!writeOldFile(monthFilePath(company, 2014, 3), march))
        qFatal("cannot write the March file");
    return company;
}

// The records with their EntryNo counted on from `first`.
QByteArray entryNumbered(QByteArray records, qint32 first)
{
    for (qsizetype at = 0; at + 4 <= records.size(); at += LedgerEntrySize, ++first)
        qToLittleEndian(first, records.data() + at);
    return records;
}

// The tests book the same invoices again and again: the duplicate guard is off.
ConversionSettings bookedAgain(ConversionSettings settings)
{
    settings.skipDuplicates = false;
    return settings;
}

UndoPlan planLast(const QString& company)
{
    return planUndoOfLastRun(company, readJournal(company, JournalScope::UndoTarget));
}

UndoResult undoLast(const QString& company)
{
    const UndoPlan plan = planLast(company);
    if (!plan.canUndo())
        return {false, plan.found ? plan.refusal : QStringLiteral("nothing"), {}, {}};
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
                                        << "na pozycji 5 wpis, którego ta konwersja nie zapisała";
        QTest::newRow("earlier entry changed") << "2014T305.3"
                                               << "byte 10"
                                               << "zmienione wpisy sprzed";
        QTest::newRow("added entry changed") << "2014T305.3"
                                             << "byte 1300"
                                             << "na pozycji 4 wpis, którego";
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

        const UndoPlan plan = planLast(company);
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

    // Only the run's own records are removed; any other stops the undo, which then changes nothing.
    void undoRemovesOnlyTheRunsRecords_data()
    {
        QTest::addColumn<QString>("change"); // after the run
        QTest::addColumn<QString>("reason"); // empty: undone

        QTest::newRow("killed run") << "killed"
                                    << "";
        QTest::newRow("killed after its 2nd entry") << "killed early"
                                                    << "";
        QTest::newRow("killed in the middle of an entry") << "torn entry"
                                                          << "";
        QTest::newRow("killed run that left a document out") << "killed, one left out"
                                                             << "";
        QTest::newRow("ledger's entry after a killed run") << "killed, append"
                                                           << "na pozycji 5 wpis";
        QTest::newRow("ledger's entry after a completed run") << "append"
                                                              << "na pozycji 5 wpis";
        QTest::newRow("ledger's entry between the run's") << "killed, between"
                                                          << "na pozycji 4 wpis";
        QTest::newRow("an entry of the run changed") << "killed, byte 900"
                                                     << "na pozycji 3 wpis";
        QTest::newRow("export changed") << "killed, export changed"
                                        << "zmienił się albo go nie ma";
        QTest::newRow("export gone") << "killed, export gone"
                                     << "od pozycji 3 wpisy";
        // A run that ended wrote down the digest of its entries: its export is not needed.
        QTest::newRow("completed run, export gone") << "export gone"
                                                    << "";
    }
    void undoRemovesOnlyTheRunsRecords()
    {
        QFETCH(QString, change);
        QFETCH(QString, reason);

        const QString company = companyWithMarch(m_dir);
        const Files before = ledgerFiles(company);
        ConversionSettings settings = bookedAgain(m_dir.realRun(marchExport(4, {3, 4}), company));
        if (change.endsWith("left out"))
            settings.excludedDocuments = DocumentSelection::fromOrdinals({1});
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);
        const QString march = monthFilePath(company, 2014, 3);
        QByteArray bytes = readFile(march);
        const QByteArray journal = readFile(journalPath(company));
        auto keepLines = [&](int n) {
            QVERIFY(
                writeFile(journalPath(company),
                          journal.left(journal.indexOf("FILEEND")).split('\n').mid(0, n).join('\n') + '\n'));
        };
        if (change.startsWith("killed"))
            keepLines(3); // as a kill leaves it: the run and its two files
        if (change == "killed early" || change == "torn entry") {
            keepLines(2);
            QVERIFY(QFile::remove(monthFilePath(company, 2014, 4)));
            QVERIFY(writeFile(march, bytes.left(change == "torn entry" ? 1350 : 1600)));
        }
        if (change.endsWith("append"))
            QVERIFY(appendToFile(march, foreignRecord(5, 'x')));
        if (change.endsWith("between"))
            QVERIFY(writeFile(march,
                              bytes.left(1200) + foreignRecord(4, 'x') + entryNumbered(bytes.mid(1200), 5)));
        if (change.endsWith("byte 900")) {
            bytes[900] = char(bytes.at(900) ^ 0x20);
            QVERIFY(writeFile(march, bytes));
        }
        if (change.endsWith("export changed"))
            QVERIFY(appendToFile(settings.exportFile, "\r\n"));
        if (change.endsWith("export gone"))
            QVERIFY(QFile::remove(settings.exportFile));
        const Files changed = ledgerFiles(company);

        const UndoPlan plan = planLast(company);
        QVERIFY(plan.found);
        QVERIFY2(plan.refusal.contains(reason), qPrintable(plan.refusal));
        if (!reason.isEmpty()) {
            QCOMPARE(plan.refusedFile, QStringLiteral("2014T305.3"));
            QVERIFY(!applyUndo(company, plan).done);
            QCOMPARE(ledgerFiles(company), changed);
            return;
        }
        QVERIFY(applyUndo(company, plan).done);
        QCOMPARE(ledgerFiles(company), before);
    }

    // A run over a folder of KSeF invoices that did not end is replayed from
    // the same invoices; one changed since, or one more, refuses the undo.
    void killedRunOverKsefInvoices_data()
    {
        QTest::addColumn<QString>("change"); // in the folder, after the run
        QTest::addColumn<QString>("reason"); // empty: undone
        QTest::newRow("invoices as they were") << ""
                                               << "";
        QTest::newRow("an invoice changed") << "changed"
                                            << "zmienił się albo go nie ma";
        QTest::newRow("an invoice more") << "added"
                                         << "zmienił się albo go nie ma";
    }
    void killedRunOverKsefInvoices()
    {
        QFETCH(QString, change);
        QFETCH(QString, reason);
        const QString folder = m_dir.filePath(QStringLiteral("ksef-%1").arg(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        const QDir samples(QStringLiteral(PRZENOSNIK_TEST_DATA "/ksef"));
        for (const QString& name : samples.entryList({QStringLiteral("6761011234-*.xml")}, QDir::Files))
            QVERIFY(QFile::copy(samples.filePath(name), QDir(folder).filePath(name)));
        const QString company = companyWithMarch(m_dir);
        const Files before = ledgerFiles(company);
        ConversionSettings settings = m_dir.realRun(QString(), company);
        settings.exportFile = folder;
        settings.companyNip = QStringLiteral("6761011234");
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);
        // As a kill leaves the journal: no end records.
        const QByteArray journal = readFile(journalPath(company));
        QVERIFY(writeFile(journalPath(company), journal.left(journal.indexOf("FILEEND"))));
        const QStringList invoices = QDir(folder).entryList(QDir::Files, QDir::Name);
        if (change == QLatin1String("changed"))
            QVERIFY(appendToFile(QDir(folder).filePath(invoices.first()), "\n"));
        if (change == QLatin1String("added"))
            QVERIFY(QFile::copy(QDir(folder).filePath(invoices.first()), QDir(folder).filePath("kopia.xml")));

        const UndoPlan plan = planLast(company);
        QVERIFY(plan.found);
        QVERIFY2(plan.refusal.contains(reason) && plan.canUndo() == reason.isEmpty(),
                 qPrintable(plan.refusal));
        if (reason.isEmpty()) {
            QVERIFY(applyUndo(company, plan).done);
            QCOMPARE(ledgerFiles(company), before);
        }
    }

    // A journal made to point outside the directory, at a link, or damaged
    // in the run's records changes nothing; one cut short by a crash (its
    // last record torn) is as a killed run's.
    void forgedOrDamagedJournalChangesNothing_data()
    {
        QTest::addColumn<QString>("forgery");
        QTest::addColumn<QString>("reason"); // empty: undone

        QTest::newRow("a path for a name") << "name ../victim.txt"
                                           << "nie jest nazwą pliku miesiąca";
        QTest::newRow("an absolute path") << "name /victim.txt"
                                          << "nie jest nazwą pliku miesiąca";
        QTest::newRow("a month file in another directory") << "name x/2014T305.3"
                                                           << "nie jest nazwą pliku miesiąca";
        QTest::newRow("a link named as a month file") << "link 2014t305.5"
                                                      << "nie jest zwykłym plikiem";
        QTest::newRow("a byte changed in a record of the run") << "flip 5"
                                                               << "uszkodzony albo niepełny wiersz 5";
        QTest::newRow("a line deleted") << "delete 3"
                                        << "uszkodzony albo niepełny wiersz 3";
        QTest::newRow("a record without a check added") << "unchecked"
                                                        << "uszkodzony albo niepełny wiersz 7";
        QTest::newRow("an older program's journal") << "no checks"
                                                    << "bez sumy kontrolnej";
        QTest::newRow("the end record cut short") << "cut 6"
                                                  << "";
        QTest::newRow("the file end records cut short") << "cut 4"
                                                        << "";
    }
    void forgedOrDamagedJournalChangesNothing()
    {
        QFETCH(QString, forgery);
        QFETCH(QString, reason);
        if (forgery.startsWith("link") && !havePosixFaults())
            QSKIP(NoSymbolicLinks);

        const QString company = companyWithMarch(m_dir);
        const Files before = ledgerFiles(company);
        RecordingHost host;
        QCOMPARE(RunConversion(bookedAgain(m_dir.realRun(marchExport(4, {3, 4}), company)), host),
                 RunOutcome::Completed);
        const QString victim = QDir(company).filePath("../victim.txt");
        QVERIFY(writeFile(victim, "the books"));
        const QString path = journalPath(company);
        QList<QByteArray> lines = readFile(path).split('\n');
        const QString argument = forgery.section(' ', 1);
        const int line = argument.toInt() - 1;
        const QString id = readJournal(company).runs.last().id;
        if (forgery.startsWith("name") || forgery.startsWith("link")) {
            if (forgery.startsWith("link"))
                QVERIFY(QFile::link(victim, QDir(company).filePath(argument)));
            const QString run = runIdAfter(id, QDateTime::currentDateTime());
            QVERIFY(appendJournalRecord(path, {"RUN", run, "/x", "1", QString(64, u'0')}));
            QVERIFY(appendJournalRecord(path, {"FILE", run, argument, "1", "0", QString(64, u'0'), ""}));
        } else if (forgery.startsWith("flip")) {
            lines[line][10] = char(lines[line][10] ^ 1);
        } else if (forgery.startsWith("delete")) {
            lines.removeAt(line);
        } else if (forgery == "unchecked") {
            lines.insert(lines.size() - 1,
                         "FILE\t" + id.toLatin1() + "\t2014T305.7\t0\t0\t" + QByteArray(64, '0') + "\t");
        } else if (forgery == "no checks") {
            for (QByteArray& text : lines)
                text = text.left(text.lastIndexOf('\t'));
        } else if (forgery.startsWith("cut")) {
            lines = lines.mid(0, line + 1);
            lines.last().chop(lines.last().size() / 2);
        }
        if (!forgery.startsWith("name") && !forgery.startsWith("link"))
            QVERIFY(writeFile(path, lines.join('\n')));
        const Files changed = ledgerFiles(company);

        const UndoPlan plan = planLast(company);
        QVERIFY(plan.found);
        QVERIFY2(plan.refusal.contains(reason), qPrintable(plan.refusal));
        const UndoResult result = applyUndo(company, plan);
        QCOMPARE(result.done, reason.isEmpty());
        QCOMPARE(ledgerFiles(company), reason.isEmpty() ? before : changed);
        QCOMPARE(readFile(victim), QByteArray("the books"));
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
        const UndoPlan plan = planUndoOfLastRun(company, journal);
        QVERIFY2(plan.canUndo(), qPrintable(plan.refusal));
        QVERIFY(plan.entries() >= 100);
        QVERIFY(undoPlanLines(plan).last().contains("porównano"));
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
