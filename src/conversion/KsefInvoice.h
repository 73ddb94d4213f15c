// One invoice of the national e-invoicing system (KSeF), structure FA(2) or
// FA(3): the values the ledger entry is made of, read from its XML.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace przenosnik {

inline constexpr QStringView KsefNamespaceFa2 = u"http://crd.gov.pl/wzor/2023/06/29/12648/";
inline constexpr QStringView KsefNamespaceFa3 = u"http://crd.gov.pl/wzor/2025/06/25/13775/";
// A larger file is not read.
inline constexpr qint64 MaxKsefInvoiceSize = 10 * 1024 * 1024;

// The amounts of the invoice's summary (Fa/P_13_x, Fa/P_14_x), in grosze.
enum class KsefAmount
{
    P13_1,
    P14_1,
    P13_2,
    P14_2,
    P13_3,
    P14_3,
    P13_4,
    P14_4,
    P13_5,
    P14_5,
    P13_6_1,
    P13_6_2,
    P13_6_3,
    P13_7,
    P13_8,
    P13_9,
    P13_10,
    P13_11,
    Count
};

struct KsefParty
{
    QString nip;                        // DaneIdentyfikacyjne/NIP
    QString euCode, euVatNumber;        // KodUE, NrVatUE
    QString countryCode, otherId;       // KodKraju, NrID
    std::optional<QString> name;        // DaneIdentyfikacyjne/Nazwa
    QString addressLine1, addressLine2; // Adres/AdresL1, Adres/AdresL2
};

struct KsefInvoice
{
    int structure = 3;                   // FA(2) or FA(3)
    KsefParty seller;                    // Podmiot1
    KsefParty buyer;                     // Podmiot2
    QString currency;                    // Fa/KodWaluty
    std::optional<QString> issueDate;    // Fa/P_1
    std::optional<QString> number;       // Fa/P_2
    std::optional<QString> saleDate;     // Fa/P_6
    std::optional<QString> periodEnd;    // Fa/OkresFa/P_6_Do
    std::optional<QString> firstItem;    // the first Fa/FaWiersz/P_7
    std::optional<QString> firstDueDate; // the first Fa/Platnosc/TerminPlatnosci/Termin
    QString kind;                        // Fa/RodzajFaktury
    bool marginFlag = false;             // Fa/Adnotacje/PMarzy/P_PMarzy is 1
    std::array<qint64, size_t(KsefAmount::Count)> amounts{};

    qint64 amount(KsefAmount which) const { return amounts[size_t(which)]; }
};

// An invoice, or why the file is not one: the remark of its rejection.
struct KsefReading
{
    std::optional<KsefInvoice> invoice;
    QString rejection;
};

// Reads the XML of one file. No DTD is accepted and nothing is fetched.
KsefReading readKsefInvoice(QByteArrayView xml);

// An amount of the form -?digits(.d{1,2})? in grosze; nothing for any other text.
std::optional<qint64> parseKsefAmount(QStringView text);

} // namespace przenosnik
