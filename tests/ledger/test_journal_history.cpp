// Reading the journal back: every record kind, a text field with the
// characters that separate fields and lines, and lines that cannot be read
// (torn by a crash, edited by hand), which are reported and skipped.
#include "ledger/JournalHistory.h"
#include "ledger/JournalRecord.h"

#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {
const QString Digest = QString(64, u'0');
const QString Id = QStringLiteral("20140312-101500");
const QString Id2 = QStringLiteral("20140312-101500-2");

using Records = QList<QStringList>;

// The records as the program writes them, each check following the one before.
QString chain(const Records& records)
{
    QByteArray text;
    QByteArray previous = NoCheck;
    for (const QStringList& fields : records) {
        const QByteArray line = formatJournalLine(fields, previous);
        previous = line.right(9).left(8);
        text += line;
    }
    return QString::fromUtf8(text);
}

// A run that wrote three entries to one file, from start to end.
Records completeRun(const QString& id)
{
    return {{"RUN", id, "/dane/FVS\t1\\.TXT", "10", Digest, "codepage=852"},
            {"FILE", id, "2014T305.3", "1", "1000", Digest, QString(400, u'a')},
            {"FILEEND", id, "2014T305.3", "2000", Digest, "3"},
            {"END", id, "zakończona", "3"}};
}

// The lines without their checks, as an older program wrote them.
QString unchecked(QString text)
{
    return text.remove(QRegularExpression("\t#[0-9a-f]{8}(?=\n)"));
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

        const QString run = chain(completeRun(Id));
        QTest::newRow("complete run") << run << QStringList{"zakończona"} << QList<int>{};
        QTest::newRow("taken back") << chain(completeRun(Id)
                                             << QStringList{"UNDO", Id, "20140313-080000", "3"})
                                    << QStringList{"cofnięta"} << QList<int>{};
        QTest::newRow("torn last line") << run + "RUN\t" + Id2 + "\t/dane/FVS2.TXT\t10\t0000"
                                        << QStringList{"zakończona"} << QList<int>{5};
        QTest::newRow("run without its end") << run.section('\n', 0, 1) + "\n"
                                             << QStringList{"przerwana"} << QList<int>{};
        QTest::newRow("second run torn in its file record")
            << chain(completeRun(Id) << QStringList{"RUN", Id2, "/x", "1", Digest}) + "FILE\t" + Id2 +
                   "\t2014T305.4\t0\t0\t"
            << QStringList{"zakończona", "przerwana"} << QList<int>{6};
        QTest::newRow("edited digest, its end refers to nothing")
            << QString(run).replace(QStringLiteral("1000\t") + Digest, QStringLiteral("1000\t12ab"))
            << QStringList{"zakończona"} << QList<int>{2, 3};
        QTest::newRow("tail not as long as the partial entry")
            << QString(run).replace(QStringLiteral("\t1000\t"), QStringLiteral("\t1200\t"))
            << QStringList{"zakończona"} << QList<int>{2, 3};
        QTest::newRow("unknown kind, unknown run, a file the run did not name")
            << chain(completeRun(Id) << QStringList{"STEP", Id, "1"}
                                     << QStringList{"END", Id2, "zakończona", "0"}
                                     << QStringList{"FILEEND", Id, "2014T305.9", "0", Digest, "0"})
            << QStringList{"zakończona"} << QList<int>{5, 6, 7};
        QTest::newRow("a blank line is no record") << "\n" + run << QStringList{"zakończona"} << QList<int>{};
        QTest::newRow("a bit flipped")
            << QString(run).replace("\t2000\t", "\t2001\t") << QStringList{"zakończona"} << QList<int>{3};
        QTest::newRow("a line deleted") << run.section('\n', 0, 0) + '\n' + run.section('\n', 2)
                                        << QStringList{"zakończona"} << QList<int>{2};
        QTest::newRow("a line without a check after checked ones")
            << run + unchecked(chain({{"RUN", Id2, "/x", "1", Digest}})) << QStringList{"zakończona"}
            << QList<int>{5};
        QTest::newRow("an older program's journal, without checks")
            << unchecked(run) << QStringList{"zakończona"} << QList<int>{};
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
        // Read from its end, the last run is the same.
        const JournalContents end = readJournal(company, JournalScope::LastRun);
        QVERIFY(!end.runs.isEmpty());
        QCOMPARE(end.runs.last().outcome(), outcomes.last());
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
        // A line torn by a crash is no damage, once a record follows it too.
        QCOMPARE(after.badOffsets, journal.badOffsets);
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
        // The clock back at the earlier time: the next id still comes after.
        const QDateTime clock = QDateTime::fromString(earlier.left(15), "yyyyMMdd-HHmmss");
        QVERIFY(runIdLess(later, runIdAfter(later, clock)));
    }
};

QTEST_GUILESS_MAIN(JournalHistoryTest)
#include "test_journal_history.moc"
