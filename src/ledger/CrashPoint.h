// Points between the steps that change files, where a test stops the process
// at once, as a crash or kill -9 would: nothing is flushed, no destructor runs.
// Unarmed, a point costs one atomic read.
#pragma once

namespace przenosnik {

// Stops the process at the n-th point passed from now; 0 disarms.
void armCrashPoint(int n);
// One point.
void crashPoint();

} // namespace przenosnik
