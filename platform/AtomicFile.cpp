#include "platform/AtomicFile.h"

#include <cerrno>
#include <climits>
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

// The process's umask, read once before any thread could create files: asking
// for it with umask() would set it to 0 for a moment, for every thread.
mode_t ReadUmask()
{
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status)) found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask & 0777);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

const mode_t g_umask = ReadUmask();

mode_t ModeFor(const struct stat* existing)
{
    return existing ? existing->st_mode & 07777 : 0644 & ~g_umask;
}

// The file a path names: a symbolic link (a skin or settings file linked from
// elsewhere) must stay a link, so the new content replaces the link's target,
// even when that target does not exist yet.
std::string FinalTarget(const char* path)
{
    if (char* resolved = ::realpath(path, nullptr)) {
        std::string target = resolved;
        std::free(resolved);
        return target;
    }
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), link, sizeof link - 1);
        if (n <= 0) break;
        const std::string next(link, static_cast<size_t>(n));
        target = next[0] == '/' ? next : FolderOf(target) + "/" + next;
    }
    return target;
}

// A file its owner made read-only keeps its content, whoever asks.
bool ReadOnlyFile(const struct stat& info, const char* path)
{
    return (info.st_mode & 0222) == 0 || ::access(path, W_OK) != 0;
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
    struct stat info {};
    const bool exists = ::stat(path, &info) == 0;
    if (exists && ReadOnlyFile(info, path)) {
        errno = EACCES;
        return 0;
    }
    std::string temp = target + ".XXXXXX";
    if (!StepAllowed(AtomicWriteStep::Create)) return 0;
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return 0;
    bool ok = ::fchmod(fd, ModeFor(exists ? &info : nullptr)) == 0 && StepAllowed(AtomicWriteStep::Write) && WriteAll(fd, text) &&
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
        int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
