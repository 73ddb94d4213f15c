#include "platform/NativeFile.h"

#include "platform/WideName.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <string>

namespace przenosnik::platform {

namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE systemHandle(int handle)
{
    return reinterpret_cast<HANDLE>(::_get_osfhandle(handle));
}

FileIdentity identityFrom(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (file == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(file, &info))
        return {};
    return {quint64(info.dwVolumeSerialNumber), (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
            true};
}

// A file on a disk that is neither a directory nor (when links are refused)
// a reparse point: a symbolic link or a junction.
bool isRegular(HANDLE file, Links links)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info))
        return false;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return false;
    return links == Links::Follow || !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Opened only to be looked at: no access to the contents is asked.
HANDLE openToInspect(const QString& path, Links links)
{
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
    if (links == Links::Refuse)
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    return ::CreateFileW(wideName(path).c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                         flags, nullptr);
}

LARGE_INTEGER largeInteger(qint64 value)
{
    LARGE_INTEGER large;
    large.QuadPart = value;
    return large;
}

OVERLAPPED at(quint64 position)
{
    OVERLAPPED overlapped{};
    overlapped.Offset = DWORD(position & 0xFFFFFFFFu);
    overlapped.OffsetHigh = DWORD(position >> 32);
    return overlapped;
}

} // namespace

