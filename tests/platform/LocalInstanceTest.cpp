// The private runtime folder, peer checks, connect time-out and the client
// table of single instance, as one user (tests/app and
// scripts/check-local-users.sh show it with two).
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/LocalInstance.h"
#include "tests/datafiles/TempFolder.h"

namespace {

TEST(LocalInstance, OnlyAFolderPrivateToThisUserIsUsed)
{
    TempFolder temp;
    const std::string mine = temp.File("mine"), open = temp.File("open"), group = temp.File("group"),
                      link = temp.File("link"), file = temp.Write("file", "x"), foreign = temp.File("foreign");
    ::mkdir(mine.c_str(), 0700);
    ::mkdir(open.c_str(), 0700);
    ::chmod(open.c_str(), 0755);
    ::mkdir(group.c_str(), 0700);
    ::chmod(group.c_str(), 0770);
    ASSERT_EQ(::symlink(mine.c_str(), link.c_str()), 0);
    ::mkdir(foreign.c_str(), 0700);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    }
    const struct {
        const char* what;
        std::string path;
        bool followLink;
        int usable;
    } rows[] = {
        {"own, 0700", mine, false, 1},
        {"missing: made private", temp.File("made"), false, 1},
        {"open to all", open, false, 0},
        {"open to the group", group, false, 0},
        {"a link, where links are refused", link, false, 0},
        {"a link, where links are followed", link, true, 1},
        {"a plain file", file, false, 0},
        {"another user's (only as root)", foreign, false, root ? 0 : 1},
    };
    for (const auto& row : rows) {
        std::string problem;
        EXPECT_EQ(CheckPrivateFolder(row.path, row.followLink, problem), row.usable) << row.what << ": " << problem;
        EXPECT_EQ(problem.empty(), row.usable == 1) << row.what;
    }
    struct stat made {};
    ASSERT_EQ(::stat(temp.File("made").c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u);

    // The runtime folder named by the environment gets the same checks.
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string before = saved ? saved : "";
    std::string folder, problem;
    ::setenv("XDG_RUNTIME_DIR", open.c_str(), 1);
    EXPECT_EQ(PrivateRuntimeFolder(folder, problem), 0);
    ::setenv("XDG_RUNTIME_DIR", (mine + "/").c_str(), 1);
    EXPECT_EQ(PrivateRuntimeFolder(folder, problem), 1);
    EXPECT_EQ(folder, mine);
    if (saved) ::setenv("XDG_RUNTIME_DIR", before.c_str(), 1);
    else ::unsetenv("XDG_RUNTIME_DIR");
}

TEST(LocalInstance, ClientsAreLimitedAndHaveOneSecond)
{
    CLocalClients clients;
    std::vector<int> displaced;
    for (int fd = 100; fd < 100 + CLocalClients::kMaxClients + 2; ++fd) displaced.push_back(clients.Add(fd, fd - 100));
    // The ninth and tenth displace the two that waited longest.
    EXPECT_EQ(displaced, (std::vector<int>{-1, -1, -1, -1, -1, -1, -1, -1, 100, 101}));

    using After = CLocalClients::EAfterRead;
    EXPECT_EQ(clients.Received(102, "327", 3), After::Wait);
    EXPECT_EQ(clients.Received(102, "71\n", 3), After::Activate);
    EXPECT_EQ(clients.Received(102, "32771", 5), After::Drop);  // served already
    EXPECT_EQ(clients.Received(103, "", 0), After::Drop);        // closed by the client
    const std::string flood(CLocalClients::kMaxRequestBytes + 1, 'x');
    EXPECT_EQ(clients.Received(104, flood.data(), flood.size()), After::Drop);

    // Added at 5..9 ms: each goes a second after it came, not before.
    EXPECT_TRUE(clients.Expire(1004).empty());
    EXPECT_EQ(clients.Expire(1006), (std::vector<int>{105, 106}));
    EXPECT_EQ(clients.Expire(2000), (std::vector<int>{107, 108, 109}));
    EXPECT_TRUE(clients.Empty());
}

TEST(LocalInstance, AConnectionIsCheckedAndNeverWaitsPastItsTimeOut)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(PeerIsThisUser(pair[0]));
    ::close(pair[0]);
    ::close(pair[1]);

    TempFolder temp;
    const std::string path = temp.File("socket");
    EXPECT_EQ(ConnectLocal(path, 100), -1);  // nobody there

    // A listener that never accepts, its queue full: a blocking connect would wait for good.
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    const int first = ConnectLocal(path, 100);
    EXPECT_GE(first, 0);
    std::vector<int> queued;
    for (int i = 0; i < 4; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) queued.push_back(fd);
        else ::close(fd);
    }
    EXPECT_EQ(ConnectLocal(path, 100), -1);
    for (int fd : queued) ::close(fd);
    ::close(first);
    ::close(listener);
}

}  // namespace
