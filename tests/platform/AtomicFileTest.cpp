#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/AtomicFile.h"

namespace {

struct Folder {
    Folder()
    {
        char name[] = "/tmp/tallix-atomic.XXXXXX";
        path = ::mkdtemp(name);
    }
    ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What a replace does to the file a path names, by what is there.
TEST(AtomicFile, LinksAndReadOnlyFiles)
{
    Folder folder;
    const std::string target = folder.File("target.ini"), link = folder.File("link.ini");

    // A dangling link stays a link; its target is made.
    ASSERT_EQ(::symlink("target.ini", link.c_str()), 0);
    ASSERT_EQ(WriteFileAtomically(link.c_str(), "new"), 1);
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(Read(target), "new");

    // A file made read-only keeps its content, also through a link.
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    for (const std::string& path : {target, link}) {
        errno = 0;
        EXPECT_EQ(WriteFileAtomically(path.c_str(), "newer"), 0) << path;
        EXPECT_EQ(errno, EACCES) << path;
        EXPECT_EQ(Read(target), "new") << path;
    }
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
}

// Asking for the umask sets it for every thread for a moment: a write must
// not ask. The child dies at its first umask call.
TEST(AtomicFile, NeverTouchesTheUmask)
{
    Folder folder;
    const std::string path = folder.File("new.ini");
    const pid_t child = fork();
    if (child == 0) {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_umask, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            _exit(77);
        _exit(WriteFileAtomically(path.c_str(), "text") == 1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no seccomp filters here";
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Read(path), "text");
}

} // namespace
