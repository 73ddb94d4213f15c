// A device that gives its bytes, a piece at a time, and then fails every read
// and every write: a disk or network share that breaks in the middle of a file.
#pragma once

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <utility>

namespace przenosnik::test {

class FailDevice : public QIODevice
{
public:
    explicit FailDevice(QByteArray head, qint64 piece = 64) : m_head(std::move(head)), m_piece(piece)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_head.isEmpty())
            return -1;
        const qint64 n = std::min<qint64>({maxSize, m_head.size(), m_piece});
        std::memcpy(data, m_head.constData(), size_t(n));
        m_head.remove(0, n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_head;
    qint64 m_piece;
};

} // namespace przenosnik::test
