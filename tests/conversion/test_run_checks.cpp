// What the bookkeeper is told beside the trace: the company an export names,
// what a dry run finds in the way of a real run, and why a run stopped.
#include "conversion/ExportCompany.h"
#include "conversion/RunChecks.h"
#include "conversion/RunJournal.h"
#include "ledger/DirectoryLock.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace przenosnik;

namespace {
const QString Month = QStringLiteral("2014T305.3");

// Makes a file or directory read-only; answers false when that does not stop this user writing.
bool makeReadOnly(const QString& path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    return !QFileInfo(path).isWritable();
}
} // namespace

class TestRunChecks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportCompanyFromTheHeader_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("name");
        QTest::newRow("after the version line")
            << QByteArray("Info{\r\n\tWersja szablonu =3\r\n\tFirma =Biuro "
                          "\xa3\xf3\x64\x9f  \r\n}\r\n")
            << "Biuro Łódź";
        QTest::newRow("UTF-8, CR alone") << QByteArray("Info{\r\tFirma = Żuraw S.A.\r}\r") << "Żuraw S.A.";
        QTest::newRow("no company") << QByteArray("Info{\r\n\tWersja szablonu =3\r\n}\r\n") << "";
        QTest::newRow("inside a document: not the header's")
            << QByteArray("Info{\n}\nDokument{\n\tFirma =Obca\n}\n") << "";
        QTest::newRow("another key that starts alike") << QByteArray("\tFirmaX =Obca\n") << "";
    }

    void exportCompanyFromTheHeader()
    {
        QFETCH(QByteArray, header);
        QFETCH(QString, name);
        QCOMPARE(exportCompanyNameIn(header), name);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("FVS.TXT"));
        QVERIFY(test::writeFile(file, header));
        QCOMPARE(exportCompanyName(file), name);
    }

    void dryRunFindsWhatARealRunMeets_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QStringList>("obstacles");
        QTest::addColumn<QStringList>("newFiles");
        const QString readOnly = QStringLiteral("Nie można zapisać w katalogu @: brak uprawnień do zapisu. "
                                                "Sprawdź uprawnienia albo wybierz inny katalog.");
        QTest::newRow("ready, month file there") << "ready" << QStringList() << QStringList();
        QTest::newRow("month file to create")
            << "new month" << QStringList() << QStringList{"Zostanie utworzony plik @/" + Month + "."};
        QTest::newRow("missing directory") << "missing"
                                           << QStringList{"Katalog @ nie istnieje. Sprawdź nazwę albo "
                                                          "wybierz katalog firmy z listy (Firmy KPR)."}
                                           << QStringList();
        QTest::newRow("no directory given: the export alone is checked")
            << "empty" << QStringList() << QStringList();
        QTest::newRow("read-only directory") << "read-only" << QStringList{readOnly} << QStringList();
        QTest::newRow("read-only month file")
            << "read-only month"
            << QStringList{"Nie można zapisać pliku @/" + Month +
                           ": brak uprawnień do zapisu. Sprawdź uprawnienia pliku albo wybierz inny katalog."}
            << QStringList();
        QTest::newRow("locked by another run")
            << "locked" << QStringList{directoryBusyText(QStringLiteral("@"))} << QStringList();
        QTest::newRow("a run that did not end") << "interrupted"
                                                << QStringList{"Ostatnia konwersja do katalogu @ nie została "
                                                               "dokończona; nie zapisała żadnego wpisu."}
                                                << QStringList();
    }

    void dryRunFindsWhatARealRunMeets()
    {
        QFETCH(QString, condition);
        QFETCH(QStringList, obstacles);
        QFETCH(QStringList, newFiles);
        QTemporaryDir scratch;
        QString directory = scratch.filePath(QStringLiteral("FIRMA1"));
        QVERIFY(QDir().mkpath(directory));
        const QString month = directory + QLatin1Char('/') + Month;
        if (condition != QLatin1String("new month"))
            QVERIFY(test::writeFile(month, QByteArray(400, '\0')));
        std::optional<QLockFile> otherRun;
        ConversionSettings settings;
        settings.companyDirectory = directory;
        settings.exportFile = scratch.filePath(QStringLiteral("FVS.TXT"));
        QVERIFY(test::writeFile(settings.exportFile, "Info{\n}\n"));
        RunJournal journal(settings, [](const QString&) {});
        if (condition == QLatin1String("missing"))
            directory += QStringLiteral("X");
        else if (condition == QLatin1String("empty"))
            directory.clear();
        else if (condition == QLatin1String("read-only") && !makeReadOnly(directory))
            QSKIP("this user writes into read-only directories");
        else if (condition == QLatin1String("read-only month") && !makeReadOnly(month))
            QSKIP("this user writes into read-only files");
        else if (condition == QLatin1String("locked")) {
            otherRun.emplace(directory + QLatin1Char('/') + QLatin1String(LockFileName));
            QVERIFY(otherRun->tryLock(0));
        } else if (condition == QLatin1String("interrupted"))
            journal.start(); // and never finished
        const QStringList before = QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const DryRunFindings findings = dryRunFindings(directory, {directory + QLatin1Char('/') + Month});
        QFile::setPermissions(directory,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (condition == QLatin1String("locked"))
            obstacles = QStringList{directoryBusyText(directory)}; // names the holder
        QCOMPARE(findings.obstacles, obstacles.replaceInStrings(QStringLiteral("@"), directory));
        QCOMPARE(findings.newFiles, newFiles.replaceInStrings(QStringLiteral("@"), directory));
        // Looking creates nothing.
        QCOMPARE(QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    void aStoppedRunSaysWhyAndWhatToDo_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("completed") << int(RunOutcome::Completed) << ""
                                   << "";
        QTest::newRow("wrong version line") << int(RunOutcome::UnsuitableVersion) << ""
                                            << "To nie jest plik eksportu faktur w wersji 2 lub 3.";
        QTest::newRow("version not a number") << int(RunOutcome::InvalidVersion) << ""
                                              << "To nie jest plik eksportu faktur w wersji 2 lub 3.";
        QTest::newRow("read-only directory")
            << int(RunOutcome::StoppedEarly) << "read-only"
            << "Nie można zapisać w katalogu @: brak uprawnień do zapisu. Sprawdź uprawnienia albo wybierz "
               "inny katalog.";
        QTest::newRow("missing directory")
            << int(RunOutcome::StoppedEarly) << "missing"
            << "Katalog @X nie istnieje. Sprawdź nazwę albo wybierz katalog firmy z listy (Firmy KPR).";
        QTest::newRow("file not written: disk full?")
            << int(RunOutcome::StoppedEarly) << "full"
            << "Nie można zapisać pliku @/" + Month +
                   ". Sprawdź, czy na dysku jest miejsce i czy plik nie jest zablokowany, potem uruchom "
                   "konwersję "
                   "ponownie; wpisy już zapisane można cofnąć.";
        QTest::newRow("a directory in the file's place")
            << int(RunOutcome::StoppedEarly) << "directory"
            << "W miejscu pliku @/" + Month +
                   " jest katalog. Usuń go albo zmień jego nazwę i uruchom konwersję ponownie.";
        QTest::newRow("month 13") << int(RunOutcome::StoppedEarly) << "month 13"
                                  << "Dokument ma datę spoza kalendarza (plik @/2014T305.13). Popraw datę w "
                                     "programie sprzedaży, wyeksportuj plik ponownie i uruchom konwersję.";
        QTest::newRow("export no longer readable")
            << int(RunOutcome::StoppedEarly) << "read error"
            << "Nie można dalej czytać pliku FVS.TXT. Sprawdź, czy plik jest dostępny, i uruchom konwersję "
               "ponownie.";
    }

    void aStoppedRunSaysWhyAndWhatToDo()
    {
        QFETCH(int, outcome);
        QFETCH(QString, condition);
        QFETCH(QString, sentence);
        QTemporaryDir scratch;
        QString directory = scratch.path();
        QString failed = directory + QLatin1Char('/') + Month;
        if (condition == QLatin1String("missing"))
            directory += QStringLiteral("X");
        else if (condition == QLatin1String("read-only") && !makeReadOnly(directory))
            QSKIP("this user writes into read-only directories");
        else if (condition == QLatin1String("read error"))
            failed.clear();
        else if (condition == QLatin1String("directory"))
            QVERIFY(QDir().mkpath(failed));
        else if (condition == QLatin1String("month 13"))
            failed = directory + QStringLiteral("/2014T305.13");
        const QString said = stopSentence(RunOutcome(outcome), directory, failed, QStringLiteral("FVS.TXT"));
        QFile::setPermissions(scratch.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(said, sentence.replace(QStringLiteral("@"), scratch.path()));
    }

    // The files a run names come once each, and the one it stopped at apart.
    void tallyOfTheMonthFiles()
    {
        RunFileTally tally;
        auto result = [](DocumentState state, const char* file) {
            DocumentResult document;
            document.state = state;
            document.monthFile = QLatin1String(file);
            return document;
        };
        for (const DocumentResult& document :
             {result(DocumentState::WouldBeWritten, "a/1"), result(DocumentState::Duplicate, "a/9"),
              result(DocumentState::WouldBeWritten, "a/2"), result(DocumentState::Written, "a/1"),
              result(DocumentState::Skipped, ""), result(DocumentState::NotWritten, "a/3")})
            tally.add(document);
        QCOMPARE(tally.monthFiles(), (QStringList{"a/1", "a/2"}));
        QCOMPARE(tally.failedFile(), QStringLiteral("a/3"));
    }
};

QTEST_GUILESS_MAIN(TestRunChecks)
#include "test_run_checks.moc"
