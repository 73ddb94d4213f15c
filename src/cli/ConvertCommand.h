// Runs one conversion from the command line, as the "Konwersja" action does without its confirmation.
#pragma once

#include "conversion/RunConversion.h"

#include <QString>

#include <cstdio>

namespace przenosnik {

// What the command line asks for after the run.
struct RunAftermath
{
    QString reportPath;   // the report file, CSV or PDF by its extension; empty for none
    bool summary = false; // the totals on standard error
};

// Checks the inputs, runs the conversion and answers the exit code of przenosnik-cli.
// A run that got past the input checks writes its report and totals however it ended.
int runConvertCommand(const ConversionSettings& settings, std::FILE* out, std::FILE* err,
                      const RunAftermath& after = {});

// The exit code for the outcome of a run.
int exitCodeFor(RunOutcome outcome);

} // namespace przenosnik
