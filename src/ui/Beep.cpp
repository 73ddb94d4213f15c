#include "ui/Beep.h"

#include <QApplication>

namespace przenosnik {

namespace {
int beeps = 0;
}

void beep()
{
    ++beeps;
    QApplication::beep();
}

int beepCount()
{
    return beeps;
}

} // namespace przenosnik
