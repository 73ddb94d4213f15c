#include "ui/Beep.h"

#include <QApplication>

namespace przenosnik {

namespace {
int beeps = 0;
}

void beep()
{
    ++beeps;
    // The system's own sound: MessageBeep(MB_OK), that is MessageBeep(0), on Windows.
    QApplication::beep();
}

int beepCount()
{
    return beeps;
}

} // namespace przenosnik
