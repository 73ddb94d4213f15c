#include "platform/Console.h"

#include <unistd.h>

namespace przenosnik::platform {

bool isConsole(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

bool writeToConsole(std::FILE* stream, QByteArrayView utf8)
{
    Q_UNUSED(stream);
    Q_UNUSED(utf8);
    return false;
}

} // namespace przenosnik::platform
