// A whole conversion of an arbitrary export file. The first bytes choose the
// run's options, the rest is the file:
//   byte 0: bit 0 Mazovia, 1 "SYM 2006", 2 "Szablon 3.1", 3 postal code,
//           4 always the default description, 5 an empty default description,
//           6 also a real run into an empty company directory
//   byte 1: "Atrybut KPR" letter (0: empty), byte 2: "Rejestr( )" letter (0: empty)
// Every input runs as a dry run, which must leave the company directory
// untouched. A real run must trace the same lines (but for its banner and end
// line) and leave whole records numbered by their position.
#include "FuzzCheck.h"
#include "FuzzTempFile.h"

#include "conversion/RunConversion.h"
#include "ledger/LedgerEntry.h"
#include "ledger/MonthFile.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QtEndian>

#include <cstddef>
#include <cstdint>

using namespace przenosnik;

namespace {

const QString DryBanner = QStringLiteral(" *** Procedura sprawdzająca (BEZ ZAPISU ) ***");
const QString DryEnd = QStringLiteral(" *** Koniec procedury sprawdzającej (BEZ ZAPISU ) ***");
const QString RealEnd = QStringLiteral(" *** Koniec przetwarzania ***");
const QString CountPrefix = QStringLiteral(" *** Ilość dokumentów ");
const QString Unsuitable =
    QStringLiteral(" *** Nieodpowiednia, różna od (2) lub (3) wersja pliku źródłowego *** ");

class Host : public ConversionHost
{
public:
    void appendTrace(const QString& line) override { trace.append(line); }
    QStringList& documentLines() override { return document; }
    void setDocumentCount(int count) override { documentCount = count; }
    void showExportOpenFailure(const QString& message) override { boxes.append(message); }
    void showInvalidVersion(const QString& message) override { boxes.append(message); }
    void showRunRefused(const QString& message) override { boxes.append(message); }

