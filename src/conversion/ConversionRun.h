// The state of one conversion run, shared by the reader, the mapping and the
// monthly files for as long as the run lasts.
#pragma once

#include "conversion/DocumentBlock.h"
#include "conversion/DocumentNotes.h"
#include "conversion/ExportLineSource.h"
#include "conversion/RunConversion.h"
#include "encoding/PolishEncoding.h"
#include "ledger/LedgerEntry.h"
#include "ledger/MonthFile.h"

#include <QString>
#include <QtGlobal>

namespace przenosnik {

// Document kinds as the export's "rodzaj_dok =" names them.
inline constexpr int SalesDocument = 1;
inline constexpr int PurchaseDocument = 2;

struct ConversionRun
{
    ConversionRun(const ConversionSettings& runSettings, ConversionHost& runHost)
        : settings(runSettings), host(runHost), ledgerEncoding(runSettings.ledgerEncoding),
          monthFile(runSettings.companyDirectory, [this](const QString& line) { trace(line); })
    {
    }
    ConversionRun(const ConversionRun&) = delete;
    ConversionRun& operator=(const ConversionRun&) = delete;

    void trace(const QString& line) { host.appendTrace(line); }
    // The line a document lookup examined last, and the next one it examines.
    QByteArrayView currentLine() const { return cursor.currentLine(); }
    qint32 lineCursor() const { return cursor.lineCursor(); }

    const ConversionSettings& settings;
    ConversionHost& host;
    PolishEncoding ledgerEncoding;

    ExportLineSource* exportFile = nullptr; // the open export file, read by ReadExportLine only
    qint32 templateVersion = -1;
    bool endOfInput = false;
    bool readFailed = false; // the end of input was a read error, not the end of the file
    QString invalidVersion;  // the version text that is not a number, when the run must stop
    qint32 documentKind = -1;

    // The current block (mDokument); the host gets a copy of the last one
    // when the run ends, once a block has been sought.
    DocumentBlock document;
    DocumentCursor cursor{document};
    bool documentSought = false;

    LedgerEntry entry;
    MonthFile monthFile;
    // The net not subject to Polish VAT that the current document gives
    // beside its register blocks (a KSeF invoice); an export block has none.
    double notSubjectNet = 0;

    DocumentNotes notes;     // of the current document, for its result
    RejectedBlocks rejected; // the blocks the reader did not let through
};

} // namespace przenosnik
