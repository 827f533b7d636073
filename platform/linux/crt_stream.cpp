// platform/linux/crt_stream.cpp: the wide-path C run time stream calls over POSIX files.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <new>
#include <optional>
#include <string>

#include "platform/linux/file_lock.h"
#include "platform/linux/utf16.h"
#include "platform/linux/windows_api.h"

using pixelfold::platform::FileNameFromUtf16;

namespace {

struct OpenMode {
    int flags = 0;
    const char* stdioMode = nullptr;
};

// The C mode letters: r, w or a first, then any of '+', 'b' and 't' (no text translation here).
std::optional<OpenMode> ParseMode(const WCHAR* mode) {
    if (mode == nullptr) return std::nullopt;
    bool update = false;
    for (const WCHAR* p = mode + 1; *p != 0; ++p) {
        if (*p == u'+') {
            update = true;
        } else if (*p != u'b' && *p != u't') {
            return std::nullopt;
        }
    }
    switch (mode[0]) {
        case u'r':
            return update ? OpenMode{O_RDWR, "r+"} : OpenMode{O_RDONLY, "r"};
        case u'w':
            return OpenMode{(update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC, update ? "w+" : "w"};
        case u'a':
            return OpenMode{(update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND, update ? "a+" : "a"};
        default:
            return std::nullopt;
    }
}

std::optional<int> LockFor(int shareFlag) {
    switch (shareFlag) {
        case _SH_DENYRW:
            return LOCK_EX;
        case _SH_DENYWR:
            return LOCK_SH;
        case _SH_DENYRD:
        case _SH_DENYNO:
            return 0;
        default:
            return std::nullopt;
    }
}

std::FILE* Fail(int error) {
    errno = error;
    return nullptr;
}

std::atomic<pixelfold::platform::FileLockCall> lockCall{nullptr};

// Takes the share lock. Only another holder's lock refuses the open (EACCES, a sharing
// violation); a file system that cannot lock at all (ENOLCK, EOPNOTSUPP, ...) is read without
// a lock, as Windows reads from shares that do not enforce sharing modes.
bool Lock(int fd, int lock) {
    if (lock == 0) return true;
    const pixelfold::platform::FileLockCall call = lockCall.load(std::memory_order_relaxed);
    int result = 0;
    do {
        result = call != nullptr ? call(fd, lock | LOCK_NB) : ::flock(fd, lock | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0 || errno != EWOULDBLOCK) return true;
    errno = EACCES;
    return false;
}

// Refuses anything but a regular file, then makes reads block again and takes the share lock;
// false (errno set) when any of it fails. The file was opened without blocking so that a FIFO
// or a device named like an image cannot hang the caller before it is refused here.
bool CheckAndLock(int fd, int openFlags, int lock) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return false;
    if (!S_ISREG(status.st_mode)) {
        errno = EACCES;  // folders, FIFOs, sockets and devices are never image streams
        return false;
    }
    // F_SETFL changes only the status flags, of which the open asked for O_APPEND at most.
    if (::fcntl(fd, F_SETFL, openFlags & O_APPEND) != 0) return false;
    return Lock(fd, lock);
}

}  // namespace

namespace pixelfold::platform {

void SetFileLockCall(FileLockCall call) noexcept {
    lockCall.store(call, std::memory_order_relaxed);
}

}  // namespace pixelfold::platform

std::FILE* _wfsopen(const WCHAR* filename, const WCHAR* mode, int shareFlag) {
    if (filename == nullptr) return Fail(EINVAL);
    const std::optional<OpenMode> openMode = ParseMode(mode);
    const std::optional<int> lock = LockFor(shareFlag);
    std::optional<std::string> path;
    try {
        path = FileNameFromUtf16(filename);
    } catch (const std::bad_alloc&) {
        return Fail(ENOMEM);
    }
    if (!openMode || !lock || !path) return Fail(EINVAL);

    // Truncation waits until the lock is held, so a refused open changes nothing.
    const bool truncate = (openMode->flags & O_TRUNC) != 0;
    const int flags = openMode->flags & ~O_TRUNC;
    const int fd = ::open(path->c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return nullptr;
    if (!CheckAndLock(fd, flags, *lock) || (truncate && ::ftruncate(fd, 0) != 0)) {
        const int error = errno;
        ::close(fd);
        return Fail(error);
    }
    std::FILE* stream = ::fdopen(fd, openMode->stdioMode);
    if (stream == nullptr) {
        const int error = errno;
        ::close(fd);
        return Fail(error);
    }
    return stream;
}

int _waccess(const WCHAR* path, int mode) {
    std::optional<std::string> narrow;
    try {
        if (path != nullptr) narrow = FileNameFromUtf16(path);
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return -1;
    }
    // Only whether the path exists is ever asked (mode 0).
    if (!narrow || mode != 0) {
        errno = EINVAL;
        return -1;
    }
    return ::access(narrow->c_str(), F_OK) == 0 ? 0 : -1;
}

std::int64_t _filelengthi64(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return -1;
    return static_cast<std::int64_t>(status.st_size);
}

int _fileno(std::FILE* stream) {
    return ::fileno(stream);
}

int _fseeki64(std::FILE* stream, std::int64_t offset, int origin) {
    return ::fseeko(stream, static_cast<off_t>(offset), origin);
}

std::int64_t _ftelli64(std::FILE* stream) {
    return ::ftello(stream);
}
