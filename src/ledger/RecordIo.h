// Interim: the system calls of appending to a shared file, until they move
// beside the other file operations of the program.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace przenosnik::io {

struct OpenFileState
{
    qint64 size = -1;         // -1: the state could not be asked
    bool named = false;       // some name still leads to the file (not deleted meanwhile)
    qint64 modifiedMsecs = 0; // last modification, milliseconds since the epoch (UTC)
};
OpenFileState stateOf(int handle);
bool setAppending(int handle, bool on);
// Through a handle set appending: written at the file's end in one operation.
qint64 appendToEnd(int handle, QByteArrayView bytes);
// Where the last bytes appended through the handle end.
qint64 appendedEnd(int handle);
qint64 readAt(int handle, qint64 position, char* data, qint64 size);
bool writeAt(int handle, qint64 position, QByteArrayView bytes);
bool truncateFile(int handle, qint64 size);

} // namespace przenosnik::io

namespace przenosnik::io {

// -1 when the file exists or cannot be made; existed tells which.
int createNewFile(const QString& path, bool& existed);
void closeHandle(int handle);
enum class Entry
{
    None,
    File,
    Other
};
Entry entryAt(const QString& path);
struct Identity
{
    quint64 volume = 0;
    quint64 index = 0;
    bool valid = false;
    friend bool operator==(const Identity&, const Identity&) = default;
};
Identity identityOfPath(const QString& path);
bool touchFile(const QString& path);
bool removeFile(const QString& path);
QString hostName();
qint64 processId();
bool processIsAlive(qint64 id);

} // namespace przenosnik::io
