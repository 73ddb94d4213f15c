// Documents the user chose not to book, and the results of a run taken back:
// the list of ordinals, what a run does with an excluded document, the states
// after an undo and what the totals count of them.
#include "conversion/DocumentSelection.h"
#include "conversion/RunConversion.h"
#include "conversion/RunReport.h"
#include "conversion/RunTotals.h"

#include "support/ConversionTestHost.h"
#include "support/ScratchFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

const QString ExcludedLine = QStringLiteral(" * dokument wyłączony przez użytkownika - pominięty *");

// Invoices "FV 1", "FV 2", ... of March; "-" leaves the NIP out (the mapping
// refuses it), "=" repeats the previous number (a duplicate).
QString exportOf(const QStringList& numbers)
{
    QString text = exportHeader();
    QString previous;
    for (const QString& number : numbers) {
        Invoice invoice;
        invoice.number = number == QLatin1String("=") ? previous : number;
        previous = invoice.number;
        QString block = documentBlock(invoice, registerBlock("23", "100.00", "23.00"));
        if (number.startsWith(QLatin1Char('-')))
            block.remove(QStringLiteral("\tkhnip = ") + invoice.nip + QLatin1Char('\n'));
        text += block;
    }
    return text;
}

} // namespace

class DocumentExclusionsTest : public QObject
{
    Q_OBJECT

    ScratchFiles m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void ordinalList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");   // as text() writes it back; "error" when refused
        QTest::addColumn<QString>("within"); // the ordinals 1 to 12 it holds

