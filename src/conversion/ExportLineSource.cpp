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
    m_buffer.resize(kept + ChunkSize);
    const qint64 got = m_device.read(m_buffer.data() + kept, ChunkSize);
    if (got < 0) {
        m_buffer.resize(kept);
        m_failed = true;
        return false;
    }
    m_buffer.resize(kept + got);
    if (got == 0)
        m_exhausted = true;
    const qsizetype mark = m_buffer.indexOf(EndOfFileMark, kept);
    if (mark >= 0) {
        // Whatever follows a Ctrl-Z does not belong to the file.
        m_buffer.truncate(mark);
        m_exhausted = true;
    }
    return true;
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
        const char* lineEnd =
            static_cast<const char*>(std::memchr(data + m_position, '\n', size_t(size - m_position)));
        const qsizetype end = lineEnd ? lineEnd - data : size;
        keep(data + m_position, end - m_position);
        line = m_kept;
        if (lineEnd) {
            m_position = end + 1;
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
    if (m_position >= m_buffer.size() && !m_exhausted && !fill())
        return Result::Error;
    if (m_position >= m_buffer.size() && m_exhausted)
        return Result::End;

    qsizetype searched = m_position;
    for (;;) {
        const char* data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        const char* lineEnd =
            static_cast<const char*>(std::memchr(data + searched, '\n', size_t(size - searched)));
        if (lineEnd) {
            const qsizetype end = lineEnd - data;
            lineUpTo(end, line);
            m_position = end + 1;
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
