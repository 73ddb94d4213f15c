// What the journal writes down of a run's input, so that an undo can tell
// whether the input is still the one the run read: its size and SHA-256.
#pragma once

#include <QByteArray>
#include <QString>

namespace przenosnik {

struct ExportDigest
{
    qint64 size = 0;   // bytes of an export file; 0 for a folder of KSeF invoices
    QByteArray sha256; // hexadecimal; empty when the input cannot be read
};

// An export file: its bytes. A folder of KSeF invoices: every *.xml file the
// run reads, in the run's order, each as its name, a line feed, the SHA-256
// of its bytes and a line feed.
ExportDigest digestOfExport(const QString& path);

} // namespace przenosnik
