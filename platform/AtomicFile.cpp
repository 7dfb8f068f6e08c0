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

AtomicWriteProbe g_probe = nullptr;

// Runs the probe before a step: false (errno set) when it makes the step fail.
bool StepAllowed(AtomicWriteStep step)
{
    if (!g_probe) return true;
    int error = g_probe(step);
    if (error == 0) return true;
    errno = error;
    return false;
}

} // namespace

void SetAtomicWriteProbe(AtomicWriteProbe probe)
{
    g_probe = probe;
}

int WriteFileAtomically(const char* requested, std::string_view text)
{
    if (!requested || !*requested) {
        errno = ENOENT;
        return 0;
    }
    std::string target = FinalTarget(requested);
    const char* path = target.c_str();
    std::string temp = target + ".XXXXXX";
    if (!StepAllowed(AtomicWriteStep::Create)) return 0;
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return 0;
    bool ok = ::fchmod(fd, ModeFor(path)) == 0 && StepAllowed(AtomicWriteStep::Write) && WriteAll(fd, text) &&
              StepAllowed(AtomicWriteStep::Sync) && ::fsync(fd) == 0 && StepAllowed(AtomicWriteStep::Close);
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && !(StepAllowed(AtomicWriteStep::Rename) && ::rename(temp.c_str(), path) == 0)) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        errno = error;
        return 0;
    }
    // The rename itself must reach the disk too, or a crash may bring back the
    // old name; the new file is in place whatever this step does.
    if (StepAllowed(AtomicWriteStep::SyncFolder)) {
        int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    StepAllowed(AtomicWriteStep::Done);
    return 1;
}

int WriteAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) return 0;
        done += static_cast<size_t>(n);
    }
    return 1;
}
