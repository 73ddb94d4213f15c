#include "platform/Process.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <unistd.h>

namespace przenosnik::platform {

namespace {

StopHandler stopHandler = nullptr;

extern "C" void onStopSignal(int signal)
{
    if (stopHandler)
        stopHandler(signal == SIGINT ? StopRequest::Interrupt : StopRequest::Terminate);
}

} // namespace

void keepRunningOnFailedWrites()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

bool setStopHandler(StopHandler handler)
{
    stopHandler = handler;
    struct sigaction action
    {
    };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

QString hostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return QString::fromLocal8Bit(name);
}

qint64 processId()
{
    return qint64(::getpid());
}

bool processIsAlive(qint64 id)
{
    if (id <= 0 || id != qint64(pid_t(id)))
        return false;
    return ::kill(pid_t(id), 0) == 0 || errno == EPERM;
}

} // namespace przenosnik::platform
