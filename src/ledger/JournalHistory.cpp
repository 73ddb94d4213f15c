#include "ledger/JournalHistory.h"

#include "ledger/JournalRecord.h"
#include "ledger/LedgerEntry.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <optional>

namespace przenosnik {

namespace {

std::optional<qint64> number(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < 0 || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return value;
}

bool isDigest(const QString& text)
{
    if (text.size() != 64)
        return false;
    for (const QChar c : text) {
        if (!c.isDigit() && (c < QLatin1Char('a') || c > QLatin1Char('f')))
            return false;
    }
    return true;
}

bool isFlag(const QString& text)
{
    return text == QLatin1String("0") || text == QLatin1String("1");
}

JournalFile* findFile(JournalRun& run, const QString& name)
{
    for (JournalFile& file : run.files) {
        if (file.name == name)
            return &file;
    }
    return nullptr;
}

class RecordTaker
{
public:
    explicit RecordTaker(QList<JournalRun>& runs, bool whole) : m_runs(runs), m_whole(whole) {}

    // Takes one record into the runs; answers false when it cannot be read.
    // Where only the journal's end is read, a record of an earlier run is passed over.
    bool take(const QStringList& f, qint64 offset, bool checked)
    {
        if (f.size() < 2 || !isRunId(f.at(1)))
            return false;
        const QString& kind = f.at(0);
        if (kind == journal::Run)
            return takeRun(f, offset, checked);
        const auto found = m_index.constFind(f.at(1));
        if (found == m_index.cend())
            return !m_whole && kind != journal::Run;
        JournalRun& run = m_runs[found.value()];
        if (!takeOf(run, f))
            return false;
        if (!checked && run.uncheckedOffset < 0)
            run.uncheckedOffset = offset;
        return true;
    }

private:
    bool takeRun(const QStringList& f, qint64 offset, bool checked)
    {
        const auto size = f.size() >= 5 ? number(f.at(3)) : std::nullopt;
        if (!size || !isDigest(f.at(4)) || m_index.contains(f.at(1)))
            return false;
        JournalRun run;
        run.id = f.at(1);
        run.exportFile = f.at(2);
        run.exportSize = *size;
        run.exportSha256 = f.at(4).toLatin1();
        run.options = f.mid(5);
        run.offset = offset;
        if (!checked)
            run.uncheckedOffset = offset;
        m_index.insert(run.id, m_runs.size());
        m_runs.append(run);
        return true;
    }

    static bool takeOf(JournalRun& run, const QStringList& f)
    {
        const QString& kind = f.at(0);
        if (run.undone)
            return false;
        if (kind == journal::File && f.size() == 7) {
            const auto length = number(f.at(4));
            const QByteArray tail = QByteArray::fromHex(f.at(6).toLatin1());
            if (run.ended || findFile(run, f.at(2)) || !isFlag(f.at(3)) || !length || !isDigest(f.at(5)) ||
                tail.toHex() != f.at(6).toLatin1() || tail.size() != *length % LedgerEntrySize)
                return false;
            JournalFile file;
            file.name = f.at(2);
            file.existed = f.at(3) == QLatin1String("1");
            file.length = *length;
            file.sha256 = f.at(5).toLatin1();
            file.tail = tail;
            run.files.append(file);
            return true;
        }
        if (kind == journal::FileEnd && f.size() == 6) {
            JournalFile* file = findFile(run, f.at(2));
            const auto length = number(f.at(3));
            const auto entries = number(f.at(5));
            if (!file || file->ended || run.ended || !length || !isDigest(f.at(4)) || !entries)
                return false;
            file->ended = true;
            file->endLength = *length;
            file->endSha256 = f.at(4).toLatin1();
            file->entries = int(*entries);
            return true;
        }
        if (kind == journal::End && f.size() == 4) {
            const auto entries = number(f.at(3));
            if (run.ended || !entries || (f.at(2) != journal::Completed && f.at(2) != journal::Stopped))
                return false;
            run.ended = true;
            run.endOutcome = f.at(2);
            run.entries = int(*entries);
            return true;
        }
        if (kind == journal::UndoFile && f.size() == 7) {
            const auto length = number(f.at(4));
            if (!isRunId(f.at(2)) || !length || !isDigest(f.at(5)) || !isFlag(f.at(6)) ||
                !findFile(run, f.at(3)) || (run.undoBegun && run.undoId != f.at(2)))
                return false;
            if (run.undoId != f.at(2)) {
                // A later plan: the one before never began.
                run.undoId = f.at(2);
                run.undoFiles.clear();
            } else if (run.undoBegun) {
                return false;
            }
            run.undoFiles.append({f.at(3), *length, f.at(5).toLatin1(), f.at(6) == QLatin1String("1")});
            return true;
        }
        if (kind == journal::UndoBegin && f.size() == 4) {
            const auto count = number(f.at(3));
            if (!isRunId(f.at(2)) || run.undoBegun || !count)
                return false;
            if (f.at(2) != run.undoId) { // nothing to cut back: no UNDOFILE record came first
                run.undoId = f.at(2);
                run.undoFiles.clear();
            }
            if (*count != run.undoFiles.size())
                return false;
            run.undoBegun = true;
            return true;
        }
        if (kind == journal::Undo && f.size() == 4 && isRunId(f.at(2)) && number(f.at(3))) {
            if (run.undoBegun && f.at(2) != run.undoId)
                return false;
            run.undone = true;
            return true;
        }
        return false;
    }

