// Windows has no fork, no file-size limits or SIGPIPE, and no FIFOs or
// sockets with file names: those helpers report that they are unavailable.
#include "support/SystemFaults.h"

#include <QDir>
#include <QProcess>

#include <windows.h>

namespace przenosnik::test {

bool havePosixFaults()
{
    return false;
}

bool appendsAreAtomic()
{
    // Wine's ntdll exports its version; there a write at the end of a file
    // asks the size first and then writes at that offset.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return !ntdll || !::GetProcAddress(ntdll, "wine_get_version");
}

int runInChild(const std::function<int()>&)
{
    return -1;
}

bool limitFileSize(qint64)
{
    return false;
}

bool killChildWhen(const std::function<void()>&, const std::function<bool()>&)
{
    return false;
}

qint64 endedProcessId()
{
    QProcess process;
    process.start(QStringLiteral("cmd.exe"), {QStringLiteral("/c"), QStringLiteral("exit")});
    if (!process.waitForStarted(30000))
        return -1;
    const qint64 id = process.processId();
    return process.waitForFinished(30000) ? id : -1;
}

void limitFileSizeOf(QProcess&, qint64, bool) {}

void closeStandardOutputOf(QProcess&) {}

bool runAsNobody(QProcess&)
{
    return false;
}

bool makeHardLink(const QString& target, const QString& name)
{
    return CreateHardLinkW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(name).utf16()),
                           reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(target).utf16()),
                           nullptr) != 0;
}

bool makeFifo(const QString&)
{
    return false;
}

bool makeSocket(const QString&)
{
    return false;
}

} // namespace przenosnik::test
