// Standard output and standard error as the system shows them: a terminal or
// console, or bytes for a file or a pipe.
#pragma once

#include <QByteArrayView>

#include <cstdio>

namespace przenosnik::platform {

// The stream goes to a terminal or a console window, where the user reads along.
bool isConsole(std::FILE* stream);
// Shows UTF-8 text on a Windows console as wide characters (WriteConsoleW),
// whatever the console's code page. False when the stream is no Windows
// console (always on POSIX): the caller then writes the bytes themselves,
// which reach a file or a pipe unchanged (no "\r" added on Windows).
bool writeToConsole(std::FILE* stream, QByteArrayView utf8);

} // namespace przenosnik::platform
