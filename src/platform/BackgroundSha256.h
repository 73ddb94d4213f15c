// SHA-256 of bytes handed over in order, worked out on a thread of its own so
// that a run's appends do not wait for the digest of what they add.
#pragma once

#include "platform/Sha256.h"

#include <QByteArray>
#include <QByteArrayView>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace przenosnik {

class BackgroundSha256
{
public:
    BackgroundSha256() = default;
    BackgroundSha256(const BackgroundSha256&) = delete;
    BackgroundSha256& operator=(const BackgroundSha256&) = delete;
    ~BackgroundSha256();

    void addData(QByteArrayView bytes);
    // The 32-byte digest of everything added, once the thread has caught up.
    QByteArray result();

private:
    static constexpr qsizetype BatchSize = 256 * 1024;
    static constexpr std::size_t MaxWaitingBatches = 8;

    void handOver();
    void work();
    void stop();

    Sha256 m_hash; // the thread's while it runs, the caller's after
    QByteArray m_batch;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_waiting;
    bool m_closing = false;
    std::thread m_thread;
};

} // namespace przenosnik
