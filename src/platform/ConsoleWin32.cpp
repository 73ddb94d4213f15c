#include "platform/Console.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <string>

namespace przenosnik::platform {

namespace {

HANDLE consoleOf(std::FILE* stream)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) ? handle : nullptr;
}

} // namespace

bool isConsole(std::FILE* stream)
{
    return consoleOf(stream) != nullptr;
}

bool writeToConsole(std::FILE* stream, QByteArrayView utf8)
{
    const HANDLE console = consoleOf(stream);
    if (!console) {
        // A file or a pipe gets the bytes as they are, line ends as on Linux:
        // the C runtime's text mode would turn every "\n" into "\r\n".
        std::fflush(stream);
        ::_setmode(::_fileno(stream), _O_BINARY);
        return false;
    }
    std::fflush(stream);
    if (utf8.isEmpty())
        return true;
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(std::size_t(qMax(length, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), length);
    // A console that takes nothing (closed meanwhile) loses the text, like a closed pipe.
    for (std::size_t done = 0; done < text.size();) {
        DWORD written = 0;
        const DWORD chunk = DWORD(qMin<std::size_t>(text.size() - done, 8192));
        if (!::WriteConsoleW(console, text.data() + done, chunk, &written, nullptr) || written == 0)
            break;
        done += written;
    }
    return true;
}

} // namespace przenosnik::platform
