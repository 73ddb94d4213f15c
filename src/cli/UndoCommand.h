// przenosnik-cli --undo and --history: the journal of a company directory.
#pragma once

#include <QString>

#include <cstdio>

namespace przenosnik {

class ConsoleOutput;

// Takes back the last run into the directory (or, as a dry run, says what it
// would remove); answers the exit code.
int runUndoCommand(const QString& companyDirectory, bool dryRun, std::FILE* out, std::FILE* err);

// Lists the directory's runs, newest first; answers the exit code.
int runHistoryCommand(const QString& companyDirectory, std::FILE* out, std::FILE* err);

// Before a real run: says on standard error when the last run into the directory did not end.
void warnOfInterruptedRun(const QString& companyDirectory, ConsoleOutput& console);

} // namespace przenosnik
