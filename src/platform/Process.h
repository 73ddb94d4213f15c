// The running process and its neighbours: stop requests, failed writes, the
// host and process that hold a lock.
#pragma once

#include <QString>
#include <QtGlobal>

namespace przenosnik::platform {

// A write to a closed pipe or past the file-size limit becomes a failed
// write, not the end of the program (SIGPIPE and SIGXFSZ ignored; Windows has
// neither).
void keepRunningOnFailedWrites();

enum class StopRequest
{
    Interrupt, // Ctrl+C (SIGINT; Ctrl+C and Ctrl+Break on a Windows console)
    Terminate, // SIGTERM; the console window closed, the user logging off or the system shutting down
};
// Called in a signal handler on POSIX and on a thread of its own on Windows:
// it may only set an atomic flag.
using StopHandler = void (*)(StopRequest request);
// Hands stop requests to the handler instead of ending the process at once.
bool setStopHandler(StopHandler handler);

QString hostName();
qint64 processId();
// False only when no process of that id runs on this host; one that belongs
// to another user counts as running.
bool processIsAlive(qint64 id);

} // namespace przenosnik::platform
