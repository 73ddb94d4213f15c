#include "platform/Sha256.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PRZENOSNIK_SHA_INSTRUCTIONS 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace przenosnik {

namespace {

constexpr std::array<std::uint32_t, 8> InitialState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

#ifdef PRZENOSNIK_SHA_INSTRUCTIONS

alignas(16) constexpr std::uint32_t RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

bool processorHasShaInstructions()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const bool ssse3 = c & (1u << 9);
    const bool sse41 = c & (1u << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    const bool sha = b & (1u << 29);
    return ssse3 && sse41 && sha;
}

// Whole 64-byte blocks through the SHA extensions. The state is kept as the
// instructions want it: A B E F in one register, C D G H in the other.
__attribute__((target("sha,sse4.1,ssse3"))) void compressBlocks(std::uint32_t* state,
                                                                const unsigned char* data, std::size_t blocks)
{
    const __m128i byteOrder = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        // Four words of the message schedule a register, the last four registers kept.
        __m128i w[4];
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) {
            __m128i& current = w[i % 4];
            if (i < 4) {
                current = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)),
                                           byteOrder);
            } else {
                const __m128i& last = w[(i + 3) % 4];
                const __m128i w7to4 = _mm_alignr_epi8(last, w[(i + 2) % 4], 4);
                current = _mm_add_epi32(_mm_sha256msg1_epu32(current, w[(i + 1) % 4]), w7to4);
                current = _mm_sha256msg2_epu32(current, last);
            }
            __m128i message = _mm_add_epi32(
                current, _mm_load_si128(reinterpret_cast<const __m128i*>(RoundConstants + 4 * i)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
            message = _mm_shuffle_epi32(message, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), hgfe);
}

#else

bool processorHasShaInstructions()
{
    return false;
}

void compressBlocks(std::uint32_t*, const unsigned char*, std::size_t) {}

#endif

} // namespace

bool Sha256::accelerated()
{
    static const bool has = processorHasShaInstructions();
    return has;
}

Sha256::Sha256() : m_state(InitialState) {}

void Sha256::addData(QByteArrayView bytes)
{
    if (!accelerated()) {
        m_portable.addData(bytes);
        return;
    }
    if (bytes.isEmpty())
        return; // an empty view may hold no address at all
    auto data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = std::size_t(bytes.size());
    m_length += size;
    if (m_blockFill > 0) {
        const std::size_t take = std::min(size, m_block.size() - m_blockFill);
        std::memcpy(m_block.data() + m_blockFill, data, take);
        m_blockFill += take;
        data += take;
        size -= take;
        if (m_blockFill < m_block.size())
            return;
        compressBlocks(m_state.data(), m_block.data(), 1);
        m_blockFill = 0;
    }
    compressBlocks(m_state.data(), data, size / 64);
    data += size / 64 * 64;
    size %= 64;
    std::memcpy(m_block.data(), data, size);
    m_blockFill = size;
}

QByteArray Sha256::result()
{
    if (!accelerated())
        return m_portable.result();
    // The padding: a one bit, zeros, and the length in bits, big-endian.
    const std::uint64_t bits = m_length * 8;
    std::array<unsigned char, 72> padding{};
    padding[0] = 0x80;
    const std::size_t zeros = (m_blockFill < 56 ? 56 : 120) - m_blockFill;
    for (int i = 0; i < 8; ++i)
        padding[zeros + std::size_t(i)] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    addData(QByteArrayView(reinterpret_cast<const char*>(padding.data()), qsizetype(zeros + 8)));
    QByteArray digest(32, Qt::Uninitialized);
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<char>(m_state[std::size_t(i)] >> (24 - 8 * j));
    }
    return digest;
}

} // namespace przenosnik
