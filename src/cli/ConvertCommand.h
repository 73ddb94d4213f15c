// Runs one conversion from the command line, as the "Konwersja" action does without its confirmation.
#pragma once

#include "conversion/ConversionRun.h"

#include <cstdio>

namespace przenosnik {

// Checks the inputs, runs the conversion and answers the exit code of przenosnik-cli.
int RunConvertCommand(const ConversionSettings& settings, std::FILE* out, std::FILE* err);

// The exit code for the outcome of a run.
int ExitCodeFor(RunOutcome outcome);

} // namespace przenosnik
