// Only one run of this program writes into a company directory at a time: a
// conversion, or the undo of one.
#pragma once

#include <QString>

#include <chrono>
#include <memory>

namespace przenosnik {

// The lock file held in the company directory while a run writes there.
inline constexpr char LockFileName[] = "PRZENOSN.LCK";

// The lock file holds, one per line: the process id, the program's name, the
// computer's name and the time the lock was taken (UTC, ISO 8601). A live run
// touches it every few seconds. A lock is taken over (stale) when
// - its process is gone and it was written on this computer;
// - it has not been touched for a minute, whichever computer wrote it;
// - it cannot be read (empty: its run ended before writing into it) and is
//   older than a few seconds.
class DirectoryLock
{
public:
    static constexpr std::chrono::milliseconds RefreshInterval{5000};
    static constexpr std::chrono::milliseconds StaleAfter{60000};
    static constexpr std::chrono::milliseconds UnreadableStaleAfter{5000};

    // Takes the lock at once, without waiting, and keeps it fresh until
    // destroyed.
    explicit DirectoryLock(const QString& companyDirectory,
                           std::chrono::milliseconds refreshInterval = RefreshInterval);
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    // True when the run must not start: another process holds the lock, or
    // something that is no file stands under the lock's name. A lock that
    // cannot be made for another reason (a read-only or missing directory)
    // stops nothing: the files of the directory then fail as they would anyway.
    bool busy() const { return !m_refusal.isEmpty(); }
    // What the user is told when busy.
    const QString& refusal() const { return m_refusal; }

private:
    class Refresher;

    QString m_path;
    QString m_refusal;
    bool m_held = false;
    std::unique_ptr<Refresher> m_refresher;
};

// Whether another live run holds the directory's lock now. Nothing is created:
// without a lock file the answer is no; a lock left by a run that is gone is
// cleared as the next real run would clear it.
bool directoryLockedByAnother(const QString& companyDirectory);

// What the user is told about the lock now in the company directory.
QString directoryBusyText(const QString& companyDirectory);

} // namespace przenosnik
