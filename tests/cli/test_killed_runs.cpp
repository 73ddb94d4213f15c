// A real run of przenosnik-cli killed at one exact system call that touches
// the company directory: afterwards an undo and a new run can always enter
// the directory (no lock is left that blocks them for good).
#include "cli/ConvertCommand.h"
#include "cli/UndoCommand.h"
#include "ledger/DirectoryLock.h"

#include "support/FaultRuns.h"
#include "support/LedgerFiles.h"
#include "support/ScratchFiles.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

// The calls a kill point may fall on.
const QString Calls = QStringLiteral("openat,write,pwrite64,pread64,read,close,fsync,fdatasync,ftruncate,"
                                     "rename,renameat,renameat2,unlink,unlinkat,mkdir,mkdirat,utimensat,"
                                     "newfstatat,statx,lseek,fcntl,getdents64");
constexpr int MostPoints = 36;

struct KillPoint
{
    QString call;
    int nth = 0; // 1-based among the main thread's calls of that name
};

struct Output
{
    int exitCode = -1;
    QString err;
};

Output undo(const QString& company)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Output result;
    result.exitCode = runUndoCommand(company, false, out, err);
    readBackAndClose(out);
    result.err = QString::fromUtf8(readBackAndClose(err));
    return result;
}

Output convert(const ConversionSettings& settings)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Output result;
    result.exitCode = runConvertCommand(settings, out, err);
    readBackAndClose(out);
    result.err = QString::fromUtf8(readBackAndClose(err));
    return result;
}

// LeakSanitizer cannot work under strace; the leaks of a run are looked for by the other tests.
void traceable(QProcess& process)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString options = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       options + (options.isEmpty() ? "" : ":") + QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(environment);
}

bool refusedByLock(const Output& output)
{
    return output.err.contains(QStringLiteral("zapisuje właśnie inna konwersja")) ||
           output.err.contains(QStringLiteral("blokady"));
}

} // namespace

class KilledRunsTest : public QObject
{
    Q_OBJECT

    ScratchFiles m_dir;
    QString m_strace;
    QString m_export;
    int m_company = 0;

    // A company directory with a month file of two records, always under a
    // name of the same length.
    QString company()
    {
        const QString path =
            m_dir.filePath(QStringLiteral("firma%1").arg(++m_company, 4, 10, QLatin1Char('0')));
        QDir().mkpath(path);
        writeFile(monthFilePath(path, 2014, 3), foreignRecord(1, 'a') + foreignRecord(2, 'b'));
        return path;
    }

    QStringList cliArguments(const QString& company) const
    {
        return {QStringLiteral(PRZENOSNIK_CLI_BINARY), m_export, company};
    }

    // Every call of the run that names a file of the company directory.
    QList<KillPoint> killPoints()
    {
        const QString target = company();
        const QString log = m_dir.filePath(QStringLiteral("calls.log"));
        QProcess traced;
        traceable(traced);
        traced.start(m_strace, QStringList{"-f", "-qq", "-y", "-o", log, "-e", "trace=" + Calls} +
                                   cliArguments(target));
        if (!traced.waitForFinished(60000) || traced.exitCode() != 0)
            return {};
        // Every call on the lock, and others spread over the run.
        QList<KillPoint> lockPoints;
        QList<KillPoint> others;
        QHash<QString, int> seen;
        QString mainThread;
        static const QRegularExpression line(QStringLiteral("^(\\d+) +(\\w+)\\("));
        for (const QByteArray& bytes : readFile(log).split('\n')) {
            const QString text = QString::fromUtf8(bytes);
            const QRegularExpressionMatch match = line.match(text);
            if (!match.hasMatch())
                continue;
            if (mainThread.isEmpty())
                mainThread = match.captured(1);
            if (match.captured(1) != mainThread)
                continue;
            const int nth = ++seen[match.captured(2)];
            if (text.contains(target + QLatin1Char('/') + QLatin1String(LockFileName)))
                lockPoints.append({match.captured(2), nth});
            else if (text.contains(target))
                others.append({match.captured(2), nth});
        }
        const qsizetype room = qMax<qsizetype>(0, MostPoints - lockPoints.size());
        for (qsizetype i = 0; i < room && i < others.size(); ++i)
            lockPoints.append(others.at(others.size() <= room ? i : i * others.size() / room));
        return lockPoints;
    }

private Q_SLOTS:
    void initTestCase()
    {
#ifndef PRZENOSNIK_CLI_BINARY
        QSKIP("the command-line converter is not built");
#endif
        m_strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (m_strace.isEmpty())
            QSKIP("strace is not installed: no kill points");
        QProcess probe;
        probe.start(m_strace, {"-qq", "-o", "/dev/null", "true"});
        if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
            QSKIP("strace cannot trace here");
        QVERIFY(m_dir.isValid());
        m_export = m_dir.writeExport(marchExport(3, {3}));
    }

    void killedAtEveryPoint_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("nth");
        const QList<KillPoint> points = killPoints();
        QVERIFY(points.size() >= 10);
        for (const KillPoint& point : points)
            QTest::addRow("%s #%d", qPrintable(point.call), point.nth) << point.call << point.nth;
    }
    void killedAtEveryPoint()
    {
        QFETCH(QString, call);
        QFETCH(int, nth);
        const QString target = company();
        QProcess killed;
        traceable(killed);
        killed.start(m_strace,
                     QStringList{"-f", "-qq", "-o", "/dev/null", "-e", "trace=" + call, "-e",
                                 QStringLiteral("inject=%1:signal=KILL:when=%2").arg(call).arg(nth)} +
                         cliArguments(target));
        QVERIFY(killed.waitForFinished(60000));
        QVERIFY2(killed.exitStatus() == QProcess::CrashExit || killed.exitCode() == 128 + 9,
                 "the run was not killed");

        // A lock its run could not write into yet counts as stale a few seconds later.
        const QString lock = target + QLatin1Char('/') + QLatin1String(LockFileName);
        if (QFileInfo(lock).isFile() && QFileInfo(lock).size() == 0) {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-10),
                                     QFileDevice::FileModificationTime));
        }
        const Output undone = undo(target);
        QVERIFY2(!refusedByLock(undone), qPrintable(undone.err));
        ConversionSettings settings;
        settings.exportFile = m_export;
        settings.companyDirectory = target;
        const Output again = convert(settings);
        QVERIFY2(!refusedByLock(again), qPrintable(again.err));
        QCOMPARE(again.exitCode, 0);
        QVERIFY(!QFileInfo::exists(lock));
    }
};

QTEST_GUILESS_MAIN(KilledRunsTest)
#include "test_killed_runs.moc"
