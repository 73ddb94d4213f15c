// przenosnik-cli --undo and --history after runs of the example export:
// what they print, their exit codes, and the company directory afterwards.
#include "cli/CommandLine.h"
#include "cli/ConvertCommand.h"
#include "cli/UndoCommand.h"
#include "ledger/JournalRecord.h"

#include "support/LedgerFiles.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

struct Output
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs one command line as przenosnik-cli does.
Output run(const QStringList& arguments)
{
    const CommandLine line = parseCommandLine(QStringList{"przenosnik-cli"} + arguments);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Output result;
    switch (line.action) {
    case CliAction::Convert:
        result.exitCode = runConvertCommand(line.settings, out, err);
        break;
    case CliAction::Undo:
        result.exitCode = runUndoCommand(line.journalDirectory, line.settings.dryRun, out, err);
        break;
    case CliAction::History:
        result.exitCode = runHistoryCommand(line.journalDirectory, out, err);
        break;
    default:
        result.exitCode = ExitBadCommandLine;
    }
    result.out = QString::fromUtf8(readBackAndClose(out));
    result.err = QString::fromUtf8(readBackAndClose(err));
    return result;
}

// Runs przenosnik-cli; as root, as the user "nobody", for whom a directory's
// permissions hold.
Output runAsAnotherUser(const QStringList& arguments)
{
    QProcess process;
    runAsNobody(process);
    process.start(QStringLiteral(PRZENOSNIK_CLI_BINARY), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The directory's files other than the journal and the backups.
QStringList ledgerState(const QString& company)
{
    QStringList state;
    for (const QString& name : QDir(company).entryList(QDir::Files)) {
        if (name != JournalFileName)
            state.append(name + '=' + QString::fromLatin1(readFile(QDir(company).filePath(name)).toHex()));
    }
    return state;
}

} // namespace

class UndoCommandTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void commands_data()
    {
        QTest::addColumn<QStringList>("steps"); // command lines before the last; "D" is the company directory
        QTest::addColumn<QStringList>("last");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // a text the output holds
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("state"); // the files are as after this many steps (-1: not compared)

        const QString example = QStringLiteral(PRZENOSNIK_EXAMPLES "/FVS0314.TXT");
        // The same export is booked again on purpose: the duplicate guard is off.
        const QStringList convert{"--no-skip-duplicates", example, "D"};
        const QString run = convert.join('|');
        QTest::newRow("undo") << QStringList{run} << QStringList{"--undo", "D"} << 0
                              << "2014T305.3: usunięto 12 wpisów, plik usunięty"
                              << "" << 0;
        QTest::newRow("undo as a dry run") << QStringList{run} << QStringList{"-n", "--undo", "D"} << 0
                                           << "2014T305.3: do usunięcia 12 wpisów"
                                           << "" << 1;
        QTest::newRow("nothing to undo") << QStringList{} << QStringList{"--undo=D"} << 1 << ""
                                         << "nie ma konwersji do cofnięcia" << 0;
        QTest::newRow("undo refused") << QStringList{run, "append"} << QStringList{"--undo", "D"} << 1 << ""
                                      << "Nie można cofnąć" << 2;
        QTest::newRow("history, newest first")
            << QStringList{run, run, "--undo|D"} << QStringList{"--history", "D"} << 0
            << "\tcofnięta\t" + QFileInfo(example).absoluteFilePath() + "\t2014T305.3: 12\n20"
            << "" << -1;
        QTest::newRow("history without a journal")
            << QStringList{} << QStringList{"--history", "D"} << 1 << ""
            << "nie ma dziennika" << -1;
        QTest::newRow("a run after one that did not end")
            << QStringList{run, "cut the end"} << convert << 0 << ""
            << "nie została dokończona" << -1;
        // The ledger program appended after a run that did not end: its entry is not the run's.
        QTest::newRow("dry undo names the entry that stops it")
            << QStringList{run, "cut the end", "append"} << QStringList{"-n", "--undo", "D"} << 1 << ""
            << "2014T305.3 ma na pozycji 13 wpis, którego ta konwersja nie zapisała" << 3;
        QTest::newRow("undo stopped by the ledger's entry")
            << QStringList{run, "cut the end", "append"} << QStringList{"--undo", "D"} << 1 << ""
            << "2014T305.3 ma na pozycji 13 wpis" << 3;
        QTest::newRow("a file the undo cannot remove is named as left")
            << QStringList{run, "read-only"} << QStringList{"undo as another user"} << 1
            << "2014T305.3: usunięto 12 wpisów, pliku nie dało się usunąć (pozostał pusty)"
            << "nie da się usunąć pliku 2014T305.3" << -1;
        QTest::newRow("the next undo removes it")
            << QStringList{run, "read-only", "undo as another user", "writable"} << QStringList{"--undo", "D"}
            << 0 << "2014T305.3: usunięto 12 wpisów, plik usunięty"
            << "" << 0;
        QTest::newRow("undo with a file") << QStringList{} << QStringList{"--undo", "D", example} << 2 << ""
                                          << "" << -1;
    }
    void commands()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, last);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, state);

        const QString company = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(company));
        auto withDirectory = [&company](QStringList arguments) {
            arguments.replaceInStrings(QRegularExpression("(^|=)D$"), "\\1" + company);
            return arguments;
        };
        if (steps.contains(QStringLiteral("read-only")) && !havePosixFaults())
            QSKIP("a directory that keeps its files from being removed needs POSIX permissions");
        QList<QStringList> states{ledgerState(company)};
        for (const QString& step : std::as_const(steps)) {
            const QString march = QDir(company).filePath("2014T305.3");
            if (step == "append") {
                QVERIFY(appendToFile(march, foreignRecord(13, 'z')));
            } else if (step == "read-only") {
                // Month files and journal writable, the directory not: nothing can be removed.
                QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFileDevice::ExeOther);
                for (const QString& name : QDir(company).entryList(QDir::Files))
                    QFile::setPermissions(QDir(company).filePath(name),
                                          QFileDevice::ReadOther | QFileDevice::WriteOther |
                                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
                QVERIFY(QFile::setPermissions(company, QFileDevice::ReadOther | QFileDevice::ExeOther |
                                                           QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            } else if (step == "writable") {
                QVERIFY(QFile::setPermissions(
                    company, QFileDevice::ReadOther | QFileDevice::ExeOther | QFileDevice::ReadOwner |
                                 QFileDevice::ExeOwner | QFileDevice::WriteOwner | QFileDevice::WriteOther));
            } else if (step == "undo as another user") {
                QCOMPARE(runAsAnotherUser({"--undo", company}).exitCode, 1);
            } else if (step == "cut the end") {
                // As a crash leaves it: the run and file records only.
                const QByteArray journal = readFile(journalPath(company));
                QVERIFY(writeFile(journalPath(company), journal.left(journal.indexOf("\nFILEEND") + 1)));
            } else {
                QCOMPARE(run(withDirectory(step.split('|'))).exitCode, 0);
            }
            states.append(ledgerState(company));
        }
        const Output result = last == QStringList{"undo as another user"}
                                  ? runAsAnotherUser({"--undo", company})
                                  : run(withDirectory(last));
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.out.contains(out), qPrintable(result.out));
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
        if (state >= 0)
            QCOMPARE(ledgerState(company), states.at(state));
    }
};

QTEST_GUILESS_MAIN(UndoCommandTest)
#include "test_undo_command.moc"
