// Runs that meet failing files: a monthly file that cannot be opened, a
// company directory that disappears or that another run is writing into, an
// export file that is a directory, no regular file, a monthly file of the run
// or cannot be read, and the ledger program appending to the same monthly
// file meanwhile. Permissions are never used to make a file fail: the tests also
// run as root.
#include "conversion/ConversionRun.h"
#include "conversion/ExportLineSource.h"
#include "conversion/ExportReader.h"
#include "conversion/RunConversion.h"
#include "ledger/DirectoryLock.h"
#include "ledger/LedgerEntry.h"

#include "platform/Process.h"
#include "support/ConversionTestHost.h"
#include "support/FailDevice.h"
#include "support/FaultRuns.h"
#include "support/LedgerFiles.h"
#include "support/ScratchFiles.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace przenosnik;
using namespace przenosnik::test;

class RunFaultsTest : public QObject
{
    Q_OBJECT

    ScratchFiles m_dir; // export files and company directories

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

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

        const QString company = m_dir.freshCompany();
        const QString blocked = monthFilePath(company, 2014, 4);
        QVERIFY(QDir().mkpath(blocked));
        RecordingHost host;
        QCOMPARE(RunConversion(m_dir.realRun(marchExport(4, april), company), host),
                 RunOutcome::StoppedEarly);

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
        if (!havePosixFaults())
            QSKIP("Windows keeps a folder while a file in it is open");

        const QString company = m_dir.freshCompany();
        HookedHost host;
        bool removed = false;
        host.onTrace = [&](const QString& line) {
            // The mapping's first line of the second document: the first entry is written.
            if (!removed && line.startsWith(QStringLiteral("* Dokument nr:FV 2 "))) {
                QVERIFY(QFile::exists(monthFilePath(company, 2014, 3)));
                removed = QDir(company).removeRecursively();
            }
        };
        QCOMPARE(RunConversion(m_dir.realRun(marchExport(3, april), company), host),
                 RunOutcome::StoppedEarly);
        QVERIFY(removed);

