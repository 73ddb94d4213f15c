// Interim: the system calls of appending to a shared file, until they move
// beside the other file operations of the program.
#pragma once

#include <QByteArrayView>
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
qint64 appendWrite(int handle, QByteArrayView bytes, qint64& landedAt);
qint64 readAt(int handle, qint64 position, char* data, qint64 size);
bool writeAt(int handle, qint64 position, QByteArrayView bytes);
bool truncateFile(int handle, qint64 size);

} // namespace przenosnik::io
