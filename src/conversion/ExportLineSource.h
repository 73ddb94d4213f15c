// The lines of an export file as Windows-1250 bytes: LF ends a line, CR is
// never part of one, and Ctrl-Z ends the file. A file whose first line ends in
// a CR alone has CR line ends: there CR, LF and CR LF each end a line. A file
// saved as UTF-8 is turned into Windows-1250 as it is read. Both are told once,
// from the first block of the file.
#pragma once

#include "conversion/ExportEncoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

namespace przenosnik {

class ExportLineSource
{
public:
    enum class Result
    {
        Line,
        End,
        Error
    };

    // Far beyond any line the exporter writes: its document lines are cut to
    // 255 characters anyway, and a header key is still found deep in a line.
    static constexpr qsizetype MaxKeptLineLength = 256 * 1024;

    // The device must be open for reading; it is read in chunks, front to back.
    explicit ExportLineSource(QIODevice& device, qsizetype maxKeptLineLength = MaxKeptLineLength);

    // The next line without its line end. The last line needs no line end:
    // it is returned normally and the call after it answers End. Only the
    // first bytes of a line, up to the kept length, are kept; the rest of it
    // is read past, so that no line fills the memory.
    // The line is a view into the source's buffer, valid until the next call.
    Result readLine(QByteArrayView& line);
    Result readLine(QByteArray& line);

    // The bytes of the file that the lines returned so far took, line ends included.
    qint64 bytesRead() const { return m_dropped + m_position + m_shrunk; }
    qint64 size() const { return m_device.size(); }

    // The encoding of the file; reads its first block when no line was read yet.
    ExportEncoding encoding();
    // Characters of a UTF-8 file that Windows-1250 lacks, read as '?'.
    qint64 replacedCharacters() const { return m_utf8.replaced(); }

private:
    bool fill();
    void examineFirstBlock();
    const char* findLineEnd(const char* from, const char* to) const;
    void passLineEnd(qsizetype end);
    Result lineUpTo(qsizetype end, QByteArrayView& line);
    Result readLongLine(QByteArrayView& line);
    void keep(const char* data, qsizetype length);

    static constexpr qint64 ChunkSize = 64 * 1024;

    QIODevice& m_device;
    qsizetype m_maxKept;
    QByteArray m_buffer;
    qsizetype m_position = 0;
    qint64 m_dropped = 0;     // bytes read and no longer in the buffer
    bool m_exhausted = false; // the device's end or a Ctrl-Z has been met
    bool m_failed = false;
    bool m_examined = false; // the first block was looked at for the encoding and the line ends
    ExportEncoding m_encoding = ExportEncoding::Windows1250;
    bool m_crEnds = false;   // CR alone ends a line
    bool m_skipLf = false;   // the last line ended in a CR at the end of the buffer: an LF next belongs to it
    qint64 m_shrunk = 0;     // bytes of the file that the conversion from UTF-8 took away
    QByteArray m_unfinished; // a UTF-8 sequence that the last chunk cut off
    Utf8ToWindows1250 m_utf8;
    QByteArray m_kept; // a line that had to be copied: it held a CR, or it was too long
};

} // namespace przenosnik
