// Properties of whole runs over random exports (valid and broken documents,
// stray lines, an unfinished last block, a date that stops the run) and random
// monthly files that exist beforehand: a dry run changes no file at all; a
// real run keeps every earlier whole record byte for byte and puts the new
// entries at the end, each numbered by its position, in document order.
#include "conversion/RunConversion.h"
#include "encoding/Windows1250.h"
#include "ledger/LedgerEntry.h"

#include "support/ConversionTestHost.h"
#include "support/LedgerFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

using FileMap = QMap<QString, QByteArray>;

constexpr int Year = 2014;
constexpr int FirstMonth = 3;
constexpr int LastMonth = 5;

// What the generator expects of one accepted document.
struct Expected
{
    int month = 0;
    QByteArray number;
};

// A random export and what a run of it must do.
struct Scenario
{
    ConversionSettings settings;
    QByteArray exportBytes;
    QList<Expected> written; // the documents whose entries a real run appends, in order
    int counted = 0;         // the documents a real run counts
    int accepted = 0;        // the documents a dry run counts: all that the mapping accepts
    bool stops = false;      // a document dated in month 13 ends the real run
};

class Generator
{
public:
    explicit Generator(quint32 seed) : m_random(seed) {}

    int below(int n) { return int(m_random.bounded(n)); }
    bool chance(int percent) { return below(100) < percent; }

    QByteArray randomBytes(int size, bool lineSafe)
    {
        QByteArray bytes;
        while (bytes.size() < size) {
            const char c = char(below(256));
            // A Ctrl-Z would end the file, a line end would start a block line.
            if (lineSafe && (c == '\x1A' || c == '\n' || c == '\r'))
                continue;
            bytes.append(c);
        }
        return bytes;
    }

    // A line outside every block, never the start of one.
    QString strayLine()
    {
        switch (below(3)) {
        case 0:
            return QStringLiteral("Uwagi = %1\n").arg(below(1000));
        case 1:
            return QStringLiteral("  kod = spacje zamiast tabulatora\n");
        default:
            return QLatin1Char('#') + decodeWindows1250(randomBytes(below(40), true)) + QLatin1Char('\n');
        }
    }

    QString registerPart(const ConversionSettings& settings)
    {
        if (!settings.sym2006)
            return QStringLiteral(
                "\tRejestr{\n\t\tnetto1 = 100.00\n\t\tvat1 = 23.00\n\t\tstawka1 = 22\n\t}\n");
        QString part;
        const int blocks = below(3);
        for (int i = 0; i < blocks; ++i)
            part += registerBlock(QString::number(QList<int>{23, 8, 5, 0, -1, 6}[below(6)]),
                                  QString::number(below(100000) / 100.0, 'f', 2), QStringLiteral("1.00"),
                                  !settings.szablon31);
        return part;
    }

    Scenario scenario(const QString& exportPath, const QString& company)
    {
        Scenario s;
        s.settings.exportFile = exportPath;
        s.settings.companyDirectory = company;
        s.settings.ledgerEncoding = chance(50) ? PolishEncoding::Mazovia : PolishEncoding::Cp852;
        s.settings.sym2006 = chance(70);
        s.settings.szablon31 = chance(70);
        s.settings.postalCode = chance(50);

        QString text;
        for (int i = below(3); i > 0; --i)
            text += strayLine();
        text += exportHeader(chance(80) ? QStringLiteral("3") : QStringLiteral("2"));

        const int documents = below(13);
        for (int d = 1; d <= documents; ++d) {
            for (int i = below(2); i > 0; --i)
                text += strayLine();
            Invoice invoice;
            invoice.number = QStringLiteral("FV %1/%2").arg(d).arg(below(100));
            invoice.kind = chance(50) ? QStringLiteral("sprzedaży") : QStringLiteral("zakupu");
            const int month = FirstMonth + below(LastMonth - FirstMonth + 1);
            invoice.date = QStringLiteral("%1-%2-%3")
                               .arg(Year)
                               .arg(month, 2, 10, QLatin1Char('0'))
                               .arg(1 + below(28), 2, 10, QLatin1Char('0'));
            invoice.vatRegisterType = QString::number(below(2));

            // 0..59 valid; then the broken kinds of document.
            const int variant = below(100);
            bool accepted = true;
            bool stopper = false;
            QString block;
            if (variant < 60) {
                block = documentBlock(invoice, registerPart(s.settings));
            } else if (variant < 68) {
                invoice.cancelled = 1 + below(5);
                block = documentBlock(invoice, registerPart(s.settings));
                accepted = false;
            } else if (variant < 76) {
                invoice.kind = chance(50) ? QStringLiteral("Sprzedaży") : QStringLiteral("korekta");
                block = documentBlock(invoice, registerPart(s.settings));
                accepted = false;
            } else if (variant < 84) {
                // A required key missing: the document is refused.
                const QString key = QList<QString>{QStringLiteral("\tkod = "), QStringLiteral("\tkhnip = "),
                                                   QStringLiteral("\tkhnazwa = ")}[below(3)];
                block = documentBlock(invoice, registerPart(s.settings));
                const qsizetype at = block.indexOf(key);
                block.remove(at, block.indexOf(QLatin1Char('\n'), at) - at + 1);
                accepted = false;
            } else if (variant < 92) {
                // Lines no lookup needs: blanks instead of a TAB, random text.
                block = documentBlock(invoice, registerPart(s.settings));
                block.insert(block.indexOf(QStringLiteral("\tkod")), QStringLiteral("   khnip = 000\n"));
                block.insert(block.lastIndexOf(QLatin1Char('}')), strayLine());
            } else if (!s.stops) {
                // A month the ledger has no file for: the real run stops here.
                invoice.date = QStringLiteral("%1-13-01").arg(Year);
                block = documentBlock(invoice, registerPart(s.settings));
                stopper = true;
            } else {
                block = documentBlock(invoice, registerPart(s.settings));
            }

            const bool last = d == documents;
            if (last && chance(25)) {
                // The file ends inside the last block: it is not used.
                block.truncate(block.lastIndexOf(QLatin1Char('}')));
                block.truncate(block.size() - below(int(block.size()) - 12));
                accepted = false;
                stopper = false;
            }
            text += block;
            if (!accepted)
                continue;
            ++s.accepted;
            if (!s.stops)
                ++s.counted;
            if (stopper)
                s.stops = true;
            if (!s.stops)
                s.written.append({month, invoice.number.toLatin1()});
        }
        s.exportBytes = exportBytes(text);
        return s;
    }

