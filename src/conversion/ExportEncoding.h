// The character encoding of an export file. The exporter writes Windows-1250;
// a file opened and saved again in an editor may come back as UTF-8. Such a
// file is turned into Windows-1250 bytes as it is read, so that the rest of
// the conversion sees the bytes the exporter would have written.
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace przenosnik {

enum class ExportEncoding
{
    Windows1250,
    Utf8,
};

inline constexpr QByteArrayView Utf8ByteOrderMark = "\xEF\xBB\xBF";

// The encoding told by the first bytes of a file: UTF-8 when they begin with
// its byte-order mark, or when every byte above 127 belongs to a well-formed
// UTF-8 sequence and at least one such sequence is a character Windows-1250
// holds (a Polish letter, say). Text written in Windows-1250 practically never
// passes: its letters stand next to ASCII where UTF-8 needs continuation bytes,
// and the few pairs that do form a sequence (such as "ÓŁ") make characters
// outside Windows-1250. A sequence cut off by the end of `start` counts as
// well-formed when more of the file follows.
ExportEncoding detectExportEncoding(QByteArrayView start, bool moreFollows);

// Turns UTF-8 into Windows-1250 in place, one chunk of the file after another.
// A character Windows-1250 lacks becomes '?'; a byte that is not UTF-8 is kept
// as it stands, read as Windows-1250.
class Utf8ToWindows1250
{
public:
    // Converts data[0, size) and answers the converted length, never more than
    // size. Unless `last` is set, a sequence cut off by the end of the data is
    // left unconverted: *unfinished gets its length, and the caller puts those
    // last bytes of data[0, size) in front of the next chunk.
    qsizetype convert(char* data, qsizetype size, bool last, qsizetype* unfinished);

    qint64 replaced() const { return m_replaced; }

private:
    qint64 m_replaced = 0;
};

} // namespace przenosnik
