#include "conversion/DocumentMapping.h"

#include "conversion/ConversionRun.h"
#include "conversion/ExportReader.h"
#include "conversion/TraceFormat.h"
#include "encoding/AsciiValues.h"
#include "encoding/PolishEncoding.h"
#include "encoding/Windows1250.h"

#include <QStringBuilder>
#include <QVarLengthArray>

#include <array>
#include <cmath>

namespace przenosnik {

namespace {

// Ledger entry kinds and registers.
constexpr quint8 EntryWithVat = 3;
constexpr quint8 EntryWithoutVat = 1;
constexpr quint8 EntryVariant = 2;
constexpr quint8 SalesRegister = 1;
constexpr quint8 PurchaseRegister = 7;
constexpr quint8 SalesColumn = 7;
constexpr quint8 PurchaseColumn = 10;

// Texts are held in the entry as Windows-1250 until they are converted at the
// end; every step reads the field back, so what was cut stays cut.
QString entryText(const LedgerEntry& entry, const FieldLayout& f)
{
    return decodeWindows1250(entry.textView(f));
}

// The remark flag of a text that was cut; none for the fields without remarks.
bool* cutNote(DocumentNotes& notes, const FieldLayout& f)
{
    if (f.offset == field::DocNo.offset)
        return &notes.cutNumber;
    if (f.offset == field::PartyName.offset)
        return &notes.cutName;
    if (f.offset == field::PartyAddress.offset)
        return &notes.cutAddress;
    if (f.offset == field::Description.offset)
        return &notes.cutDescription;
    return nullptr;
}

// A text of the export file, already Windows-1250.
void setEntryText(ConversionRun& run, const FieldLayout& f, QByteArrayView bytes)
{
    const QByteArrayView kept = bytes.first(qMin<qsizetype>(bytes.size(), LedgerEntry::capacity(f)));
    if (bool* cut = cutNote(run.notes, f); cut && kept.size() < bytes.size())
        *cut = true;
    run.entry.setText(f, kept);
}

// A text of the settings, which may hold characters that Windows-1250 has
// not: each is stored as '?'.
void setEntryText(ConversionRun& run, const FieldLayout& f, const QString& text)
{
    const QStringView kept = QStringView(text).left(LedgerEntry::capacity(f));
    if (bool* cut = cutNote(run.notes, f)) {
        if (kept.size() < text.size())
            *cut = true;
        if (!fitsWindows1250(kept))
            run.notes.foreignCharacters = true;
    }
    run.entry.setText(f, encodeWindows1250(kept));
}

void convertEntryText(ConversionRun& run, const FieldLayout& f)
{
    const QByteArrayView stored = run.entry.textView(f);
    if (cutNote(run.notes, f) && !run.notes.foreignCharacters) {
        for (const char c : stored) {
            const auto byte = static_cast<quint8>(c);
            if (byte >= 0x80 && !isLedgerCharacter(byte)) {
                run.notes.foreignCharacters = true;
                break;
            }
        }
    }
    if (!isByteForByte(PolishEncoding::Windows1250, run.ledgerEncoding)) {
        run.entry.setText(f, FromWindows1250(stored, run.ledgerEncoding));
        return;
    }
    const PolishByteMap& map = polishByteMapping(PolishEncoding::Windows1250, run.ledgerEncoding);
    std::array<char, MaxShortStringLength> converted;
    const qsizetype length = qMin<qsizetype>(stored.size(), MaxShortStringLength);
    for (qsizetype i = 0; i < length; ++i)
        converted[size_t(i)] = static_cast<char>(map[static_cast<quint8>(stored[i])]);
    run.entry.setText(f, QByteArrayView(converted.data(), length));
}

quint8 lowByteOfFirst(const QString& text)
{
    return static_cast<quint8>(text.at(0).unicode() & 0xFF);
}

void addToField(LedgerEntry& entry, const FieldLayout& f, double amount)
{
    entry.setReal(f, entry.real(f) + amount);
}

// A difference counts in whole grosze: 239.02 - 239.00 is 2 grosze, not a
// hair more, however the doubles hold it.
bool differsByMoreThanTwoGrosze(double a, double b)
{
    return std::round(std::fabs(a - b) * 100.0) > 2.0;
}

void readHeaderKeys(ConversionRun& run, bool& missing, qint32& vatRegisterType)
{
    LedgerEntry& entry = run.entry;
    const bool purchase = run.documentKind == PurchaseDocument;
    const auto markMissing = [&](const char* key) {
        missing = true;
        run.notes.noteMissing(key);
    };

    if (const auto text = FindText(run, "kod ="))
        setEntryText(run, field::DocNo, *text);
    else
        markMissing("kod =");
    if (const auto date = FindDate(run, "data =")) {
        entry.setDate(field::DocDateA, *date);
        entry.setDate(field::DocDateB, *date);
        entry.setDate(field::DocDate, *date);
    } else {
        markMissing("data =");
    }
    if (const auto date = FindDate(run, "datasp ="))
        entry.setDate(field::SaleDate, *date);
    else
        markMissing("datasp =");
    if (const auto text = FindText(run, "opis ="))
        setEntryText(run, field::Description, *text);
    if (const auto text = FindText(run, "khnazwa ="))
        setEntryText(run, field::PartyName, *text);
    else
        markMissing("khnazwa =");

    // The address: postal code, town, street, house, flat.
    if (const auto text = FindText(run, "khadres ="))
        setEntryText(run, field::PartyAddress, QByteArrayView(StripStreetPrefix(*text)));
    else
        markMissing("khadres =");
    // The address joined with a blank between, then trimmed and cut.
    const auto join = [&](QByteArrayView first, QByteArrayView second) {
        QVarLengthArray<char, 2 * MaxLineLength + 2> joined;
        joined.append(first.data(), first.size());
        joined.append(' ');
        joined.append(second.data(), second.size());
        setEntryText(run, field::PartyAddress, trimControl(QByteArrayView(joined.data(), joined.size())));
    };
    const auto append = [&](QByteArrayView value) { join(entry.textView(field::PartyAddress), value); };
    const auto prepend = [&](QByteArrayView value) { join(value, entry.textView(field::PartyAddress)); };
    if (run.templateVersion == 3) {
        if (const auto text = FindText(run, "khdom ="))
            append(*text);
        if (const auto text = FindText(run, "khlokal ="))
            append(*text);
    }
    if (const auto text = FindText(run, "khmiasto ="))
        prepend(*text);
    if (run.settings.postalCode) {
        if (const auto text = FindText(run, "khkodpocz ="))
            prepend(*text);
    }

    if (const auto text = FindText(run, "khnip ="))
        setEntryText(run, field::PartyNip, *text);
    else
        markMissing("khnip =");
    if (const auto date = FindDate(run, "plattermin ="))
        entry.setDate(field::DueDate, *date);
    if (const auto amount = FindAmount(run, "netto ="))
        entry.setReal(field::Kol1W, purchase ? -*amount : *amount);
    // The header VAT waits in kol[2].W until the sums are checked.
    if (const auto amount = FindAmount(run, "vat ="))
        entry.setReal(field::Kol2W, purchase ? -*amount : *amount);
    vatRegisterType = FindInteger(run, "typ_rejestru_vat =").value_or(0);
}

void traceDocument(ConversionRun& run)
{
    const LedgerEntry& entry = run.entry;
    const LedgerDate date = entry.date(field::DocDate);
    DocumentNotes& notes = run.notes;
    notes.number = entryText(entry, field::DocNo);
    notes.partyName = entryText(entry, field::PartyName);
    notes.nip = entryText(entry, field::PartyNip);
    notes.address = entryText(entry, field::PartyAddress);
    run.trace(QStringLiteral("* Dokument nr:") % notes.number % QStringLiteral(" | Firma:") %
              notes.partyName % QStringLiteral(" | NIP:") % notes.nip);
    run.trace(QStringLiteral("  ") % notes.address);
    QString line;
    line.reserve(80);
    line += QStringLiteral(" z dnia ");
    appendPadded(line, date.day, 2);
    line += QLatin1Char('-');
    appendPadded(line, date.month, 2);
    line += QLatin1Char('-');
    appendPadded(line, date.year, 4);
    line += QStringLiteral(" na kwotę netto=");
    appendMoney(line, entry.real(field::Kol1W));
    line += QStringLiteral(", vat=");
    appendMoney(line, entry.real(field::Kol2W));
    run.trace(line);
}

void checkSums(ConversionRun& run)
{
    LedgerEntry& entry = run.entry;
    double netSum = entry.real(field::Netto1);
    netSum += entry.real(field::Netto2);
    netSum += entry.real(field::Netto0);
    netSum += entry.real(field::Netto4);
    netSum += entry.real(field::Netto3);
    netSum += entry.real(field::NettoWolne);
    netSum += entry.real(field::NettoNieop);
    double vatSum = entry.real(field::Vat1);
    vatSum += entry.real(field::Vat2);
    vatSum += entry.real(field::Vat4);
    vatSum += entry.real(field::Vat3);

    const double headerNet = entry.real(field::Kol1W);
    if (differsByMoreThanTwoGrosze(netSum, headerNet)) {
        run.trace(QStringLiteral(" BŁĄD: suma pozycji netto inna od nagłowka !"));
        run.trace(QStringLiteral("kol[1].W=") + formatMoney(headerNet) + QStringLiteral(", SumaVgStawek=") +
                  formatMoney(netSum));
        entry.setReal(field::Kol1W, netSum);
        run.notes.netDifference = true;
    }
    if (differsByMoreThanTwoGrosze(vatSum, entry.real(field::Kol2W))) {
        run.trace(QStringLiteral(" BŁĄD: suma pozycji vat inna od nagłowka !"));
        run.notes.vatDifference = true;
    }
    entry.setReal(field::Kol2W, 0);
}

void convertTexts(ConversionRun& run)
{
    LedgerEntry& entry = run.entry;
    convertEntryText(run, field::DocNo);
    convertEntryText(run, field::PartyName);
    convertEntryText(run, field::PartyAddress);
    if (entry.textView(field::Description).isEmpty() || run.settings.alwaysDescription)
        setEntryText(run, field::Description, run.settings.defaultDescription);
    convertEntryText(run, field::Description);
    convertEntryText(run, field::SpareText);
}

} // namespace

bool MapDocument(ConversionRun& run)
{
    LedgerEntry& entry = run.entry;
    const ConversionSettings& settings = run.settings;
    entry.clear();
    run.notes = DocumentNotes{};
    entry.setByte(field::EntryKind, EntryWithVat);
    entry.setByte(field::RecordVariant, EntryVariant);
    if (run.notSubjectNet != 0)
        entry.setReal(field::NettoNieop, run.notSubjectNet);
    bool missing = false;

    if (!settings.attribute.isEmpty())
        entry.setByte(field::Attribute, lowByteOfFirst(settings.attribute));
    if (!settings.registerId.isEmpty())
        entry.setByte(field::RegisterId, lowByteOfFirst(settings.registerId));

    if (run.documentKind == SalesDocument) {
        entry.setByte(field::RegisterKind, SalesRegister);
        entry.setByte(field::Kol1Nr, SalesColumn);
    } else if (run.documentKind == PurchaseDocument) {
        entry.setByte(field::RegisterKind, PurchaseRegister);
        entry.setByte(field::Kol1Nr, PurchaseColumn);
    } else {
        run.trace(QStringLiteral("Nieokreślony typ rejestru !"));
        run.notes.undeterminedKind = true;
    }

    qint32 vatRegisterType = 0;
    readHeaderKeys(run, missing, vatRegisterType);
    traceDocument(run);

    if (vatRegisterType == 0 && !settings.szablon31) {
        run.trace(QStringLiteral("dokument bez części VAT !"));
        run.notes.withoutVat = true;
        addToField(entry, field::Kol1W, entry.real(field::Kol2W));
        entry.setReal(field::Kol2W, 0);
        entry.setByte(field::EntryKind, EntryWithoutVat);
        entry.setByte(field::RegisterKind, 0);
    } else {
        RegisterWork work;
        if (settings.sym2006) {
            while (FindText(run, "Rejestr{", QuietNotFound))
                AddRegisterLine(run, work);
        } else if (FindText(run, "Rejestr{")) {
            addOlderRegister(run, work);
        } else {
            missing = true;
            run.notes.noteMissing("Rejestr{");
        }
        checkSums(run);
    }

    convertTexts(run);
    return !missing;
}

void AddRegisterLine(ConversionRun& run, RegisterWork& work)
{
    LedgerEntry& entry = run.entry;
    if (run.settings.szablon31) {
        if (const auto amount = FindAmount(run, "\tstawka ="))
            work.rate = *amount;
        if (const auto amount = FindAmount(run, "\tnetto ="))
            work.net = *amount;
        if (const auto amount = FindAmount(run, "\tvat ="))
            work.vat = *amount;
    } else {
        if (const auto rate = FindInteger(run, "\tstawka1 ="))
            work.rate = *rate;
        if (const auto amount = FindAmount(run, "\tnetto1 ="))
            work.net = *amount;
        if (const auto amount = FindAmount(run, "\tvat1 ="))
            work.vat = *amount;
    }

    const double r = work.rate;
    // The rate word: percent times 100, halves to even.
    const auto rateWord = [r] { return static_cast<qint16>(std::nearbyint(r * 100.0)); };
    if (r >= 22 && r <= 24) {
        addToField(entry, field::Netto1, work.net);
        addToField(entry, field::Vat1, work.vat);
        entry.setInt16(field::Stawka1, rateWord());
    } else if (r >= 7 && r <= 9) {
        addToField(entry, field::Netto2, work.net);
        addToField(entry, field::Vat2, work.vat);
        entry.setInt16(field::Stawka2, rateWord());
    } else if (r >= 3 && r <= 5) {
        addToField(entry, field::Netto3, work.net);
        addToField(entry, field::Vat3, work.vat);
        entry.setInt16(field::Stawka3, rateWord());
    } else if (r == 0) {
        addToField(entry, field::Netto0, work.net);
    } else if (r == -1) {
        addToField(entry, field::NettoWolne, work.net);
    } else {
        run.trace(QStringLiteral("Nieokreślona stawka VAT = ") + formatNumber(r));
        run.notes.undeterminedRate = true;
    }

    FindText(run, "}");
}

namespace {

// One rate group of the older layout, in the order of its keys in the block.
struct OlderRateGroup
{
    const char* netKey;
    const char* vatKey;
    const char* rateKey;
    const FieldLayout& net;
    const FieldLayout& vat;
    qint32 rate;               // the rate the group must carry; 0: any rate, taken only with amounts
    const char16_t* misplaced; // the line written when the group carries another rate
};

const OlderRateGroup OlderRateGroups[] = {
    {"\tnetto1 =", "\tvat1 =", "\tstawka1 =", field::Netto1, field::Vat1, 22,
     u"stawka 22% - nie na swoim miejscu !"},
    {"\tnetto2 =", "\tvat2 =", "\tstawka2 =", field::Netto2, field::Vat2, 7,
     u"stawka 7% - nie na swoim miejscu !"},
    {"\tnetto3 =", "\tvat3 =", "\tstawka3 =", field::Netto3, field::Vat3, 0, nullptr},
    {"\tnetto4 =", "\tvat4 =", "\tstawka4 =", field::Netto4, field::Vat4, 0, nullptr},
};

// The groups without VAT that follow them, each one amount assigned as found.
struct OlderNetGroup
{
    const char* key;
    const FieldLayout& net;
};

const OlderNetGroup OlderNetGroups[] = {
    {"\tnetto0 =", field::Netto0},
    {"\tnettoWolne =", field::NettoWolne},
    {"\tnettoNieop =", field::NettoNieop},
};

} // namespace

void addOlderRegister(ConversionRun& run, RegisterWork& work)
{
    LedgerEntry& entry = run.entry;
    // The working amounts are shared by all groups: a group whose amount keys
    // are missing keeps the amounts of the group before it.
    for (const OlderRateGroup& group : OlderRateGroups) {
        if (const auto amount = FindAmount(run, group.netKey))
            work.net = *amount;
        if (const auto amount = FindAmount(run, group.vatKey))
            work.vat = *amount;
        const auto rate = FindInteger(run, group.rateKey);
        if (!rate)
            continue;
        const bool assign = group.rate != 0 ? *rate == group.rate : (work.net != 0 || work.vat != 0);
        if (assign) {
            entry.setReal(group.net, work.net);
            entry.setReal(group.vat, work.vat);
        } else if (group.misplaced) {
            run.trace(QString::fromUtf16(group.misplaced));
            run.notes.undeterminedRate = true;
        }
    }
    for (const OlderNetGroup& group : OlderNetGroups) {
        if (const auto amount = FindAmount(run, group.key))
            entry.setReal(group.net, *amount);
    }
}

} // namespace przenosnik
