#include "platform/FileText.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int KindError(const struct stat& info)
{
    if (S_ISREG(info.st_mode)) return 0;
    return S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
}

}  // namespace

int OpenDataFile(const std::string& path, int& error, struct stat* info)
{
    struct stat before {};
    // Looked at first so that a device is never opened at all (opening some has effects).
    if (::stat(path.c_str(), &before) != 0) {
        error = errno;
        return -1;
    }
    if ((error = KindError(before)) != 0) return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    // Checked again on what was opened: the name may have been replaced meanwhile.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || (error = KindError(opened)) != 0) {
        if (error == 0) error = errno;
        ::close(fd);
        return -1;
    }
    error = 0;
    if (info) *info = opened;
    return fd;
}

int ReadUpTo(int fd, char* buffer, size_t capacity, size_t& got)
{
    got = 0;
    while (got < capacity) {
        const ssize_t n = ::read(fd, buffer + got, capacity - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return 0;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return 1;
}

int ReadFileText(const std::string& path, std::string& out, int& error, size_t maxBytes)
{
    out.clear();
    struct stat info {};
    const int fd = OpenDataFile(path, error, &info);
    if (fd < 0) return 0;
    if (uint64_t(info.st_size) > maxBytes) error = EFBIG;
    else out.reserve(size_t(info.st_size));
    // Read to the end rather than to the size seen: the file may be growing,
    // but never past the cap.
    char buffer[16384];
    while (error == 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        out.append(buffer, static_cast<size_t>(n));
        if (out.size() > maxBytes) error = EFBIG;
    }
    ::close(fd);
    if (error) out.clear();
    return error ? 0 : 1;
}

std::string FileErrorText(int error)
{
    if (error == ENODEV) return "not a regular file";
    if (error == EFBIG) return "too large";
    return std::strerror(error);
}
