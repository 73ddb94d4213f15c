// The 400-byte ledger entry: field accessors and the exact record bytes.
#include "encoding/PolishEncoding.h"
#include "ledger/LedgerEntry.h"

#include "support/TestSupport.h"

#include <QTest>

using namespace przenosnik;

namespace {

QByteArray zeros(int n)
{
    return QByteArray(n, '\0');
}

// Sets one field to a value that leaves no byte of it zero.
void fillField(LedgerEntry& entry, const FieldLayout& f)
{
    switch (f.kind) {
    case FieldKind::Int32:
        entry.setInt32(f, -1);
        break;
    case FieldKind::Int16:
        entry.setInt16(f, -1);
        break;
    case FieldKind::UInt8:
    case FieldKind::Char:
        entry.setByte(f, 0xFF);
        break;
    case FieldKind::Date:
        entry.setDate(f, {31, 12, 0xFFFF});
        break;
    case FieldKind::Double:
        entry.setReal(f, -1.0 / 3.0); // every byte of its pattern is non-zero
        break;
    case FieldKind::ShortString:
        entry.setText(f, QByteArray(LedgerEntry::capacity(f), '#'));
        break;
    case FieldKind::Reserved:
        break;
    }
}

} // namespace

class LedgerEntryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsAndClearsToZero()
    {
        LedgerEntry entry;
        PRZ_COMPARE_BYTES(entry.bytes(), zeros(LedgerEntrySize));
        entry.setText(field::PartyName, "abc");
        entry.setReal(field::Kol1W, 12.5);
        entry.setInt32(field::EntryNo, 7);
        entry.clear();
        PRZ_COMPARE_BYTES(entry.bytes(), zeros(LedgerEntrySize));
    }

    // Each accessor touches its own field's bytes and no others.
    void fieldWritesStayInsideTheField_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(LedgerEntryLayout.size()); ++i) {
            if (LedgerEntryLayout[std::size_t(i)].kind != FieldKind::Reserved)
                QTest::newRow(LedgerEntryLayout[std::size_t(i)].name.data()) << i;
        }
    }

    void fieldWritesStayInsideTheField()
    {
        QFETCH(int, index);
        const FieldLayout& f = LedgerEntryLayout[std::size_t(index)];
        LedgerEntry entry;
        fillField(entry, f);
        const QByteArray& b = entry.bytes();
        QCOMPARE(b.size(), LedgerEntrySize);
        for (int i = 0; i < LedgerEntrySize; ++i) {
            const bool inside = i >= f.offset && i < f.offset + f.width;
            QVERIFY2((b[i] != 0) == inside, qPrintable(QStringLiteral("byte %1").arg(i)));
        }
    }

    void documentDateThreeTimes()
    {
        LedgerEntry entry;
        const LedgerDate date{12, 3, 2014};
        for (const FieldLayout& f : {field::DocDateA, field::DocDateB, field::DocDate})
            entry.setDate(f, date);
        const QByteArray expected = QByteArray::fromHex("0C03DE07");
        PRZ_COMPARE_BYTES(entry.bytes().mid(10, 4), expected);
        PRZ_COMPARE_BYTES(entry.bytes().mid(14, 4), expected);
        PRZ_COMPARE_BYTES(entry.bytes().mid(18, 4), expected);
        PRZ_COMPARE_BYTES(entry.bytes().left(10), zeros(10));
        PRZ_COMPARE_BYTES(entry.bytes().mid(22), zeros(LedgerEntrySize - 22));
        QCOMPARE(entry.date(field::DocDate), date);
        QCOMPARE(entry.date(field::SaleDate), LedgerDate{});
    }

    void numbersAreLittleEndian()
    {
        LedgerEntry entry;
        entry.setInt32(field::EntryNo, 0x01020304);
        entry.setInt16(field::Stawka1, 2300);
        entry.setInt16(field::Stawka3, -2);
        entry.setReal(field::Kol1W, 1234.56);
        entry.setReal(field::Vat1, -1.0);
        PRZ_COMPARE_BYTES(entry.bytes().mid(0, 4), QByteArray::fromHex("04030201"));
        PRZ_COMPARE_BYTES(entry.bytes().mid(352, 2), QByteArray::fromHex("FC08"));
        PRZ_COMPARE_BYTES(entry.bytes().mid(356, 2), QByteArray::fromHex("FEFF"));
        PRZ_COMPARE_BYTES(entry.bytes().mid(369, 8), QByteArray::fromHex("0AD7A3703D4A9340"));
        PRZ_COMPARE_BYTES(entry.bytes().mid(256, 8), QByteArray::fromHex("000000000000F0BF"));
        QCOMPARE(entry.int32(field::EntryNo), 0x01020304);
        QCOMPARE(entry.int16(field::Stawka3), qint16(-2));
        QCOMPARE(entry.real(field::Kol1W), 1234.56);
        QCOMPARE(entry.real(field::Vat1), -1.0);
    }

    void charactersKeepTheLow8Bits_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("stored");
        QTest::newRow("letter") << int('K') << 0x4B;
        QTest::newRow("latin-1") << 0xE9 << 0xE9;
        QTest::newRow("L stroke") << 0x0141 << 0x41;
        QTest::newRow("euro") << 0x20AC << 0xAC;
        QTest::newRow("multiple of 256") << 0x0100 << 0x00;
    }

    void charactersKeepTheLow8Bits()
    {
        QFETCH(int, code);
        QFETCH(int, stored);
        LedgerEntry entry;
        entry.setChar(field::Attribute, char16_t(code));
        entry.setChar(field::RegisterId, char16_t(code));
        QCOMPARE(int(quint8(entry.bytes()[236])), stored);
        QCOMPARE(int(quint8(entry.bytes()[245])), stored);
        QCOMPARE(int(entry.byte(field::Attribute)), stored);
    }

    void textIsCutToCapacity_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("length");
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("short") << QByteArray("Firma") << 5;
        QTest::newRow("exactly 36") << QByteArray("0123456789abcdefghijklmnopqrstuvwxyz") << 36;
        QTest::newRow("40 characters") << QByteArray("0123456789abcdefghijklmnopqrstuvwxyzABCD") << 36;
        QTest::newRow("255 characters") << QByteArray(255, 'q') << 36;
    }

    void textIsCutToCapacity()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, length);
        LedgerEntry entry;
        entry.setText(field::PartyName, text);
        QCOMPARE(int(quint8(entry.bytes()[74])), length);
        PRZ_COMPARE_BYTES(entry.bytes().mid(75, length), text.left(length));
        PRZ_COMPARE_BYTES(entry.bytes().mid(75 + length), zeros(LedgerEntrySize - 75 - length));
        PRZ_COMPARE_BYTES(entry.text(field::PartyName), text.left(length));
    }

    void shorterTextLeavesTheRestOfTheField()
    {
        LedgerEntry entry;
        entry.setText(field::DocNo, "FV/0001/2014");
        entry.setText(field::DocNo, "KOR");
        QCOMPARE(int(entry.bytes()[32]), 3);
        PRZ_COMPARE_BYTES(entry.bytes().mid(33, 22), QByteArray("KOR0001/2014") + zeros(10));
        PRZ_COMPARE_BYTES(entry.text(field::DocNo), QByteArray("KOR"));
        entry.setText(field::DocNo, "");
        QCOMPARE(int(entry.bytes()[32]), 0);
        PRZ_COMPARE_BYTES(entry.bytes().mid(33, 3), QByteArray("KOR"));
        QVERIFY(entry.text(field::DocNo).isEmpty());
    }

    void wholeEntryByteForByte()
    {
        LedgerEntry entry;
        entry.setInt32(field::EntryNo, 5);
        for (const FieldLayout& f : {field::DocDateA, field::DocDateB, field::DocDate})
            entry.setDate(f, {12, 3, 2014});
        entry.setDate(field::SaleDate, {10, 3, 2014});
        entry.setText(field::DocNo, "FV 12/2014");
        entry.setText(field::PartyNip, "123-456-78-90");
        entry.setText(field::PartyName,
                      ToLedgerEncoding(QStringLiteral("Żółć Sp. z o.o."), PolishEncoding::Cp852));
        entry.setText(field::PartyAddress,
                      ToLedgerEncoding(QStringLiteral("ul. Długa 5"), PolishEncoding::Cp852));
        entry.setText(field::Description,
                      ToLedgerEncoding(QStringLiteral("Sprzedaż towarów"), PolishEncoding::Cp852));
        entry.setDate(field::DueDate, {26, 3, 2014});
        entry.setText(field::SpareText, "");
        entry.setChar(field::Attribute, u'K');
        entry.setByte(field::EntryKind, 3);
        entry.setByte(field::RegisterKind, 1);
        entry.setChar(field::RegisterId, u'S');
        entry.setReal(field::Netto1, 1000.0);
        entry.setReal(field::Vat1, 230.0);
        entry.setReal(field::Netto2, 100.0);
        entry.setReal(field::Vat2, 8.0);
        entry.setReal(field::NettoWolne, 50.5);
        entry.setReal(field::Netto3, -20.0);
        entry.setReal(field::Vat3, -1.0);
        entry.setInt16(field::Stawka1, 2300);
        entry.setInt16(field::Stawka2, 800);
        entry.setInt16(field::Stawka3, 500);
        entry.setByte(field::RecordVariant, 2);
        entry.setByte(field::Kol1Nr, 7);
        entry.setReal(field::Kol1W, 1130.5);

        const QByteArray expected =
            QByteArray::fromHex("05000000"     //   0 EntryNo
                                "000000000000" //   4
                                "0C03DE07"
                                "0C03DE07"
                                "0C03DE07"                                         //  10 document dates
                                "0A03DE07"                                         //  22 SaleDate
                                "000000000000"                                     //  26
                                "0A 46562031322F32303134 000000000000000000000000" //  32 DocNo
                                "0D 3132332D3435362D37382D3930 0000000000"         //  55 PartyNip
                                "0F BDA28886205370 2E207A206F2E6F2E"               //  74 PartyName
                                "   000000000000000000000000000000000000000000"
                                "0B 756C2E204488756761 2035" // 111 PartyAddress
                                "   00000000000000000000000000000000000000000000000000"
                                "10 5370727A656461BE20746F776172A277" // 148 Description
                                "   0000000000000000000000000000000000000000"
                                "000000000000000000000000000000000000000000" // 185
                                "1A03DE07"                                   // 206 DueDate
                                "00000000000000000000000000"                 // 210
                                "00000000000000000000000000"                 // 223 SpareText
                                "4B"
                                "03"
                                "00000000"
                                "01"
                                "0000"
                                "53"
                                "0000" // 236 letters and kinds
                                "00000000 00408F40"
                                "00000000 00C06C40" // 248 Netto1, Vat1
                                "00000000 00005940"
                                "00000000 00002040" // 264 Netto2, Vat2
                                "00000000 00000000"
                                "00000000 00404940" // 280 Netto0, NettoWolne
                                "00000000 000034C0"
                                "00000000 0000F0BF" // 296 Netto3, Vat3
                                "0000000000000000"
                                "0000000000000000"
                                "0000000000000000"                 // 312 Netto4, Vat4, NettoNieop
                                "00000000000000000000000000000000" // 336
                                "FC08"
                                "2003"
                                "F401"               // 352 Stawka1..3
                                "000000000000000000" // 358
                                "02"                 // 367 RecordVariant
                                "07"
                                "00000000 00AA9140" // 368 kol[1]
                                "00"
                                "0000000000000000"               // 377 kol[2]
                                "0000000000000000000000000000"); // 386
        QCOMPARE(expected.size(), LedgerEntrySize);
        PRZ_COMPARE_BYTES(entry.bytes(), expected);
    }
};

QTEST_GUILESS_MAIN(LedgerEntryTest)
#include "test_ledger_entry.moc"