    QStringList trace;
    QStringList document;
    int documentCount = -1;
    QStringList boxes;
};

QString letter(std::uint8_t byte)
{
    return byte == 0 ? QString() : QString(QChar(byte));
}

QStringList companyFiles(const QDir& company)
{
    return company.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Checks what a run that got past the opening of the export left in its trace.
void checkTrace(const Host& host, RunOutcome outcome, const QString& endLine)
{
    PRZ_FUZZ_CHECK(outcome != RunOutcome::ExportNotOpened);
    PRZ_FUZZ_CHECK(outcome != RunOutcome::DirectoryBusy);
    PRZ_FUZZ_CHECK(host.documentCount >= 0);
    for (const QString& line : host.document)
        PRZ_FUZZ_CHECK(line.size() <= 255);
    if (outcome == RunOutcome::InvalidVersion) {
        PRZ_FUZZ_CHECK(host.boxes.size() == 1);
        PRZ_FUZZ_CHECK(!host.trace.contains(endLine));
        return;
    }
    PRZ_FUZZ_CHECK(host.boxes.isEmpty());
    PRZ_FUZZ_CHECK(host.trace.size() >= 2 && host.trace.last() == endLine);
    const QString beforeEnd = host.trace.at(host.trace.size() - 2);
    if (outcome == RunOutcome::UnsuitableVersion) {
        PRZ_FUZZ_CHECK(beforeEnd == Unsuitable);
        PRZ_FUZZ_CHECK(host.documentCount == 0);
    } else {
        PRZ_FUZZ_CHECK(beforeEnd == CountPrefix + QString::number(host.documentCount));
    }
}

// Every file of the company directory holds whole records numbered 1, 2, ...;
// answers the number of records.
qsizetype checkMonthFiles(const QDir& company)
{
    qsizetype records = 0;
    for (const QString& name : companyFiles(company)) {
        QFile file(company.filePath(name));
        PRZ_FUZZ_CHECK(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        PRZ_FUZZ_CHECK(bytes.size() % LedgerEntrySize == 0);
        for (qsizetype k = 0; k * LedgerEntrySize < bytes.size(); ++k) {
            const QByteArray record = bytes.mid(k * LedgerEntrySize, LedgerEntrySize);
            PRZ_FUZZ_CHECK(qFromLittleEndian<qint32>(record.constData()) == k + 1);
            PRZ_FUZZ_CHECK(record.at(field::RecordVariant.offset) == 2);
            PRZ_FUZZ_CHECK(record.mid(field::Kol2Nr.offset, 9) == QByteArray(9, '\0'));
            const int kind = record.at(field::EntryKind.offset);
            PRZ_FUZZ_CHECK(kind == 1 || kind == 3);
            for (const FieldLayout& text : {field::DocNo, field::PartyNip, field::PartyName,
                                            field::PartyAddress, field::Description, field::SpareText})
                PRZ_FUZZ_CHECK(quint8(record.at(text.offset)) < text.width);
            PRZ_FUZZ_CHECK(record.at(field::SpareText.offset) == 0);
            // The entry lies in the file of its document date.
            const auto* date = reinterpret_cast<const uchar*>(record.constData() + field::DocDate.offset);
            PRZ_FUZZ_CHECK(name == monthFileName(qFromLittleEndian<quint16>(date + 2), date[1]));
        }
        records += bytes.size() / LedgerEntrySize;
        file.close();
        PRZ_FUZZ_CHECK(QFile::remove(company.filePath(name)));
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const fuzz::ScratchDirectory& scratch = fuzz::ScratchDirectory::instance();
    static const bool companyMade = QDir(scratch.path()).mkpath(QStringLiteral("FIRMA"));
    PRZ_FUZZ_CHECK(companyMade);
    const QDir company(scratch.filePath(QStringLiteral("FIRMA")));

    ConversionSettings settings;
    settings.exportFile = scratch.write(
        QStringLiteral("FVS.TXT"), QByteArray(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3)));
    settings.companyDirectory = company.path();
    settings.ledgerEncoding = (data[0] & 1) ? PolishEncoding::Mazovia : PolishEncoding::Cp852;
    settings.sym2006 = data[0] & 2;
    settings.szablon31 = data[0] & 4;
    settings.postalCode = data[0] & 8;
    settings.alwaysDescription = data[0] & 16;
    settings.defaultDescription = (data[0] & 32) ? QString() : QStringLiteral("Sprzedaż towarów i usług");
    settings.attribute = letter(data[1]);
    settings.registerId = letter(data[2]);
    settings.dryRun = true;

    Host dry;
    const RunOutcome dryOutcome = RunConversion(settings, dry);
    checkTrace(dry, dryOutcome, DryEnd);
    PRZ_FUZZ_CHECK(dryOutcome != RunOutcome::StoppedEarly || dry.trace.contains(u"io Błąd odczytu z pliku "));
    PRZ_FUZZ_CHECK(dry.trace.first() == DryBanner);
    PRZ_FUZZ_CHECK(companyFiles(company).isEmpty());

    if (!(data[0] & 64))
        return 0;
    settings.dryRun = false;
    settings.keepJournal = false; // the monthly files only, and no fsync per input
    Host real;
    const RunOutcome realOutcome = RunConversion(settings, real);
    checkTrace(real, realOutcome, RealEnd);
    const qsizetype written = checkMonthFiles(company);
    PRZ_FUZZ_CHECK(written <= real.documentCount);
    if (realOutcome == RunOutcome::Completed) {
        // Nothing failed: the same lines as the dry run and one entry per document.
        PRZ_FUZZ_CHECK(dryOutcome == RunOutcome::Completed);
        PRZ_FUZZ_CHECK(written == real.documentCount && real.documentCount == dry.documentCount);
        PRZ_FUZZ_CHECK(real.trace.mid(0, real.trace.size() - 1) == dry.trace.mid(1, dry.trace.size() - 2));
    } else if (realOutcome == RunOutcome::StoppedEarly) {
        // The document that met the failure is counted but not written.
        PRZ_FUZZ_CHECK(written == real.documentCount - 1);
    } else {
        PRZ_FUZZ_CHECK(realOutcome == dryOutcome && written == 0);
    }
    return 0;
}
