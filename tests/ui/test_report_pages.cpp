// The printable report as a bookkeeper files it: read back from the PDF with
// pdftotext, page by page.
#include "report/ReportDocument.h"

#include "conversion/CsvReport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace przenosnik;

namespace {

// n documents of March; every `problemEvery`-th one skipped for a missing key (0: none).
RunReport sampleReport(int n, int problemEvery, bool dryRun)
{
    RunReport report;
    report.exportFile = QStringLiteral("/dane/FVS0314.TXT");
    report.companyDirectory = QStringLiteral("/ksiegi/FIRMA1");
    report.companyName = QStringLiteral("Alfa Sp. z o.o.");
    report.exportCompany = QStringLiteral("Beta S.A.");
    report.startedAt = QDateTime(QDate(2014, 4, 2), QTime(10, 15, 0));
    report.dryRun = dryRun;
    for (int i = 1; i <= n; ++i) {
        DocumentResult document;
        document.ordinal = i;
        document.kind = 1;
        document.number = QStringLiteral("FV %1/03/2014").arg(i);
        document.partyName = QStringLiteral("Przedsiębiorstwo Handlowo-Usługowe Żuraw nr %1").arg(i);
        document.nip = QStringLiteral("677-001-02-03");
        document.date = LedgerDate{12, 3, 2014};
        document.amounts.netto1 = 100;
        document.amounts.vat1 = 23;
        document.amounts.kolumna = 100;
        document.monthFile = report.companyDirectory + QStringLiteral("/2014T305.3");
        document.position = i;
        document.state = dryRun ? DocumentState::WouldBeWritten : DocumentState::Written;
        if (problemEvery > 0 && i % problemEvery == 0) {
            document.state = DocumentState::Skipped;
            document.remarks = QStringList{QStringLiteral("brak NIP")};
        }
        report.documents.append(document);
    }
    return report;
}

QStringList pdfPages(const QString& pdf)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!text.waitForFinished(60000) || text.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.constLast().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace

class TestReportPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    void pdfAsFiled_data()
    {
        QTest::addColumn<int>("documents");
        QTest::addColumn<int>("problemEvery");
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<bool>("undone");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<int>("minPages");
        QTest::newRow("one page, dry run") << 3 << 0 << true << false << "" << 1;
        QTest::newRow("many pages, problems first") << 400 << 7 << false << false << "" << 5;
        QTest::newRow("taken back") << 20 << 0 << false << true << "" << 1;
        QTest::newRow("stopped") << 5 << 5 << false << false
                                 << "Nie można zapisać w katalogu /ksiegi/FIRMA1: brak uprawnień do zapisu. "
                                    "Sprawdź uprawnienia albo wybierz inny katalog."
                                 << 1;
    }

    void pdfAsFiled()
    {
        QFETCH(int, documents);
        QFETCH(int, problemEvery);
        QFETCH(bool, dryRun);
        QFETCH(bool, undone);
        QFETCH(QString, stop);
        QFETCH(int, minPages);
        RunReport report = sampleReport(documents, problemEvery, dryRun);
        if (undone)
            report.undoneAt = QDateTime(QDate(2014, 4, 3), QTime(8, 0, 0));
        report.stopReason = stop;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("raport.pdf"));
        QVERIFY(writePdfReport(pdf, report));
        const QStringList pages = pdfPages(pdf);
        QVERIFY(pages.size() >= minPages);

        // Every page carries the title and its number out of all.
        const QString title =
            dryRun ? QStringLiteral("Raport konwersji (symulacja)") : QStringLiteral("Raport konwersji");
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const QString head = pages.at(i).section(QLatin1Char('\n'), 0, 0);
            QVERIFY2(head.startsWith(title), qPrintable(head));
            QVERIFY2(head.endsWith(QStringLiteral("Strona %1 z %2").arg(i + 1).arg(pages.size())),
                     qPrintable(head));
        }

        // The header names both companies, the files, the date and the kind of run, and what became of it.
        const QString all = pages.join(QLatin1Char('\n'));
        const QString first = pages.constFirst().simplified();
        for (const QString& line :
             {QStringLiteral("Firma: Alfa Sp. z o.o."), QStringLiteral("Eksport firmy: Beta S.A."),
              QStringLiteral("Plik eksportu: /dane/FVS0314.TXT"),
              QStringLiteral("Katalog firmy: /ksiegi/FIRMA1"),
              QStringLiteral("Data i godzina: 2014-04-02 10:15:00"),
              dryRun ? QStringLiteral("Tryb: symulacja (bez zapisu)") : QStringLiteral("Tryb: zapis do KPR")})
            QVERIFY2(first.contains(line), qPrintable(line));
        QCOMPARE(first.contains(QStringLiteral("Konwersja cofnięta 2014-04-03 08:00:00")), undone);
        if (!stop.isEmpty())
            QVERIFY(first.contains(stop));

        // Problems first under their own heading, then the others; each table ends with its totals.
        const int problems = problemEvery > 0 ? documents / problemEvery : 0;
        const qsizetype problemsAt = all.indexOf(QStringLiteral("Dokumenty z uwagami"));
        const qsizetype othersAt = all.indexOf(QStringLiteral("Pozostałe dokumenty"));
        QCOMPARE(problemsAt >= 0, problems > 0);
        QCOMPARE(othersAt >= 0, documents > problems);
        if (problems > 0 && documents > problems)
            QVERIFY(problemsAt < othersAt);
        // "Razem: n" with the net, VAT and gross sums of the table (the skipped ones count zero here too).
        static const QRegularExpression totalRow(QStringLiteral("Razem: (\\d+) +(\\S+) +(\\S+) +(\\S+)"));
        QList<int> counts;
        for (const QRegularExpressionMatch& match : totalRow.globalMatch(all)) {
            const int n = match.captured(1).toInt();
            counts << n;
            QCOMPARE(match.captured(2), reportAmount(100.0 * n));
            QCOMPARE(match.captured(3), reportAmount(23.0 * n));
            QCOMPARE(match.captured(4), reportAmount(123.0 * n));
        }
        QList<int> expected;
        if (problems > 0)
            expected << problems;
        if (documents > problems)
            expected << documents - problems;
        QCOMPARE(counts, expected);
        // Every document once, as its number shows.
        for (int i = 1; i <= documents; i += std::max(1, documents / 50))
            QCOMPARE(all.count(QStringLiteral("FV %1/03/2014 ").arg(i)), 1);
        // Column headings break between words only.
        for (const QString& word : {QStringLiteral("Kontrahent"), QStringLiteral("Pozycja"),
                                    QStringLiteral("Brutto"), QStringLiteral("Dokumentów")})
            QVERIFY2(all.contains(word), qPrintable(word));
    }
};

QTEST_MAIN(TestReportPages)
#include "test_report_pages.moc"
