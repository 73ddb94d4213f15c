// The lines of an export file as bytes: LF ends a line, CR is never part of
// one, and Ctrl-Z ends the file.
#pragma once

#include <QByteArray>
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

    // The device must be open for reading; it is read in chunks, front to back.
    explicit ExportLineSource(QIODevice& device);

    // The next line without its line end. The last line needs no line end:
    // it is returned normally and the call after it answers End.
    Result readLine(QByteArray& line);

private:
    bool fill();

    static constexpr qint64 ChunkSize = 64 * 1024;

    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_position = 0;
    bool m_exhausted = false; // the device's end or a Ctrl-Z has been met
    bool m_failed = false;
};

} // namespace przenosnik
