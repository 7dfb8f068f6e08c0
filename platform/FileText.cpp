#include "platform/FileText.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int ReadFileText(const std::string& path, std::string& out, int& error)
{
    out.clear();
    error = 0;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return 0;
    }
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (error) out.clear();
    return error ? 0 : 1;
}
