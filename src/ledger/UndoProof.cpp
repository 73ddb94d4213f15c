#include "ledger/UndoProof.h"

#include "ledger/LedgerEntry.h"
#include "platform/FileDigest.h"
#include "platform/NativeFile.h"

#include <QFile>
#include <QtEndian>

namespace przenosnik {

namespace {

QString bytes(qint64 n)
{
    return QStringLiteral("%1 B").arg(n);
}

// Whether there is anything under the path, a dangling link included.
bool anythingAt(const QString& path)
{
    return platform::entryAt(path, platform::Links::Refuse) != platform::EntryKind::None;
}

qint64 entriesFrom(qint64 from, qint64 to)
{
    return qMax<qint64>(0, (to - from + LedgerEntrySize - 1) / LedgerEntrySize);
}

const QString NotPlain =
    QStringLiteral("nie jest zwykłym plikiem w katalogu firmy (to dowiązanie albo katalog)");

// Opens a file of the run for reading and checks the bytes before the run
// against its record: those before the cut, followed by the tail the run's
// first entry overwrote. `length` is the file's length now.
QString openAndCheckBefore(QFile& file, const JournalFile& record, qint64 cutTo, qint64& length)
{
    if (!isPlainFile(file.fileName()))
        return NotPlain;
    if (!openPlainFile(file, QIODevice::ReadOnly))
        return QStringLiteral("nie daje się odczytać");
    length = file.size();
    if (length < cutTo)
        return QStringLiteral("jest krótszy (%1) niż przed konwersją (%2)")
            .arg(bytes(length), bytes(record.length));
    if (Sha256Hex(file, 0, cutTo, record.tail) != record.sha256)
        return QStringLiteral("ma zmienione wpisy sprzed konwersji");
    return {};
}

} // namespace

bool isPlainFile(const QString& path)
{
    return platform::entryAt(path, platform::Links::Refuse) == platform::EntryKind::File;
}

bool openPlainFile(QFile& file, QIODevice::OpenMode mode)
{
    const platform::OpenedFile opened = platform::openRegularFile(
        file.fileName(),
        mode.testFlag(QIODevice::WriteOnly) ? platform::Access::ReadWrite : platform::Access::Read,
        platform::Links::Refuse, platform::Creation::ExistingOnly);
    if (opened.handle < 0)
        return false;
    if (file.open(opened.handle, mode, QFileDevice::AutoCloseHandle))
        return true;
    platform::closeHandle(opened.handle);
    return false;
}

QString checkRunFile(const JournalFile& record, UndoFile& undo, bool& needsProof, QByteArray* before)
{
    needsProof = false;
    undo.cutTo = record.start();
    undo.tail = record.tail;
    undo.remove = !record.existed && record.tail.isEmpty();
    if (!anythingAt(undo.path)) {
        undo.remove = false;
        undo.unchanged = !record.existed && (!record.ended || record.endLength == 0);
        return undo.unchanged ? QString() : QStringLiteral("nie istnieje");
    }
    QFile file(undo.path);
    if (const QString reason = openAndCheckBefore(file, record, undo.cutTo, undo.length); !reason.isEmpty())
        return reason;
    undo.unchanged =
        undo.length == record.length &&
        (record.tail.isEmpty() || (file.seek(undo.cutTo) && file.read(record.tail.size()) == record.tail));
    if (undo.unchanged) {
        undo.remove = undo.remove && undo.length == 0;
        undo.sha256 = Sha256Hex(file, undo.cutTo, undo.length);
        return {};
    }
    undo.sha256 = Sha256Hex(file, undo.cutTo, undo.length);
    if (undo.sha256.isEmpty())
        return QStringLiteral("nie daje się odczytać");
    undo.entries = int(entriesFrom(undo.cutTo, undo.length));
    // The run ended, wrote down the digest of its entries, and nothing came between or after them.
    if (record.ended && undo.length == record.endLength && undo.sha256 == record.endSha256 &&
        undo.length - undo.cutTo == qint64(record.entries) * LedgerEntrySize)
        return {};
    needsProof = true;
    if (before) {
        if (!file.seek(0))
            return QStringLiteral("nie daje się odczytać");
        *before = file.read(undo.cutTo) + record.tail;
        if (before->size() != record.length)
            return QStringLiteral("nie daje się odczytać");
    }
    return {};
}

QString proveRecords(const UndoFile& undo, const QByteArray& written)
{
    QFile file(undo.path);
    if (!openPlainFile(file, QIODevice::ReadOnly) || !file.seek(undo.cutTo))
        return QStringLiteral("nie daje się odczytać");
    constexpr qint64 RecordsPerRead = 1024;
    qint64 k = 0; // records compared
    for (qint64 at = undo.cutTo; at < undo.length;) {
        const QByteArray chunk = file.read(qMin(undo.length - at, RecordsPerRead * LedgerEntrySize));
        if (chunk.isEmpty())
            return QStringLiteral("nie daje się odczytać");
        for (qsizetype i = 0; i < chunk.size(); i += LedgerEntrySize, ++k, at += LedgerEntrySize) {
            const QByteArrayView record =
                QByteArrayView(chunk).sliced(i, qMin<qsizetype>(LedgerEntrySize, chunk.size() - i));
            const qint64 position = at / LedgerEntrySize + 1;
            // Every byte but EntryNo as the run makes it; EntryNo where the record landed, or
            // where it would have without the entries another program appended meanwhile.
            bool same = (k + 1) * LedgerEntrySize <= written.size();
            if (same && record.size() > 4) {
                const QByteArrayView expected =
                    QByteArrayView(written).sliced(k * LedgerEntrySize, LedgerEntrySize);
                same = record.sliced(4) == expected.sliced(4, record.size() - 4);
                if (same && record.size() == LedgerEntrySize) {
                    const qint32 number = qFromLittleEndian<qint32>(record.data());
                    same = number >= qFromLittleEndian<qint32>(expected.data()) && number <= position;
                }
            }
            if (!same)
                return QStringLiteral("ma na pozycji %1 wpis, którego ta konwersja nie zapisała (dopisał go "
                                      "program KPR albo inny program)")
                    .arg(position);
        }
    }
    return {};
}

QString checkUndoneFile(const JournalFile& record, const JournalUndoFile& begun, UndoFile& undo)
{
    undo.cutTo = record.start();
    undo.tail = record.tail;
    undo.remove = begun.remove;
    undo.length = begun.length;
    undo.sha256 = begun.sha256;
    undo.entries = int(entriesFrom(undo.cutTo, begun.length));
    if (!anythingAt(undo.path)) {
        undo.unchanged = begun.remove || !record.existed;
        undo.remove = false;
        return undo.unchanged ? QString() : QStringLiteral("nie istnieje");
    }
    QFile file(undo.path);
    qint64 length = 0;
    if (const QString reason = openAndCheckBefore(file, record, undo.cutTo, length); !reason.isEmpty())
        return reason;
    if (length == begun.length && Sha256Hex(file, undo.cutTo, length) == begun.sha256)
        return {}; // not cut yet
    const qint64 tailPart = length - undo.cutTo;
    if (tailPart <= undo.tail.size() && file.seek(undo.cutTo) &&
        file.read(tailPart) == undo.tail.left(tailPart)) {
        undo.cut = true;
        return {};
    }
    return QStringLiteral("zmienił się od przerwanego cofania (ma %1)").arg(bytes(length));
}

} // namespace przenosnik
