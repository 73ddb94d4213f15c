#include "ui/ResultStore.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <ranges>

namespace przenosnik {

namespace {
constexpr double DocumentAmounts::*amountFields[] = {
    &DocumentAmounts::netto1,     &DocumentAmounts::vat1,       &DocumentAmounts::netto2,
    &DocumentAmounts::vat2,       &DocumentAmounts::netto3,     &DocumentAmounts::vat3,
    &DocumentAmounts::netto4,     &DocumentAmounts::vat4,       &DocumentAmounts::netto0,
    &DocumentAmounts::nettoWolne, &DocumentAmounts::nettoNieop, &DocumentAmounts::kolumna,
};
static_assert(std::size(amountFields) <= 16);
} // namespace

void ResultStore::clear()
{
    m_records.clear();
    m_data.clear();
    m_monthFiles.clear();
    m_monthFileIndexes.clear();
    m_remarks.clear();
}

void ResultStore::append(const DocumentResult& result)
{
    Record record{};
    record.ordinal = result.ordinal;
    record.kind = result.kind;
    record.date = result.date;
    double amounts[std::size(amountFields)];
    qsizetype amountCount = 0;
    for (size_t field = 0; field < std::size(amountFields); ++field) {
        const double value = result.amounts.*amountFields[field];
        // Kept by its bits: a negative zero stays one.
        if (std::bit_cast<quint64>(value) != 0) {
            record.amountMask |= quint16(1u << field);
            amounts[amountCount++] = value;
        }
    }
    const std::initializer_list<const QString*> texts{&result.number, &result.partyName, &result.nip,
                                                      &result.address};
    qsizetype most = qsizetype(amountCount * sizeof(double));
    for (const QString* text : texts) {
        most += text->size() * 3;
    }
    record.data = m_data.makeRoom(most);
    std::memcpy(m_data.end(), amounts, amountCount * sizeof(double));
    m_data.grow(amountCount * sizeof(double));
    // The texts are decoded from an export file or an invoice, which yields no
    // lone surrogate; one would read back as a replacement character.
    m_toUtf8.resetState();
    int part = 0;
    for (const QString* text : texts) {
        char* const start = m_data.end();
        const qsizetype length = m_toUtf8.appendToBuffer(start, *text) - start;
        m_data.grow(length);
        record.textLengths[part++] = int(length);
    }
    record.remarks = -1;
    setOutcome(record, result);
    m_records.append(record);
}

void ResultStore::setOutcome(Record& record, const DocumentResult& result)
{
    record.state = quint8(result.state);
    record.position = result.position;
    record.monthFile = monthFileIndex(result.monthFile);
    if (result.remarks.isEmpty()) {
        record.remarks = -1;
    } else if (record.remarks >= 0) {
        m_remarks[record.remarks] = result.remarks;
    } else {
        record.remarks = int(m_remarks.size());
        m_remarks.append(result.remarks);
    }
}

int ResultStore::monthFileIndex(const QString& monthFile)
{
    // Consecutive documents mostly fall into the same month.
    if (!m_monthFiles.isEmpty() && m_monthFiles.constLast() == monthFile) {
        return int(m_monthFiles.size() - 1);
    }
    const auto found = m_monthFileIndexes.constFind(monthFile);
    if (found != m_monthFileIndexes.cend()) {
        return *found;
    }
    m_monthFiles.append(monthFile);
    m_monthFileIndexes.insert(monthFile, int(m_monthFiles.size() - 1));
    return int(m_monthFiles.size() - 1);
}

DocumentAmounts ResultStore::amounts(int index) const
{
    const Record& record = m_records.at(index);
    DocumentAmounts amounts;
    const char* data = m_data.data(record.data);
    for (size_t field = 0; field < std::size(amountFields); ++field) {
        if (record.amountMask & (1u << field)) {
            std::memcpy(&(amounts.*amountFields[field]), data, sizeof(double));
            data += sizeof(double);
        }
    }
    return amounts;
}

DocumentView ResultStore::at(int index) const
{
    const Record& record = m_records.at(index);
    DocumentView view;
    view.ordinal = record.ordinal;
    view.kind = record.kind;
    view.state = DocumentState(record.state);
    view.date = record.date;
    view.position = record.position;
    view.amounts = amounts(index);
    // The texts follow the amounts that are stored.
    const char* data = m_data.data(record.data) + std::popcount(record.amountMask) * sizeof(double);
    int part = 0;
    for (QUtf8StringView* text : {&view.number, &view.partyName, &view.nip, &view.address}) {
        const int length = record.textLengths[part++];
        *text = QUtf8StringView(data, length);
        data += length;
    }
    view.monthFile = m_monthFiles.at(record.monthFile);
    if (record.remarks >= 0) {
        view.remarks = m_remarks.at(record.remarks);
    }
    return view;
}

DocumentResult ResultStore::result(int index) const
{
    const DocumentView view = at(index);
    DocumentResult result;
    result.ordinal = view.ordinal;
    result.kind = view.kind;
    result.number = view.number.toString();
    result.partyName = view.partyName.toString();
    result.nip = view.nip.toString();
    result.address = view.address.toString();
    result.date = view.date;
    result.amounts = view.amounts;
    result.monthFile = view.monthFile;
    result.position = view.position;
    result.state = view.state;
    result.remarks = view.remarks;
    return result;
}

int ResultStore::indexOf(int ordinal) const
{
    // Results come in run order, one per ordinal.
    const auto indexes = std::views::iota(0, size());
    const auto it = std::ranges::lower_bound(indexes, ordinal, {},
                                             [this](int index) { return m_records.at(index).ordinal; });
    return it != indexes.end() && m_records.at(*it).ordinal == ordinal ? *it : -1;
}

void ResultStore::update(int index, const DocumentResult& result)
{
    setOutcome(m_records[index], result);
}

} // namespace przenosnik
