// Standard output and standard error of przenosnik-cli. The lines meant for
// standard output are written in blocks; on a terminal every line at once, so
// that an interactive user sees a run progress. A message for standard error
// first sends on every line before it, so that both streams into one file
// (2>&1) keep the order in which the lines were written.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace przenosnik {

// The text with every control character (U+0000..U+001F but TAB, U+007F..U+009F)
// replaced by U+FFFD, so that what a file or a name holds can neither drive the
// terminal nor break a line. With keepTabs false a TAB is replaced too.
QString terminalText(const QString& text, bool keepTabs = true);

class ConsoleOutput
{
public:
    // Lines for standard output wait until about this many bytes are due.
    static constexpr qsizetype BlockSize = 64 * 1024;

    ConsoleOutput(std::FILE* out, std::FILE* err);
    // Sends on what is still waiting.
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    // One trace line or message as UTF-8 followed by one line end. The
    // program's own lines hold no line break (the trace gives an empty line a
    // line of its own), so a CR or LF in the text came from the data and is
    // written as U+FFFD like any control character.
    void writeLine(const QString& line);
    // A text the program built of several lines ('\n' between them), each
    // line as writeLine writes one.
    void writeLines(const QString& text);
    // The same on standard error, at once, after every line waiting for
    // standard output.
    void writeError(const QString& line);
    void writeErrorLines(const QString& text);

    // Hands every waiting line to standard output and flushes it.
    void flush();

private:
    std::FILE* m_out;
    std::FILE* m_err;
    bool m_lineByLine;
    QByteArray m_waiting;
};

} // namespace przenosnik