EntryKind entryAt(const QString& path, Links links)
{
    const DWORD attributes = ::GetFileAttributesW(wideName(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return EntryKind::None;
    if (links == Links::Refuse && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return EntryKind::Other;
    const HANDLE file = openToInspect(path, links);
    if (file == INVALID_HANDLE_VALUE)
        return links == Links::Follow ? EntryKind::None : EntryKind::Other;
    const bool regular = isRegular(file, links);
    ::CloseHandle(file);
    return regular ? EntryKind::File : EntryKind::Other;
}

OpenedFile openRegularFile(const QString& path, Access access, Links links, Creation creation)
{
    OpenedFile opened;
    if (path.isEmpty())
        return opened;
    if (links == Links::Follow && creation == Creation::ExistingOnly &&
        entryAt(path, Links::Follow) != EntryKind::File)
        return opened;
    const std::wstring name = wideName(path);
    const DWORD rights = access == Access::ReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (links == Links::Refuse)
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (creation == Creation::CreateNew) {
        file = ::CreateFileW(name.c_str(), rights, ShareAll, nullptr, CREATE_NEW, flags, nullptr);
        opened.created = file != INVALID_HANDLE_VALUE;
    } else {
        file = ::CreateFileW(name.c_str(), rights, ShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
        const DWORD error = ::GetLastError();
        if (file == INVALID_HANDLE_VALUE && creation == Creation::CreateIfMissing &&
            error == ERROR_FILE_NOT_FOUND) {
            file = ::CreateFileW(name.c_str(), rights, ShareAll, nullptr, CREATE_NEW, flags, nullptr);
            opened.created = file != INVALID_HANDLE_VALUE;
        }
    }
    if (file == INVALID_HANDLE_VALUE)
        return {};
    if (!isRegular(file, links)) {
        ::CloseHandle(file);
        return {};
    }
    opened.handle = ::_open_osfhandle(reinterpret_cast<intptr_t>(file),
                                      access == Access::ReadWrite ? _O_RDWR : _O_RDONLY);
    if (opened.handle < 0) {
        ::CloseHandle(file);
        return {};
    }
    return opened;
}

void closeHandle(int handle)
{
    if (handle >= 0)
        ::_close(handle);
}

bool writeAt(int handle, qint64 position, QByteArrayView bytes)
{
    const HANDLE file = systemHandle(handle);
    qint64 done = 0;
    while (done < bytes.size()) {
        OVERLAPPED overlapped = at(quint64(position + done));
        DWORD written = 0;
        const DWORD chunk = DWORD(qMin<qint64>(bytes.size() - done, 1 << 30));
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, &overlapped) || written == 0)
            return false;
        done += written;
    }
    return true;
}

qint64 appendAtEnd(int handle, QByteArrayView bytes, qint64& landedAt)
{
    // Offset and OffsetHigh of 0xFFFFFFFF: written at the end of the file, which
    // the system finds and extends in one step. The file pointer then stands
    // after the bytes written.
    const HANDLE file = systemHandle(handle);
    OVERLAPPED overlapped{};
    overlapped.Offset = 0xFFFFFFFFu;
    overlapped.OffsetHigh = 0xFFFFFFFFu;
    DWORD written = 0;
    if (bytes.size() > (qint64(1) << 30) ||
        !::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, &overlapped))
        return -1;
    LARGE_INTEGER end{};
    landedAt = ::SetFilePointerEx(file, largeInteger(0), &end, FILE_CURRENT) ? end.QuadPart - written : -1;
    return qint64(written);
}

bool setAppending(int handle, bool appending)
{
    // Nothing to switch: appendToEnd names the end at every write.
    Q_UNUSED(appending);
    return systemHandle(handle) != INVALID_HANDLE_VALUE;
}

qint64 appendToEnd(int handle, QByteArrayView bytes)
{
    qint64 landedAt = -1;
    return appendAtEnd(handle, bytes, landedAt);
}

qint64 appendedEnd(int handle)
{
    // After a write at the end, the file pointer stands just past it.
    LARGE_INTEGER end{};
    return ::SetFilePointerEx(systemHandle(handle), largeInteger(0), &end, FILE_CURRENT) ? end.QuadPart : -1;
}

OpenFileState stateOf(int handle)
{
    FILE_STANDARD_INFO info{};
    if (!::GetFileInformationByHandleEx(systemHandle(handle), FileStandardInfo, &info, sizeof info))
        return {};
    return {info.EndOfFile.QuadPart, info.NumberOfLinks > 0 && !info.DeletePending};
}

qint64 modifiedMsecs(int handle)
{
    FILETIME written{};
    if (!::GetFileTime(systemHandle(handle), nullptr, nullptr, &written))
        return -1;
    // 100-nanosecond intervals since 1601-01-01.
    const qint64 ticks = (qint64(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    return ticks / 10000 - 11644473600000LL;
}

qint64 readAt(int handle, qint64 position, char* data, qint64 size)
{
    const HANDLE file = systemHandle(handle);
    qint64 done = 0;
    while (done < size) {
        OVERLAPPED overlapped = at(quint64(position + done));
        DWORD got = 0;
        const DWORD chunk = DWORD(qMin<qint64>(size - done, 1 << 30));
        if (!::ReadFile(file, data + done, chunk, &got, &overlapped)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

qint64 fileSize(int handle)
{
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(systemHandle(handle), &size) ? size.QuadPart : -1;
}

bool truncateFile(int handle, qint64 size)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile = largeInteger(size);
    return ::SetFileInformationByHandle(systemHandle(handle), FileEndOfFileInfo, &end, sizeof end);
}

bool flushToDisk(int handle)
{
    return ::FlushFileBuffers(systemHandle(handle));
}

void startFlushToDisk(int handle)
{
    // FlushFileBuffers waits; the system writes the cache back by itself.
    Q_UNUSED(handle);
}

bool syncDirectory(const QString& path)
{
    Q_UNUSED(path);
    return true;
}

FileIdentity identityOf(int handle)
{
    return identityFrom(systemHandle(handle));
}

FileIdentity identityOfPath(const QString& path)
{
    const HANDLE file = openToInspect(path, Links::Follow);
    const FileIdentity identity = identityFrom(file);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    return identity;
}

bool touchFile(const QString& path)
{
    const HANDLE file = ::CreateFileW(wideName(path).c_str(), FILE_WRITE_ATTRIBUTES, ShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const bool touched = ::SetFileTime(file, nullptr, nullptr, &now);
    ::CloseHandle(file);
    return touched;
}

bool renameOver(const QString& from, const QString& to)
{
    return ::MoveFileExW(wideName(from).c_str(), wideName(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool removeFile(const QString& path)
{
    return ::DeleteFileW(wideName(path).c_str());
}

} // namespace przenosnik::platform
