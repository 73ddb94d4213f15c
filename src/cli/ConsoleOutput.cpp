#include "cli/ConsoleOutput.h"

#include "platform/Console.h"

#include <QStringList>
#include <QtGlobal>

#include <algorithm>

namespace przenosnik {

namespace {

bool isControl(char16_t c, bool keepTabs)
{
    if (c == u'\t')
        return !keepTabs;
    return c <= 0x1F || (c >= 0x7F && c <= 0x9F);
}

// The line as UTF-8 with its control characters shown as U+FFFD, written
// straight into the waiting bytes; only a broken surrogate pair is left to
// Qt's encoder, from that character on.
void appendLine(QByteArray& bytes, const QString& line)
{
    const char16_t* text = reinterpret_cast<const char16_t*>(line.utf16());
    const qsizetype size = line.size();
    const qsizetype start = bytes.size();
    bytes.resize(start + 3 * size + 1);
    char* out = bytes.data() + start;
    qsizetype i = 0;
    for (; i < size; ++i) {
        char32_t c = text[i];
        if (c >= 0x20 && c < 0x7F) { // the common case: printable ASCII
            *out++ = char(c);
            continue;
        }
        if (isControl(char16_t(c), true))
            c = QChar::ReplacementCharacter;
        if (c < 0x80) {
            *out++ = char(c);
        } else if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
        } else if (!QChar::isSurrogate(c)) {
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(text[i + 1])) {
            c = QChar::surrogateToUcs4(char16_t(c), text[++i]);
            *out++ = char(0xF0 | (c >> 18));
            *out++ = char(0x80 | ((c >> 12) & 0x3F));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        } else {
            break;
        }
    }
    bytes.truncate(out - bytes.constData());
    if (i < size)
        bytes += terminalText(line.sliced(i)).toUtf8();
    bytes += '\n';
}

// A stream that cannot take the bytes (a closed pipe, a full disk) loses them;
// the run goes on and nothing waits for it.
void send(std::FILE* stream, const QByteArray& bytes)
{
    // A Windows console shows the letters whatever its code page.
    if (platform::writeToConsole(stream, bytes))
        return;
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

QString terminalText(const QString& text, bool keepTabs)
{
    const auto control = [keepTabs](QChar c) { return isControl(c.unicode(), keepTabs); };
    if (std::none_of(text.cbegin(), text.cend(), control))
        return text;
    QString shown = text;
    std::replace_if(shown.begin(), shown.end(), control, QChar(QChar::ReplacementCharacter));
    return shown;
}

ConsoleOutput::ConsoleOutput(std::FILE* out, std::FILE* err)
    : m_out(out), m_err(err), m_lineByLine(platform::isConsole(out))
{
    m_waiting.reserve(BlockSize + 1024);
}

ConsoleOutput::~ConsoleOutput()
{
    flush();
}

void ConsoleOutput::writeLine(const QString& line)
{
    appendLine(m_waiting, line);
    if (m_lineByLine || m_waiting.size() >= BlockSize)
        flush();
}

void ConsoleOutput::writeLines(const QString& text)
{
    for (const QString& line : text.split(QLatin1Char('\n')))
        writeLine(line);
}

void ConsoleOutput::writeError(const QString& line)
{
    flush();
    QByteArray bytes;
    appendLine(bytes, line);
    send(m_err, bytes);
}

void ConsoleOutput::writeErrorLines(const QString& text)
{
    flush();
    QByteArray bytes;
    for (const QString& line : text.split(QLatin1Char('\n')))
        appendLine(bytes, line);
    send(m_err, bytes);
}

void ConsoleOutput::flush()
{
    if (!m_waiting.isEmpty()) {
        send(m_out, m_waiting);
        m_waiting.resize(0); // keeps its room for the next block
    }
}

} // namespace przenosnik
