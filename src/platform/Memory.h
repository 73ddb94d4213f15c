// How the C library keeps the memory that the program frees.
#pragma once

namespace przenosnik::platform {

// While one lives, freed memory stays with the process for the next
// allocation instead of going back to the system at once: a long PDF report
// frees and takes again a buffer of some hundred kilobytes for every page,
// and glibc's default thresholds hand it back and map it afresh each time (a
// quarter of the report's time). Where the C library keeps memory anyway,
// this does nothing.
class KeptHeap
{
public:
    KeptHeap();
    ~KeptHeap();
    KeptHeap(const KeptHeap&) = delete;
    KeptHeap& operator=(const KeptHeap&) = delete;
};

} // namespace przenosnik::platform
