#include "FileReplace.h"

#include <random>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

using NativeString = std::basic_string<NativeChar>;
using NativeView = std::basic_string_view<NativeChar>;

// Temporary files are "<file name>.dwsave-" and six of these characters: a
// name no user gives a file of their own, so that removing strays is safe.
constexpr char kMarker[] = ".dwsave-";
constexpr std::size_t kRandomLength = 6;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool isAlphanumeric(NativeChar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

NativeString temporaryPrefix(NativeView fileName)
{
    NativeString prefix;
    prefix.reserve(fileName.size() + sizeof kMarker);
    prefix += fileName;
    for (const char *p = kMarker; *p != '\0'; ++p)
        prefix += NativeChar(*p);
    return prefix;
}

bool isTemporaryName(NativeView name, const NativeString &prefix)
{
    if (name.size() != prefix.size() + kRandomLength || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (!isAlphanumeric(name[i]))
            return false;
    }
    return true;
}

template<typename Random> NativeString randomSuffix(Random &random)
{
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    NativeString suffix;
    for (std::size_t i = 0; i < kRandomLength; ++i)
        suffix += NativeChar(kAlphabet[pick(random)]);
    return suffix;
}

// Where the file name starts: after the folder and its delimiter.
std::size_t nameStart(const NativeString &path)
{
#ifdef _WIN32
    const std::size_t at = path.find_last_of(L"\\/:");
#else
    const std::size_t at = path.rfind('/');
#endif
    return at == NativeString::npos ? 0 : at + 1;
}

#ifdef _WIN32

bool writeAll(HANDLE file, const char *data, std::size_t size)
{
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : DWORD(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool writeInPlace(const wchar_t *path, const char *data, std::size_t size)
{
    const HANDLE file = CreateFileW(
        path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = writeAll(file, data, size) && SetEndOfFile(file) && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

// A temporary that a save is still writing is open without sharing, so it
// cannot be deleted and stays.
void removeStrayTemporaries(const std::wstring &folder, const std::wstring &prefix)
{
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((folder + prefix + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((found.dwFileAttributes & skip) == 0 && isTemporaryName(found.cFileName, prefix))
            DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

} // namespace

bool replaceFileContents(const wchar_t *path, const char *data, std::size_t size)
{
    const std::wstring target = path;
    const DWORD attributes = GetFileAttributesW(path);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;
    const std::size_t split = nameStart(target);
    const std::wstring folder = target.substr(0, split);
    const std::wstring prefix = temporaryPrefix(NativeView(target).substr(split));

    std::mt19937 random(std::random_device {}());
    std::wstring temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
        temp = folder + prefix + randomSuffix(random);
        file = CreateFileW(
            temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    if (file == INVALID_HANDLE_VALUE) {
        const bool folderClosed = error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
        return exists && folderClosed && writeInPlace(path, data, size);
    }
    bool ok = writeAll(file, data, size) && FlushFileBuffers(file);
    CloseHandle(file);
    // ReplaceFileW keeps the old file's attributes and access rights.
    ok = ok
        && (exists ? ReplaceFileW(
                path, temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                   : MoveFileExW(
                       temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    if (!ok) {
        DeleteFileW(temp.c_str());
        return false;
    }
    removeStrayTemporaries(folder, prefix);
    return true;
}

#else

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

bool writeInPlace(const char *path, const char *data, std::size_t size)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok
        = writeAll(fd, data, size) && ::ftruncate(fd, off_t(size)) == 0 && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    return ok && closed;
}

// A save holds a lock on its temporary until the rename, so a save of another
// instance running at the same time never takes it for a stray.
void removeStrayTemporaries(const std::string &folder, const std::string &prefix)
{
    DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (!isTemporaryName(name, prefix))
            continue;
        const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info;
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// The rename itself reaches the disk only with its folder.
void syncFolder(const std::string &folder)
{
    const int fd
        = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool replaceFileContents(const char *path, const char *data, std::size_t size)
{
    std::string target = path;
    struct stat old;
    const bool exists = ::stat(path, &old) == 0;
    if (exists && ::access(path, W_OK) != 0)
        return false; // a read-only file stays as it is
    struct stat link;
    if (exists && ::lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char *resolved = ::realpath(path, nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    const std::size_t split = nameStart(target);
    const std::string folder = target.substr(0, split);
    const std::string prefix = temporaryPrefix(NativeView(target).substr(split));

    // Created with the usual 0666 less the umask; the old file's mode below.
    // A small generator, seeded once per thread: the name only has to be new
    // (O_EXCL checks), and seeding one was a good part of the cost of a
    // small save.
    thread_local std::minstd_rand random(std::random_device {}());
    std::string temp;
    temp.reserve(folder.size() + prefix.size() + kRandomLength);
    int fd = -1;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temp.assign(folder).append(prefix).append(randomSuffix(random));
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        error = fd < 0 ? errno : 0;
    }
    if (fd < 0) {
        const bool folderClosed = error == EACCES || error == EPERM || error == EROFS;
        return exists && folderClosed && writeInPlace(target.c_str(), data, size);
    }
    ::flock(fd, LOCK_EX | LOCK_NB);
    if (exists) {
        // Owner and group only where we may set them (as root); the mode as far
        // as the file system keeps one.
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
        ::fchmod(fd, old.st_mode & 07777);
    }
    const bool ok = writeAll(fd, data, size) && ::fsync(fd) == 0
        && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    ::close(fd);
    if (!ok)
        return false;
    syncFolder(folder);
    removeStrayTemporaries(folder, prefix);
    return true;
}

#endif

} // namespace platform
