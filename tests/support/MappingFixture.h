// Maps one document block read from an in-memory export, for the tests of
// the document mapping.
#pragma once

#include "conversion/ConversionRun.h"
#include "conversion/DocumentMapping.h"
#include "conversion/ExportLineSource.h"
#include "conversion/ExportReader.h"
#include "encoding/PolishEncoding.h"
#include "encoding/Windows1250.h"

#include "support/ConversionTestHost.h"

#include <QBuffer>

#include <memory>

namespace przenosnik::test {

inline const QString NetError = QStringLiteral(" BŁĄD: suma pozycji netto inna od nagłowka !");
inline const QString VatError = QStringLiteral(" BŁĄD: suma pozycji vat inna od nagłowka !");

// Reads one block of the given text and maps it.
struct Mapping
{
    explicit Mapping(const QString& block, const ConversionSettings& runSettings = {}, int version = 3)
        : settings(runSettings), run(settings, host)
    {
        buffer.setData(exportBytes(block));
        buffer.open(QIODevice::ReadOnly);
        source = std::make_unique<ExportLineSource>(buffer);
        run.exportFile = source.get();
        run.templateVersion = version;
        blockAccepted = ReadNextDocument(run);
        accepted = MapDocument(run);
    }

    double real(const FieldLayout& f) const { return run.entry.real(f); }
    int byte(const FieldLayout& f) const { return run.entry.byte(f); }
    int int16(const FieldLayout& f) const { return run.entry.int16(f); }
    QByteArray text(const FieldLayout& f) const { return run.entry.text(f); }
    // The trace after the three lines that describe the document.
    QStringList messages() const { return host.trace.mid(3); }

    ConversionSettings settings;
    RecordingHost host;
    QBuffer buffer;
    std::unique_ptr<ExportLineSource> source;
    ConversionRun run;
    bool blockAccepted = false;
    bool accepted = false;
};

inline QByteArray cp852(const QString& text)
{
    return FromWindows1250(encodeWindows1250(text), PolishEncoding::Cp852);
}

} // namespace przenosnik::test
