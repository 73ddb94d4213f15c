#include "conversion/ExportEncoding.h"

#include "encoding/Windows1250.h"

namespace przenosnik {

namespace {

constexpr int Unfinished = 0;
constexpr int Invalid = -1;

// The length of the UTF-8 sequence at p (one of `available` bytes) and its
// character; Unfinished when the bytes run out inside a sequence that is
// well-formed so far, Invalid when it is not UTF-8 (overlong forms, surrogates
// and characters beyond U+10FFFF included).
int decodeSequence(const uchar* p, qsizetype available, char32_t& character)
{
    const uchar lead = p[0];
    if (lead < 0x80) {
        character = lead;
        return 1;
    }
    int length = 0;
    char32_t value = 0;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return Invalid;
    }
    for (int i = 1; i < length; ++i) {
        if (i >= available)
            return Unfinished;
        const uchar next = p[i];
        if (next < low || next > high)
            return Invalid;
        low = 0x80;
        high = 0xBF;
        value = (value << 6) | (next & 0x3F);
    }
    character = value;
    return length;
}

// A printable character of Windows-1250 beyond ASCII (not one of the C1
// controls that stand for its undefined bytes).
bool isWindows1250Letter(char32_t character)
{
    return character >= 0xA0 && windows1250Byte(character) >= 0;
}

} // namespace

ExportEncoding detectExportEncoding(QByteArrayView start, bool moreFollows)
{
    if (start.startsWith(Utf8ByteOrderMark))
        return ExportEncoding::Utf8;
    const auto* bytes = reinterpret_cast<const uchar*>(start.data());
    const qsizetype size = start.size();
    bool letterSeen = false;
    for (qsizetype i = 0; i < size; ++i) {
        if (bytes[i] < 0x80)
            continue;
        char32_t character = 0;
        const int length = decodeSequence(bytes + i, size - i, character);
        if (length == Unfinished && moreFollows)
            break;
        if (length <= 0)
            return ExportEncoding::Windows1250;
        letterSeen = letterSeen || isWindows1250Letter(character);
        i += length - 1;
    }
    return letterSeen ? ExportEncoding::Utf8 : ExportEncoding::Windows1250;
}

qsizetype Utf8ToWindows1250::convert(char* data, qsizetype size, bool last, qsizetype* unfinished)
{
    *unfinished = 0;
    const auto* in = reinterpret_cast<const uchar*>(data);
    qsizetype read = 0;
    qsizetype written = 0;
    while (read < size) {
        if (in[read] < 0x80) {
            data[written++] = data[read++];
            continue;
        }
        char32_t character = 0;
        const int length = decodeSequence(in + read, size - read, character);
        if (length == Unfinished && !last) {
            *unfinished = size - read;
            break;
        }
        if (length <= 0) {
            data[written++] = data[read++];
            continue;
        }
        const int byte = windows1250Byte(character);
        if (byte < 0)
            ++m_replaced;
        data[written++] = byte < 0 ? '?' : static_cast<char>(byte);
        read += length;
    }
    return written;
}

} // namespace przenosnik
