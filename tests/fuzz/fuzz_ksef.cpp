// The KSeF invoice reader under arbitrary bytes: it answers an invoice or a
// reason, never both; an invoice, from either side, becomes a block whose
// lines the export's lookups can read: one line each, none longer than an
// export line, control characters only in the register lines' leading TAB.
#include "FuzzCheck.h"

#include "conversion/ExportReader.h"
#include "conversion/KsefInvoice.h"
#include "conversion/KsefInvoiceBlock.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

using namespace przenosnik;

namespace {

void checkBlock(const KsefDocument& document, int kind)
{
    PRZ_FUZZ_CHECK(document.kind == kind);
    PRZ_FUZZ_CHECK(document.lines.size() >= 4);
    for (const QByteArray& line : document.lines) {
        PRZ_FUZZ_CHECK(line.size() <= MaxLineLength);
        for (qsizetype i = 0; i < line.size(); ++i)
            PRZ_FUZZ_CHECK(static_cast<quint8>(line[i]) >= 0x20 || (i == 0 && line[i] == '\t'));
    }
    PRZ_FUZZ_CHECK(LineText("rodzaj_dok =", document.lines.at(1)).has_value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const KsefReading reading = readKsefInvoice(QByteArrayView(data, qsizetype(size)));
    PRZ_FUZZ_CHECK(reading.invoice.has_value() == reading.rejection.isEmpty());
    if (!reading.invoice)
        return 0;
    const KsefInvoice& invoice = *reading.invoice;
    const QString seller = normalizedNip(invoice.seller.nip);
    const QString buyer = normalizedNip(invoice.buyer.nip);
    if (!seller.isEmpty())
        checkBlock(makeKsefDocument(invoice, seller), 1);
    if (!buyer.isEmpty() && buyer != seller)
        checkBlock(makeKsefDocument(invoice, buyer), 2);
    PRZ_FUZZ_CHECK(makeKsefDocument(invoice, QStringLiteral("0000000000")).kind == -1 ||
                   seller == u"0000000000" || buyer == u"0000000000");
    return 0;
}
