// The main window's "Cofnij" and the offer, before a new run, to take back a
// run that did not end: what the boxes ask, what the answers do to the files,
// and what goes into the trace.
#include "FormMainTestTools.h"
#include "ui/FormMain.h"
#include "ui/MessageBox.h"

#include "conversion/RunReplay.h"
#include "ledger/CrashPoint.h"
#include "ledger/DirectoryLock.h"
#include "ledger/JournalRecord.h"
#include "ledger/UndoText.h"
#include "support/ConversionTestHost.h"
#include "support/FaultRuns.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {
QStringList monthFiles(const QString& company)
{
    QStringList files;
    for (const QString& name : QDir(company).entryList({"*T305.*"}, QDir::Files))
        files.append(name + '=' + QString::fromLatin1(readFile(QDir(company).filePath(name)).toHex()));
    return files;
}
} // namespace

class TestFormMainUndo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    // A window set for a real run of two invoices into a new company directory.
    std::unique_ptr<FormMain> windowForRun(QString& company)
    {
        company = m_dir.filePath(QStringLiteral("firma%1").arg(++m_serial));
        const QString file = m_dir.filePath(QStringLiteral("FVS%1.TXT").arg(m_serial));
        if (!QDir().mkpath(company) || !writeFile(file, exportBytes(marchExport(2, {2}))))
            qFatal("cannot prepare the run");
        auto window = openMainWindow(m_dir.path());
        child<QLineEdit>(*window, "FE_EPP")->setText(file);
        child<QLineEdit>(*window, "de_KPR")->setText(company);
        return window;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup() { MessageBox::clearNextAnswer(); }

    void cofnij_data()
    {
        QTest::addColumn<bool>("runFirst");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("undone");
        QTest::addColumn<QString>("traced"); // the trace's last line starts so

        QTest::newRow("confirmed") << true << QMessageBox::Yes << true << "  2014T305.4: usunięto 1 wpis";
        QTest::newRow("declined") << true << QMessageBox::No << false << " *** Koniec przetwarzania ***";
        QTest::newRow("nothing to take back") << false << QMessageBox::Yes << false << "W katalogu";
    }
    void cofnij()
    {
        QFETCH(bool, runFirst);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, undone);
        QFETCH(QString, traced);

        QString company;
        auto window = windowForRun(company);
        if (runFirst) {
            MessageBox::setNextAnswer(QMessageBox::Yes);
            child<QAction>(*window, "act_Konwert")->trigger();
        }
        const QStringList written = monthFiles(company);
        QCOMPARE(written.size(), runFirst ? 2 : 0);
        const int boxes = MessageBox::requestCount();
        MessageBox::setNextAnswer(answer);
        child<QAction>(*window, "act_Cofnij")->trigger();

        // An undo that cannot be done says why in its box, too.
        QCOMPARE(MessageBox::requestCount(), boxes + 1);
        const QString question = MessageBox::lastRequest().text;
        if (runFirst) {
            QVERIFY(question.contains(window->conversionSettings().exportFile));
            QVERIFY(question.contains("2014T305.3: do usunięcia 1 wpis"));
        } else {
            QCOMPARE(question, nothingToUndoText(company));
        }
        QCOMPARE(monthFiles(company), undone ? QStringList() : written);
        QVERIFY2(window->traceLines().last().startsWith(traced), qPrintable(window->traceLines().last()));
    }

    void interruptedRunIsOfferedForUndo_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("undone");
        QTest::addColumn<int>("boxes"); // the offer, then the usual question unless cancelled
        QTest::addColumn<int>(
            "undoKilled"); // at this crash point of an undo of the completed run; 0: the run killed

        QTest::newRow("undo it first") << QMessageBox::Yes << true << 2 << 0;
        QTest::newRow("go on without") << QMessageBox::No << false << 2 << 0;
        QTest::newRow("cancel") << QMessageBox::Cancel << false << 1 << 0;
        // Two files to remove: killed once the first was cut back.
        QTest::newRow("an undo cut short is finished") << QMessageBox::Yes << true << 2 << 7;
    }
    void interruptedRunIsOfferedForUndo()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, undone);
        QFETCH(int, boxes);
        QFETCH(int, undoKilled);

        QString company;
        auto window = windowForRun(company);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        child<QAction>(*window, "act_Konwert")->trigger();
        const QStringList written = monthFiles(company);
        if (undoKilled == 0) {
            // As a crash leaves the journal: no end records.
            const QByteArray journal = readFile(journalPath(company));
            QVERIFY(writeFile(journalPath(company), journal.left(journal.indexOf("\nFILEEND") + 1)));
        } else {
            if (!havePosixFaults())
                QSKIP("an undo killed at a point needs a child process forked from the test");
            QCOMPARE(runInChild([&] {
                         armCrashPoint(undoKilled);
                         applyUndo(company, planUndoOfLastRun(
                                                company, readJournal(company, JournalScope::UndoTarget)));
                         return 0;
                     }),
                     137);
            QVERIFY(monthFiles(company) != written);
        }

        const int before = MessageBox::requestCount();
        MessageBox::setNextAnswer(answer);
        MessageBox::setNextAnswer(QMessageBox::No); // the usual question, when it comes
        child<QAction>(*window, "act_Konwert")->trigger();

        QCOMPARE(MessageBox::requestCount(), before + boxes);
        if (undoKilled == 0)
            QCOMPARE(monthFiles(company), undone ? QStringList() : written);
        QCOMPARE(monthFiles(company).isEmpty(), undone);
        QCOMPARE(window->traceLines().last().startsWith("  2014T305.4: usunięto"), undone);
    }

    // Another run holding the directory is not a run that was interrupted.
    void aLiveRunIsNotInterrupted_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("interrupted"); // its journal has no end yet
        QTest::newRow("Konwersja") << "act_Konwert" << false;
        QTest::newRow("Konwersja, the live run's journal open") << "act_Konwert" << true;
        QTest::newRow("Cofnij") << "act_Cofnij" << false;
        QTest::newRow("Cofnij, the live run's journal open") << "act_Cofnij" << true;
    }
    void aLiveRunIsNotInterrupted()
    {
        QFETCH(QString, action);
        QFETCH(bool, interrupted);
        QString company;
        auto window = windowForRun(company);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        child<QAction>(*window, "act_Konwert")->trigger();
        if (interrupted) {
            const QByteArray journal = readFile(journalPath(company));
            QVERIFY(writeFile(journalPath(company), journal.left(journal.indexOf("\nFILEEND") + 1)));
        }
        const QStringList written = monthFiles(company);
        const DirectoryLock live(company);
        QVERIFY(!live.busy());

        const int before = MessageBox::requestCount();
        MessageBox::setNextAnswer(QMessageBox::Ok);
        MessageBox::setNextAnswer(QMessageBox::Yes); // whatever might come next
        window->findChild<QAction*>(action)->trigger();
        QCOMPARE(MessageBox::requestCount(), before + 1);
        QCOMPARE(MessageBox::lastRequest().text, directoryBusyText(company));
        QCOMPARE(monthFiles(company), written);
    }
};

QTEST_MAIN(TestFormMainUndo)
#include "test_form_main_undo.moc"
