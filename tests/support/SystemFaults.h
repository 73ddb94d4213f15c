// What some tests do to the system that only POSIX systems offer: child
// processes forked from the test, file-size limits, closed pipes, FIFOs and
// sockets in the file system. Windows has none of them: there
// `havePosixFaults()` is false and the tests that need them skip.
#pragma once

#include <QString>

#include <functional>

class QProcess;

namespace przenosnik::test {

// Whether the helpers below work here.
bool havePosixFaults();

// Why a test that needs a symbolic link skips where havePosixFaults() is false.
inline constexpr const char* NoSymbolicLinks =
    "Windows makes symbolic links only with privileges (QFile::link makes a shortcut)";

// Whether two programs appending to one file at the same time never overwrite
// each other: the system finds the end and writes there in one step (O_APPEND;
// on Windows a write at the end of the file). Wine does it in two.
bool appendsAreAtomic();

// Runs body in a forked child; returns body's result as the child's exit
// code, or -1 when the child did not end normally.
int runInChild(const std::function<int()>& body);

// Files of this process may not grow beyond limit bytes (-1: as they could
// before); SIGXFSZ is ignored, so a write past the limit fails.
bool limitFileSize(qint64 limit);

// Starts body in a forked child, waits until stopWhen() holds (at most 30 s),
// kills the child with SIGKILL and returns whether the signal ended it.
bool killChildWhen(const std::function<void()>& body, const std::function<bool()>& stopWhen);

// The process id of a process that has ended.
qint64 endedProcessId();

// A program started by process gets a file-size limit (SIGXFSZ ignored or at
// its default), or a standard output whose reader has gone away.
void limitFileSizeOf(QProcess& process, qint64 limit, bool ignoreSignal);
void closeStandardOutputOf(QProcess& process);

// A program started by process runs as the user "nobody" when this test runs
// as root, for whom a directory's permissions do not hold; false when it
// cannot (no such user switch here).
bool runAsNobody(QProcess& process);

// Another name of the file target (a hard link).
bool makeHardLink(const QString& target, const QString& name);

// A FIFO, or a socket bound to the name, as a local server leaves it.
bool makeFifo(const QString& path);
bool makeSocket(const QString& path);

} // namespace przenosnik::test
