// SHA-256 as the run's journal needs it: a whole export file and every byte a
// run adds are hashed, so the digest runs through the processor's SHA
// instructions where it has them, and through Qt's portable code elsewhere.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCryptographicHash>

#include <array>
#include <cstdint>

namespace przenosnik {

class Sha256
{
public:
    Sha256();

    void addData(QByteArrayView bytes);
    // The 32-byte digest of everything added; the object is done with then.
    QByteArray result();

    // Whether this processor's SHA instructions are used.
    static bool accelerated();

private:
    QCryptographicHash m_portable{QCryptographicHash::Sha256};
    std::array<std::uint32_t, 8> m_state{};
    std::array<unsigned char, 64> m_block{};
    std::size_t m_blockFill = 0;
    std::uint64_t m_length = 0; // bytes added
};

} // namespace przenosnik