    // Monthly files (and other files) that exist before the run.
    FileMap existingFiles(const QString& company)
    {
        FileMap files;
        for (int month = FirstMonth; month <= LastMonth; ++month) {
            if (chance(35))
                continue;
            QByteArray bytes = randomBytes(LedgerEntrySize * below(7), false);
            if (chance(30))
                bytes += randomBytes(1 + below(LedgerEntrySize - 1), false);
            files.insert(monthFilePath(company, Year, month), bytes);
        }
        files.insert(monthFilePath(company, Year - 1, FirstMonth), randomBytes(LedgerEntrySize * 2, false));
        files.insert(pathIn(company, QStringLiteral("SPISFIRM.DAT")), randomBytes(103 * 2, false));
        return files;
    }

private:
    QRandomGenerator m_random;
};

FileMap snapshot(const QString& company)
{
    FileMap files;
    const QDir dir(company);
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        // The run's journal and backups are not the ledger's.
        if (name == QLatin1String("PRZENOSN.JRN") || name == QLatin1String("PRZENOSN.BAK"))
            continue;
        files.insert(pathIn(company, name), readFile(dir.filePath(name)));
    }
    return files;
}

} // namespace

class RunPropertiesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void randomRuns_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 60; ++seed)
            QTest::addRow("seed %u", seed) << seed * 7919u;
    }
    void randomRuns()
    {
        QFETCH(quint32, seed);
        Generator generator(seed);
        const QString company = m_dir.filePath(QStringLiteral("firma%1").arg(seed));
        QVERIFY(QDir().mkpath(company));
        const QString exportPath = m_dir.filePath(QStringLiteral("FVS%1.TXT").arg(seed));

        const Scenario scenario = generator.scenario(exportPath, company);
        QVERIFY(writeFile(exportPath, scenario.exportBytes));
        const FileMap before = generator.existingFiles(company);
        for (auto it = before.begin(); it != before.end(); ++it)
            QVERIFY(writeFile(it.key(), it.value()));

        // A dry run: counts the same documents and touches nothing.
        ConversionSettings dry = scenario.settings;
        dry.dryRun = true;
        RecordingHost dryHost;
        QCOMPARE(RunConversion(dry, dryHost), RunOutcome::Completed);
        QCOMPARE(dryHost.documentCount, scenario.accepted);
        QCOMPARE(snapshot(company), before);

        RecordingHost host;
        QCOMPARE(RunConversion(scenario.settings, host),
                 scenario.stops ? RunOutcome::StoppedEarly : RunOutcome::Completed);
        QCOMPARE(host.documentCount, scenario.counted);
        const FileMap after = snapshot(company);

        for (auto it = before.begin(); it != before.end(); ++it)
            QVERIFY2(after.contains(it.key()), qPrintable(it.key()));
        for (auto it = after.begin(); it != after.end(); ++it) {
            const QByteArray old = before.value(it.key());
            QList<QByteArray> added;
            for (const Expected& e : scenario.written) {
                if (it.key() == monthFilePath(company, Year, e.month))
                    added.append(e.number);
            }
            if (added.isEmpty()) {
                // No entry for this file: not created, not changed.
                QVERIFY2(before.contains(it.key()), qPrintable(it.key()));
                PRZ_COMPARE_BYTES(it.value(), old);
                continue;
            }
            const qsizetype kept = old.size() / LedgerEntrySize;
            PRZ_COMPARE_BYTES(it.value().left(kept * LedgerEntrySize), old.left(kept * LedgerEntrySize));
            QCOMPARE(it.value().size(), (kept + added.size()) * LedgerEntrySize);
            const QList<QByteArray> records = wholeRecords(it.value());
            for (qsizetype k = kept; k < records.size(); ++k) {
                QCOMPARE(entryNumber(records[k]), int(k + 1));
                QCOMPARE(documentNumber(records[k]), added[k - kept]);
            }
        }
    }
};

QTEST_GUILESS_MAIN(RunPropertiesTest)
#include "test_run_properties.moc"
