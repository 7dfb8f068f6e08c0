#include "platform/LocalInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

const char kRestoreRequest[] = "32771";

std::string UserName()
{
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name[0])
        return found->pw_name;
    return std::to_string(geteuid());
}

}  // namespace

int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int CheckPrivateFolder(const std::string& folder, bool followLink, std::string& problem)
{
    // Made here when missing, private from the start; one made by someone
    // else in the meantime fails the checks below.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        problem = folder + " cannot be made (" + std::strerror(errno) + ")";
        return 0;
    }
    // The checks apply to what was opened, not to a name that may change.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    struct stat info {};
    const bool looked = fd >= 0 && ::fstat(fd, &info) == 0;
    const int error = errno;
    if (fd >= 0) ::close(fd);
    if (!looked) {
        problem = folder + " is not a folder that can be used (" + std::strerror(error) + ")";
        return 0;
    }
    if (info.st_uid != geteuid()) {
        problem = folder + " belongs to another user";
        return 0;
    }
    if (info.st_mode & (S_IRWXG | S_IRWXO)) {
        problem = folder + " is open to other users (it must have mode 0700)";
        return 0;
    }
    problem.clear();
    return 1;
}

int PrivateRuntimeFolder(std::string& folder, std::string& problem)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const bool fromEnvironment = runtime && runtime[0] == '/';
    folder = fromEnvironment ? std::string(runtime) : "/tmp/runtime-" + UserName();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return CheckPrivateFolder(folder, fromEnvironment, problem);
}

bool PeerIsThisUser(int fd)
{
    struct ucred peer {};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && length == sizeof peer &&
           peer.uid == geteuid();
}

int ConnectLocal(const std::string& path, int timeoutMs)
{
    sockaddr_un address {};
    if (path.empty() || path.size() >= sizeof address.sun_path) return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int64_t deadline = SteadyMs() + timeoutMs;
    for (;;) {
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) break;
        // A local listener whose queue is full refuses with EAGAIN rather
        // than waiting: ask again until the time-out.
        if ((errno == EAGAIN || errno == EINTR) && SteadyMs() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (errno == EINPROGRESS) {
            pollfd wait {fd, POLLOUT, 0};
            int error = 0;
            socklen_t length = sizeof error;
            if (::poll(&wait, 1, int(std::max<int64_t>(0, deadline - SteadyMs()))) == 1 &&
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0)
                break;
        }
        ::close(fd);
        return -1;
    }
    if (!PeerIsThisUser(fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int CLocalClients::Add(int fd, int64_t nowMs)
{
    int displaced = -1;
    // Added in time order, so the first waited longest.
    if (m_clients.size() >= size_t(kMaxClients)) {
        displaced = m_clients.front().fd;
        m_clients.erase(m_clients.begin());
    }
    m_clients.push_back(Client{fd, nowMs, std::string()});
    return displaced;
}

CLocalClients::EAfterRead CLocalClients::Received(int fd, const char* bytes, size_t size)
{
    auto it = std::find_if(m_clients.begin(), m_clients.end(), [fd](const Client& c) { return c.fd == fd; });
    if (it == m_clients.end()) return EAfterRead::Drop;
    it->received.append(bytes, size);
    // A request is a line naming the command; anything else, or too much, is dropped.
    EAfterRead after = EAfterRead::Wait;
    if (it->received.find(kRestoreRequest) != std::string::npos) after = EAfterRead::Activate;
    else if (size == 0 || it->received.size() > kMaxRequestBytes) after = EAfterRead::Drop;
    if (after != EAfterRead::Wait) m_clients.erase(it);
    return after;
}

std::vector<int> CLocalClients::Expire(int64_t nowMs)
{
    std::vector<int> expired;
    for (const Client& c : m_clients)
        if (nowMs - c.since >= kIdleLimitMs) expired.push_back(c.fd);
    for (int fd : expired) Remove(fd);
    return expired;
}

void CLocalClients::Remove(int fd)
{
    m_clients.erase(std::remove_if(m_clients.begin(), m_clients.end(), [fd](const Client& c) { return c.fd == fd; }),
                    m_clients.end());
}

std::vector<int> CLocalClients::Descriptors() const
{
    std::vector<int> fds;
    for (const Client& c : m_clients) fds.push_back(c.fd);
    return fds;
}
