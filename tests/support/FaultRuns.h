// Shared pieces of the tests that make a run meet failing files: the trace
// lines of a failure, a small export of numbered invoices, and a host that
// lets a test act between two steps of a run.
#pragma once

#include "support/ConversionTestHost.h"

#include <QList>
#include <QString>

#include <functional>

namespace przenosnik::test {

inline const QString RealEnd = QStringLiteral(" *** Koniec przetwarzania ***");
inline const QString DryEnd = QStringLiteral(" *** Koniec procedury sprawdzającej (BEZ ZAPISU ) ***");
inline const QString PeriodFailure = QStringLiteral(" * błąd otwarcia okresu *");
inline const QString ReadFailure = QStringLiteral("io Błąd odczytu z pliku ");

inline QString countLine(int n)
{
    return QStringLiteral(" *** Ilość dokumentów %1").arg(n);
}

inline QString appendFailure(const QString& path)
{
    return QStringLiteral("Błąd dopisania do pliku %1 !").arg(path);
}

inline QString openFailure(const QString& path)
{
    return QStringLiteral("Błąd otwarcia pliku %1 !").arg(path);
}

// An export of `count` March 2014 sales invoices numbered "FV 1" onwards; the
// documents listed in `april` are dated in April instead.
QString marchExport(int count, const QList<int>& april = {});

// A host that lets a test act at the moment a trace line is written, as the
// ledger program or the user might between two steps of a run.
class HookedHost : public RecordingHost
{
public:
    std::function<void(const QString&)> onTrace;

    void appendTrace(const QString& line) override
    {
        RecordingHost::appendTrace(line);
        if (onTrace)
            onTrace(line);
    }
};

} // namespace przenosnik::test
