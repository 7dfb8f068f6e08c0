#pragma once
// What single instance needs of the system, without Qt: the user's private
// runtime folder that holds the start-up lock and the running instance's
// socket, connections whose far end is checked to be this same user, and the
// table of connected clients with its limits. No other local user may
// listen at the address, hold the lock, or keep the running instance busy.
#include <cstdint>
#include <string>
#include <vector>

// The folder for the lock and the socket: $XDG_RUNTIME_DIR when set to an
// absolute path, else /tmp/runtime-<user name>; created (0700) when missing.
// 1 with the folder in `folder` when it is a folder owned by this user that
// no one else may enter or write (mode 0700 or narrower); 0 with the reason
// in `problem` otherwise. There is no shared fallback: without a private
// folder a start runs on its own.
int PrivateRuntimeFolder(std::string& folder, std::string& problem);
// The same checks on a given folder (created when missing). `followLink`:
// whether the folder itself may be a symbolic link (never in a shared /tmp).
int CheckPrivateFolder(const std::string& folder, bool followLink, std::string& problem);

// True when the process at the other end of the connected local socket fd
// runs as this user (its credentials as the kernel recorded them).
bool PeerIsThisUser(int fd);

// A connection (close-on-exec, non-blocking) to the local socket at path
// that answers within timeoutMs and belongs to this user; -1 otherwise. A
// listener too busy to accept does not hold the caller up past the time-out.
int ConnectLocal(const std::string& path, int timeoutMs);

// Milliseconds of the steady clock, the time CLocalClients is given.
int64_t SteadyMs();

// The running instance's clients: each has one second from its connection to
// send its request, and at most kMaxClients are kept at once (a new one
// displaces the one waiting longest). Time is passed in (milliseconds of a
// steady clock), so tests step it.
class CLocalClients {
public:
    static constexpr int kMaxClients = 8;
    static constexpr int64_t kIdleLimitMs = 1000;
    static constexpr size_t kMaxRequestBytes = 256;

    enum class EAfterRead { Wait, Drop, Activate };

    // Adds fd; when the table was full, returns the client it displaced
    // (removed; the caller closes it), else -1.
    int Add(int fd, int64_t nowMs);
    // Bytes received from fd (none: the client closed). Activate when the
    // request is complete (the client is then removed), Drop when the client
    // closed, sent too much or is unknown (removed too), else Wait.
    EAfterRead Received(int fd, const char* bytes, size_t size);
    // Removes and returns the clients that had their second.
    std::vector<int> Expire(int64_t nowMs);
    // Removes one client (closed by its owner).
    void Remove(int fd);
    bool Empty() const { return m_clients.empty(); }
    std::vector<int> Descriptors() const;

private:
    struct Client {
        int fd;
        int64_t since;
        std::string received;
    };
    std::vector<Client> m_clients;
};
