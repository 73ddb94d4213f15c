// What a run reports beside its trace: one result per document let through,
// with its state, remarks, monthly file and position.
#include "conversion/RunConversion.h"

#include "support/ConversionTestHost.h"
#include "support/LedgerFiles.h"
#include "support/ScratchFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

QString withoutLine(QString text, const QString& key)
{
    const qsizetype at = text.indexOf(QLatin1Char('\t') + key + QStringLiteral(" = "));
    Q_ASSERT(at >= 0);
    return text.remove(at, text.indexOf(QLatin1Char('\n'), at) - at + 1);
}

QString oneDocument(const Invoice& invoice,
                    const QString& registerPart = registerBlock("23", "100.00", "23.00"))
{
    return exportHeader() + documentBlock(invoice, registerPart);
}

QString resultText(const DocumentResult& result, const QString& company)
{
    QString file = result.monthFile;
    const QString folder = pathIn(company, QString());
    if (!company.isEmpty() && file.startsWith(folder))
        file = file.mid(folder.size());
    return QStringLiteral("%1 %2 %3").arg(stateText(result.state), file).arg(result.position);
}

} // namespace

class DocumentResultsTest : public QObject
{
    Q_OBJECT

    ScratchFiles m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void stateAndRemarks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>(
            "options"); // "dry", "older" (older VAT layout), "numbered" (no Szablon 3.1)
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("remarks");

