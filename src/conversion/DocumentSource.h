// Where the documents of a run come from: the blocks of an export file, or
// KSeF invoices written as such blocks. The document loop books them alike.
#pragma once

#include "conversion/DocumentResult.h"

#include <QtGlobal>

namespace przenosnik {

struct ConversionRun;
class LedgerMonths;

class DocumentSource
{
public:
    virtual ~DocumentSource() = default;

    // Places the next document in the run's block with its kind and answers
    // true; false for a rejected block, and at the end with endOfInput set.
    virtual bool readNext(ConversionRun& run) = 0;
    virtual qint64 bytesRead() const = 0;
    virtual qint64 bytesTotal() const = 0;
    // Trace lines after the empty line in front of a document's mapping.
    virtual void beforeMapping(ConversionRun& run) { Q_UNUSED(run); }
    // After the mapping of an accepted document: false when it is not to be
    // booked after all. Adds what the source knows to the result.
    virtual bool afterMapping(ConversionRun& run, DocumentResult& result)
    {
        Q_UNUSED(run);
        Q_UNUSED(result);
        return true;
    }
};

// The document loop of a run; answers false when a monthly file failed.
// Every document let through gives one result, after all of its trace lines.
bool convertDocuments(ConversionRun& run, LedgerMonths& months, int& documents, DocumentSource& source);

// The run's last trace line, for a dry run or a real one.
void traceRunEnd(ConversionRun& run);

} // namespace przenosnik
