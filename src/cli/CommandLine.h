// The command line of przenosnik-cli: what to do and with which run options.
#pragma once

#include "conversion/RunConversion.h"

#include <QString>
#include <QStringList>

namespace przenosnik {

enum class CliAction
{
    Convert,       // run a conversion (or a dry run)
    ListCompanies, // print the company list of a SPISFIRM.DAT
    Undo,          // take back the last run into a company directory (-n: only say what it would do)
    History,       // list the runs of a company directory's journal
    Help,
    Version,
    Invalid, // a bad command line: exit code 2
};

struct CommandLine
{
    CliAction action = CliAction::Invalid;
    ConversionSettings settings; // the run's options: defaults, then --settings, then the options given
    QString companiesPath;       // --companies
    QString journalDirectory;    // --undo, --history: the company directory
    QString reportPath;          // --report: the report file written after the run, CSV or PDF
    bool summary = false;        // --summary: the totals on standard error after the run
    QString error;               // why the command line is bad (CliAction::Invalid)
};

// Exit codes of przenosnik-cli.
inline constexpr int ExitCompleted = 0;    // the run read the export file to its end
inline constexpr int ExitNotCompleted = 1; // the run did not start or stopped early
inline constexpr int ExitBadCommandLine = 2;

inline constexpr int MaxDescriptionLength = 36;

// Parses the arguments (the first one is the program's name). Reads the file of --settings when given.
CommandLine parseCommandLine(const QStringList& arguments);

// The text of --help, in Polish.
QString helpText();
QString versionText();

} // namespace przenosnik
