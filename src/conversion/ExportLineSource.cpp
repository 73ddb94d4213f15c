#include "conversion/ExportLineSource.h"

#include <cstring>

namespace przenosnik {

namespace {
constexpr char EndOfFileMark = '\x1A';
}

ExportLineSource::ExportLineSource(QIODevice& device, qsizetype maxKeptLineLength)
    : m_device(device), m_maxKept(maxKeptLineLength)
{
}

bool ExportLineSource::fill()
{
    m_buffer.remove(0, m_position);
    m_dropped += m_position;
    m_position = 0;
    const qsizetype kept = m_buffer.size();
    // A UTF-8 sequence that the last chunk cut off goes in front of this one.
    const qsizetype carried = m_unfinished.size();
    m_buffer.resize(kept + carried + ChunkSize);
    std::memcpy(m_buffer.data() + kept, m_unfinished.constData(), size_t(carried));
    const qint64 got = m_device.read(m_buffer.data() + kept + carried, ChunkSize);
    if (got < 0) {
        m_buffer.resize(kept);
        m_failed = true;
        return false;
    }
    m_buffer.resize(kept + carried + got);
    if (got == 0)
        m_exhausted = true;
    const qsizetype mark = m_buffer.indexOf(EndOfFileMark, kept + carried);
    if (mark >= 0) {
        // Whatever follows a Ctrl-Z does not belong to the file.
        m_buffer.truncate(mark);
        m_exhausted = true;
    }
    if (!m_examined)
        examineFirstBlock();
    if (m_encoding == ExportEncoding::Utf8) {
        const qsizetype fresh = m_buffer.size() - kept;
        qsizetype unfinished = 0;
        const qsizetype converted = m_utf8.convert(m_buffer.data() + kept, fresh, m_exhausted, &unfinished);
        m_unfinished = QByteArray(m_buffer.constData() + kept + fresh - unfinished, unfinished);
        m_buffer.truncate(kept + converted);
        m_shrunk += fresh - converted - unfinished;
    }
    return true;
}

// The encoding and the line ends, from the file's first block.
void ExportLineSource::examineFirstBlock()
{
    m_examined = true;
    m_encoding = detectExportEncoding(m_buffer, !m_exhausted);
    if (m_encoding == ExportEncoding::Utf8 && m_buffer.startsWith(Utf8ByteOrderMark)) {
        m_buffer.remove(0, Utf8ByteOrderMark.size());
        m_shrunk += Utf8ByteOrderMark.size();
    }
    // The first line end tells: CRs followed by anything but LF (CR CR LF, a
    // CR LF written twice over, is an LF line end).
    const char* data = m_buffer.constData();
    const qsizetype size = m_buffer.size();
    qsizetype end = 0;
    while (end < size && data[end] != '\r' && data[end] != '\n')
        ++end;
    qsizetype after = end;
    while (after < size && data[after] == '\r')
        ++after;
    m_crEnds = after > end && after < size && data[after] != '\n';
}

ExportEncoding ExportLineSource::encoding()
{
    if (!m_examined && !m_failed && !m_exhausted && m_buffer.isEmpty())
        fill();
    return m_encoding;
}

// Where the next line end lies in [from, to), or nullptr.
const char* ExportLineSource::findLineEnd(const char* from, const char* to) const
{
    if (!m_crEnds)
        return static_cast<const char*>(std::memchr(from, '\n', size_t(to - from)));
    for (; from < to; ++from) {
        if (*from == '\n' || *from == '\r')
            return from;
    }
    return nullptr;
}

// Moves past the line end at `end`: with CR line ends, an LF right after a CR belongs to it.
void ExportLineSource::passLineEnd(qsizetype end)
{
    m_position = end + 1;
    if (!m_crEnds || m_buffer.at(end) != '\r')
        return;
    if (m_position == m_buffer.size())
        m_skipLf = true;
    else if (m_buffer.at(m_position) == '\n')
        ++m_position;
}

// The line from the current position up to `end` (its LF or the end of the
// buffer). A CR is never part of a line: before the LF it belongs to the line
// end, and a lone one is dropped. Only the first kept bytes are kept.
ExportLineSource::Result ExportLineSource::lineUpTo(qsizetype end, QByteArrayView& line)
{
    const char* data = m_buffer.constData() + m_position;
    qsizetype length = end - m_position;
    if (length > 0 && data[length - 1] == '\r')
        --length;
    if (length <= 0 || !std::memchr(data, '\r', size_t(length))) {
        line = QByteArrayView(data, qMin(length, m_maxKept));
        return Result::Line;
    }
    m_kept.resize(0);
    keep(data, length);
    line = m_kept;
    return Result::Line;
}

// Adds the bytes but their CRs to the copied line, up to the kept length.
void ExportLineSource::keep(const char* data, qsizetype length)
{
    for (qsizetype i = 0; i < length && m_kept.size() < m_maxKept; ++i) {
        if (data[i] != '\r')
            m_kept.append(data[i]);
    }
}

// A line longer than the buffer holds: its first kept bytes are copied (CRs
// left out) while the rest of it is read past, so that no line fills the memory.
ExportLineSource::Result ExportLineSource::readLongLine(QByteArrayView& line)
{
    m_kept.resize(0);
    for (;;) {
        const char* data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        const char* lineEnd = findLineEnd(data + m_position, data + size);
        const qsizetype end = lineEnd ? lineEnd - data : size;
        keep(data + m_position, end - m_position);
        line = m_kept;
        if (lineEnd) {
            passLineEnd(end);
            return Result::Line;
        }
        m_position = size;
        if (m_exhausted)
            return Result::Line;
        if (!fill())
            return Result::Error;
    }
}

ExportLineSource::Result ExportLineSource::readLine(QByteArrayView& line)
{
    line = QByteArrayView();
    if (m_failed)
        return Result::Error;
    for (;;) {
        if (m_position >= m_buffer.size()) {
            if (m_exhausted)
                return Result::End;
            if (!fill())
                return Result::Error;
        } else if (m_skipLf) {
            m_skipLf = false;
            if (m_buffer.at(m_position) == '\n')
                ++m_position;
        } else {
            break;
        }
    }

    qsizetype searched = m_position;
    for (;;) {
        const char* data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        const char* lineEnd = findLineEnd(data + searched, data + size);
        if (lineEnd) {
            const qsizetype end = lineEnd - data;
            lineUpTo(end, line);
            passLineEnd(end);
            return Result::Line;
        }
        if (m_exhausted) {
            lineUpTo(size, line);
            m_position = size;
            return Result::Line;
        }
        if (size - m_position >= m_maxKept)
            return readLongLine(line);
        const qsizetype scanned = size - m_position;
        if (!fill())
            return Result::Error;
        searched = m_position + scanned; // the line now starts the buffer
    }
}

ExportLineSource::Result ExportLineSource::readLine(QByteArray& line)
{
    QByteArrayView view;
    const Result result = readLine(view);
    line = view.toByteArray();
    return result;
}

} // namespace przenosnik
