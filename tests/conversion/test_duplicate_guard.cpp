// An invoice already booked in its monthly file, by an earlier run or earlier
// in the same run, is not appended again; one of the same number booked with
// other amounts is not appended either, and is told apart as a conflict.
#include "conversion/RunConversion.h"

#include "support/ConversionTestHost.h"
#include "support/LedgerFiles.h"
#include "support/ScratchFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

// An invoice written as "number|date|NIP|name|rate net VAT"; parts left out keep the defaults.
Invoice invoice(const QString& written)
{
    const QStringList parts = written.split(QLatin1Char('|'));
    Invoice result;
    const auto set = [&parts](int i, QString& field) {
        if (i < parts.size())
            field = parts.at(i);
    };
    set(0, result.number);
    set(1, result.date);
    set(2, result.nip);
    set(3, result.name);
    return result;
}

QString exportOf(const QStringList& invoices)
{
    QString text = exportHeader();
    for (const QString& written : invoices) {
        QStringList rate = written.section(QLatin1Char('|'), 4).split(QLatin1Char(' '));
        if (rate.size() != 3)
            rate = QStringList{"23", "100.00", "23.00"};
        text += documentBlock(invoice(written), registerBlock(rate[0], rate[1], rate[2]));
    }
    return text;
}

QMap<QString, QByteArray> filesIn(const QString& directory)
{
    QMap<QString, QByteArray> files;
    // The ledger's files; the run's own journal grows with every real run.
    for (const QString& name : QDir(directory).entryList(QDir::Files)) {
        if (name != QLatin1String("PRZENOSN.JRN"))
            files.insert(name, readFile(directory + QLatin1Char('/') + name));
    }
    return files;
}

} // namespace

class DuplicateGuardTest : public QObject
{
    Q_OBJECT

