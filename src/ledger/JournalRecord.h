// The journal of the real runs into one company directory, PRZENOSN.JRN.
//
// A UTF-8 text file, one record per line, LF line ends, fields separated by
// TAB. Records are only ever appended, each one flushed to the disk before the
// step it announces; the file is never rewritten. The first field names the
// kind of the record, the second the run it belongs to:
//
// | Kind      | Fields after the kind and the run id                          | Written                               |
// |-----------|---------------------------------------------------------------|---------------------------------------|
// | RUN       | export file (absolute path), its size, its SHA-256,           | when a real run starts                |
// |           | then the run's options, one "key=value" field each            |                                       |
// | FILE      | monthly file name, existed (1 or 0), its length, SHA-256 of   | before the run first opens the file   |
// |           | those bytes, tail (hex)                                       |                                       |
// | FILEEND   | monthly file name, its length, SHA-256 of the bytes from the  | when the run ends, one per FILE       |
// |           | file's start offset to that length, entries the run added     |                                       |
// | END       | outcome ("zakończona" or "zatrzymana"), entries written       | when the run ends                     |
// | UNDOFILE  | undo id, monthly file name, its length, SHA-256 of the bytes  | before an undo changes anything, one  |
// |           | from its start offset to that length, removed (1 or 0)        | per file it cuts back or removes      |
// | UNDOBEGIN | undo id, number of its UNDOFILE records                       | after them, before the first change   |
// | UNDO      | undo id, entries removed                                      | after the run's files were cut back   |
//
// Every line ends in a check, "#" and 8 hex digits: the CRC-32 of the check of
// the line before (its last 8 characters; "00000000" for the first line and
// after a line without one) followed by the line's bytes up to its last TAB.
// A changed or cut line fails its own check; a deleted line fails the check of
// the line after it. Lines of an older program have no check.
//
// - Run id: the local date and time the run started, "YYYYMMDD-HHMMSS", with
//   "-2", "-3" ... appended when that id is already in the journal.
// - Start offset: the file's length rounded down to whole 400-byte entries;
//   the run's first entry goes there. Tail: the bytes from the start offset to
//   the length (a partial entry, which that first entry overwrites), so that an
//   undo can put them back; empty when the file held whole entries only.
// - SHA-256: 64 lower-case hex digits. Lengths and counts: decimal.
// - Text fields (paths, names, options) write a backslash as "\\", a TAB as
//   "\t", a line feed as "\n" and a carriage return as "\r".
// - Undo id: the local time the undo was planned, in the form of a run id.
// - A line that cannot be read (torn by a crash, edited by hand) is reported
//   and skipped; the records around it stay valid. A line torn by a crash
//   before the record after it was written is known as such: that record's
//   check follows the line before the torn one.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QDateTime;

namespace przenosnik {

inline const QString JournalFileName = QStringLiteral("PRZENOSN.JRN");
inline const QString BackupDirectoryName = QStringLiteral("PRZENOSN.BAK");

namespace journal {
inline const QString Run = QStringLiteral("RUN");
inline const QString File = QStringLiteral("FILE");
inline const QString FileEnd = QStringLiteral("FILEEND");
inline const QString End = QStringLiteral("END");
inline const QString UndoFile = QStringLiteral("UNDOFILE");
inline const QString UndoBegin = QStringLiteral("UNDOBEGIN");
inline const QString Undo = QStringLiteral("UNDO");

inline const QString Completed = QStringLiteral("zakończona");
inline const QString Stopped = QStringLiteral("zatrzymana");
} // namespace journal

// The journal's path in a company directory.
QString journalPath(const QString& companyDirectory);

// The check that the first line of a journal follows.
inline const QByteArray NoCheck = QByteArrayLiteral("00000000");

// One line of the journal, with its check and line end, following the line
// whose check is `previousCheck`.
QByteArray formatJournalLine(const QStringList& fields, const QByteArray& previousCheck = NoCheck);

// A line of the journal taken apart.
struct JournalLine
{
    QStringList fields;
    QByteArray check;   // its own check (8 hex digits); empty when it has none
    QByteArray content; // the bytes the check is taken over

    // Whether its check is right when it follows the line whose check is `previousCheck`.
    bool checkFollows(const QByteArray& previousCheck) const;
};
// Splits one line, with or without its line end.
JournalLine splitJournalLine(QByteArrayView line);

// Appends one record, its check following the last whole line, and waits
// until it is on the disk. A journal whose last line has no line end (torn by
// a crash) gets one first, so that the new record starts a line of its own;
// the record's check then follows the line before the torn one.
bool appendJournalRecord(const QString& journalPath, const QStringList& fields);

// A run id for the given local time: "20140312-101500".
QString runIdForTime(const QDateTime& time);
// A run id for the given local time that comes after `previous` (none when
// empty): with a counter after the previous one's when the clock has not
// moved past it.
QString runIdAfter(const QString& previous, const QDateTime& time);
// Whether the text has the form of a run id.
bool isRunId(const QString& text);
// Orders run ids by time, then by their counter ("-2" after none, "-10" after "-9").
bool runIdLess(const QString& a, const QString& b);

} // namespace przenosnik
