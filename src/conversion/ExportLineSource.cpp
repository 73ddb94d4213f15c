#include "conversion/ExportLineSource.h"

namespace przenosnik {

namespace {
constexpr char EndOfFileMark = '\x1A';
}

ExportLineSource::ExportLineSource(QIODevice& device) : m_device(device) {}

bool ExportLineSource::fill()
{
    m_buffer.remove(0, m_position);
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
        qsizetype i = m_position;
        while (i < size && data[i] != '\n') {
            // A CR before the LF belongs to the line end; a lone CR is dropped.
            if (data[i] != '\r')
                line.append(data[i]);
            ++i;
        }
        if (i < size) {
            m_position = i + 1;
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
