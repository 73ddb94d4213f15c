// przenosnik-cli --companies: the ledger program's company list, one company a line.
#pragma once

#include "encoding/PolishEncoding.h"

#include <QString>

#include <cstdio>

namespace przenosnik {

// The list file that PATH names: the file itself, or SPISFIRM.DAT inside a directory.
QString companyListFile(const QString& path);

// Prints Firma, Katalog, Info and the company's data directory, separated by TABs, sorted by Firma:
// one company a line, a control character or TAB inside a field written as U+FFFD. A Katalog that is
// not one directory name leaves the directory empty.
// Answers the exit code: 1 when there is no list file.
int runCompaniesCommand(const QString& path, PolishEncoding ledgerEncoding, std::FILE* out, std::FILE* err);

} // namespace przenosnik
