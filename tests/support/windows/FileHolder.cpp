// A Windows test tool doing to a file what another program on the PC would:
//   file_holder share PATH       holds PATH open for reading and writing, sharing
//                                reading, writing and deleting (as the ledger does)
//   file_holder exclusive PATH   holds PATH open without sharing it
//   file_holder junction LINK TARGET   makes the directory LINK a junction to TARGET
// The holding modes print "held" once the file is open and keep it open until
// their standard input closes. Exit code 0 on success, 1 on failure.
#include <windows.h>
#include <winioctl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int hold(const wchar_t* path, DWORD sharing)
{
    const HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    CloseHandle(file);
    return 0;
}

// The reparse data of a mount point (a junction), as winnt.h's
// REPARSE_DATA_BUFFER lays it out.
struct MountPointData
{
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
};

int junction(const wchar_t* link, const wchar_t* target)
{
    wchar_t full[MAX_PATH];
    if (GetFullPathNameW(target, MAX_PATH, full, nullptr) == 0 || !CreateDirectoryW(link, nullptr))
        return 1;
    const std::wstring substitute = std::wstring(L"\\??\\") + full;
    const std::wstring print = full;
    const std::size_t names = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(MountPointData) + names, 0);
    MountPointData header{};
    header.tag = IO_REPARSE_TAG_MOUNT_POINT;
    header.dataLength = WORD(8 + names);
    header.substituteLength = WORD(substitute.size() * sizeof(wchar_t));
    header.printOffset = WORD((substitute.size() + 1) * sizeof(wchar_t));
    header.printLength = WORD(print.size() * sizeof(wchar_t));
    std::memcpy(buffer.data(), &header, sizeof header);
    std::memcpy(buffer.data() + sizeof header, substitute.c_str(), substitute.size() * sizeof(wchar_t));
    std::memcpy(buffer.data() + sizeof header + header.printOffset, print.c_str(),
                print.size() * sizeof(wchar_t));
    const HANDLE dir = CreateFileW(link, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (dir == INVALID_HANDLE_VALUE) {
        RemoveDirectoryW(link);
        return 1;
    }
    DWORD returned = 0;
    const bool made = DeviceIoControl(dir, FSCTL_SET_REPARSE_POINT, buffer.data(), DWORD(buffer.size()),
                                      nullptr, 0, &returned, nullptr);
    CloseHandle(dir);
    if (!made)
        RemoveDirectoryW(link);
    return made ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wcscmp(argv[1], L"share") == 0)
        return hold(argv[2], FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (argc == 3 && std::wcscmp(argv[1], L"exclusive") == 0)
        return hold(argv[2], 0);
    if (argc == 4 && std::wcscmp(argv[1], L"junction") == 0)
        return junction(argv[2], argv[3]);
    std::fputs("usage: file_holder share|exclusive PATH | junction LINK TARGET\n", stderr);
    return 2;
}
