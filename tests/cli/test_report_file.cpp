// Saving a report: never over a file of the ledger or of a run, through links
// too, and never half-written over the report that was there.
#include "report/ReportFile.h"
#include "report/ReportTarget.h"

#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

// The permissions an older report had, kept by the new one, among all the bits.
const QFileDevice::Permissions OlderReport = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
const QFileDevice::Permissions AllBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                         QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

bool hardLink(const QString& existing, const QString& link)
{
    std::error_code error;
    std::filesystem::create_hard_link(QFile::encodeName(existing).toStdString(),
                                      QFile::encodeName(link).toStdString(), error);
    return !error;
}

} // namespace

class ReportFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void target_data()
    {
        QTest::addColumn<QString>("link"); // what r.csv is: "" nothing, "old" a report, "->x" a symbolic link
                                           // to x, "=>x" a hard link to x
        QTest::addColumn<QString>("outcome");   // "written", "refused" or "failed"
        QTest::addColumn<QString>("untouched"); // a file whose bytes must stay as they were
        QTest::newRow("new file") << ""
                                  << "written"
                                  << "";
        QTest::newRow("an older report replaced") << "old"
                                                  << "written"
                                                  << "";
        QTest::newRow("link to an ordinary file") << "->inne/raport.csv"
                                                  << "written"
                                                  << "";
        QTest::newRow("link to a month file elsewhere") << "->inne/2014T305.4"
                                                        << "refused"
                                                        << "inne/2014T305.4";
        QTest::newRow("link to a month file still to come") << "->firma/2014t305.5"
                                                            << "refused"
                                                            << "";
        QTest::newRow("chain of links to the journal") << "->lacze"
                                                       << "refused"
                                                       << "firma/PRZENOSN.JRN";
        QTest::newRow("link to the lock") << "->firma/przenosn.lck"
                                          << "refused"
                                          << "firma/przenosn.lck";
        QTest::newRow("link into the backups") << "->firma/PRZENOSN.BAK/1/kopia.csv"
                                               << "refused"
                                               << "firma/PRZENOSN.BAK/1/kopia.csv";
        QTest::newRow("hard link to a month file") << "=>firma/2014T305.3"
                                                   << "refused"
                                                   << "firma/2014T305.3";
        QTest::newRow("hard link to the export file") << "=>FVS0314.TXT"
                                                      << "refused"
                                                      << "FVS0314.TXT";
        QTest::newRow("folder missing") << "->brak/raport.csv"
                                        << "failed"
                                        << "";
    }
    void target()
    {
        QFETCH(QString, link);
        QFETCH(QString, outcome);
        QFETCH(QString, untouched);
        if (link.startsWith(QLatin1String("->")) && !havePosixFaults())
            QSKIP(NoSymbolicLinks);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QDir root(dir.path());
        for (const char* folder : {"firma/PRZENOSN.BAK/1", "inne"})
            QVERIFY(root.mkpath(QString::fromLatin1(folder)));
        for (const char* name :
             {"firma/2014T305.3", "firma/PRZENOSN.JRN", "firma/przenosn.lck",
              "firma/PRZENOSN.BAK/1/kopia.csv", "inne/2014T305.4", "inne/raport.csv", "FVS0314.TXT"})
            QVERIFY(writeFile(root.filePath(QString::fromLatin1(name)), QByteArray("przed ") + name));
        if (havePosixFaults())
            QVERIFY(QFile::link(root.filePath("firma/PRZENOSN.JRN"), root.filePath("lacze")));
        const QString path = root.filePath("r.csv");
        if (link == QLatin1String("old"))
            QVERIFY(writeFile(path, "stary raport") && QFile::setPermissions(path, OlderReport));
        else if (link.startsWith(QLatin1String("->")))
            QVERIFY(QFile::link(root.filePath(link.mid(2)), path));
        else if (link.startsWith(QLatin1String("=>")))
            QVERIFY(hardLink(root.filePath(link.mid(2)), path));
        const QByteArray kept = untouched.isEmpty() ? QByteArray() : readFile(root.filePath(untouched));

        RunReport report;
        report.exportFile = root.filePath("FVS0314.TXT");
        report.companyDirectory = root.filePath("firma");
        report.documents.append(DocumentResult{});
        QString error;
        const bool written = writeReport(path, report, &error);
        QCOMPARE(written, outcome == QLatin1String("written"));
        if (outcome == QLatin1String("refused"))
            QVERIFY2(error.contains(QStringLiteral("nie może zastąpić")), qPrintable(error));
        else if (outcome == QLatin1String("failed"))
            QCOMPARE(error, QStringLiteral("Błąd zapisu raportu \"%1\"").arg(path));
        if (!untouched.isEmpty())
            QCOMPARE(readFile(root.filePath(untouched)), kept);
        if (written) {
            // The file the path leads to holds the report; a link stays a link.
            QVERIFY(readFile(linkedFilePath(path)).startsWith("\xEF\xBB\xBFLp;"));
            QCOMPARE(QFileInfo(path).isSymLink(), link.startsWith(QLatin1String("->")));
            // Windows keeps no permission bits but the read-only attribute.
            if (link == QLatin1String("old") && havePosixFaults())
                QCOMPARE(QFileInfo(path).permissions() & AllBits, OlderReport);
        }
        QVERIFY(!QFileInfo::exists(root.filePath("firma/2014t305.5")));
        for (const char* folder : {"", "inne", "firma"})
            QCOMPARE(QDir(root.filePath(QString::fromLatin1(folder)))
                         .entryList({".raport-*"}, QDir::Files | QDir::Hidden),
                     QStringList());
    }

    void failedWriteLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("r.pdf");
        QVERIFY(writeFile(path, "stary raport"));
        QVERIFY(!writeReplacing(path, [](const QString& file) { return writeFile(file, "po") && false; }));
        QCOMPARE(readFile(path), QByteArray("stary raport"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"r.pdf"});
    }
};

QTEST_GUILESS_MAIN(ReportFileTest)
#include "test_report_file.moc"
