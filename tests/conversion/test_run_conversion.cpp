// Whole runs on small export files: the trace, line for line, and the bytes
// of the monthly files.
#include "conversion/ConversionRun.h"
#include "encoding/PolishEncoding.h"
#include "ledger/LedgerEntry.h"

#include "support/ConversionTestHost.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

const QString Banner = QStringLiteral(" *** Procedura sprawdzająca (BEZ ZAPISU ) ***");
const QString Start = QStringLiteral(" *** Rozpoczynam konwersję ...");
const QString EndOfFile = QStringLiteral("Osiągnięto fizyczny koniec pliku ");
const QString DryEnd = QStringLiteral(" *** Koniec procedury sprawdzającej (BEZ ZAPISU ) ***");
const QString RealEnd = QStringLiteral(" *** Koniec przetwarzania ***");
const QString Unsuitable =
    QStringLiteral(" *** Nieodpowiednia, różna od (2) lub (3) wersja pliku źródłowego *** ");
const QString HeaderMark = QStringLiteral("Eksport dokumentów - SAGE Symfonia Handel");

QString countLine(int n)
{
    return QStringLiteral(" *** Ilość dokumentów %1").arg(n);
}

QStringList documentTrace(const QString& number, const QString& date, const QString& net, const QString& vat)
{
    return {
        QString(),
        QStringLiteral("* Dokument nr:%1 | Firma:Zakład Usługowy \"Żuraw\" | NIP:677-001-02-03").arg(number),
        QStringLiteral("  Kraków Długa 5 3"),
        QStringLiteral(" z dnia %1 na kwotę netto=%2, vat=%3").arg(date, net, vat)};
}

} // namespace

class RunConversionTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_fileNo = 0;

    QString writeExport(const QString& text)
    {
        const QString path = m_dir.filePath(QStringLiteral("FVS%1.TXT").arg(++m_fileNo));
        writeFile(path, exportBytes(text));
        return path;
    }

    QString freshCompany()
    {
        const QString path = m_dir.filePath(QStringLiteral("firma%1").arg(++m_fileNo));
        QDir().mkpath(path);
        return path;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void dryRunTraceLineForLine()
    {
        Invoice second;
        second.number = QStringLiteral("FV 2/03/2014");
        second.date = QStringLiteral("2014-03-05");
        second.net = QStringLiteral("1234.50");
        second.vat = QStringLiteral("98.76");
        const QString text = exportHeader() +
                             documentBlock(Invoice(), registerBlock("23", "100.00", "23.00")) +
                             documentBlock(second, registerBlock("8", "1234.50", "98.76"));
        ConversionSettings settings;
        settings.exportFile = writeExport(text);
        settings.dryRun = true;
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);

        QStringList expected{Banner, HeaderMark, QStringLiteral("Wersja szablonu = 3"), Start};
        expected += documentTrace("FV 1/03/2014", "12- 3-2014", "100,00\u00a0zł", "23,00\u00a0zł");
        expected += documentTrace("FV 2/03/2014", " 5- 3-2014", "1234,50\u00a0zł", "98,76\u00a0zł");
        expected += {QString(), EndOfFile, countLine(2), DryEnd};
        QCOMPARE(host.trace, expected);
        QCOMPARE(host.documentCount, 2);
        QVERIFY(host.exportFailures.isEmpty());
        QVERIFY(host.versionFailures.isEmpty());
    }
};

QTEST_GUILESS_MAIN(RunConversionTest)
#include "test_run_conversion.moc"