        // The first entry went with its file, and its result says so.
        const QString march = monthFilePath(company, 2014, 3);
        const QStringList expectedEnd =
            failure == QLatin1String("open")
                ? QStringList({openFailure(monthFilePath(company, 2014, 4)), PeriodFailure,
                               appendFailure(march), countLine(2), RealEnd})
                : QStringList({appendFailure(march), countLine(2), RealEnd});
        QVERIFY(host.trace.size() >= expectedEnd.size());
        QCOMPARE(host.trace.mid(host.trace.size() - expectedEnd.size()), expectedEnd);
        QVERIFY(!QFileInfo::exists(company)); // nothing was created again
        QCOMPARE(host.results.size(), 2);
        QCOMPARE(host.results[0].state, DocumentState::NotWritten);
        QCOMPARE(host.results[0].remarks.last(), QStringLiteral("zniknął z pliku"));
    }

    // An export "file" that is a directory is a folder of KSeF invoices: one
    // without any books nothing and writes nothing.
    void exportFileIsADirectory()
    {
        const QString directory = m_dir.filePath(QStringLiteral("FVS_KATALOG.TXT"));
        QVERIFY(QDir().mkpath(directory));
        const QString company = m_dir.freshCompany();

        for (const bool dryRun : {true, false}) {
            const InputCheck check = checkInputs(directory, company, dryRun);
            QCOMPARE(check.verdict, InputVerdict::Run);
        }

        ConversionSettings settings;
        settings.exportFile = directory;
        settings.companyDirectory = company;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);
        QVERIFY(host.exportFailures.isEmpty());
        QCOMPARE(host.documentCount, 0);
        QCOMPARE(QDir(company).entryList(QDir::Files).filter(QStringLiteral("T305")), QStringList());
    }

    // Only one run at a time writes into a company directory. A lock left by
    // a process that has ended on this computer is taken over at once, one
    // not touched for a minute whoever wrote it, an unreadable one after a
    // few seconds; a dry run takes none.
    void directoryLock_data()
    {
        QTest::addColumn<QString>("lock"); // what stands under the lock's name
        QTest::addColumn<int>("age");      // seconds since it was last touched
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<QString>("refusal"); // "": none; "holder", "unknown holder", "no file"

        QTest::newRow("held by another run") << "held" << 0 << false << "holder";
        QTest::newRow("held, dry run") << "held" << 0 << true << "";
        QTest::newRow("live process, not touched for a minute") << "stuck" << 61 << false << "";
        QTest::newRow("left by an ended process") << "ended" << 0 << false << "";
        QTest::newRow("another computer's") << "other computer" << 30 << false << "holder";
        QTest::newRow("another computer's, not touched for a minute")
            << "other computer" << 61 << false << "";
        QTest::newRow("empty, being written") << "empty" << 0 << false << "unknown holder";
        QTest::newRow("empty, a few seconds old") << "empty" << 6 << false << "";
        QTest::newRow("unreadable, a few seconds old") << "garbage" << 6 << false << "";
        QTest::newRow("a directory") << "directory" << 600 << false << "no file";
        QTest::newRow("a symbolic link") << "link" << 600 << false << "no file";
        QTest::newRow("free") << "none" << 0 << false << "";
    }
    void directoryLock()
    {
        QFETCH(QString, lock);
        QFETCH(int, age);
        QFETCH(bool, dryRun);
        QFETCH(QString, refusal);

        if (lock == QLatin1String("link") && !havePosixFaults())
            QSKIP(NoSymbolicLinks);
        const QString company = m_dir.freshCompany();
        const QString lockPath = company + QStringLiteral("/PRZENOSN.LCK");
        std::optional<DirectoryLock> other; // another run's
        if (lock == QLatin1String("held")) {
            other.emplace(company);
            QVERIFY(!other->busy());
        }
        // This computer's name as a lock records it.
        const QString holder =
            lock == QLatin1String("other computer") ? QStringLiteral("KSIEGOWOSC-2") : platform::hostName();
        if (lock == QLatin1String("ended") || lock == QLatin1String("other computer") ||
            lock == QLatin1String("stuck"))
            QVERIFY(writeFile(lockPath,
                              QStringLiteral("%1\nprzenosnik-cli\n%2\n2014-03-12T08:15:00Z\n")
                                  .arg(lock == QLatin1String("stuck") ? QCoreApplication::applicationPid()
                                                                      : endedProcessId())
                                  .arg(holder)
                                  .toUtf8()));
        if (lock == QLatin1String("empty") || lock == QLatin1String("garbage"))
            QVERIFY(
                writeFile(lockPath, lock == QLatin1String("empty") ? QByteArray() : QByteArray("\x01\x02")));
        if (lock == QLatin1String("directory"))
            QVERIFY(QDir().mkpath(lockPath));
        if (lock == QLatin1String("link"))
            QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("nowhere")), lockPath));
        if (age > 0 && QFileInfo(lockPath).isFile()) {
            QFile touched(lockPath);
            QVERIFY(touched.open(QIODevice::ReadWrite));
            QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(-age),
                                        QFileDevice::FileModificationTime));
        }
        ConversionSettings settings = m_dir.realRun(marchExport(2), company);
        settings.dryRun = dryRun;
        HookedHost host;
        host.documentCount = 7; // the count of an earlier run
        bool lockedMeanwhile = false;
        host.onTrace = [&](const QString&) {
            lockedMeanwhile =
                lockedMeanwhile ||
                readFile(lockPath).startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
        };

        const RunOutcome outcome = RunConversion(settings, host);
        if (!refusal.isEmpty()) {
            QCOMPARE(outcome, RunOutcome::DirectoryBusy);
            QCOMPARE(host.refusals.size(), 1);
            const QString text = host.refusals.first();
            if (refusal == QLatin1String("no file")) {
                QCOMPARE(text,
                         QStringLiteral("Nie można założyć blokady katalogu %1: nazwę PRZENOSN.LCK nosi "
                                        "tam katalog lub inny obiekt, który nie jest zwykłym plikiem. "
                                        "Usuń go lub zmień mu nazwę i spróbuj ponownie.")
                             .arg(company));
            } else if (refusal == QLatin1String("unknown holder")) {
                QCOMPARE(text, QStringLiteral("Do katalogu %1 zapisuje właśnie inna konwersja. Spróbuj "
                                              "ponownie, gdy się zakończy.")
                                   .arg(company));
            } else {
                const qint64 pid = lock == QLatin1String("held") ? QCoreApplication::applicationPid() : 0;
                QVERIFY2(text.startsWith(QStringLiteral("Do katalogu %1 zapisuje właśnie inna konwersja "
                                                        "(komputer %2, proces ")
                                             .arg(company, holder)),
                         qPrintable(text));
                if (pid)
                    QVERIFY(text.contains(QStringLiteral(", proces %1, od ").arg(pid)));
                QVERIFY(text.endsWith(QStringLiteral("). Spróbuj ponownie, gdy się zakończy.")));
            }
            QVERIFY(host.trace.isEmpty());
            QCOMPARE(host.documentCount, 7);
            QVERIFY(!QFileInfo::exists(monthFilePath(company, 2014, 3)));
            return;
        }
        QCOMPARE(outcome, RunOutcome::Completed);
        QVERIFY(host.refusals.isEmpty());
        QCOMPARE(wholeRecords(readFile(monthFilePath(company, 2014, 3))).size(), dryRun ? 0 : 2);
        QCOMPARE(lockedMeanwhile, !dryRun || lock == QLatin1String("held"));
        // A run leaves no lock of its own; a lock it did not take stays.
        QCOMPARE(QFile::exists(lockPath), dryRun && lock != QLatin1String("none"));
    }

    // A live run touches its lock every few seconds, however long one step takes.
    void directoryLockIsKeptFresh()
    {
        const QString company = m_dir.freshCompany();
        const QString lockPath = company + QStringLiteral("/PRZENOSN.LCK");
        const DirectoryLock lock(company, std::chrono::milliseconds(20));
        QVERIFY(!lock.busy());
        {
            QFile file(lockPath);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                     QFileDevice::FileModificationTime));
        }
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(lockPath).lastModified().secsTo(QDateTime::currentDateTime()) < 60,
                                 5000);
        // Another run sees it as held.
        const DirectoryLock second(company);
        QVERIFY(second.busy());
    }

    // An export file that is no regular file is refused before it is opened,
    // so that nothing blocks; a link to a regular file is read as usual.
    void exportFileIsNoRegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("opened");
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("endless device") << "/dev/zero" << false;
        QTest::newRow("socket") << "socket" << false;
        QTest::newRow("link to a regular file") << "link" << true;
    }
    void exportFileIsNoRegularFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, opened);
        const QString company = m_dir.freshCompany();
        QString path = m_dir.filePath(
            QStringLiteral("%1-%2.TXT")
                .arg(kind.section(QLatin1Char('/'), -1), company.section(QLatin1Char('/'), -1)));
        if (!havePosixFaults())
            QSKIP("Windows has no FIFOs, sockets or endless devices in the file system, and no links without "
                  "privileges");
        if (kind == QLatin1String("fifo"))
            QVERIFY(makeFifo(path));
        else if (kind == QLatin1String("socket"))
            QVERIFY(makeSocket(path));
        else if (kind == QLatin1String("link"))
            QVERIFY(QFile::link(m_dir.writeExport(marchExport(1)), path));
        else
            path = kind;

        // Such a name exists: the run itself reports it.
        QCOMPARE(checkInputs(path, company, false).verdict, InputVerdict::Run);
        ConversionSettings settings;
        settings.exportFile = path;
        settings.companyDirectory = company;
        RecordingHost host;
        const RunOutcome outcome = RunConversion(settings, host);
        if (opened) {
            QCOMPARE(outcome, RunOutcome::Completed);
            QCOMPARE(wholeRecords(readFile(monthFilePath(company, 2014, 3))).size(), 1);
            return;
        }
        QCOMPARE(outcome, RunOutcome::ExportNotOpened);
        QCOMPARE(host.exportFailures,
                 QStringList{QStringLiteral("Błąd otwarcia pliku epp \"%1\"").arg(path)});
        QVERIFY(host.trace.isEmpty());
        QVERIFY(QDir(company).isEmpty());
    }

    // The export file is one of the run's monthly files: it is read, never written.
    void exportFileIsAMonthlyFile_data()
    {
        QTest::addColumn<bool>("hardLink"); // the monthly file is another name of the export file
        QTest::newRow("same name") << false;
        QTest::newRow("hard link") << true;
    }
    void exportFileIsAMonthlyFile()
    {
        QFETCH(bool, hardLink);
        const QString company = m_dir.freshCompany();
        const QString monthly = monthFilePath(company, 2014, 3);
        const QString exportFile = m_dir.writeExport(marchExport(2));
        if (hardLink)
            QVERIFY(makeHardLink(exportFile, monthly));
        else
            QVERIFY(QFile::rename(exportFile, monthly));
        const QByteArray before = readFile(monthly);

        ConversionSettings settings;
        settings.exportFile = hardLink ? exportFile : monthly;
        settings.companyDirectory = company;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::StoppedEarly);
        QVERIFY(host.trace.size() >= 4);
        QCOMPARE(host.trace.mid(host.trace.size() - 4),
                 QStringList({openFailure(monthly), PeriodFailure, countLine(1), RealEnd}));
        PRZ_COMPARE_BYTES(readFile(monthly), before);
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
        Q_UNUSED(dryRun);
        QSKIP("needs a file that opens but fails every read");
