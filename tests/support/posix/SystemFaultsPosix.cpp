#include "support/SystemFaults.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace przenosnik::test {

bool havePosixFaults()
{
    return true;
}

bool appendsAreAtomic()
{
    return true;
}

int runInChild(const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

bool limitFileSize(qint64 limit)
{
    static rlimit original{};
    static const bool known = getrlimit(RLIMIT_FSIZE, &original) == 0;
    if (!known)
        return false;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = original;
    if (limit >= 0)
        limited.rlim_cur = rlim_t(limit);
    return setrlimit(RLIMIT_FSIZE, &limited) == 0;
}

bool killChildWhen(const std::function<void()>& body, const std::function<bool()>& stopWhen)
{
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        body();
        _exit(0);
    }
    QElapsedTimer waited;
    waited.start();
    while (!stopWhen() && waited.elapsed() < 30000)
        usleep(500);
    ::kill(child, SIGKILL);
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFSIGNALED(status);
}

qint64 endedProcessId()
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

void limitFileSizeOf(QProcess& process, qint64 limit, bool ignoreSignal)
{
    process.setChildProcessModifier([limit, ignoreSignal] {
        std::signal(SIGXFSZ, ignoreSignal ? SIG_IGN : SIG_DFL);
        rlimit limited{};
        getrlimit(RLIMIT_FSIZE, &limited);
        limited.rlim_cur = rlim_t(limit);
        setrlimit(RLIMIT_FSIZE, &limited);
    });
}

void closeStandardOutputOf(QProcess& process)
{
    process.setChildProcessModifier([] {
        std::signal(SIGPIPE, SIG_DFL);
        int ends[2];
        if (pipe(ends) != 0 || dup2(ends[1], STDOUT_FILENO) < 0)
            _exit(100);
        close(ends[0]);
        close(ends[1]);
    });
}

bool runAsNobody(QProcess& process)
{
    if (::geteuid() == 0)
        process.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
    return true;
}

bool makeHardLink(const QString& target, const QString& name)
{
    return ::link(QFile::encodeName(target).constData(), QFile::encodeName(name).constData()) == 0;
}

bool makeFifo(const QString& path)
{
    return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool makeSocket(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int handle = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        handle >= 0 && bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (handle >= 0)
        close(handle);
    return bound;
}

} // namespace przenosnik::test
