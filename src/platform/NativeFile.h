// The file operations of the program on the system's own calls: opening only
// regular files (never through a link), positional and appending writes,
// sizes, durability and file identity. POSIX and Win32 implementations live
// side by side (NativeFilePosix.cpp, NativeFileWin32.cpp).
//
// A handle is a C runtime file descriptor on both systems, so that QFile can
// take it (QFile::open(int, ...)) and give it back (QFile::handle()). Writing
// or appending through these calls may move the descriptor's file position:
// whoever reads through QFile afterwards seeks first.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace przenosnik::platform {

// Which file a handle or a path leads to: the device and inode on POSIX, the
// volume serial number and file index on Windows.
struct FileIdentity
{
    quint64 volume = 0;
    quint64 index = 0;
    bool valid = false;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

enum class EntryKind
{
    None,  // nothing has this name
    File,  // a regular file
    Other, // a link (dangling ones too) or a junction when links are refused, a directory, a FIFO, a device
};

enum class Links
{
    Follow, // a link to a regular file counts as that file
    Refuse, // a link or junction is never opened nor looked through
};

enum class Access
{
    Read,
    ReadWrite,
};

enum class Creation
{
    ExistingOnly,    // fails when nothing has the name
    CreateIfMissing, // opens an existing file, else creates it (never over a link)
    CreateNew,       // fails when anything has the name
};

struct OpenedFile
{
    int handle = -1;      // -1 when the file was not opened
    bool created = false; // this call created the file
};

// What stands under the name.
EntryKind entryAt(const QString& path, Links links = Links::Refuse);

// Opens the path only when it is a regular file: a directory, a FIFO, a device
// or (with Links::Refuse) a link is refused, checked on the open handle, and
// nothing that could block is waited for. Other programs may read, write,
// rename and delete the file meanwhile (on Windows: full sharing).
OpenedFile openRegularFile(const QString& path, Access access, Links links, Creation creation);
// Closes a handle that no QFile has taken.
void closeHandle(int handle);

// All the bytes at that position, or false. The file position may move.
bool writeAt(int handle, qint64 position, QByteArrayView bytes);
// Writes the bytes at the file's end in one operation, so that another
// program appending at the same time can neither overwrite nor split them.
// Answers how many bytes were written (-1: none, an error) and sets landedAt
// to the position of the first of them (-1 when it cannot be told: the
// caller then takes the append as failed).
qint64 appendAtEnd(int handle, QByteArrayView bytes, qint64& landedAt);
// A handle set appending writes everything it writes without a position at
// the file's end, in one operation each (O_APPEND; on Windows every such
// write names the end itself). writeAt is used on it only with appending
// switched off for that write.
bool setAppending(int handle, bool appending);
// Through a handle set appending: the bytes at the file's end as it is at that
// moment. Answers how many were written, -1 on an error.
qint64 appendToEnd(int handle, QByteArrayView bytes);
// Just past the last bytes appended through the handle; -1 on an error.
qint64 appendedEnd(int handle);

// What an open file is now: its size, and whether a name still leads to it
// (not deleted meanwhile). Asked in one call.
struct OpenFileState
{
    qint64 size = -1; // -1: could not be asked
    bool named = false;
};
OpenFileState stateOf(int handle);
// The file's last modification, milliseconds since the epoch (UTC); -1 on an error.
qint64 modifiedMsecs(int handle);

// Reads up to size bytes from that position; fewer only at the end of the
// file. -1 on an error.
qint64 readAt(int handle, qint64 position, char* data, qint64 size);
// The file's size asked afresh, -1 on an error.
qint64 fileSize(int handle);
bool truncateFile(int handle, qint64 size);
// Waits until what was written through the handle is on the disk.
bool flushToDisk(int handle);
// Starts writing to the disk what was written through the handle, without
// waiting for it, so that a later flushToDisk has less to wait for (nothing
// where the system has no such call).
void startFlushToDisk(int handle);
// Waits until the directory's list of names is on the disk (nothing to do on
// Windows, where a flushed file's name is kept with it).
bool syncDirectory(const QString& path);

FileIdentity identityOf(int handle);
// The identity of the file the path leads to, following links.
FileIdentity identityOfPath(const QString& path);

// Sets the file's modification time to now.
bool touchFile(const QString& path);
// Renames, replacing a file that has the new name.
bool renameOver(const QString& from, const QString& to);
bool removeFile(const QString& path);

} // namespace przenosnik::platform