        const Invoice plain;
        QTest::newRow("written") << oneDocument(plain) << ""
                                 << "zapisany"
                                 << "";
        QTest::newRow("would be written") << oneDocument(plain) << "dry"
                                          << "do zapisu"
                                          << "";
        QTest::newRow("NIP missing") << withoutLine(oneDocument(plain), "khnip") << ""
                                     << "pominięty"
                                     << "brak klucza khnip =";
        QTest::newRow("without opis the later keys are lost") << withoutLine(oneDocument(plain), "opis") << ""
                                                              << "pominięty"
                                                              << "brak klucza khnazwa =";
        QTest::newRow("older layout without its register block")
            << oneDocument(plain, QString()) << "older"
            << "pominięty"
            << "brak klucza Rejestr{, różnica netto, różnica VAT";
        QTest::newRow("no kind") << withoutLine(oneDocument(plain), "rodzaj_dok") << ""
                                 << "zapisany"
                                 << "nieokreślony rodzaj";
        Invoice noVat;
        noVat.vatRegisterType = QStringLiteral("0");
        QTest::newRow("without VAT part") << oneDocument(noVat, QString()) << "numbered"
                                          << "zapisany"
                                          << "bez części VAT";
        QTest::newRow("rate outside every group")
            << oneDocument(plain, registerBlock("6", "100.00", "23.00")) << ""
            << "zapisany"
            << "nieokreślona stawka, różnica netto, różnica VAT";
        QTest::newRow("older layout, rate misplaced")
            << oneDocument(plain,
                           "\tRejestr{\n\t\tnetto1 = 100.00\n\t\tvat1 = 23.00\n\t\tstawka1 = 23\n\t}\n")
            << "older"
            << "zapisany"
            << "nieokreślona stawka, różnica netto, różnica VAT";
        Invoice badVat;
        badVat.vat = QStringLiteral("23,00"); // passed over: the register type's 1 is taken, the rest lost
        QTest::newRow("amount") << oneDocument(badVat) << ""
                                << "zapisany"
                                << "błąd kwoty, różnica netto, różnica VAT";
        Invoice date = plain;
        date.date = QStringLiteral("2014-3-5");
        QTest::newRow("date without zeros") << oneDocument(date) << ""
                                            << "zapisany"
                                            << "błąd daty, data spoza kalendarza";
        date.date = QStringLiteral("2014-02-30");
        QTest::newRow("30 February") << oneDocument(date) << ""
                                     << "zapisany"
                                     << "data spoza kalendarza";
        date.date = QStringLiteral("2016-02-29");
        QTest::newRow("29 February of a leap year") << oneDocument(date) << ""
                                                    << "zapisany"
                                                    << "";
        date.date = QString();
        QTest::newRow("no date") << oneDocument(date) << "dry"
                                 << "do zapisu"
                                 << "data spoza kalendarza";
        Invoice texts = plain;
        texts.number = QString(22, u'N');
        texts.name = QString(36, u'ż');
        texts.description = QString(36, u'o');
        QTest::newRow("texts that just fit") << oneDocument(texts) << ""
                                             << "zapisany"
                                             << "";
        texts.number += QLatin1Char('N');
        QTest::newRow("number cut") << oneDocument(texts) << ""
                                    << "zapisany"
                                    << "obcięty numer";
        texts = plain;
        texts.name = QString(37, u'ż');
        QTest::newRow("name cut") << oneDocument(texts) << ""
                                  << "zapisany"
                                  << "obcięta nazwa";
        texts = plain;
        texts.street = QStringLiteral("ul. Księcia Józefa Poniatowskiego");
        QTest::newRow("address cut on the way") << oneDocument(texts) << ""
                                                << "zapisany"
                                                << "obcięty adres";
        texts = plain;
        texts.description = QString(37, u'o');
        QTest::newRow("description cut") << oneDocument(texts) << ""
                                         << "zapisany"
                                         << "obcięty opis";
        texts = plain;
        texts.name = QStringLiteral("Müller GmbH");
        QTest::newRow("not a Polish letter") << oneDocument(texts) << ""
                                             << "zapisany"
                                             << "znaki spoza strony kodowej";
        texts = plain;
        texts.description = QStringLiteral("Café");
        QTest::newRow("foreign letter in the description") << oneDocument(texts) << ""
                                                           << "zapisany"
                                                           << "znaki spoza strony kodowej";
        texts.description = QStringLiteral("Zażółć gęślą jaźń ZAŻÓŁĆ GĘŚLĄ JAŹŃ");
        QTest::newRow("all 18 Polish letters") << oneDocument(texts) << ""
                                               << "zapisany"
                                               << "";
        texts.number = QString(23, u'N');
        texts.name = QStringLiteral("Müller");
        QTest::newRow("remarks in their order")
            << withoutLine(oneDocument(texts, registerBlock("6", "100.00", "23.00")), "rodzaj_dok") << ""
            << "zapisany"
            << "nieokreślony rodzaj, nieokreślona stawka, różnica netto, różnica VAT, obcięty numer, znaki "
               "spoza strony kodowej";
    }

    void stateAndRemarks()
    {
        QFETCH(QString, text);
        QFETCH(QString, options);
        QFETCH(QString, state);
        QFETCH(QString, remarks);
        ConversionSettings settings = m_dir.realRun(text, m_dir.freshCompany());
        settings.dryRun = options.contains(QLatin1String("dry"));
        settings.sym2006 = !options.contains(QLatin1String("older"));
        settings.szablon31 = !options.contains(QLatin1String("numbered"));
        RecordingHost host;
        RunConversion(settings, host);
        QCOMPARE(host.results.size(), 1);
        const DocumentResult& result = host.results.first();
        QCOMPARE(result.ordinal, 1);
        QCOMPARE(stateText(result.state), state);
        QCOMPARE(result.remarks.join(QStringLiteral(", ")), remarks);
        // The texts are those of the trace.
        QVERIFY(host.trace.contains(QStringLiteral("* Dokument nr:%1 | Firma:%2 | NIP:%3")
                                        .arg(result.number, result.partyName, result.nip)));
        QVERIFY(host.trace.contains(QStringLiteral("  ") + result.address));
        QCOMPARE(result.monthFile.isEmpty(), state == QStringLiteral("pominięty"));
    }

    void filesAndPositions_data()
    {
        QTest::addColumn<QString>("company"); // "none": a dry run without a company directory
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QStringList>("expected");

        const QStringList dates{"2014-03-01", "2014-03-02", "2014-04-03", "2014-03-04"};
        const QStringList existing{"2014T305.3"};
        QTest::newRow("real run: the entry numbers")
            << "" << existing << dates << ""
            << QStringList{"zapisany 2014T305.3 58", "zapisany 2014T305.3 59", "zapisany 2014T305.4 1",
                           "zapisany 2014T305.3 60"};
        for (const char* options : {"dry", "dry plain"}) {
            QTest::newRow(options) << "" << existing << dates << options
                                   << QStringList{"do zapisu 2014T305.3 58", "do zapisu 2014T305.3 59",
                                                  "do zapisu 2014T305.4 1", "do zapisu 2014T305.3 60"};
        }
        QTest::newRow("dry run, file in other letter case")
            << "" << QStringList{"2014t305.3"} << dates.mid(0, 1) << "dry"
            << QStringList{QStringLiteral("do zapisu %1 58")
                               .arg(foundAs(QStringLiteral("2014T305.3"), QStringLiteral("2014t305.3")))};
        QTest::newRow("dry run without a company directory")
            << "none" << QStringList() << dates.mid(0, 2) << "dry"
            << QStringList{"do zapisu 2014T305.3 1", "do zapisu 2014T305.3 2"};
        QTest::newRow("monthly file cannot be opened")
            << "" << QStringList{"2014T305.4/"} << dates << ""
            << QStringList{"zapisany 2014T305.3 1", "zapisany 2014T305.3 2", "niezapisany 2014T305.4 0"};
    }

    void filesAndPositions()
    {
        QFETCH(QString, company);
        QFETCH(QStringList, existing);
        QFETCH(QStringList, dates);
        QFETCH(QString, options);
        QFETCH(QStringList, expected);
        QString text = exportHeader();
        for (const QString& date : dates) {
            Invoice invoice;
            invoice.number = QStringLiteral("FV ") + date;
            invoice.date = date;
            text += documentBlock(invoice, registerBlock("23", "100.00", "23.00"));
        }
        company = company == QLatin1String("none") ? QString() : m_dir.freshCompany();
        // 57 records of another program and a partial one.
        const QByteArray before = QByteArray(57 * 400, 'x') + QByteArray(100, 'y');
        for (const QString& name : existing) {
            if (name.endsWith(QLatin1Char('/')))
                QVERIFY(QDir(company).mkdir(name));
            else
                QVERIFY(writeFile(company + QLatin1Char('/') + name, before));
        }
        ConversionSettings settings = m_dir.realRun(text, company);
        settings.dryRun = options.contains(QLatin1String("dry"));
        settings.skipDuplicates = !options.contains(QLatin1String("plain"));
        RecordingHost host;
        RunConversion(settings, host);
        QStringList got;
        for (const DocumentResult& result : host.results)
            got << resultText(result, company);
        QCOMPARE(got, expected);
        if (settings.dryRun && !company.isEmpty()) {
            for (const QString& name : existing)
                QCOMPARE(readFile(company + QLatin1Char('/') + name), before);
            QCOMPARE(QDir(company).entryList(QDir::Files).size(), existing.size());
        }
        const DocumentResult& first = host.results.first();
        QCOMPARE(first.kind, 1);
        QCOMPARE(first.date, (LedgerDate{1, 3, 2014}));
        QCOMPARE(first.amounts.netto1, 100.0);
        QCOMPARE(first.amounts.vatTotal(), 23.0);
        QCOMPARE(first.amounts.kolumna, 100.0);
    }

    void rejectedBlocksAreCounted()
    {
        Invoice cancelled;
        cancelled.cancelled = 1;
        Invoice internal;
        internal.kind = QStringLiteral("wewnętrzny");
        const QString block = documentBlock(Invoice(), QString());
        const QString text = exportHeader() + documentBlock(cancelled, QString()) + block +
                             documentBlock(internal, QString()) + documentBlock(internal, QString()) +
                             block.left(block.size() - 2); // a block the file ends in
        ConversionSettings settings = m_dir.realRun(text, QString());
        settings.dryRun = true;
        RecordingHost host;
        RunConversion(settings, host);
        QCOMPARE(host.results.size(), 1);
        QCOMPARE(host.rejected.size(), 1);
        QCOMPARE(host.rejected.first().cancelled, 1);
        QCOMPARE(host.rejected.first().otherKinds, 2);
    }
};

QTEST_GUILESS_MAIN(DocumentResultsTest)
#include "test_document_results.moc"
