// "NIP firmy", the company's NIP that tells which side of a KSeF invoice is
// this company, kept for each company directory in section MAIN of the main
// window's settings file, one key per directory.
#pragma once

#include <QString>

namespace przenosnik {

class SettingsStore;

// The key of the directory: "NIP_" and its absolute, cleaned path,
// percent-encoded, so that any path makes a key of the INI file.
QString companyNipKey(const QString& companyDirectory);

// The NIP kept for the directory; empty when none is.
QString storedCompanyNip(const SettingsStore& store, const QString& companyDirectory);
// Keeps the NIP for the directory; an empty NIP is kept as empty. A directory
// name that is empty keeps nothing.
void storeCompanyNip(SettingsStore& store, const QString& companyDirectory, const QString& nip);

} // namespace przenosnik
