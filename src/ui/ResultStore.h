// The document results of a run as the window keeps them: a few dozen bytes
// of fixed fields each, and in a few blocks of bytes the amounts that are not
// zero and the texts in UTF-8, so that a run of a hundred thousand documents
// costs neither an allocation per text nor a page per few results.
#pragma once

#include "conversion/DocumentResult.h"
#include "ui/BlockList.h"
#include "ui/TextBlocks.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <QUtf8StringView>

namespace przenosnik {

// One document's result, read from the store; the texts are valid while the
// store is not cleared.
struct DocumentView
{
    int ordinal = 0;
    int kind = -1;
    DocumentState state = DocumentState::Skipped;
    LedgerDate date;
    int position = 0;
    QUtf8StringView number;
    QUtf8StringView partyName;
    QUtf8StringView nip;
    QUtf8StringView address;
    QString monthFile;
    QStringList remarks;
    DocumentAmounts amounts;
};

class ResultStore
{
public:
    // The fixed fields of that many results are kept in one block.
    explicit ResultStore(qsizetype resultsPerBlock = qsizetype(platform::LargePageSize / sizeof(Record)))
        : m_records(resultsPerBlock)
    {
    }
    void clear();
    void append(const DocumentResult& result);
    int size() const { return int(m_records.size()); }
    DocumentView at(int index) const;
    DocumentState state(int index) const { return DocumentState(m_records.at(index).state); }
    int ordinal(int index) const { return m_records.at(index).ordinal; }
    int kind(int index) const { return m_records.at(index).kind; }
    DocumentAmounts amounts(int index) const;
    const QString& monthFile(int index) const { return m_monthFiles.at(m_records.at(index).monthFile); }
    bool hasRemarks(int index) const { return m_records.at(index).remarks >= 0; }
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
        quint16 amountMask;           // which amounts are stored, in the order of amountFields
        TextBlocks<char>::Place data; // where the amounts start in m_data; the texts follow
        int textLengths[4];           // in bytes: number, party name, NIP, address
    };

    void setOutcome(Record& record, const DocumentResult& result);
    int monthFileIndex(const QString& monthFile);

    BlockList<Record> m_records;
    TextBlocks<char> m_data;
    QStringList m_monthFiles;
    QHash<QString, int> m_monthFileIndexes;
    QList<QStringList> m_remarks;
    QStringEncoder m_toUtf8{QStringEncoder::Utf8};
};

} // namespace przenosnik
