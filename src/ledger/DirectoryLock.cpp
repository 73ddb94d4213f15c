#include "ledger/DirectoryLock.h"

#include "platform/NativeFile.h"
#include "platform/Process.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace przenosnik {

namespace {

QString lockPath(const QString& companyDirectory)
{
    return companyDirectory + QLatin1Char('/') + QLatin1String(LockFileName);
}

// What a lock file says of its holder, and how long it has not been touched.
struct Holder
{
    bool readable = false;
    qint64 processId = 0;
    QString host;
    QDateTime since;
    QDateTime modified;
    platform::FileIdentity identity;
};

Holder readHolder(const QString& path)
{
    Holder holder;
    holder.identity = platform::identityOfPath(path);
    const QFileInfo info(path);
    holder.modified = info.lastModified().toUTC();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return holder;
    const QList<QByteArray> lines = file.read(4096).split('\n');
    bool number = false;
    holder.processId = lines.value(0).trimmed().toLongLong(&number);
    holder.host = QString::fromUtf8(lines.value(2).trimmed());
    holder.since = QDateTime::fromString(QString::fromLatin1(lines.value(3).trimmed()), Qt::ISODate);
    if (!holder.since.isValid())
        holder.since = holder.modified;
    holder.readable = number && holder.processId > 0 && lines.size() >= 3;
    return holder;
}

bool isStale(const Holder& holder)
{
    const qint64 age = holder.modified.isValid() ? holder.modified.msecsTo(QDateTime::currentDateTimeUtc())
                                                 : DirectoryLock::StaleAfter.count();
    if (!holder.readable)
        return age >= DirectoryLock::UnreadableStaleAfter.count();
    if (holder.host.compare(platform::hostName(), Qt::CaseInsensitive) == 0 &&
        !platform::processIsAlive(holder.processId))
        return true;
    return age >= DirectoryLock::StaleAfter.count();
}

QString busyText(const QString& companyDirectory, const Holder& holder)
{
    if (!holder.readable)
        return QStringLiteral(
                   "Do katalogu %1 zapisuje właśnie inna konwersja. Spróbuj ponownie, gdy się zakończy.")
            .arg(companyDirectory);
    return QStringLiteral("Do katalogu %1 zapisuje właśnie inna konwersja (komputer %2, proces %3, od %4). "
                          "Spróbuj ponownie, gdy się zakończy.")
        .arg(companyDirectory, holder.host.isEmpty() ? QStringLiteral("?") : holder.host,
             QString::number(holder.processId),
             holder.since.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

QString blockedText(const QString& companyDirectory)
{
    return QStringLiteral("Nie można założyć blokady katalogu %1: nazwę %2 nosi tam katalog lub inny obiekt, "
                          "który nie jest zwykłym plikiem. Usuń go lub zmień mu nazwę i spróbuj ponownie.")
        .arg(companyDirectory, QLatin1String(LockFileName));
}

QByteArray lockContents()
{
    return QByteArray::number(platform::processId()) + '\n' + QCoreApplication::applicationName().toUtf8() +
           '\n' + platform::hostName().toUtf8() + '\n' +
           QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + '\n';
}

} // namespace

// Touches the lock file every few seconds on a thread of its own, so that a
// run busy with one long step still shows that it is alive.
class DirectoryLock::Refresher
{
public:
    Refresher(QString path, std::chrono::milliseconds interval)
        : m_path(std::move(path)), m_interval(interval), m_thread([this] { run(); })
    {
    }
    ~Refresher()
    {
        {
            const std::lock_guard<std::mutex> guard(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> guard(m_mutex);
        while (!m_wake.wait_for(guard, m_interval, [this] { return m_stop; }))
            platform::touchFile(m_path);
    }

    const QString m_path;
    const std::chrono::milliseconds m_interval;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread; // last: started once the rest is ready
};

DirectoryLock::DirectoryLock(const QString& companyDirectory, std::chrono::milliseconds refreshInterval)
{
    if (companyDirectory.isEmpty())
        return;
    m_path = lockPath(companyDirectory);
    // A few rounds: a stale lock removed here may be taken by another run first.
    for (int round = 0; round < 3; ++round) {
        const int handle = platform::openRegularFile(m_path, platform::Access::ReadWrite,
                                                     platform::Links::Refuse, platform::Creation::CreateNew)
                               .handle;
        if (handle >= 0) {
            const QByteArray contents = lockContents();
            platform::writeAt(handle, 0, contents);
            platform::closeHandle(handle);
            m_held = true;
            m_refresher = std::make_unique<Refresher>(m_path, refreshInterval);
            return;
        }
        switch (platform::entryAt(m_path, platform::Links::Refuse)) {
        case platform::EntryKind::None:
            continue; // removed meanwhile, or the directory itself fails
        case platform::EntryKind::Other:
            m_refusal = blockedText(companyDirectory);
            return;
        case platform::EntryKind::File:
            break;
        }
        const Holder holder = readHolder(m_path);
        if (!isStale(holder)) {
            m_refusal = busyText(companyDirectory, holder);
            return;
        }
        // Removed only while it is still the same stale lock.
        const Holder again = readHolder(m_path);
        if (again.identity == holder.identity && again.modified == holder.modified)
            platform::removeFile(m_path);
    }
    // Nothing under the name and none can be made: the directory itself fails.
    if (platform::entryAt(m_path, platform::Links::Refuse) != platform::EntryKind::None)
        m_refusal = busyText(companyDirectory, readHolder(m_path));
}

DirectoryLock::~DirectoryLock()
{
    m_refresher.reset();
    // Not a lock that another run took over meanwhile.
    if (m_held && readHolder(m_path).processId == platform::processId())
        platform::removeFile(m_path);
}

bool directoryLockedByAnother(const QString& companyDirectory)
{
    if (companyDirectory.isEmpty() ||
        !QFileInfo::exists(companyDirectory + QLatin1Char('/') + QLatin1String(LockFileName)))
        return false;
    return DirectoryLock(companyDirectory).busy();
}

QString directoryBusyText(const QString& companyDirectory)
{
    const QString path = lockPath(companyDirectory);
    if (platform::entryAt(path, platform::Links::Refuse) == platform::EntryKind::Other)
        return blockedText(companyDirectory);
    return busyText(companyDirectory, readHolder(path));
}

} // namespace przenosnik
