// The ledger program writes to the same monthly files while a run appends to
// them: it appends records of its own, or cuts a file short. Nothing it wrote
// is overwritten, every entry of the run is numbered where it landed, and
// entries it took away stop the run and are reported as lost.
#include "conversion/RunConversion.h"
#include "ledger/LedgerEntry.h"
#include "platform/NativeFile.h"

#include "support/ConversionTestHost.h"
#include "support/FaultRuns.h"
#include "support/LedgerFiles.h"
#include "support/ScratchFiles.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

constexpr char Foreign = 'f'; // every byte of the other program's records but their number

// Appends whole records to a file with a handle of its own, each at the
// file's end in one step, as another program would, until stopped or done
// with its records. It starts once the run has appended its first entry: the
// file is larger than it was and holds whole records only.
class OtherProgram
{
public:
    OtherProgram(QString path, int pauseMicroseconds, qint64 startAbove)
        : m_path(std::move(path)), m_pause(pauseMicroseconds), m_startAbove(startAbove),
          m_thread([this] { run(); })
    {
    }
    ~OtherProgram() { stop(); }
    int stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_written;
    }

private:
    // Enough to meet every entry of a run at full speed; a bound on the disk
    // it takes where the run is slow (sanitizers).
    static constexpr int MostRecords = 100000;

    void run()
    {
        const auto started = [this] {
            const qint64 size = QFileInfo(m_path).size();
            return size > m_startAbove && size % LedgerEntrySize == 0;
        };
        while (!m_stop && !started())
            std::this_thread::yield();
        const platform::OpenedFile file = platform::openRegularFile(
            m_path, platform::Access::ReadWrite, platform::Links::Refuse, platform::Creation::ExistingOnly);
        if (file.handle < 0)
            return;
        const auto closed = qScopeGuard([&] { platform::closeHandle(file.handle); });
        if (!platform::setAppending(file.handle, true))
            return;
        const QByteArray record = foreignRecord(9999, Foreign);
        while (!m_stop && m_written < MostRecords) {
            if (platform::appendToEnd(file.handle, record) != LedgerEntrySize)
                return;
            ++m_written;
            if (m_pause > 0)
                std::this_thread::sleep_for(std::chrono::microseconds(m_pause));
        }
    }

    const QString m_path;
    const int m_pause;
    const qint64 m_startAbove;
    std::atomic<bool> m_stop{false};
    int m_written = 0;
    std::thread m_thread; // last: started once the rest is ready
};

bool isForeign(const QByteArray& record)
{
    return record.mid(4) == QByteArray(LedgerEntrySize - 4, Foreign);
}

void makeOld(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-600), QFileDevice::FileModificationTime));
}

} // namespace

class SharedMonthFilesTest : public QObject
{
    Q_OBJECT

    ScratchFiles m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void otherProgramAppends_data()
    {
        QTest::addColumn<int>("pause");       // microseconds between its records; 0: as fast as it can
        QTest::addColumn<int>("partialTail"); // bytes of a record left unfinished long ago

        QTest::newRow("a record every 2 ms") << 2000 << 0;
        QTest::newRow("as fast as it can") << 0 << 0;
        QTest::newRow("as fast as it can, partial tail before") << 0 << 150;
    }
    void otherProgramAppends()
    {
        QFETCH(int, pause);
        QFETCH(int, partialTail);
        if (!appendsAreAtomic())
            QSKIP("this system finds a file's end and writes there in two steps: two appenders can overwrite "
                  "each other");
        const int documents = 3000;
        const int existing = 57;
        const QString company = m_dir.freshCompany();
        const QString path = monthFilePath(company, 2014, 3);
        QByteArray before;
        for (int k = 1; k <= existing; ++k)
            before += foreignRecord(k, 'e');
        QVERIFY(writeFile(path, before + QByteArray(partialTail, 'p')));
        makeOld(path);

        RecordingHost host;
        int theirs = 0;
        RunOutcome outcome;
        {
            OtherProgram other(path, pause, before.size() + partialTail);
            outcome = RunConversion(m_dir.realRun(marchExport(documents), company), host);
            theirs = other.stop();
        }
        QCOMPARE(outcome, RunOutcome::Completed);
        QVERIFY(!host.trace.join(QLatin1Char('\n')).contains(QStringLiteral("Błąd")));
        QVERIFY(theirs > 0);

        const QByteArray after = readFile(path);
        QCOMPARE(after.size() % LedgerEntrySize, 0);
        PRZ_COMPARE_BYTES(after.left(before.size()), before);
        const QList<QByteArray> records = wholeRecords(after);
        QCOMPARE(records.size(), existing + documents + theirs);
        int ours = 0;
        for (int k = existing; k < records.size(); ++k) {
            if (isForeign(records[k]))
                continue;
            // Ours, in the order of the export, each numbered where it stands.
            ++ours;
            QCOMPARE(documentNumber(records[k]), QStringLiteral("FV %1").arg(ours).toLatin1());
            QCOMPARE(entryNumber(records[k]), k + 1);
            QCOMPARE(host.results.at(ours - 1).position, k + 1);
        }
        QCOMPARE(ours, documents);
    }

