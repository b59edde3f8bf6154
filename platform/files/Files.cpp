#include "platform/files/Files.h"

#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/MemoryFiles.h"
#include "platform/files/SystemInfo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// An open file: a host file descriptor with the access it was opened for, or the bytes of a
// memory file with the handle's own position. Share modes are kept only so they can be
// inspected; nothing enforces them.
class FileObject : public KernelObject {
public:
    FileObject(int fd, DWORD access, DWORD shareMode, bool regular, std::string path)
        : m_fd(fd), m_access(access), m_shareMode(shareMode), m_regular(regular), m_path(std::move(path)) {}
    FileObject(MemoryFiles::Bytes bytes, DWORD access, DWORD shareMode, std::string path)
        : m_fd(-1), m_access(access), m_shareMode(shareMode), m_regular(true), m_path(std::move(path)),
          m_bytes(std::move(bytes)) {}
    ~FileObject() override {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileObject(const FileObject&) = delete;
    FileObject& operator=(const FileObject&) = delete;

    int Fd() const { return m_fd; }
    bool CanRead() const { return (m_access & GENERIC_READ) != 0; }
    bool CanWrite() const { return (m_access & GENERIC_WRITE) != 0; }
    bool IsRegular() const { return m_regular; }
    DWORD ShareMode() const { return m_shareMode; }
    const std::string& HostPath() const { return m_path; }
    bool IsMemory() const { return m_bytes != nullptr; }
    const std::vector<unsigned char>& Bytes() const { return *m_bytes; }
    std::int64_t MemoryPosition() const { return m_position; }
    void SetMemoryPosition(std::int64_t position) { m_position = position; }

private:
    int m_fd;
    DWORD m_access;
    DWORD m_shareMode;
    bool m_regular;
    std::string m_path;
    MemoryFiles::Bytes m_bytes;
    std::int64_t m_position = 0;
};

// The result of FindFirstFileW: every matching entry, taken when the search starts.
class FindObject : public KernelObject {
public:
    std::vector<WIN32_FIND_DATAW> entries;
    std::size_t next = 0;
};

constexpr std::size_t kCopyChunk = 64 * 1024;
constexpr int kMaxTreeDepth = 128;

std::string Join(const std::string& dir, const std::string& name) {
    if (!dir.empty() && dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string ParentOf(const std::string& hostPath) {
    const std::size_t slash = hostPath.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return hostPath.substr(0, slash);
}

bool IsDirectory(const std::string& hostPath) {
    struct stat st;
    return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD ErrorFromErrno(int error, const std::string& hostPath) {
    switch (error) {
    case ENOENT:
        return IsDirectory(ParentOf(hostPath)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    default:
        return ERROR_GEN_FAILURE;
    }
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL FailErrno(int error, const std::string& hostPath) {
    return Fail(ErrorFromErrno(error, hostPath));
}

// Names the handheld's file system cannot hold: control characters and <>:"|?* (a wildcard
// passed by mistake must not create a file called "*.pos", nor "COM1:" a file).
bool ValidName(const char16_t* name) {
    for (const char16_t* c = name; *c; ++c) {
        if (*c < 0x20) return false;
        switch (*c) {
        case u'<':
        case u'>':
        case u':':
        case u'"':
        case u'|':
        case u'?':
        case u'*':
            return false;
        default:
            break;
        }
    }
    return true;
}

bool SameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when hostPath is a folder directly under the device root.
bool IsFirstLevel(const std::string& hostPath) {
    const std::string& root = DeviceRoot::Root();
    if (hostPath.size() <= root.size() + 1 || hostPath.compare(0, root.size(), root) != 0) return false;
    const std::size_t nameStart = root == "/" ? 1 : root.size() + 1;
    if (root != "/" && hostPath[root.size()] != '/') return false;
    return hostPath.find('/', nameStart) == std::string::npos;
}

std::string BaseName(const std::string& hostPath) {
    const std::size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

DWORD AttributesOf(const struct stat& st, bool cardFolder) {
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY | (cardFolder ? FILE_ATTRIBUTE_TEMPORARY : 0);
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

FILETIME FileTimeOf(const struct timespec& t) {
    // 100 ns intervals since 1601-01-01 UTC.
    constexpr std::int64_t kEpochDifference = 11644473600LL;
    const std::int64_t ticks =
        (static_cast<std::int64_t>(t.tv_sec) + kEpochDifference) * 10000000LL + t.tv_nsec / 100;
    const std::uint64_t value = ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks);
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return ft;
}

bool Match(std::u16string_view pattern, std::u16string_view name) {
    // Greedy match with backtracking to the last '*': linear in practice, never exponential.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || DeviceRoot::FoldCase(pattern[p]) ==
                                                                    DeviceRoot::FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

// Renames from over nothing: fails with EEXIST when to exists. Returns 0 or an errno value.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    // File systems without the flag: check, then rename.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int WriteAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Copies the regular file src to dst through a new file beside dst that is renamed into place
// when complete, so a failed copy never leaves a half-written target. With replace an existing
// dst is replaced; without it an existing dst makes the copy fail (EEXIST). Returns 0 or errno;
// failedPath names the path the error belongs to.
int CopyRegularFile(const std::string& src, const std::string& dst, bool replace, std::string& failedPath) {
    failedPath = src;
    const int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    struct stat st;
    if (::fstat(in, &st) != 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(in);
        return EACCES;
    }
    std::string temp = Join(ParentOf(dst), ".velko-copy-XXXXXX");
    failedPath = dst;
    const int out = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    std::vector<char> buffer(kCopyChunk);
    int error = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        if (n == 0) break;
        error = WriteAll(out, buffer.data(), static_cast<std::size_t>(n));
        if (error) break;
    }
    ::close(in);
    if (!error && ::fchmod(out, st.st_mode & 07777) != 0) error = errno;
    if (!error) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
        if (::fsync(out) != 0 && errno != EINVAL) error = errno;
    }
    if (::close(out) != 0 && !error) error = errno;
    if (!error)
        error = replace ? (::rename(temp.c_str(), dst.c_str()) == 0 ? 0 : errno) : RenameNoReplace(temp, dst);
    if (error) ::unlink(temp.c_str());
    return error;
}

int CopySymlink(const std::string& src, const std::string& dst) {
    std::vector<char> target(4096);
    const ssize_t n = ::readlink(src.c_str(), target.data(), target.size() - 1);
    if (n < 0) return errno;
    target[static_cast<std::size_t>(n)] = '\0';
    return ::symlink(target.data(), dst.c_str()) == 0 ? 0 : errno;
}

std::vector<std::string> ListNames(const std::string& dir, int& error) {
    std::vector<std::string> names;
    error = 0;
    DIR* d = ::opendir(dir.c_str());
    if (!d) {
        error = errno;
        return names;
    }
    while (dirent* entry = ::readdir(d)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    return names;
}

int RemoveTree(const std::string& path, int depth = 0) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0 ? 0 : errno;
    if (depth > kMaxTreeDepth) return ELOOP;
    int error = 0;
    for (const std::string& name : ListNames(path, error)) {
        const int e = RemoveTree(Join(path, name), depth + 1);
        if (e && !error) error = e;
    }
    if (error) return error;
    return ::rmdir(path.c_str()) == 0 ? 0 : errno;
}

// Copies the folder src to the new folder dst with everything in it (links are copied as links).
int CopyTree(const std::string& src, const std::string& dst, std::string& failedPath, int depth = 0) {
    if (depth > kMaxTreeDepth) return ELOOP;
    struct stat st;
    failedPath = src;
    if (::lstat(src.c_str(), &st) != 0) return errno;
    failedPath = dst;
    if (::mkdir(dst.c_str(), 0700) != 0) return errno;
    int error = 0;
    const std::vector<std::string> names = ListNames(src, error);
    if (error) {
        failedPath = src;
        return error;
    }
    for (const std::string& name : names) {
        const std::string from = Join(src, name);
        const std::string to = Join(dst, name);
        struct stat child;
        failedPath = from;
        if (::lstat(from.c_str(), &child) != 0) return errno;
        if (S_ISDIR(child.st_mode))
            error = CopyTree(from, to, failedPath, depth + 1);
        else if (S_ISREG(child.st_mode))
            error = CopyRegularFile(from, to, false, failedPath);
        else if (S_ISLNK(child.st_mode)) {
            failedPath = to;
            error = CopySymlink(from, to);
        } else
            error = EACCES; // devices, pipes and sockets are not moved between file systems
        if (error) return error;
    }
    failedPath = dst;
    return ::chmod(dst.c_str(), st.st_mode & 07777) == 0 ? 0 : errno;
}

// The move of src to dst when they are on different file systems: copy, then delete.
BOOL MoveAcrossFileSystems(const std::string& src, const std::string& dst, const struct stat& srcStat,
                           bool replace) {
    std::string failedPath;
    int error = 0;
    if (S_ISREG(srcStat.st_mode)) {
        error = CopyRegularFile(src, dst, replace, failedPath);
    } else if (S_ISLNK(srcStat.st_mode)) {
        failedPath = dst;
        error = CopySymlink(src, dst);
    } else if (S_ISDIR(srcStat.st_mode)) {
        error = CopyTree(src, dst, failedPath);
        if (error) RemoveTree(dst); // the source stays whole
    } else {
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (error) {
        if (error == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
        return FailErrno(error, failedPath);
    }
    error = RemoveTree(src);
    if (error) return FailErrno(error, src);
    return TRUE;
}

BOOL MoveImpl(const char16_t* existing, const char16_t* target, bool replace) {
    if (!existing || !target || !*existing || !*target) return Fail(ERROR_INVALID_PARAMETER);
    if (!ValidName(existing) || !ValidName(target)) return Fail(ERROR_INVALID_NAME);
    if (FilesTakeInjectedFailure()) return Fail(ERROR_WRITE_FAULT);
    const std::string src = DeviceRoot::Resolve(existing);
    std::string dst = DeviceRoot::Resolve(target);
    const std::string& root = DeviceRoot::Root();
    struct stat srcStat;
    if (::lstat(src.c_str(), &srcStat) != 0) return FailErrno(errno, src);
    if (src == root) return Fail(ERROR_ACCESS_DENIED);

    struct stat dstStat;
    bool dstExists = ::lstat(dst.c_str(), &dstStat) == 0;
    if (dstExists && SameEntry(srcStat, dstStat)) {
        // The target names the source itself, perhaps in another case: only the case changes.
        std::u16string given(target);
        const std::size_t sep = given.find_last_of(u"\\/");
        if (sep != std::u16string::npos) given = given.substr(sep + 1);
        const std::string renamed = Join(ParentOf(dst), Utf16ToUtf8(given));
        if (given.empty() || renamed == src) return TRUE;
        dst = renamed;
        dstExists = ::lstat(dst.c_str(), &dstStat) == 0;
        if (dstExists) return Fail(ERROR_ALREADY_EXISTS);
    }
    if (S_ISDIR(srcStat.st_mode) && (dst == src || dst.compare(0, src.size() + 1, src + "/") == 0))
        return Fail(ERROR_ACCESS_DENIED); // a folder cannot move into itself
    if (dstExists) {
        if (!replace) return Fail(ERROR_ALREADY_EXISTS);
        if (S_ISDIR(dstStat.st_mode) || S_ISDIR(srcStat.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    }
    const int error =
        replace ? (::rename(src.c_str(), dst.c_str()) == 0 ? 0 : errno) : RenameNoReplace(src, dst);
    if (error == 0) return TRUE;
    if (error == EXDEV) return MoveAcrossFileSystems(src, dst, srcStat, replace);
    if (error == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    return FailErrno(error, dst);
}

} // namespace

namespace {
std::mutex g_failMutex;
int g_failAfter = 0; // changes still let through before the failures
int g_failNext = 0;  // changes that fail after those
} // namespace

void FilesFailNextOperations(int n, int after) {
    const std::lock_guard<std::mutex> lock(g_failMutex);
    g_failNext = n > 0 ? n : 0;
    g_failAfter = g_failNext > 0 && after > 0 ? after : 0;
}

bool FilesTakeInjectedFailure() {
    const std::lock_guard<std::mutex> lock(g_failMutex);
    if (g_failNext == 0) return false;
    if (g_failAfter > 0) {
        --g_failAfter;
        return false;
    }
    --g_failNext;
    return true;
}

HANDLE CreateFileW(const char16_t* name, DWORD access, DWORD shareMode, void* /*security*/, DWORD creation,
                   DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (!*name) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (!ValidName(name)) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    const bool wantRead = (access & GENERIC_READ) != 0;
    const bool wantWrite = (access & GENERIC_WRITE) != 0;
    if (creation == TRUNCATE_EXISTING && !wantWrite) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if ((wantWrite || creation != OPEN_EXISTING) && FilesTakeInjectedFailure()) {
        SetLastError(ERROR_WRITE_FAULT);
        return INVALID_HANDLE_VALUE;
    }
    // A file registered in memory answers an open for reading in place of the disk.
    if (creation == OPEN_EXISTING && !wantWrite) {
        if (MemoryFiles::Bytes bytes = MemoryFiles::Find(name)) {
            SetLastError(ERROR_SUCCESS);
            return ToHandle(new FileObject(std::move(bytes), access, shareMode, "memory"));
        }
    }
    // Without data access the file is opened read-only; ReadFile and WriteFile refuse it.
    // O_NONBLOCK keeps a pipe from stalling the open; it is cleared again for regular files.
    const int mode = (wantWrite ? (wantRead ? O_RDWR : O_WRONLY) : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    const std::string path = DeviceRoot::Resolve(name);

    int fd = -1;
    bool existed = false;
    switch (creation) {
    case CREATE_NEW:
        fd = ::open(path.c_str(), mode | O_CREAT | O_EXCL, 0666);
        break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
        // Create first so we know whether the file was there; retry if it vanishes between calls.
        for (int attempt = 0; attempt < 4 && fd < 0; ++attempt) {
            fd = ::open(path.c_str(), mode | O_CREAT | O_EXCL, 0666);
            if (fd >= 0 || errno != EEXIST) break;
            fd = ::open(path.c_str(), mode | (creation == CREATE_ALWAYS ? O_TRUNC : 0));
            if (fd >= 0)
                existed = true;
            else if (errno != ENOENT)
                break;
        }
        break;
    case OPEN_EXISTING:
        fd = ::open(path.c_str(), mode);
        break;
    case TRUNCATE_EXISTING:
        fd = ::open(path.c_str(), mode | O_TRUNC);
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (fd < 0) {
        FailErrno(errno, path);
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || !(S_ISREG(st.st_mode) || S_ISCHR(st.st_mode))) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    const bool regular = S_ISREG(st.st_mode);
    if (regular) {
        const int fl = ::fcntl(fd, F_GETFL);
        if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    }
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return ToHandle(new FileObject(fd, access, shareMode, regular, path));
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* /*overlapped*/) {
    if (read) *read = 0;
    FileObject* f = HandleAs<FileObject>(file);
    if (!f) return Fail(ERROR_INVALID_HANDLE);
    if (!f->CanRead()) return Fail(ERROR_ACCESS_DENIED);
    if (!buffer && toRead > 0) return Fail(ERROR_INVALID_PARAMETER);
    if (f->IsMemory()) {
        const std::vector<unsigned char>& bytes = f->Bytes();
        const std::int64_t at = f->MemoryPosition();
        const std::int64_t left =
            at < static_cast<std::int64_t>(bytes.size()) ? static_cast<std::int64_t>(bytes.size()) - at : 0;
        const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(toRead, left));
        if (n) std::memcpy(buffer, bytes.data() + at, n);
        f->SetMemoryPosition(at + static_cast<std::int64_t>(n));
        if (read) *read = static_cast<DWORD>(n);
        return TRUE;
    }
    std::size_t done = 0;
    while (done < toRead) {
        const ssize_t n = ::read(f->Fd(), static_cast<char*>(buffer) + done, toRead - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN) break; // a device with nothing to give now
            const int error = errno;
            if (read) *read = static_cast<DWORD>(done);
            return FailErrno(error, std::string());
        }
        if (n == 0) break; // end of file: success with what was read
        done += static_cast<std::size_t>(n);
        if (!f->IsRegular()) break;
    }
    if (read) *read = static_cast<DWORD>(done);
    return TRUE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* /*overlapped*/) {
    if (written) *written = 0;
    FileObject* f = HandleAs<FileObject>(file);
    if (!f) return Fail(ERROR_INVALID_HANDLE);
    if (!f->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
    if (!buffer && toWrite > 0) return Fail(ERROR_INVALID_PARAMETER);
    if (FilesTakeInjectedFailure()) return Fail(ERROR_WRITE_FAULT);
    std::size_t done = 0;
    while (done < toWrite) {
        const ssize_t n = ::write(f->Fd(), static_cast<const char*>(buffer) + done, toWrite - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN && !f->IsRegular()) break;
            const int error = errno;
            if (written) *written = static_cast<DWORD>(done);
            return FailErrno(error, std::string());
        }
        if (n == 0) {
            if (written) *written = static_cast<DWORD>(done);
            return Fail(ERROR_DISK_FULL);
        }
        done += static_cast<std::size_t>(n);
    }
    if (written) *written = static_cast<DWORD>(done);
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
    FileObject* f = HandleAs<FileObject>(file);
    if (!f) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    // Without the high part the distance is a signed 32-bit value.
    const std::int64_t move =
        distanceHigh ? static_cast<std::int64_t>(
                           (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
                           static_cast<std::uint32_t>(distance))
                     : static_cast<std::int64_t>(distance);
    std::int64_t base = 0;
    if (f->IsMemory() && method == FILE_CURRENT) {
        base = f->MemoryPosition();
    } else if (f->IsMemory() && method == FILE_END) {
        base = static_cast<std::int64_t>(f->Bytes().size());
    } else if (method == FILE_CURRENT) {
        const off_t current = ::lseek(f->Fd(), 0, SEEK_CUR);
        if (current < 0) {
            SetLastError(ErrorFromErrno(errno, std::string()));
            return INVALID_SET_FILE_POINTER;
        }
        base = current;
    } else if (method == FILE_END) {
        struct stat st;
        if (::fstat(f->Fd(), &st) != 0) {
            SetLastError(ErrorFromErrno(errno, std::string()));
            return INVALID_SET_FILE_POINTER;
        }
        base = st.st_size;
    } else if (method != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    std::int64_t target = 0;
    if (__builtin_add_overflow(base, move, &target)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (!distanceHigh && target > 0xFFFFFFFFLL) {
        // The new position would not fit in the 32 bits the caller can see.
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (f->IsMemory()) {
        f->SetMemoryPosition(target);
    } else if (::lseek(f->Fd(), static_cast<off_t>(target), SEEK_SET) < 0) {
        SetLastError(ErrorFromErrno(errno, std::string()));
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(target) >> 32);
    SetLastError(ERROR_SUCCESS); // a low part of 0xFFFFFFFF is then told apart from a failure
    return static_cast<DWORD>(static_cast<std::uint64_t>(target) & 0xFFFFFFFFu);
}

DWORD GetFileSize(HANDLE file, DWORD* sizeHigh) {
    FileObject* f = HandleAs<FileObject>(file);
    if (!f) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    std::uint64_t size = 0;
    if (f->IsMemory()) {
        size = f->Bytes().size();
    } else {
        struct stat st;
        if (::fstat(f->Fd(), &st) != 0) {
            SetLastError(ErrorFromErrno(errno, std::string()));
            return INVALID_FILE_SIZE;
        }
        size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    }
    if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL SetEndOfFile(HANDLE file) {
    FileObject* f = HandleAs<FileObject>(file);
    if (!f) return Fail(ERROR_INVALID_HANDLE);
    if (!f->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
    const off_t position = ::lseek(f->Fd(), 0, SEEK_CUR);
    if (position < 0 || ::ftruncate(f->Fd(), position) != 0) return FailErrno(errno, std::string());
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
    FileObject* f = HandleAs<FileObject>(file);
    if (!f) return Fail(ERROR_INVALID_HANDLE);
    if (!f->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
    if (::fsync(f->Fd()) != 0 && errno != EINVAL) return FailErrno(errno, std::string());
    return TRUE;
}

BOOL DeleteFileW(const char16_t* name) {
    if (!name) return Fail(ERROR_INVALID_PARAMETER);
    if (!*name) return Fail(ERROR_PATH_NOT_FOUND);
    if (!ValidName(name)) return Fail(ERROR_INVALID_NAME);
    if (FilesTakeInjectedFailure()) return Fail(ERROR_WRITE_FAULT);
    const std::string path = DeviceRoot::Resolve(name);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return FailErrno(errno, path);
    if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (::unlink(path.c_str()) != 0) return FailErrno(errno, path);
    return TRUE;
}

DWORD GetFileAttributesW(const char16_t* name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (!ValidName(name)) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_FILE_ATTRIBUTES;
    }
    const std::string path = DeviceRoot::Resolve(name);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0) {
        SetLastError(ErrorFromErrno(errno, path));
        return INVALID_FILE_ATTRIBUTES;
    }
    const bool card = S_ISDIR(st.st_mode) && IsFirstLevel(path) && DeviceRoot::IsCardFolder(BaseName(path));
    return AttributesOf(st, card);
}

bool MatchesWildcard(const char16_t* pattern, const char16_t* name) {
    if (!pattern || !name) return false;
    const std::u16string_view p(pattern), n(name);
    if (Match(p, n)) return true;
    // "name.*" also matches "name" without an extension, so "*.*" matches every name.
    return p.size() >= 2 && p.substr(p.size() - 2) == u".*" && Match(p.substr(0, p.size() - 2), n);
}

HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data) {
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string full(pattern);
    const std::size_t sep = full.find_last_of(u"\\/");
    const std::u16string folder = sep == std::u16string::npos ? std::u16string() : full.substr(0, sep + 1);
    const std::u16string spec = sep == std::u16string::npos ? full : full.substr(sep + 1);
    if (spec.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const std::string dir = DeviceRoot::Resolve(folder);
    const bool atRoot = dir == DeviceRoot::Root();
    int error = 0;
    const std::vector<std::string> names = ListNames(dir, error);
    if (error) {
        SetLastError(error == ENOENT || error == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(error, dir));
        return INVALID_HANDLE_VALUE;
    }

    struct Found {
        std::u16string folded;
        WIN32_FIND_DATAW data;
    };
    std::vector<Found> found;
    for (const std::string& name : names) {
        const std::u16string wide = Utf8ToUtf16(name);
        if (wide.empty() || wide.size() >= MAX_PATH) continue; // cannot be reported in cFileName
        if (!MatchesWildcard(spec.c_str(), wide.c_str())) continue;
        const std::string host = Join(dir, name);
        struct stat st;
        if (::stat(host.c_str(), &st) != 0 && ::lstat(host.c_str(), &st) != 0) continue; // vanished
        Found entry;
        entry.data.dwFileAttributes =
            AttributesOf(st, atRoot && S_ISDIR(st.st_mode) && DeviceRoot::IsCardFolder(name));
        entry.data.ftCreationTime = FileTimeOf(st.st_mtim);
        entry.data.ftLastAccessTime = FileTimeOf(st.st_atim);
        entry.data.ftLastWriteTime = FileTimeOf(st.st_mtim);
        if (!S_ISDIR(st.st_mode)) {
            const std::uint64_t size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
            entry.data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
            entry.data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
        }
        std::copy(wide.begin(), wide.end(), entry.data.cFileName);
        entry.data.cFileName[wide.size()] = u'\0';
        entry.folded = wide;
        for (char16_t& c : entry.folded) c = DeviceRoot::FoldCase(c);
        found.push_back(std::move(entry));
    }
    if (found.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.folded != b.folded) return a.folded < b.folded;
        return std::u16string_view(a.data.cFileName) < std::u16string_view(b.data.cFileName);
    });
    auto* find = new FindObject;
    find->entries.reserve(found.size());
    for (Found& entry : found) find->entries.push_back(entry.data);
    *data = find->entries[0];
    find->next = 1;
    SetLastError(ERROR_SUCCESS);
    return ToHandle(find);
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data) {
    FindObject* f = HandleAs<FindObject>(find);
    if (!f) return Fail(ERROR_INVALID_HANDLE);
    if (!data) return Fail(ERROR_INVALID_PARAMETER);
    if (f->next >= f->entries.size()) return Fail(ERROR_NO_MORE_FILES);
    *data = f->entries[f->next++];
    return TRUE;
}

BOOL FindClose(HANDLE find) {
    FindObject* f = HandleAs<FindObject>(find);
    if (!f) return Fail(ERROR_INVALID_HANDLE);
    delete f;
    return TRUE;
}

BOOL CreateDirectoryW(const char16_t* path, void* /*security*/) {
    if (!path) return Fail(ERROR_INVALID_PARAMETER);
    if (!ValidName(path)) return Fail(ERROR_INVALID_NAME);
    if (FilesTakeInjectedFailure()) return Fail(ERROR_WRITE_FAULT);
    const std::string host = DeviceRoot::Resolve(path);
    if (host == DeviceRoot::Root()) return Fail(ERROR_ALREADY_EXISTS);
    if (::mkdir(host.c_str(), 0777) != 0) {
        if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
        return FailErrno(errno, host);
    }
    return TRUE;
}

BOOL RemoveDirectoryW(const char16_t* path) {
    if (!path) return Fail(ERROR_INVALID_PARAMETER);
    if (!ValidName(path)) return Fail(ERROR_INVALID_NAME);
    if (FilesTakeInjectedFailure()) return Fail(ERROR_WRITE_FAULT);
    const std::string host = DeviceRoot::Resolve(path);
    if (host == DeviceRoot::Root()) return Fail(ERROR_ACCESS_DENIED);
    struct stat st;
    if (::lstat(host.c_str(), &st) != 0) return FailErrno(errno, host);
    if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
    if (::rmdir(host.c_str()) != 0) {
        if (errno == ENOTEMPTY || errno == EEXIST) return Fail(ERROR_DIR_NOT_EMPTY);
        return FailErrno(errno, host);
    }
    return TRUE;
}

BOOL CopyFileW(const char16_t* existing, const char16_t* target, BOOL failIfExists) {
    if (!existing || !target || !*existing || !*target) return Fail(ERROR_INVALID_PARAMETER);
    if (!ValidName(existing) || !ValidName(target)) return Fail(ERROR_INVALID_NAME);
    if (FilesTakeInjectedFailure()) return Fail(ERROR_WRITE_FAULT);
    const std::string src = DeviceRoot::Resolve(existing);
    const std::string dst = DeviceRoot::Resolve(target);
    struct stat srcStat;
    if (::stat(src.c_str(), &srcStat) != 0) return FailErrno(errno, src);
    if (!S_ISREG(srcStat.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    struct stat dstStat;
    if (::stat(dst.c_str(), &dstStat) == 0) {
        // Copying a file onto itself would empty it; refuse as Windows does.
        if (SameEntry(srcStat, dstStat)) return Fail(ERROR_SHARING_VIOLATION);
        if (failIfExists) return Fail(ERROR_FILE_EXISTS);
        if (S_ISDIR(dstStat.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    }
    std::string failedPath;
    const int error = CopyRegularFile(src, dst, !failIfExists, failedPath);
    if (error == EEXIST) return Fail(ERROR_FILE_EXISTS);
    if (error) return FailErrno(error, failedPath);
    return TRUE;
}

BOOL MoveFileW(const char16_t* existing, const char16_t* target) {
    return MoveImpl(existing, target, false);
}

BOOL MoveFileExW(const char16_t* existing, const char16_t* target, DWORD flags) {
    return MoveImpl(existing, target, (flags & MOVEFILE_REPLACE_EXISTING) != 0);
}

// True when a CE path lies on one of the storage cards (its first component names one).
static bool OnStorageCard(const char16_t* cePath) {
    std::u16string_view p(cePath);
    while (!p.empty() && (p.front() == u'\\' || p.front() == u'/')) p.remove_prefix(1);
    const std::size_t end = p.find_first_of(u"\\/");
    const std::u16string first(p.substr(0, end));
    return !first.empty() && DeviceRoot::IsCardFolder(Utf16ToUtf8(first));
}

BOOL GetDiskFreeSpaceExW(const char16_t* path, ULARGE_INTEGER* freeToCaller, ULARGE_INTEGER* total,
                         ULARGE_INTEGER* totalFree) {
    if (path && !ValidName(path)) return Fail(ERROR_INVALID_NAME);
    const std::string host = DeviceRoot::Resolve(path ? path : u"\\");
    struct statvfs vfs;
    if (::statvfs(host.c_str(), &vfs) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Fail(ERROR_PATH_NOT_FOUND);
        return FailErrno(errno, host);
    }
    const std::uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    std::uint64_t callerFree = static_cast<std::uint64_t>(vfs.f_bavail) * unit;
    std::uint64_t size = static_cast<std::uint64_t>(vfs.f_blocks) * unit;
    std::uint64_t allFree = static_cast<std::uint64_t>(vfs.f_bfree) * unit;
    // The handheld's own storage (every path not on a card) reports what device.ini states.
    if (!OnStorageCard(path ? path : u"\\"))
        if (const auto stated = systeminfo::ByteSetting("storefree")) {
            callerFree = allFree = *stated;
            size = std::max(size, allFree);
        }
    if (freeToCaller) freeToCaller->QuadPart = callerFree;
    if (total) total->QuadPart = size;
    if (totalFree) totalFree->QuadPart = allFree;
    return TRUE;
}

DWORD GetModuleFileNameW(HANDLE /*module*/, char16_t* buffer, DWORD size) {
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::u16string path = DeviceRoot::ProgramPath();
    if (path.size() < size) {
        std::copy(path.begin(), path.end(), buffer);
        buffer[path.size()] = u'\0';
        SetLastError(ERROR_SUCCESS);
        return static_cast<DWORD>(path.size());
    }
    // Too small: as much as fits, terminated, and the size to tell the caller it was cut.
    std::copy(path.begin(), path.begin() + (size - 1), buffer);
    buffer[size - 1] = u'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}