    ScratchFiles m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void sameInvoice_data()
    {
        QTest::addColumn<QStringList>("booked"); // written by a first run
        QTest::addColumn<QString>("change");     // what happens to the file between the runs (or before)
        QTest::addColumn<QString>("options");    // of the second run: "dry", "unchecked"
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QStringList>("expected");

        const QString a = QStringLiteral("FV 1/03/2014|2014-03-12|677-001-02-03|Zakład Żuraw");
        const QString b = QStringLiteral("FV 2/03/2014|2014-03-12|677-001-02-03|Zakład Żuraw");
        const QStringList ab{a, b};
        QTest::newRow("second run") << ab << ""
                                    << "" << ab << QStringList{"duplikat 1", "duplikat 2"};
        QTest::newRow("dry run after a real run") << ab << ""
                                                  << "dry" << ab << QStringList{"duplikat 1", "duplikat 2"};
        QTest::newRow("twice in one export")
            << QStringList() << ""
            << "" << QStringList{a, b, a} << QStringList{"zapisany 1", "zapisany 2", "duplikat 1"};
        QTest::newRow("twice in one export, dry run")
            << QStringList() << ""
            << "dry" << QStringList{a, b, a} << QStringList{"do zapisu 1", "do zapisu 2", "duplikat 1"};
        QTest::newRow("NIP with PL, blanks and no dashes")
            << QStringList{a} << ""
            << "" << QStringList{"FV 1/03/2014|2014-03-12|PL 6770010203"} << QStringList{"duplikat 1"};
        QTest::newRow("NIP of another party")
            << QStringList{a} << ""
            << "" << QStringList{"FV 1/03/2014|2014-03-12|677-001-02-04|Zakład Żuraw"}
            << QStringList{"zapisany 2"};
        QTest::newRow("number in small letters, blanks doubled")
            << QStringList{a} << ""
            << "" << QStringList{"fv  1/03/2014 |2014-03-12|677-001-02-03"} << QStringList{"duplikat 1"};
        QTest::newRow("a blank elsewhere in the number")
            << QStringList{"FV 1 12/2014|2014-03-12|677-001-02-03"} << ""
            << ""
            << QStringList{"FV 11 2/2014|2014-03-12|677-001-02-03", "FV112/2014|2014-03-12|677-001-02-03"}
            << QStringList{"zapisany 2", "zapisany 3"};
        QTest::newRow("other VAT: a conflict")
            << ab << ""
            << "" << QStringList{b + "|23 100.00 23.01"} << QStringList{"konflikt 2"};
        QTest::newRow("same sums at another rate: a conflict")
            << ab << ""
            << "dry" << QStringList{a + "|8 100.00 23.00"} << QStringList{"konflikt 1"};
        QTest::newRow("under half a grosz apart: the same amounts")
            << ab << ""
            << "" << QStringList{a + "|23 100.004 22.996"} << QStringList{"duplikat 1"};
        QTest::newRow("the same amounts win over an earlier conflict")
            << QStringList{a + "|23 50.00 11.50", a} << "booked unchecked"
            << "" << QStringList{a, a + "|23 10.00 2.30"} << QStringList{"duplikat 2", "konflikt 1"};
        QTest::newRow("twice in one export with other amounts")
            << QStringList() << ""
            << "" << QStringList{a, a + "|5 100.00 5.00"} << QStringList{"zapisany 1", "konflikt 1"};
        QTest::newRow("unchecked, other amounts")
            << QStringList{a} << ""
            << "unchecked" << QStringList{a + "|23 1.00 0.23"} << QStringList{"zapisany 2"};
        QTest::newRow("another number")
            << QStringList{a} << ""
            << "" << QStringList{"FV 1/03/2015|2014-03-12|677-001-02-03"} << QStringList{"zapisany 2"};
        QTest::newRow("same number and NIP on another day")
            << QStringList{a} << ""
            << "" << QStringList{"FV 1/03/2014|2014-03-13|677-001-02-03"} << QStringList{"zapisany 2"};
        const QString person = QStringLiteral("R 7|2014-03-12||Jan Kowalski");
        QTest::newRow("private person: the name decides")
            << QStringList{person} << ""
            << "" << QStringList{"R 7|2014-03-12||JAN KOWALSKI"} << QStringList{"duplikat 1"};
        QTest::newRow("private person of another name")
            << QStringList{person} << ""
            << "" << QStringList{"R 7|2014-03-12||Jan Nowak"} << QStringList{"zapisany 2"};
        QTest::newRow("only one NIP: the name decides")
            << QStringList{a} << ""
            << "" << QStringList{"FV 1/03/2014|2014-03-12|brak|Zakład  ŻURAW"} << QStringList{"duplikat 1"};
        QTest::newRow("Polish letters keep their case")
            << QStringList{person + QStringLiteral("ł")} << ""
            << "" << QStringList{person + QStringLiteral("Ł")} << QStringList{"zapisany 2"};
        QTest::newRow("file in another letter case") << ab << "lower case"
                                                     << "" << QStringList{b} << QStringList{"duplikat 2"};
        QTest::newRow("partial record at the end is passed over")
            << ab << "tail"
            << "" << QStringList{b} << QStringList{"duplikat 2"};
        QTest::newRow("the record cut short is no match")
            << ab << "cut"
            << "" << QStringList{b} << QStringList{"zapisany 2"};
        QTest::newRow("unchecked") << ab << ""
                                   << "unchecked" << ab << QStringList{"zapisany 3", "zapisany 4"};
        QTest::newRow("unchecked, twice in one export")
            << QStringList() << ""
            << "unchecked" << QStringList{a, a} << QStringList{"zapisany 1", "zapisany 2"};
    }