    // Another program cuts the file short while the run appends to it, or
    // cuts it and appends its own records where the run's entries were.
    void otherProgramCutsTheFile_data()
    {
        QTest::addColumn<int>("cutAfter");     // entries of the run written when the file is cut
        QTest::addColumn<int>("keep");         // entries of the run the cut leaves
        QTest::addColumn<int>("appendedAnew"); // the other program's records appended after the cut
        QTest::addColumn<QList<int>>("april"); // documents dated in April: the run is elsewhere meanwhile
        QTest::addColumn<int>("documents");

        QTest::newRow("to what it was before the run") << 3 << 0 << 0 << QList<int>{} << 6;
        QTest::newRow("into the run's entries") << 3 << 1 << 0 << QList<int>{} << 6;
        QTest::newRow("to nothing") << 2 << -1 << 0 << QList<int>{} << 6;
        QTest::newRow("records of its own where the run's were") << 3 << 1 << 4 << QList<int>{} << 6;
        QTest::newRow("while the run writes another month") << 3 << 0 << 0 << QList<int>{4, 5, 6} << 6;
        QTest::newRow("filled again to the same size, meanwhile") << 3 << 0 << 3 << QList<int>{4, 5, 6} << 6;
        // Long past the first entries, where the file is asked only now and then.
        QTest::newRow("into the run's entries, in a long run") << 30 << 20 << 0 << QList<int>{} << 60;
        QTest::newRow("records of its own, in a long run") << 30 << 20 << 2 << QList<int>{} << 60;
    }
    void otherProgramCutsTheFile()
    {
        QFETCH(int, cutAfter);
        QFETCH(int, keep);
        QFETCH(int, appendedAnew);
        QFETCH(QList<int>, april);
        QFETCH(int, documents);
        const int existing = 5;
        const QString company = m_dir.freshCompany();
        const QString path = monthFilePath(company, 2014, 3);
        QByteArray before;
        for (int k = 1; k <= existing; ++k)
            before += foreignRecord(k, 'e');
        QVERIFY(writeFile(path, before));

        HookedHost host;
        bool cut = false;
        host.onTrace = [&](const QString& line) {
            if (cut || !line.startsWith(QStringLiteral("* Dokument nr:FV %1 ").arg(cutAfter + 1)))
                return;
            QFile file(path);
            const qint64 size = keep < 0 ? 0 : qint64(existing + keep) * LedgerEntrySize;
            cut =
                file.resize(size) && appendToFile(path, QByteArray(appendedAnew * LedgerEntrySize, Foreign));
        };
        QCOMPARE(RunConversion(m_dir.realRun(marchExport(documents, april), company), host),
                 RunOutcome::StoppedEarly);
        QVERIFY(cut);

        // One failure line naming the file, then the count and the end lines.
        QCOMPARE(host.trace.count(appendFailure(path)), 1);
        const qsizetype failure = host.trace.indexOf(appendFailure(path));
        QCOMPARE(host.trace.mid(failure + 1).size(), 2);
        // No hole: no record of zeros, nothing behind the other program's records.
        const QByteArray after = readFile(path);
        QCOMPARE(after.size() % LedgerEntrySize, 0);
        QVERIFY(!wholeRecords(after).contains(QByteArray(LedgerEntrySize, '\0')));

        // The results say which entries are gone; those left stand written. Entries
        // written after the cut, before the run found it, stand at the file's new end.
        const int kept = qMax(keep, 0);
        const QList<QByteArray> records = wholeRecords(after);
        int late = 0;
        for (const DocumentResult& result : std::as_const(host.results)) {
            if (result.ordinal > cutAfter) {
                if (result.state != DocumentState::Written || result.monthFile != path)
                    continue;
                ++late;
                QCOMPARE(entryNumber(records.at(result.position - 1)), result.position);
                QCOMPARE(documentNumber(records.at(result.position - 1)),
                         QStringLiteral("FV %1").arg(result.ordinal).toLatin1());
                continue;
            }
            const bool lost = result.ordinal > kept;
            QCOMPARE(result.state, lost ? DocumentState::NotWritten : DocumentState::Written);
            QCOMPARE(result.remarks.contains(QStringLiteral("zniknął z pliku")), lost);
            if (!lost)
                QCOMPARE(documentNumber(records.at(result.position - 1)),
                         QStringLiteral("FV %1").arg(result.ordinal).toLatin1());
        }
        QCOMPARE(after.size(), ((keep < 0 ? 0 : existing + keep) + appendedAnew + late) * LedgerEntrySize);
    }

