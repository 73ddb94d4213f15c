// Turning one document block of the export into one ledger entry.
#pragma once

namespace przenosnik {

struct ConversionRun;

// The amounts of the register line being handled. They carry over from one
// register block to the next of the same document when a key is missing.
struct RegisterWork
{
    double rate = 0; // in percent
    double net = 0;
    double vat = 0;
};

// Fills the run's entry from the current document; answers whether the
// document is accepted (no required key missing).
bool MapDocument(ConversionRun& run);

// One "Rejestr{" block of the newer layout, whose opening line the last lookup
// has just found: its amounts go into the rate group of its rate.
void AddRegisterLine(ConversionRun& run, RegisterWork& work);

// The one register block of the older layout, with its numbered groups.
void addOlderRegister(ConversionRun& run, RegisterWork& work);

} // namespace przenosnik
