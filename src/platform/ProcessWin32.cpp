#include "platform/Process.h"

#include <windows.h>

#include <iterator>

namespace przenosnik::platform {

namespace {

StopHandler stopHandler = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (!stopHandler)
        return FALSE;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        stopHandler(StopRequest::Interrupt);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The system ends the process when this returns: the handler's flag
        // is all that can be set in time.
        stopHandler(StopRequest::Terminate);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void keepRunningOnFailedWrites() {}

bool setStopHandler(StopHandler handler)
{
    stopHandler = handler;
    return ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

QString hostName()
{
    wchar_t name[256] = {};
    DWORD size = DWORD(std::size(name));
    if (!::GetComputerNameExW(ComputerNameDnsHostname, name, &size))
        return {};
    return QString::fromWCharArray(name, int(size));
}

qint64 processId()
{
    return qint64(::GetCurrentProcessId());
}

bool processIsAlive(qint64 id)
{
    if (id <= 0 || id > qint64(MAXDWORD))
        return false;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(id));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

} // namespace przenosnik::platform
