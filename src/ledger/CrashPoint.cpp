#include "ledger/CrashPoint.h"

#include <atomic>
#include <cstdlib>

namespace przenosnik {

namespace {
std::atomic<int> pointsLeft{0};
}

void armCrashPoint(int n)
{
    pointsLeft.store(n);
}

void crashPoint()
{
    if (pointsLeft.load(std::memory_order_relaxed) > 0 && pointsLeft.fetch_sub(1) == 1)
        std::_Exit(137);
}

} // namespace przenosnik
