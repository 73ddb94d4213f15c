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

ExportLineSource::Result ExportLineSource::readLine(QByteArray& line)
{
    line.clear();
    if (m_failed)
        return Result::Error;
    if (m_position >= m_buffer.size() && !m_exhausted && !fill())
        return Result::Error;
    if (m_position >= m_buffer.size() && m_exhausted)
        return Result::End;

    for (;;) {
        const char* data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        const char* lineEnd =
            static_cast<const char*>(std::memchr(data + m_position, '\n', size_t(size - m_position)));
        const qsizetype end = lineEnd ? lineEnd - data : size;
        // A CR before the LF belongs to the line end; a lone CR is dropped.
        // What lies beyond the kept length is read and passed over.
        for (qsizetype i = m_position; i < end && line.size() < m_maxKept; ++i) {
            if (data[i] != '\r')
                line.append(data[i]);
        }
        if (lineEnd) {
            m_position = end + 1;
            return Result::Line;
        }
        m_position = size;
        if (m_exhausted)
            return Result::Line;
        if (!fill())
            return Result::Error;
        if (m_position >= m_buffer.size() && m_exhausted)
            return Result::Line;
    }
}

} // namespace przenosnik
