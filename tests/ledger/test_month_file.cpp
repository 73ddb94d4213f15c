// Appending entries to the monthly ledger files.
#include "ledger/LedgerEntry.h"
#include "ledger/MonthFile.h"
#include "platform/SystemPaths.h"

#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

// An entry whose bytes are all distinguishable from old file contents.
LedgerEntry sampleEntry(int seed)
{
    LedgerEntry entry;
    entry.setText(field::DocNo, QByteArray("FV ") + QByteArray::number(seed));
    entry.setReal(field::Kol1W, 100.0 + seed);
    entry.setByte(field::RecordVariant, 2);
    entry.setInt32(field::EntryNo, -7); // replaced when appended
    return entry;
}

QByteArray withNumber(LedgerEntry entry, int number)
{
    entry.setInt32(field::EntryNo, number);
    return entry.bytes();
}

QByteArray oldBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char('A' + i % 23);
    return bytes;
}

// As if the file had last been written to ten minutes ago.
void makeOld(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-600), QFileDevice::FileModificationTime));
}

} // namespace

class MonthFileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    int m_count = 0;
    QStringList m_trace;

    QString freshDirectory()
    {
        const QString path = m_root.filePath(QStringLiteral("firma%1").arg(++m_count));
        QDir().mkpath(path);
        return path;
    }
    TraceSink sink()
    {
        return [this](const QString& line) { m_trace.append(line); };
    }

