// The platform's default beep, counted so that tests can see it sounded.
#pragma once

namespace przenosnik {

// Sounds the default beep (QApplication::beep) and counts it.
void beep();
// How many times beep() has been called in this process.
int beepCount();

} // namespace przenosnik