        QTest::newRow("one") << "3"
                             << "3"
                             << "3";
        QTest::newRow("one and a range") << "3,7-9"
                                         << "3,7-9"
                                         << "3 7 8 9";
        QTest::newRow("blanks around") << " 3 , 7 - 9 "
                                       << "3,7-9"
                                       << "3 7 8 9";
        QTest::newRow("unsorted, overlapping") << "9,1-3,2-4,4"
                                               << "1-4,9"
                                               << "1 2 3 4 9";
        QTest::newRow("touching ranges merge") << "1-2,3-4,6"
                                               << "1-4,6"
                                               << "1 2 3 4 6";
        QTest::newRow("a range of two") << "11-12"
                                        << "11,12"
                                        << "11 12";
        QTest::newRow("a range of one") << "5-5"
                                        << "5"
                                        << "5";
        QTest::newRow("beyond the run") << "12-2147483647"
                                        << "12-2147483647"
                                        << "12";
        QTest::newRow("empty") << ""
                               << "error"
                               << "";
        QTest::newRow("empty item") << "3,,4"
                                    << "error"
                                    << "";
        QTest::newRow("trailing comma") << "3,"
                                        << "error"
                                        << "";
        QTest::newRow("zero") << "0"
                              << "error"
                              << "";
        QTest::newRow("negative") << "-3"
                                  << "error"
                                  << "";
        QTest::newRow("open range") << "3-"
                                    << "error"
                                    << "";
        QTest::newRow("reversed range") << "9-7"
                                        << "error"
                                        << "";
        QTest::newRow("two dashes") << "1-2-3"
                                    << "error"
                                    << "";
        QTest::newRow("a letter") << "3a"
                                  << "error"
                                  << "";
        QTest::newRow("a sign") << "+3"
                                << "error"
                                << "";
        QTest::newRow("too large") << "2147483648"
                                   << "error"
                                   << "";
        QTest::newRow("semicolons") << "3;4"
                                    << "error"
                                    << "";
    }

    void ordinalList()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        QFETCH(QString, within);
        QString error;
        const std::optional<DocumentSelection> selection = DocumentSelection::parse(text, &error);
        if (read == QLatin1String("error")) {
            QVERIFY(!selection);
            QVERIFY2(error.contains(QStringLiteral("3,7-9")), qPrintable(error));
            return;
        }
        QVERIFY2(selection, qPrintable(error));
        QCOMPARE(selection->text(), read);
        QCOMPARE(DocumentSelection::parse(selection->text()), selection);
        QStringList held;
        for (int ordinal = 1; ordinal <= 12; ++ordinal) {
            if (selection->contains(ordinal))
                held << QString::number(ordinal);
        }
        QCOMPARE(held.join(QLatin1Char(' ')), within);
    }

    void excludedDocuments_data()
    {
        QTest::addColumn<QStringList>("numbers"); // as exportOf() reads them
        QTest::addColumn<QString>("excluded");
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<QStringList>("expected"); // state and position of each result

        const QStringList four{"FV 1", "FV 2", "FV 3", "FV 4"};
        QTest::newRow("none") << four << "" << false
                              << QStringList{"zapisany 1", "zapisany 2", "zapisany 3", "zapisany 4"};
        QTest::newRow("the first and a range")
            << four << "1,3-4" << false
            << QStringList{"wyłączony 0", "zapisany 1", "wyłączony 0", "wyłączony 0"};
        QTest::newRow("all") << four << "1-4" << false
                             << QStringList{"wyłączony 0", "wyłączony 0", "wyłączony 0", "wyłączony 0"};
        QTest::newRow("dry run: the positions close up")
            << four << "2" << true << QStringList{"do zapisu 1", "wyłączony 0", "do zapisu 2", "do zapisu 3"};
        QTest::newRow("beyond the run")
            << four << "5-9" << false << QStringList{"zapisany 1", "zapisany 2", "zapisany 3", "zapisany 4"};
        QTest::newRow("a refused document stays refused")
            << QStringList{"FV 1", "-FV 2", "FV 3"} << "2" << false
            << QStringList{"zapisany 1", "pominięty 0", "zapisany 2"};
        QTest::newRow("ordinals count refused documents too")
            << QStringList{"-FV 1", "FV 2", "FV 3"} << "3" << false
            << QStringList{"pominięty 0", "zapisany 1", "wyłączony 0"};
        QTest::newRow("excluding the first of two alike books the second")
            << QStringList{"FV 1", "="} << "1" << false << QStringList{"wyłączony 0", "zapisany 1"};
        QTest::newRow("the second of two alike is a duplicate")
            << QStringList{"FV 1", "="} << "" << false << QStringList{"zapisany 1", "duplikat 1"};
    }

    void excludedDocuments()
    {
        QFETCH(QStringList, numbers);
        QFETCH(QString, excluded);
        QFETCH(bool, dryRun);
        QFETCH(QStringList, expected);

        const QString company = m_dir.freshCompany();
        ConversionSettings settings = m_dir.realRun(exportOf(numbers), company);
        settings.dryRun = dryRun;
        if (!excluded.isEmpty())
            settings.excludedDocuments = *DocumentSelection::parse(excluded);
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);

        QStringList got;
        int booked = 0;
        int excludedCount = 0;
        for (const DocumentResult& result : host.results) {
            got << QStringLiteral("%1 %2").arg(stateText(result.state)).arg(result.position);
            booked += result.state == DocumentState::Written || result.state == DocumentState::WouldBeWritten;
            if (result.state == DocumentState::Excluded) {
                ++excludedCount;
                QVERIFY(result.monthFile.isEmpty());
                QCOMPARE(result.amounts.netto1, 100.0);
            }
        }
        QCOMPARE(got, expected);
        // One line in place of each append; an excluded document is not counted.
        QCOMPARE(host.trace.count(ExcludedLine), excludedCount);
        QCOMPARE(host.documentCount, booked);
        QVERIFY(host.trace.contains(QStringLiteral(" *** Ilość dokumentów %1").arg(booked)));
        const QFileInfo month(company + QStringLiteral("/2014T305.3"));
        QCOMPARE(month.exists() ? month.size() : 0, dryRun ? 0 : booked * 400);
    }

    void excludedLineFollowsTheDocumentsOwnLines()
    {
        ConversionSettings settings = m_dir.realRun(exportOf({"FV 1", "FV 2"}), m_dir.freshCompany());
        settings.dryRun = true;
        RecordingHost dry;
        RunConversion(settings, dry);
        settings.dryRun = false;
        settings.excludedDocuments = DocumentSelection::fromOrdinals({1});
        RecordingHost excluded;
        RunConversion(settings, excluded);
        // The trace of the dry run with the one line added, and the real run's end line.
        QStringList expected = dry.trace.mid(1);
        // Before the empty line that opens the second document.
        const QStringList headings = expected.filter(QStringLiteral("* Dokument nr:"));
        QCOMPARE(headings.size(), 2);
        const qsizetype at = expected.indexOf(headings.at(1)) - 1;
        QCOMPARE(expected.at(at), QString());
        expected.insert(at, ExcludedLine);
        expected.replace(expected.size() - 1, QStringLiteral(" *** Koniec przetwarzania ***"));
        expected.replace(expected.size() - 2, QStringLiteral(" *** Ilość dokumentów 1"));
        QCOMPARE(excluded.trace, expected);
    }

    void blocksNotLetThrough()
    {
        Invoice cancelled;
        cancelled.number = QStringLiteral("FV 7/03/2014");
        cancelled.date = QStringLiteral("2014-03-20");
        cancelled.cancelled = 1;
        Invoice other;
        other.kind = QStringLiteral("zamówienie");
        other.number = QStringLiteral("ZAM 1");
        other.date = QStringLiteral("20x4-03-20");
        const QString vat = registerBlock("23", "100.00", "23.00");
        ConversionSettings settings =
            m_dir.realRun(exportHeader() + documentBlock(Invoice(), vat) + documentBlock(cancelled, vat) +
                              documentBlock(other, vat),
                          QString());
        settings.dryRun = true;
        RecordingHost host;
        RunConversion(settings, host);
        QCOMPARE(host.rejectedRows.size(), 2);
        const RejectedBlock& first = host.rejectedRows.at(0);
        QVERIFY(first.cancelled);
        QCOMPARE(first.number, cancelled.number);
        QCOMPARE(first.date, (LedgerDate{20, 3, 2014}));
        QCOMPARE(first.resultsBefore, 1);
        const RejectedBlock& second = host.rejectedRows.at(1);
        QVERIFY(!second.cancelled);
        QCOMPARE(second.number, other.number);
        QCOMPARE(second.date, LedgerDate());
        QCOMPARE(second.resultsBefore, 1);
    }

    void takenBack_data()
    {
        QTest::addColumn<QStringList>("states"); // before the undo
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("summed"); // documents in the totals' amounts
        QTest::addColumn<int>("converted");

        QTest::newRow("all written") << QStringList{"zapisany", "zapisany"}
                                     << QStringList{"cofnięty", "cofnięty"} << 0 << 2;
        QTest::newRow("the rest stays")
            << QStringList{"zapisany", "pominięty", "duplikat", "wyłączony", "niezapisany"}
            << QStringList{"cofnięty", "pominięty", "duplikat", "wyłączony", "niezapisany"} << 0 << 2;
        QTest::newRow("nothing written") << QStringList{"wyłączony"} << QStringList{"wyłączony"} << 0 << 0;
    }

    void takenBack()
    {
        QFETCH(QStringList, states);
        QFETCH(QStringList, after);
        QFETCH(int, summed);
        QFETCH(int, converted);
        const auto stateOf = [](const QString& text) {
            for (int state = 0; state < DocumentStateCount; ++state) {
                if (stateText(DocumentState(state)) == text)
                    return DocumentState(state);
            }
            qFatal("no state %s", qPrintable(text));
        };
        RunReport report;
        for (const QString& state : states) {
            DocumentResult result;
            result.kind = 1;
            result.state = stateOf(state);
            result.amounts.netto1 = 100;
            result.monthFile = QStringLiteral("2014T305.3");
            report.documents.append(result);
        }
        const RunTotals before = computeTotals(report);
        QVERIFY(!stateListed(before, int(DocumentState::Undone)));
        const QDateTime when(QDate(2014, 4, 1), QTime(10, 15));
        markRunUndone(report, when);
        QCOMPARE(report.undoneAt, when);
        QStringList got;
        for (const DocumentResult& result : std::as_const(report.documents))
            got << stateText(result.state);
        QCOMPARE(got, after);
        const RunTotals totals = computeTotals(report);
        QCOMPARE(totals.overall[SalesTotals].documents, summed);
        QCOMPARE(totals.converted, converted);
        QCOMPARE(stateListed(totals, int(DocumentState::Undone)), after.contains(QStringLiteral("cofnięty")));
        QCOMPARE(stateListed(totals, int(DocumentState::Excluded)),
                 after.contains(QStringLiteral("wyłączony")));
        QVERIFY(stateListed(totals, int(DocumentState::Duplicate)));
    }
};

QTEST_GUILESS_MAIN(DocumentExclusionsTest)
#include "test_document_exclusions.moc"
