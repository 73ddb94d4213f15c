// The document results of a run as the window keeps them: a few dozen bytes
// of fixed fields each, their texts one after another in a few blocks and only
// the amounts that are not zero, so that a run of a hundred thousand
// documents costs neither an allocation per text nor a page per few results.
#pragma once

#include "conversion/DocumentResult.h"
#include "ui/TextBlocks.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace przenosnik {

// One document's result, read from the store in place; the texts are valid
// while the store is not changed.
struct DocumentView
{
    int ordinal = 0;
    int kind = -1;
    DocumentState state = DocumentState::Skipped;
    LedgerDate date;
    int position = 0;
    QStringView number;
    QStringView partyName;
    QStringView nip;
    QStringView address;
    QString monthFile;
    QStringList remarks;
    DocumentAmounts amounts;
};

class ResultStore
{
public:
    void clear();
    void append(const DocumentResult& result);
    int size() const { return int(m_records.size()); }
    DocumentView at(int index) const;
    DocumentState state(int index) const { return DocumentState(m_records.at(index).state); }
    // The whole result, as it was appended and updated since.
    DocumentResult result(int index) const;
    // The index of the result of that document; -1 when there is none.
    int indexOf(int ordinal) const;
    // What may change after a document was reported: its state, file, position and remarks.
    void update(int index, const DocumentResult& result);

private:
    struct Record
    {
        int ordinal;
        int kind;
        int position;
        int monthFile; // in m_monthFiles
        int remarks;   // in m_remarks; -1 for none
        LedgerDate date;
        quint8 state;
        quint16 amountMask;            // which amounts are stored, in the order of amountFields
        TextBlocks<char16_t>::Place text; // where the number starts in m_texts; the other texts follow
        int textLengths[4];            // number, party name, NIP, address
        qsizetype amountStart;         // in m_amounts
    };

    void setOutcome(Record& record, const DocumentResult& result);
    int monthFileIndex(const QString& monthFile);

    QList<Record> m_records;
    TextBlocks<char16_t> m_texts;
    QList<double> m_amounts;
    QStringList m_monthFiles;
    QHash<QString, int> m_monthFileIndexes;
    QList<QStringList> m_remarks;
};

} // namespace przenosnik
