// The system's calls: appends that tell where they landed, positional writes
// and reads beside them, what a lock file needs, and the rule of installed
// program folders, memory taken from the system.
#include "platform/Memory.h"
#include "platform/NativeFile.h"
#include "platform/Process.h"
#include "platform/SystemPaths.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstring>

using namespace przenosnik;
using namespace przenosnik::platform;

class TestSystemCalls : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    // The other program's bytes come through a second handle between ours;
    // a positional write afterwards stays where it is aimed.
    void appendTellsWhereItLanded_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("between");
        QTest::newRow("empty file") << QByteArray() << QByteArray();
        QTest::newRow("partial record before") << QByteArray("abc") << QByteArray();
        QTest::newRow("another writer between") << QByteArray("abc") << QByteArray("OTHER");
    }

    void appendTellsWhereItLanded()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, between);
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(test::writeFile(path, before));
        const OpenedFile ours =
            openRegularFile(path, Access::ReadWrite, Links::Refuse, Creation::ExistingOnly);
        const OpenedFile other =
            openRegularFile(path, Access::ReadWrite, Links::Refuse, Creation::ExistingOnly);
        QVERIFY(ours.handle >= 0 && other.handle >= 0);
        QVERIFY(!ours.created);
        qint64 first = -2;
        QCOMPARE(appendAtEnd(ours.handle, "1111", first), 4);
        qint64 elsewhere = -2;
        if (!between.isEmpty())
            QCOMPARE(appendAtEnd(other.handle, between, elsewhere), between.size());
        qint64 second = -2;
        QCOMPARE(appendAtEnd(ours.handle, "2222", second), 4);
        QCOMPARE(first, before.size());
        QCOMPARE(second, before.size() + 4 + between.size());
        QVERIFY(writeAt(ours.handle, first, "9"));
        const QByteArray expected = before + "9111" + between + "2222";
        QCOMPARE(fileSize(ours.handle), expected.size());
        QByteArray read(expected.size() + 8, '\0');
        QCOMPARE(readAt(other.handle, 0, read.data(), read.size()), expected.size());
        QCOMPARE(read.left(expected.size()), expected);
        QVERIFY(truncateFile(ours.handle, before.size()));
        QVERIFY(flushToDisk(ours.handle));
        QCOMPARE(identityOf(other.handle), identityOfPath(path));
        closeHandle(ours.handle);
        closeHandle(other.handle);
        QCOMPARE(test::readFile(path), before);
    }

    // A lock file is created only where no file is, refreshed, replaced and
    // removed; its holder is told apart from a process that does not run.
    void lockFileCalls()
    {
        const QString path = dir.filePath(QStringLiteral("LOCK"));
        const QString next = dir.filePath(QStringLiteral("LOCK.new"));
        const OpenedFile lock = openRegularFile(path, Access::ReadWrite, Links::Refuse, Creation::CreateNew);
        QVERIFY(lock.handle >= 0 && lock.created);
        closeHandle(lock.handle);
        QCOMPARE(openRegularFile(path, Access::ReadWrite, Links::Refuse, Creation::CreateNew).handle, -1);
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        old.close();
        QVERIFY(touchFile(path));
        QVERIFY(QFileInfo(path).lastModified().secsTo(QDateTime::currentDateTime()) < 60);
        QVERIFY(test::writeFile(next, "new"));
        QVERIFY(renameOver(next, path));
        QCOMPARE(test::readFile(path), QByteArray("new"));
        QVERIFY(removeFile(path));
        QCOMPARE(entryAt(path), EntryKind::None);
        QVERIFY(processIsAlive(processId()));
        QVERIFY(!processIsAlive(0));
        QVERIFY(!processIsAlive(-1));
        QVERIFY(!hostName().isEmpty());
    }

    void installedFoldersLieUnderASystemPrefix_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<bool>("installed");
        QTest::newRow("the prefix itself") << "/usr" << true;
        QTest::newRow("below it") << "/usr/bin" << true;
        QTest::newRow("trailing slash") << "/opt/przenosnik/" << true;
        QTest::newRow("dots") << "/usr/../home/ala" << false;
        QTest::newRow("a longer name") << "/usrx/bin" << false;
        QTest::newRow("elsewhere") << "/home/ala/przenosnik" << false;
        QTest::newRow("no directory") << "" << false;
        // On Windows letter case does not count.
        QTest::newRow("other case") << "/USR/bin" << NamesIgnoreCase;
    }

    void installedFoldersLieUnderASystemPrefix()
    {
        QFETCH(QString, directory);
        QFETCH(bool, installed);
        QCOMPARE(isUnderPrefix(directory, {QStringLiteral("/usr"), QString(), QStringLiteral("/opt/")}),
                 installed);
    }

    // A block comes zeroed and whole, the bytes around a large page's
    // boundary included; a moved block leaves nothing behind to free twice.
    void largeBlockHoldsWhatWasAskedFor_data()
    {
        QTest::addColumn<qsizetype>("bytes");
        QTest::newRow("nothing") << qsizetype(0);
        QTest::newRow("less than a page") << qsizetype(100);
        QTest::newRow("one large page") << qsizetype(LargePageSize);
        QTest::newRow("just over a large page") << qsizetype(LargePageSize + 1);
        QTest::newRow("several large pages") << qsizetype(3 * LargePageSize - 4096);
    }
    void largeBlockHoldsWhatWasAskedFor()
    {
        QFETCH(qsizetype, bytes);
        LargeBlock block{size_t(bytes)};
        QVERIFY(block.size() >= size_t(bytes));
        auto* const data = static_cast<unsigned char*>(block.data());
        QVERIFY(std::all_of(data, data + block.size(), [](unsigned char c) { return c == 0; }));
        std::memset(data, 0xA5, block.size());
        LargeBlock moved(std::move(block));
        QVERIFY(!block.data());
        QCOMPARE(moved.data(), data);
        QCOMPARE(data[moved.size() - 1], 0xA5);
    }
};

QTEST_GUILESS_MAIN(TestSystemCalls)
#include "test_system_calls.moc"