    void sameInvoice()
    {
        QFETCH(QStringList, booked);
        QFETCH(QString, change);
        QFETCH(QString, options);
        QFETCH(QStringList, second);
        QFETCH(QStringList, expected);
        const QString company = m_dir.freshCompany();
        if (!booked.isEmpty()) {
            ConversionSettings settings = m_dir.realRun(exportOf(booked), company);
            settings.skipDuplicates = change != QLatin1String("booked unchecked");
            RecordingHost first;
            QCOMPARE(RunConversion(settings, first), RunOutcome::Completed);
        }
        QString file = monthFilePath(company, 2014, 3);
        if (change == QLatin1String("lower case")) {
            const QString lower = pathIn(company, QStringLiteral("2014t305.3"));
            QVERIFY(QFile::rename(file, lower));
            file = foundAs(file, lower);
        } else if (change == QLatin1String("tail")) {
            QVERIFY(appendToFile(file, QByteArray(399, '\1')));
        } else if (change == QLatin1String("cut")) {
            QVERIFY(QFile::resize(file, 799));
        }
        const QMap<QString, QByteArray> before = filesIn(company);

        ConversionSettings settings = m_dir.realRun(exportOf(second), company);
        settings.dryRun = options == QLatin1String("dry");
        settings.skipDuplicates = options != QLatin1String("unchecked");
        RecordingHost host;
        QCOMPARE(RunConversion(settings, host), RunOutcome::Completed);

        QStringList got;
        QStringList lines;
        int held = 0;
        for (const DocumentResult& result : host.results) {
            got << QStringLiteral("%1 %2").arg(stateText(result.state)).arg(result.position);
            const bool duplicate = result.state == DocumentState::Duplicate;
            if (!duplicate && result.state != DocumentState::Conflict)
                continue;
            ++held;
            QCOMPARE(result.monthFile, file);
            QCOMPARE(result.remarks.last(), (duplicate ? QStringLiteral("jak pozycja %1")
                                                       : QStringLiteral("różni się od pozycji %1"))
                                                .arg(result.position));
            lines << (duplicate
                          ? QStringLiteral(" * dokument już jest w KPR: plik %1, pozycja %2 - pominięty *")
                          : QStringLiteral(" * dokument o tym numerze jest już w KPR z innymi kwotami: "
                                           "plik %1, pozycja %2 - pominięty *"))
                         .arg(file)
                         .arg(result.position);
        }
        QCOMPARE(got, expected);
        QStringList traced = host.trace.filter(QRegularExpression(QStringLiteral("^ \\* dokument .* w KPR")));
        QCOMPARE(traced, lines);
        QCOMPARE(host.documentCount, int(expected.size()) - held);
        QVERIFY(host.trace.contains(QStringLiteral(" *** Ilość dokumentów %1").arg(host.documentCount)));
        if (settings.dryRun || held == expected.size())
            QCOMPARE(filesIn(company), before);
    }

    void duplicateLineFollowsTheDocumentsOwnLines()
    {
        const QString company = m_dir.freshCompany();
        const QString text = exportOf({QStringLiteral("FV 1"), QStringLiteral("FV 1")});
        RecordingHost host;
        RunConversion(m_dir.realRun(text, company), host);
        const qsizetype at =
            host.trace.indexOf(QStringLiteral(" * dokument już jest w KPR: plik %1, pozycja 1 "
                                              "- pominięty *")
                                   .arg(monthFilePath(company, 2014, 3)));
        QVERIFY(at > 0);
        QVERIFY(host.trace.at(at - 1).startsWith(QStringLiteral(" z dnia 12- 3-2014")));
        QCOMPARE(host.trace.at(at + 1), QString());
    }

    void unreadableMonthFile()
    {
        // A directory stands where the March file would be.
        const QString company = m_dir.freshCompany();
        QVERIFY(QDir(company).mkdir(QStringLiteral("2014T305.3")));
        const QString path = monthFilePath(company, 2014, 3);
        ConversionSettings settings = m_dir.realRun(exportOf({"FV 1", "FV 2"}), company);
        settings.dryRun = true;
        RecordingHost dry;
        RunConversion(settings, dry);
        QCOMPARE(dry.trace.filter(QStringLiteral("Błąd odczytu pliku")),
                 QStringList{QStringLiteral("Błąd odczytu pliku %1 !").arg(path)});
        QCOMPARE(dry.results.size(), 2);
        QCOMPARE(dry.results.at(1).position, 2);

        settings.dryRun = false;
        RecordingHost real;
        QCOMPARE(RunConversion(settings, real), RunOutcome::StoppedEarly);
        QVERIFY(real.trace.filter(QStringLiteral("Błąd odczytu pliku")).isEmpty());
        QVERIFY(real.trace.contains(QStringLiteral("Błąd otwarcia pliku %1 !").arg(path)));
    }
};

QTEST_GUILESS_MAIN(DuplicateGuardTest)
#include "test_duplicate_guard.moc"