#else
        // Reading the process's own memory at offset 0 fails with an I/O error.
        const QString unreadable = QStringLiteral("/proc/self/mem");
        const QString company = m_dir.freshCompany();
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
        QVERIFY(QDir(company).entryList({"*T305.*"}, QDir::AllEntries).isEmpty());
#endif
    }

    // The read fails inside the second block: the first document is read, the
    // unfinished one is not, and the reader reports the error as the end.
    void readErrorInsideADocument()
    {
        const QString first = documentBlock(Invoice(), registerBlock("23", "100.00", "23.00"));
        const QString second = documentBlock(Invoice(), QString());
        FailDevice device(exportBytes(exportHeader() + first + second.left(second.size() / 2)));
        ConversionSettings settings;
        RecordingHost host;
        ConversionRun run(settings, host);
        ExportLineSource source(device);
        run.exportFile = &source;

        ReadHeader(run);
        QCOMPARE(run.templateVersion, 3);
        QVERIFY(ReadNextDocument(run));
        QCOMPARE(run.documentKind, 1);
        QCOMPARE(run.document.size(), first.count(QLatin1Char('\n')) - 2);
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

        const QString company = m_dir.freshCompany();
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
        QCOMPARE(RunConversion(m_dir.realRun(marchExport(3), company), host), RunOutcome::Completed);
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