    // The other program appends a record right before one of the run's entries;
    // the same invoice again later in the run is a duplicate of that entry where
    // it stands, not where it was first numbered.
    void duplicateOfAnEntryPushedFurther_data()
    {
        QTest::addColumn<int>("pushed");   // the entry the other program's record lands before
        QTest::addColumn<int>("repeated"); // the document after which that invoice comes again

        QTest::newRow("among the first entries, next") << 3 << 3;
        QTest::newRow("in a long run, next") << 20 << 20;
        QTest::newRow("in a long run, later") << 20 << 40;
    }
    void duplicateOfAnEntryPushedFurther()
    {
        QFETCH(int, pushed);
        QFETCH(int, repeated);
        const int documents = 50;
        const int existing = 2;
        const QString company = m_dir.freshCompany();
        const QString path = monthFilePath(company, 2014, 3);
        QVERIFY(writeFile(path, foreignRecord(1, 'e') + foreignRecord(2, 'e')));

        QString text = exportHeader();
        const auto invoice = [&text](int number) {
            Invoice sale;
            sale.number = QStringLiteral("FV %1").arg(number);
            text += documentBlock(sale, registerBlock("23", "100.00", "23.00"));
        };
        for (int k = 1; k <= documents; ++k) {
            invoice(k);
            if (k == repeated)
                invoice(pushed);
        }
        HookedHost host;
        bool appended = false;
        host.onTrace = [&](const QString& line) {
            if (!appended && line.startsWith(QStringLiteral("* Dokument nr:FV %1 ").arg(pushed)))
                appended = appendToFile(path, foreignRecord(9999, Foreign));
        };
        QCOMPARE(RunConversion(m_dir.realRun(text, company), host), RunOutcome::Completed);
        QVERIFY(appended);

        const int position = existing + pushed + 1;
        const QString cited = QStringLiteral(" * dokument już jest w KPR: plik %1, pozycja %2 - pominięty *")
                                  .arg(path)
                                  .arg(position);
        QCOMPARE(host.trace.count(cited), 1);
        const QList<QByteArray> records = wholeRecords(readFile(path));
        QCOMPARE(records.size(), existing + documents + 1);
        QCOMPARE(documentNumber(records.at(position - 1)), QStringLiteral("FV %1").arg(pushed).toLatin1());
        for (const DocumentResult& result : std::as_const(host.results)) {
            if (result.state == DocumentState::Duplicate) {
                QCOMPARE(result.position, position);
                continue;
            }
            QCOMPARE(result.state, DocumentState::Written);
            QCOMPARE(entryNumber(records.at(result.position - 1)), result.position);
            QCOMPARE(documentNumber(records.at(result.position - 1)),
                     QStringLiteral("FV %1")
                         .arg(result.ordinal - (result.ordinal > repeated + 1 ? 1 : 0))
                         .toLatin1());
        }
    }
};

QTEST_GUILESS_MAIN(SharedMonthFilesTest)
#include "test_shared_month_files.moc"
