// Reading the journal back: every record kind, a text field with the
// characters that separate fields and lines, and lines that cannot be read
// (torn by a crash, edited by hand), which are reported and skipped.
#include "ledger/JournalHistory.h"
#include "ledger/JournalRecord.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {
const QString Digest = QString(64, u'0');
const QString Id = QStringLiteral("20140312-101500");
const QString Id2 = QStringLiteral("20140312-101500-2");

QString line(const QStringList& fields)
{
    return QString::fromUtf8(formatJournalLine(fields));
}

// A run that wrote three entries to one file, from start to end.
QString completeRun(const QString& id)
{
    return line({"RUN", id, "/dane/FVS\t1\\.TXT", "10", Digest, "codepage=852"}) +
           line({"FILE", id, "2014T305.3", "1", "1000", Digest, QString(400, u'a')}) +
           line({"FILEEND", id, "2014T305.3", "2000", Digest, "3"}) + line({"END", id, "zakończona", "3"});
}
} // namespace

class JournalHistoryTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void readsRunsAndSkipsBadLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("outcomes"); // of the runs, oldest first
        QTest::addColumn<QList<int>>("badLines");

        QTest::newRow("complete run") << completeRun(Id) << QStringList{"zakończona"} << QList<int>{};
        QTest::newRow("taken back") << completeRun(Id) + line({"UNDO", Id, "20140313-080000", "3"})
                                    << QStringList{"cofnięta"} << QList<int>{};
        QTest::newRow("torn last line") << completeRun(Id) + "RUN\t" + Id2 + "\t/dane/FVS2.TXT\t10\t0000"
                                        << QStringList{"zakończona"} << QList<int>{5};
        QTest::newRow("run without its end") << completeRun(Id).section('\n', 0, 1) + "\n"
                                             << QStringList{"przerwana"} << QList<int>{};
        QTest::newRow("second run torn in its file record")
            << completeRun(Id) + line({"RUN", Id2, "/x", "1", Digest}) + "FILE\t" + Id2 +
                   "\t2014T305.4\t0\t0\t"
            << QStringList{"zakończona", "przerwana"} << QList<int>{6};
        QTest::newRow("edited digest, its end refers to nothing")
            << completeRun(Id).replace(QStringLiteral("1000\t") + Digest, QStringLiteral("1000\t12ab"))
            << QStringList{"zakończona"} << QList<int>{2, 3};
        QTest::newRow("tail not as long as the partial entry")
            << completeRun(Id).replace(QStringLiteral("\t1000\t"), QStringLiteral("\t1200\t"))
            << QStringList{"zakończona"} << QList<int>{2, 3};
        QTest::newRow("unknown kind, unknown run, twice the same id")
            << completeRun(Id) + line({"STEP", Id, "1"}) + line({"END", Id2, "zakończona", "0"}) +
                   line({"RUN", Id, "/y", "1", Digest})
            << QStringList{"zakończona"} << QList<int>{5, 6, 7};
        QTest::newRow("a blank line is no record")
            << "\n" + completeRun(Id) << QStringList{"zakończona"} << QList<int>{};
    }
    void readsRunsAndSkipsBadLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, outcomes);
        QFETCH(QList<int>, badLines);

        const QString company = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(company));
        QVERIFY(writeFile(journalPath(company), text.toUtf8()));
        const JournalContents journal = readJournal(company);
        QStringList found;
        for (const JournalRun& run : journal.runs)
            found.append(run.outcome());
        QCOMPARE(found, outcomes);
        QStringList expected;
        for (int bad : badLines)
            expected.append(QStringLiteral("Nieczytelny wiersz %1 dziennika %2 - pominięty")
                                .arg(bad)
                                .arg(journalPath(company)));
        QCOMPARE(journal.problems, expected);
        const JournalRun& first = journal.runs.first();
        QCOMPARE(first.exportFile, QStringLiteral("/dane/FVS\t1\\.TXT"));
        if (badLines.isEmpty()) {
            QCOMPARE(first.files.size(), 1);
            QCOMPARE(first.files.first().start(), 800);
            QCOMPARE(first.files.first().ended, first.ended);
        }

        // The next record starts a line of its own, after a torn one too.
        QVERIFY(appendJournalRecord(journalPath(company), {"RUN", "20140314-000000", "/z", "1", Digest}));
        const JournalContents after = readJournal(company);
        QCOMPARE(after.runs.size(), journal.runs.size() + 1);
        QCOMPARE(after.runs.last().exportFile, QStringLiteral("/z"));
        QCOMPARE(after.problems, journal.problems);
    }

    void runIdsSortByTimeThenCounter_data()
    {
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QString>("later");
        QTest::newRow("seconds") << "20140312-101500"
                                 << "20140312-101501";
        QTest::newRow("counter after none") << "20140312-101500"
                                            << "20140312-101500-2";
        QTest::newRow("counter 10 after 9") << "20140312-101500-9"
                                            << "20140312-101500-10";
        QTest::newRow("day before counter") << "20140312-101500-5"
                                            << "20140313-000000";
    }
    void runIdsSortByTimeThenCounter()
    {
        QFETCH(QString, earlier);
        QFETCH(QString, later);
        QVERIFY(isRunId(earlier) && isRunId(later));
        QVERIFY(runIdLess(earlier, later));
        QVERIFY(!runIdLess(later, earlier));
    }
};

QTEST_GUILESS_MAIN(JournalHistoryTest)
#include "test_journal_history.moc"
