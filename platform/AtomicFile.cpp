#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int WriteAll(int fd, std::string_view text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        done += static_cast<size_t>(n);
    }
    return 1;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t ModeFor(const char* path)
{
    struct stat st;
    if (::stat(path, &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0644 & ~mask;
}

// The file a path names: a symbolic link (a skin or settings file linked from
// elsewhere) must stay a link, so the new content replaces the link's target.
std::string FinalTarget(const char* path)
{
    char* resolved = ::realpath(path, nullptr);
    if (!resolved) return path;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

} // namespace

int WriteFileAtomically(const char* requested, std::string_view text)
{
    if (!requested || !*requested) return 0;
    std::string target = FinalTarget(requested);
    const char* path = target.c_str();
    std::string temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return 0;
    bool ok = ::fchmod(fd, ModeFor(path)) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), path) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return 0;
    }
    // The rename itself must reach the disk too, or a crash may bring back the old name.
    int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 1;
}