    QList<JournalRun>& m_runs;
    const bool m_whole;
    QHash<QString, qsizetype> m_index;
};

// The kind and run id of a line, without reading the rest of it.
QByteArrayView fieldOf(QByteArrayView line, int index)
{
    for (int i = 0; i < index; ++i) {
        const qsizetype tab = line.indexOf('\t');
        if (tab < 0)
            return {};
        line = line.sliced(tab + 1);
    }
    const qsizetype tab = line.indexOf('\t');
    return tab < 0 ? line : line.first(tab);
}

struct Scope
{
    qint64 readFrom = 0; // two whole lines before the run's RUN record (or the file's start)
    qint64 runOffset = 0;
};

// The start of the line that ends at `end` (its line end included).
qsizetype lineStart(const QByteArray& bytes, qsizetype end, qsizetype first)
{
    return qMax(first, end >= 2 ? bytes.lastIndexOf('\n', end - 2) + 1 : qsizetype(0));
}

// Where the records of the scope begin, and two lines before, whose checks
// the lines after follow. Reads backwards from the end, in chunks growing
// twice each time.
Scope scopeStart(QFile& file, qint64 size, JournalScope scope)
{
    for (qint64 chunk = 64 * 1024;; chunk *= 2) {
        const qint64 from = qMax<qint64>(0, size - chunk);
        if (!file.seek(from))
            return {};
        const QByteArray bytes = file.read(size - from);
        const qsizetype first = from == 0 ? 0 : bytes.indexOf('\n') + 1;
        QSet<QByteArray> undone;
        QSet<QByteArray> wroteFiles;
        for (qsizetype end = bytes.size(); first > 0 || from == 0 ? end > first : false;) {
            const qsizetype start = lineStart(bytes, end, first);
            const QByteArrayView line = QByteArrayView(bytes).sliced(start, end - start);
            const QByteArrayView kind = fieldOf(line, 0);
            const QByteArray id = fieldOf(line, 1).toByteArray();
            end = start;
            if (kind == "UNDO")
                undone.insert(id);
            else if (kind == "FILE")
                wroteFiles.insert(id);
            if (kind != "RUN" ||
                (scope == JournalScope::UndoTarget && (!wroteFiles.contains(id) || undone.contains(id))))
                continue;
            qsizetype context = start;
            int lines = 0;
            for (; lines < 2 && context > first; ++lines)
                context = lineStart(bytes, context, first);
            if (lines < 2 && from > 0)
                break; // the lines before are in the next chunk
            // A torn or damaged RUN line starts no scope: it is read as a line of the run before.
            const qsizetype before = start > first ? lineStart(bytes, start, first) : start;
            const JournalLine previous =
                splitJournalLine(QByteArrayView(bytes).sliced(before, start - before));
            const JournalLine run = splitJournalLine(line);
            const QByteArray followed = previous.check.isEmpty() ? NoCheck : previous.check;
            if (line.endsWith('\n') &&
                (run.check.isEmpty() ? previous.check.isEmpty() : run.checkFollows(followed)))
                return {from + context, from + start};
        }
        if (from == 0)
            return {};
    }
}

} // namespace

QString JournalRun::outcome() const
{
    if (undone)
        return QStringLiteral("cofnięta");
    if (undoBegun)
        return QStringLiteral("cofanie niedokończone");
    return ended ? endOutcome : QStringLiteral("przerwana");
}

JournalContents readJournal(const QString& companyDirectory, JournalScope scope)
{
    JournalContents contents;
    const QString path = journalPath(companyDirectory);
    if (!QFileInfo::exists(path))
        return contents;
    contents.exists = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.readable = false;
        contents.problems.append(QStringLiteral("Nie można odczytać dziennika %1").arg(path));
        return contents;
    }
    const Scope range = scope == JournalScope::Whole ? Scope{} : scopeStart(file, file.size(), scope);
    if (!file.seek(range.readFrom)) {
        contents.readable = false;
        return contents;
    }
    // Records of runs the scope does not hold pass over only at the end of the
    // last run: the undo of an earlier run may come after it.
    RecordTaker taker(contents.runs, range.runOffset == 0 || scope == JournalScope::UndoTarget);
    bool seenCheck = false;                       // lines without a check come only before the first with one
    int lineNumber = range.readFrom == 0 ? 1 : 0; // known only when read from the start
    QByteArray base = NoCheck;                    // the check the next line follows
    QByteArray followedBefore = NoCheck;          // the check the line before followed
    qint64 badOffset = -1;                        // the line before, when it could not be read
    for (qint64 offset = range.readFrom; !file.atEnd(); lineNumber += lineNumber > 0 ? 1 : 0) {
        const QByteArray bytes = file.readLine();
        const qint64 lineOffset = offset;
        offset += bytes.size();
        if (bytes.trimmed().isEmpty())
            continue;
        const JournalLine line = splitJournalLine(bytes);
        const QByteArray followed = base;
        const QByteArray tornBase = followedBefore;
        followedBefore = followed;
        base = line.check.isEmpty() ? NoCheck : line.check;
        const bool missingCheck = line.check.isEmpty() && seenCheck;
        seenCheck = seenCheck || !line.check.isEmpty();
        if (lineOffset < range.runOffset)
            continue; // a line before the scope only lends its check
        bool readable = line.check.isEmpty() ? !missingCheck : line.checkFollows(followed);
        if (!readable && badOffset >= 0 && line.checkFollows(tornBase)) {
            // The line before was torn by a crash, and this record written after it.
            contents.badOffsets.removeOne(badOffset);
            readable = true;
        }
        if (readable && taker.take(line.fields, lineOffset, !line.check.isEmpty())) {
            badOffset = -1;
            continue;
        }
        badOffset = lineOffset;
        contents.problems.append(
            QStringLiteral("Nieczytelny wiersz %1 dziennika %2 - pominięty")
                .arg(lineNumber > 0 ? lineNumber : journalLineNumber(companyDirectory, lineOffset))
                .arg(path));
        // A last line without its end is a record a crash cut short.
        if (bytes.endsWith('\n'))
            contents.badOffsets.append(lineOffset);
    }
    return contents;
}

int journalLineNumber(const QString& companyDirectory, qint64 offset)
{
    QFile file(journalPath(companyDirectory));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int lines = 1;
    for (qint64 done = 0; done < offset;) {
        const QByteArray chunk = file.read(qMin<qint64>(offset - done, 1 << 20));
        if (chunk.isEmpty())
            break;
        lines += int(chunk.count('\n'));
        done += chunk.size();
    }
    return lines;
}

const JournalRun* interruptedLastRun(const JournalContents& journal)
{
    for (auto run = journal.runs.crbegin(); run != journal.runs.crend(); ++run) {
        if (run->undoBegun && !run->undone)
            return &*run;
    }
    if (journal.runs.isEmpty())
        return nullptr;
    const JournalRun& last = journal.runs.last();
    return last.ended || last.undone ? nullptr : &last;
}

} // namespace przenosnik
