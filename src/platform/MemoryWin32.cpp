#include "platform/Memory.h"

namespace przenosnik::platform {

// The Windows heap keeps freed blocks for the process by itself.
KeptHeap::KeptHeap() = default;
KeptHeap::~KeptHeap() = default;

} // namespace przenosnik::platform
