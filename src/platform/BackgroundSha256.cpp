#include "platform/BackgroundSha256.h"

namespace przenosnik {

BackgroundSha256::~BackgroundSha256()
{
    stop();
}

void BackgroundSha256::addData(QByteArrayView bytes)
{
    m_batch.append(bytes);
    if (m_batch.size() >= BatchSize)
        handOver();
}

void BackgroundSha256::handOver()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { work(); });
    std::unique_lock lock(m_mutex);
    // The queue is bounded: a slow thread holds the appends back rather than the memory growing.
    m_changed.wait(lock, [this] { return m_waiting.size() < MaxWaitingBatches; });
    m_waiting.push_back(std::move(m_batch));
    m_batch = QByteArray();
    m_changed.notify_all();
}

void BackgroundSha256::work()
{
    for (;;) {
        QByteArray batch;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_closing || !m_waiting.empty(); });
            if (m_waiting.empty())
                return; // closing, and everything hashed
            batch = std::move(m_waiting.front());
            m_waiting.pop_front();
            m_changed.notify_all();
        }
        m_hash.addData(batch);
    }
}

void BackgroundSha256::stop()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

QByteArray BackgroundSha256::result()
{
    stop();
    m_hash.addData(m_batch);
    m_batch.clear();
    return m_hash.result();
}

} // namespace przenosnik