private Q_SLOTS:
    void init() { m_trace.clear(); }

    void fileNames_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("name");
        QTest::newRow("March") << 2014 << 3 << "2014T305.3";
        QTest::newRow("October") << 2014 << 10 << "2014T305.10";
        QTest::newRow("short year") << 999 << 12 << "999T305.12";
    }
    void fileNames()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QString, name);
        QCOMPARE(monthFileName(year, month), name);
    }

    void appendsAtTheRecordCount_data()
    {
        QTest::addColumn<int>("existingSize"); // -1: no file
        QTest::addColumn<int>("entryNo");
        QTest::newRow("new file") << -1 << 1;
        QTest::newRow("empty file") << 0 << 1;
        QTest::newRow("57 records") << 57 * 400 << 58;
        QTest::newRow("1000 bytes") << 1000 << 3;
        QTest::newRow("399 bytes") << 399 << 1;
    }
    void appendsAtTheRecordCount()
    {
        QFETCH(int, existingSize);
        QFETCH(int, entryNo);
        const QString dir = freshDirectory();
        const QString path = dir + QDir::separator() + QStringLiteral("2014T305.3");
        if (existingSize >= 0)
            QVERIFY(writeFile(path, oldBytes(existingSize)));
        if (existingSize > 0)
            makeOld(path);

        MonthFile file(dir, sink());
        QVERIFY(file.OpenMonthFile(2014, 3));
        QVERIFY(file.isOpen());
        QCOMPARE(file.path(), path);
        LedgerEntry entry = sampleEntry(1);
        QVERIFY(file.AppendEntry(entry));
        QCOMPARE(entry.int32(field::EntryNo), entryNo);
        // Every record reaches the file before the append returns.
        const int kept = (entryNo - 1) * 400;
        const QByteArray expected =
            oldBytes(existingSize < 0 ? 0 : existingSize).left(kept) + withNumber(entry, entryNo);
        PRZ_COMPARE_BYTES(readFile(path), expected);
        QVERIFY(file.CloseMonthFile());
        QVERIFY(!file.isOpen());
        QVERIFY(m_trace.isEmpty());
    }

    void countsWhatOthersAppended()
    {
        const QString dir = freshDirectory();
        const QString path = dir + QDir::separator() + QStringLiteral("2014T305.4");
        MonthFile file(dir, sink());
        QVERIFY(file.OpenMonthFile(2014, 4));
        LedgerEntry first = sampleEntry(1);
        QVERIFY(file.AppendEntry(first));
        {
            // The ledger program appends a record while the file is open here.
            QFile other(path);
            QVERIFY(other.open(QIODevice::Append));
            other.write(oldBytes(400));
        }
        LedgerEntry second = sampleEntry(2);
        QVERIFY(file.AppendEntry(second));
        QCOMPARE(second.int32(field::EntryNo), 3);
        PRZ_COMPARE_BYTES(readFile(path), withNumber(first, 1) + oldBytes(400) + withNumber(second, 3));
    }

    // A partial record at the end is replaced when it was left there, and
    // waited for when another program is still writing it.
    void partialTail_data()
    {
        QTest::addColumn<bool>("old");          // last written to long ago
        QTest::addColumn<int>("completeAfter"); // ms until the other program writes the rest; -1: never
        QTest::addColumn<int>("minimumWait");   // ms the append must have waited
        QTest::addColumn<int>("entryNo");

        QTest::newRow("left over long ago") << true << -1 << 0 << 3;
        QTest::newRow("being written, completed meanwhile") << false << 150 << 150 << 4;
        QTest::newRow("being written, then abandoned") << false << -1 << 2000 << 3;
    }
    void partialTail()
    {
        QFETCH(bool, old);
        QFETCH(int, completeAfter);
        QFETCH(int, minimumWait);
        QFETCH(int, entryNo);
        const QString dir = freshDirectory();
        const QString path = dir + QStringLiteral("/2014T305.3");
        const QByteArray theirs = oldBytes(400);
        // From the other program's last write: the quiet time counts from there.
        QElapsedTimer waited;
        waited.start();
        QVERIFY(writeFile(path, oldBytes(800) + theirs.left(150)));
        if (old)
            makeOld(path);

        MonthFile file(dir, sink());
        QVERIFY(file.OpenMonthFile(2014, 3));
        std::thread other;
        if (completeAfter >= 0)
            other = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(completeAfter));
                QFile rest(path);
                if (rest.open(QIODevice::Append))
                    rest.write(theirs.mid(150));
            });
        LedgerEntry entry = sampleEntry(1);
        const bool appended = file.AppendEntry(entry);
        const qint64 elapsed = waited.elapsed();
        if (other.joinable())
            other.join();
        QVERIFY(appended);
        // File times may lag the clock by a tick of the system's coarse clock.
        QVERIFY2(elapsed >= minimumWait - 20, qPrintable(QString::number(elapsed)));
        QVERIFY(elapsed < minimumWait + 1500);
        QCOMPARE(entry.int32(field::EntryNo), entryNo);
        const QByteArray kept = completeAfter >= 0 ? oldBytes(800) + theirs : oldBytes(800);
        PRZ_COMPARE_BYTES(readFile(path), kept + withNumber(entry, entryNo));
        QVERIFY(m_trace.isEmpty());
    }

    void periods()
    {
        const QString dir = freshDirectory();
        MonthFile file(dir, sink());
        LedgerEntry entry = sampleEntry(1);
        QVERIFY(file.OpenMonthFile(2014, 3));
        QVERIFY(file.AppendEntry(entry));
        QVERIFY(file.OpenMonthFile(2014, 3)); // stays open
        QVERIFY(file.AppendEntry(entry));
        QCOMPARE(entry.int32(field::EntryNo), 2);
        QVERIFY(file.OpenMonthFile(2013, 3)); // same month, other year: other file
        QVERIFY(file.AppendEntry(entry));
        QCOMPARE(entry.int32(field::EntryNo), 1);
        QVERIFY(file.OpenMonthFile(2014, 3));
        QVERIFY(file.AppendEntry(entry));
        QCOMPARE(entry.int32(field::EntryNo), 3);
        QVERIFY(file.CloseMonthFile());
        QVERIFY(file.CloseMonthFile()); // nothing open: still true
        QCOMPARE(QDir(dir).entryList(QDir::Files), (QStringList{"2013T305.3", "2014T305.3"}));
        QCOMPARE(QFileInfo(dir + QDir::separator() + "2014T305.3").size(), 1200);
        QVERIFY(m_trace.isEmpty());
    }

    void monthsOutsideTheYearAreRefused_data()
    {
        QTest::addColumn<int>("month");
        QTest::newRow("0") << 0;
        QTest::newRow("13") << 13;
        QTest::newRow("255") << 255;
    }
    void monthsOutsideTheYearAreRefused()
    {
        QFETCH(int, month);
        const QString dir = freshDirectory();
        MonthFile file(dir, sink());
        // Month 13 of 2014 has the key of January 2015; it must not be taken
        // for that file while it is open.
        QVERIFY(file.OpenMonthFile(2015, 1));
        QVERIFY(!file.OpenMonthFile(2014, quint8(month)));
        QVERIFY(!file.isOpen());
        const QString path = dir + QDir::separator() + QStringLiteral("2014T305.%1").arg(month);
        QCOMPARE(m_trace, QStringList{QStringLiteral("Błąd otwarcia pliku %1 !").arg(path)});
        QVERIFY(!QFileInfo::exists(path));
        LedgerEntry entry = sampleEntry(1);
        QVERIFY(!file.AppendEntry(entry));
        QCOMPARE(m_trace.last(), QStringLiteral("Błąd dopisania do pliku %1 !").arg(path));
    }

    void longPathsAreRefused()
    {
        const QString base = freshDirectory();
        const QString name = monthFileName(2014, 3);
        // A directory that makes the path exactly 128 characters, and one more.
        const int room = MonthFile::MaxPathLength - int(base.size()) - 2 - int(name.size());
        QVERIFY(room > 0);
        const QString fits = base + QLatin1Char('/') + QString(room, QLatin1Char('d'));
        const QString tooLong = base + QLatin1Char('/') + QString(room + 1, QLatin1Char('d'));
        QVERIFY(QDir().mkpath(fits));
        QVERIFY(QDir().mkpath(tooLong));

        MonthFile accepted(fits, sink());
        QVERIFY(accepted.OpenMonthFile(2014, 3));
        QCOMPARE(accepted.path().size(), 128);
        QVERIFY(m_trace.isEmpty());

        MonthFile refused(tooLong, sink());
        QVERIFY(!refused.OpenMonthFile(2014, 3));
        const QString path = tooLong + QDir::separator() + name;
        QCOMPARE(m_trace, QStringList{QStringLiteral("Błąd otwarcia pliku %1 !").arg(path)});
        QVERIFY(QDir(tooLong).isEmpty());
    }

    void directoriesOutsideWindows1250AreRefused()
    {
        const QString dir = m_root.filePath(QStringLiteral("firma-日本"));
        QVERIFY(QDir().mkpath(dir));
        MonthFile file(dir, sink());
        QVERIFY(!file.OpenMonthFile(2014, 3));
        QCOMPARE(m_trace,
                 QStringList{
                     QStringLiteral("Błąd otwarcia pliku %1 !").arg(dir + QDir::separator() + "2014T305.3")});
        QVERIFY(QDir(dir).isEmpty());

        // Polish letters are fine.
        const QString polish = m_root.filePath(QStringLiteral("Żółć"));
        QVERIFY(QDir().mkpath(polish));
        MonthFile accepted(polish, sink());
        QVERIFY(accepted.OpenMonthFile(2014, 3));
    }

    void fileInAnotherLetterCaseIsUsed()
    {
        const QString dir = freshDirectory();
        const QString existing = dir + QDir::separator() + QStringLiteral("2014t305.3");
        QVERIFY(writeFile(existing, oldBytes(400)));
        MonthFile file(dir, sink());
        QVERIFY(file.OpenMonthFile(2014, 3));
        // Where names ignore letter case the name as formed already leads to it.
        QCOMPARE(file.path(), platform::NamesIgnoreCase
                                  ? dir + QDir::separator() + QStringLiteral("2014T305.3")
                                  : existing);
        LedgerEntry entry = sampleEntry(1);
        QVERIFY(file.AppendEntry(entry));
        QCOMPARE(entry.int32(field::EntryNo), 2);
        QVERIFY(file.CloseMonthFile());
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{"2014t305.3"});
        QCOMPARE(QFileInfo(existing).size(), 800);

        // An exact name wins over one in another case.
        const QString exact = dir + QDir::separator() + QStringLiteral("2014T305.3");
        QVERIFY(writeFile(exact, QByteArray()));
        QVERIFY(file.OpenMonthFile(2014, 3));
        QCOMPARE(file.path(), exact);
    }

    void openFailures()
    {
        const QString missing = m_root.filePath(QStringLiteral("nie-ma-takiego"));
        MonthFile file(missing, sink());
        QVERIFY(!file.OpenMonthFile(2014, 3));
        QCOMPARE(
            m_trace,
            QStringList{
                QStringLiteral("Błąd otwarcia pliku %1 !").arg(missing + QDir::separator() + "2014T305.3")});
        QVERIFY(!QFileInfo::exists(missing));

        // A directory in the file's place cannot be opened either.
        const QString dir = freshDirectory();
        QVERIFY(QDir().mkpath(dir + QDir::separator() + QStringLiteral("2014T305.5")));
        MonthFile blocked(dir, sink());
        QVERIFY(!blocked.OpenMonthFile(2014, 5));
        QCOMPARE(m_trace.size(), 2);
        QVERIFY(!blocked.isOpen());
    }

    // A monthly file that is a symbolic link is never written through, and a
    // new file is never created through one.
    void symbolicLinksAreRefused_data()
    {
        QTest::addColumn<QString>("linkName");
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("to a file elsewhere") << "2014T305.3" << true;
        QTest::newRow("dangling") << "2014T305.3" << false;
        QTest::newRow("in another letter case") << "2014t305.3" << true;
        QTest::newRow("dangling, in another letter case") << "2014t305.3" << false;
    }
    void symbolicLinksAreRefused()
    {
        if (platform::DrivePaths)
            QSKIP("Windows makes symbolic links only with privileges (QFile::link makes a shortcut); "
                  "junctions are tested instead");
        QFETCH(QString, linkName);
        QFETCH(bool, targetExists);
        const QString dir = freshDirectory();
        const QString target = freshDirectory() + QStringLiteral("/elsewhere");
        if (targetExists)
            QVERIFY(writeFile(target, oldBytes(100)));
        const QString link = dir + QLatin1Char('/') + linkName;
        QVERIFY(QFile::link(target, link));

        MonthFile file(dir, sink());
        QVERIFY(!file.OpenMonthFile(2014, 3));
        QVERIFY(!file.isOpen());
        QCOMPARE(m_trace, QStringList{QStringLiteral("Błąd otwarcia pliku %1 !").arg(link)});
        QCOMPARE(QFileInfo::exists(target), targetExists);
        if (targetExists)
            PRZ_COMPARE_BYTES(readFile(target), oldBytes(100));
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{linkName});
    }

    // What another program on a Windows PC may be doing to a monthly file:
    // the ledger holds it open sharing it (the run appends), a program holds it
    // without sharing, the read-only attribute, a junction in its place, and a
    // company directory on an office share.
    void windowsFileStates_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("appends");
        QTest::newRow("held open with full sharing") << "share" << true;
        QTest::newRow("held open without sharing") << "exclusive" << false;
        QTest::newRow("read-only attribute") << "read-only" << false;
        QTest::newRow("junction in its place") << "junction" << false;
        QTest::newRow("directory on a UNC path") << "unc" << true;
    }
    void windowsFileStates()
    {
        QFETCH(QString, state);
        QFETCH(bool, appends);
        const QString holderProgram = QStringLiteral(PRZENOSNIK_FILE_HOLDER);
        if (holderProgram.isEmpty())
            QSKIP("sharing modes, the read-only attribute and junctions are Windows'");
        QString dir = freshDirectory();
        if (state == QLatin1String("unc")) {
            // C:\x\y as \\localhost\C$\x\y, the administrative share of the local disk.
            const QString native = QDir::toNativeSeparators(dir);
            dir = QStringLiteral("\\\\localhost\\%1$%2").arg(native.at(0), native.mid(2));
            if (!QFileInfo(dir).isDir())
                QSKIP("no UNC path reaches the local disk here (Wine has no network shares)");
        }
        const QString path = dir + QDir::separator() + QStringLiteral("2014T305.3");
        QVERIFY(writeFile(path, oldBytes(800)));

        QProcess holder;
        if (state == QLatin1String("share") || state == QLatin1String("exclusive")) {
            holder.start(holderProgram, {state, QDir::toNativeSeparators(path)});
            QVERIFY(holder.waitForReadyRead(30000));
            QCOMPARE(holder.readAll().trimmed(), QByteArray("held"));
        } else if (state == QLatin1String("read-only")) {
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
            QFile probe(path);
            if (probe.open(QIODevice::Append)) {
                probe.close();
                QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
                QSKIP("the read-only attribute does not hold here (Wine run by root writes anyway)");
            }
        }
        const QString target = freshDirectory();
        if (state == QLatin1String("junction")) {
            QVERIFY(QFile::remove(path));
            if (QProcess::execute(holderProgram, {QStringLiteral("junction"), QDir::toNativeSeparators(path),
                                                  QDir::toNativeSeparators(target)}) != 0)
                QSKIP("this system makes no junctions (Wine cannot)");
            QVERIFY(QFileInfo(path).isJunction());
        }

        MonthFile file(dir, sink());
        LedgerEntry entry = sampleEntry(1);
        const bool appended = file.OpenMonthFile(2014, 3) && file.AppendEntry(entry) && file.CloseMonthFile();
        holder.closeWriteChannel();
        if (holder.state() != QProcess::NotRunning)
            QVERIFY(holder.waitForFinished(30000));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        QCOMPARE(appended, appends);
        if (appends) {
            QVERIFY(m_trace.isEmpty());
            PRZ_COMPARE_BYTES(readFile(path), oldBytes(800) + withNumber(entry, 3));
        } else {
            QCOMPARE(m_trace, QStringList{QStringLiteral("Błąd otwarcia pliku %1 !").arg(path)});
            if (state != QLatin1String("junction"))
                PRZ_COMPARE_BYTES(readFile(path), oldBytes(800));
            QVERIFY(QDir(target).isEmpty());
        }
    }

    void emptyDirectoryIsRefused()
    {
        MonthFile file(QString(), sink());
        QVERIFY(!file.OpenMonthFile(2014, 3));
        QCOMPARE(m_trace, QStringList{QStringLiteral("Błąd otwarcia pliku %1 !")
                                          .arg(QDir::separator() + QStringLiteral("2014T305.3"))});
        QVERIFY(!QFileInfo::exists(QStringLiteral("/2014T305.3")));
    }

    void oneSeparatorWhateverTheDirectoryEndsWith()
    {
        const QString dir = freshDirectory();
        MonthFile file(dir + QLatin1Char('/'), sink());
        QVERIFY(file.OpenMonthFile(2014, 3));
        QCOMPARE(file.path(), dir + QLatin1Char('/') + QDir::separator() + QStringLiteral("2014T305.3"));
        QVERIFY(QFileInfo::exists(dir + QDir::separator() + QStringLiteral("2014T305.3")));
    }
};

QTEST_GUILESS_MAIN(MonthFileTest)
#include "test_month_file.moc"
