// The totals and the CSV fields of the saved report.
#include "conversion/CsvReport.h"
#include "conversion/RunTotals.h"

#include <QtTest>

using namespace przenosnik;

class RunTotalsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void amounts_data();
    void amounts();
    void fields_data();
    void fields();
    void reportLineGuardsTextCells();
    void totals();
};

void RunTotalsTest::amounts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0,00";
    QTest::newRow("negative zero") << -0.0 << "0,00";
    QTest::newRow("0.005 lies above the half") << 0.005 << "0,01";
    QTest::newRow("small negative rounds to zero") << -0.004 << "0,00";
    QTest::newRow("-0.005 lies below minus the half") << -0.005 << "-0,01";
    QTest::newRow("exact half goes to even") << 0.125 << "0,12";
    QTest::newRow("2.675 lies below the half") << 2.675 << "2,67";
    QTest::newRow("no thousands separator") << 1234.5 << "1234,50";
    QTest::newRow("large negative") << -1e11 << "-100000000000,00";
    QTest::newRow("cents") << -812.3 << "-812,30";
}

void RunTotalsTest::amounts()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(reportAmount(value), text);
}

void RunTotalsTest::fields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("textCell"); // the same text in a text cell: "" when as field
    QTest::newRow("plain") << "FVS 1/03/2014"
                           << "FVS 1/03/2014"
                           << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("comma stays bare") << "Kowalski, Nowak"
                                      << "Kowalski, Nowak"
                                      << "";
    QTest::newRow("semicolon") << "A;B"
                               << "\"A;B\""
                               << "";
    QTest::newRow("quotes doubled") << "Sklep \"Żak\""
                                    << "\"Sklep \"\"Żak\"\"\""
                                    << "";
    QTest::newRow("CR") << "a\rb"
                        << "\"a\rb\""
                        << "";
    QTest::newRow("LF") << "a\nb"
                        << "\"a\nb\""
                        << "";
    QTest::newRow("formula") << "=HYPERLINK(\"x\")"
                             << "\"=HYPERLINK(\"\"x\"\")\""
                             << "\"'=HYPERLINK(\"\"x\"\")\"";
    QTest::newRow("plus") << "+48 1"
                          << "+48 1"
                          << "'+48 1";
    QTest::newRow("minus") << "-5,00"
                           << "-5,00"
                           << "'-5,00";
    QTest::newRow("at") << "@SUMA(A1)"
                        << "@SUMA(A1)"
                        << "'@SUMA(A1)";
    QTest::newRow("TAB") << "\t=1"
                         << "\t=1"
                         << "'\t=1";
    QTest::newRow("CR first") << "\r=1"
                              << "\"\r=1\""
                              << "\"'\r=1\"";
    QTest::newRow("sign inside stays") << "A=1-2"
                                       << "A=1-2"
                                       << "";
    QTest::newRow("blank first stays") << " =1"
                                       << " =1"
                                       << "";
}

void RunTotalsTest::fields()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(QString, textCell);
    QCOMPARE(csvField(text), field);
    QCOMPARE(csvTextField(text), textCell.isEmpty() ? field : textCell);
}

// In a report line the texts are guarded and the amounts stay numbers.
void RunTotalsTest::reportLineGuardsTextCells()
{
    DocumentResult document;
    document.ordinal = 1;
    document.kind = 1;
    document.number = QStringLiteral("=1+1");
    document.partyName = QStringLiteral("@SUMA");
    document.nip = QStringLiteral("-");
    document.monthFile = QStringLiteral("/k/+2014T305.3");
    document.position = 3;
    document.state = DocumentState::WouldBeWritten;
    document.remarks = QStringList{QStringLiteral("-x")};
    document.amounts.netto1 = -5;
    RunReport report;
    report.documents = {document};
    const QByteArray line = csvReport(report).split('\n').at(1);
    QCOMPARE(line, QStringLiteral("1;'=1+1;;sprzedaż;'@SUMA;'-;-5,00%1;'+2014T305.3;3;do zapisu;'-x\r")
                       .arg(QStringLiteral(";0,00").repeated(12))
                       .toUtf8());
}

// Sums over written documents only, files in the order first written, counts by state.
void RunTotalsTest::totals()
{
    const auto document = [](int kind, const char* file, DocumentState state, double net) {
        DocumentResult result;
        result.kind = kind;
        result.monthFile = QString::fromLatin1(file);
        result.state = state;
        result.amounts.netto1 = net;
        result.amounts.vat1 = net / 10;
        result.amounts.kolumna = net;
        return result;
    };
    RunReport report;
    report.rejected = {2, 1};
    report.documents = {
        document(1, "/k/2014T305.4", DocumentState::Written, 100),
        document(2, "/k/2014T305.3", DocumentState::Written, 50),
        document(1, "/k/2014T305.4", DocumentState::Written, 20),
        document(-1, "/k/2014T305.3", DocumentState::Written, 7),
        document(1, "", DocumentState::Skipped, 1000),
        document(1, "/k/2014T305.3", DocumentState::Duplicate, 1000),
        document(2, "/k/2014T305.5", DocumentState::NotWritten, 1000),
        document(2, "/k/2014T305.3", DocumentState::Conflict, 1000),
    };
    const RunTotals totals = computeTotals(report);
    QCOMPARE(totals.blocks, 11);
    QCOMPARE(totals.cancelled, 2);
    QCOMPARE(totals.otherKinds, 1);
    QCOMPARE(totals.converted, 5); // the duplicate, the conflict and the skipped document are not counted
    const int byState[DocumentStateCount] = {4, 0, 1, 1, 1, 1};
    for (int state = 0; state < DocumentStateCount; ++state)
        QCOMPARE(totals.byState[state], byState[state]);

    QCOMPARE(totals.files.size(), 2);
    QCOMPARE(totals.files[0].monthFile, QStringLiteral("/k/2014T305.4"));
    QCOMPARE(totals.files[0].byKind[SalesTotals].documents, 2);
    QCOMPARE(totals.files[0].byKind[SalesTotals].sums.netto1, 120.0);
    QCOMPARE(totals.files[0].byKind[PurchaseTotals].documents, 0);
    QCOMPARE(totals.files[1].byKind[PurchaseTotals].sums.kolumna, 50.0);
    QCOMPARE(totals.files[1].byKind[UndeterminedTotals].documents, 1);
    QCOMPARE(totals.overall[SalesTotals].documents, 2);
    QCOMPARE(totals.overall[SalesTotals].sums.vatTotal(), 12.0);
    QCOMPARE(totals.overall[PurchaseTotals].sums.netto1, 50.0);
    QCOMPARE(totals.overall[UndeterminedTotals].sums.netto1, 7.0);
}

QTEST_GUILESS_MAIN(RunTotalsTest)
#include "test_run_totals.moc"
