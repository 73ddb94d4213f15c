// Only one run of this program writes into a company directory at a time: a
// conversion, or the undo of one.
#pragma once

#include <QLockFile>
#include <QString>

#include <optional>

namespace przenosnik {

// The lock file held in the company directory while a run writes there.
inline constexpr char LockFileName[] = "PRZENOSN.LCK";

class DirectoryLock
{
public:
    // Takes the lock at once, without waiting. The lock never goes stale by
    // age (a run may take minutes), only when the process holding it is gone.
    explicit DirectoryLock(const QString& companyDirectory);

    // True only when another process holds the lock. A lock that cannot be
    // taken for another reason (a read-only or missing directory) stops
    // nothing: the files of the directory then fail as they would anyway.
    bool busy() const { return m_busy; }

private:
    std::optional<QLockFile> m_lock;
    bool m_busy = false;
};

// Whether another live run holds the directory's lock now. Nothing is created:
// without a lock file the answer is no; a lock left by a run that is gone is
// cleared as the next real run would clear it.
bool directoryLockedByAnother(const QString& companyDirectory);

// What the user is told when another run holds the directory.
QString directoryBusyText(const QString& companyDirectory);

} // namespace przenosnik
