#include "app/window/SingleInstance.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/LocalInstance.h"

namespace {
const char kRestoreRequest[] = "32771\n";
// Sent back once the request is taken: the instance's event loop runs.
const char kRestoreAnswer[] = "ok\n";
// A running instance answers at once; one too busy to must not keep a start
// (and every start waiting for the lock behind it) for longer than this.
constexpr int kConnectTimeoutMs = 1000;
// How often idle clients are looked for while there are any.
constexpr int kExpiryTickMs = 250;
}  // namespace

// The running instance's address: a listening local socket watched by the
// event loop. A plain socket and notifiers do what a QLocalServer would,
// without loading the network module and its libraries at every start. Only
// this user's processes are served, a few at a time, each for a second.
class CVexSingleInst::Listener {
public:
    explicit Listener(std::function<void()> onActivate) : m_onActivate(std::move(onActivate))
    {
        m_expiry.setInterval(kExpiryTickMs);
        QObject::connect(&m_expiry, &QTimer::timeout, [this] { Tick(SteadyMs()); });
    }
    ~Listener()
    {
        for (int fd : m_clients.Descriptors()) ::close(fd);
        m_notifier.reset();
        if (m_fd >= 0) ::close(m_fd);
    }

    bool Listen(const std::string& name)
    {
        sockaddr_un address {};
        if (name.empty() || name.size() >= sizeof address.sun_path) return false;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.data(), name.size());
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) return false;
        // Nothing of this user answered there in time: a socket file there is
        // stale, or another user's, or of an instance too stuck to serve.
        ::unlink(address.sun_path);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_fd, 32) != 0) {
            ::close(m_fd);
            m_fd = -1;
            return false;
        }
        // Only this user may hand over to us (the folder is private too).
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR);
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Accept(); });
        return true;
    }

private:
    void Accept()
    {
        for (;;) {
            const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EINTR) continue;
                // Out of descriptors: stop listening until the next tick
                // frees some, rather than being woken again at once.
                if (errno == EMFILE || errno == ENFILE) {
                    m_notifier->setEnabled(false);
                    m_expiry.start();
                }
                return;
            }
            // Another user's process is closed at once.
            if (!PeerIsThisUser(fd)) {
                ::close(fd);
                continue;
            }
            const int displaced = m_clients.Add(fd, SteadyMs());
            if (displaced >= 0) Close(displaced);
            auto notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, fd] { Read(fd); });
            m_readers[fd] = std::move(notifier);
            m_expiry.start();
            // A start sends its request with the connection: most are
            // served here and never wait in the table.
            if (Read(fd)) return;
        }
    }

    // True when it ran the restore (which may have run an event loop).
    bool Read(int fd)
    {
        char buffer[64];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return false;
        const CLocalClients::EAfterRead after = m_clients.Received(fd, buffer, n > 0 ? size_t(n) : 0);
        if (after == CLocalClients::EAfterRead::Wait) return false;
        if (after == CLocalClients::EAfterRead::Activate) {
            [[maybe_unused]] const ssize_t sent = ::send(fd, kRestoreAnswer, sizeof kRestoreAnswer - 1, MSG_NOSIGNAL);
        }
        Close(fd);
        if (after != CLocalClients::EAfterRead::Activate || !m_onActivate) return false;
        // Last: the restore may run an event loop of its own.
        m_onActivate();
        return true;
    }

    // The time operation: clients that had their second are dropped.
    void Tick(int64_t nowMs)
    {
        for (int fd : m_clients.Expire(nowMs)) Close(fd);
        if (m_notifier) m_notifier->setEnabled(true);
        if (m_clients.Empty()) m_expiry.stop();
    }

    void Close(int fd)
    {
        auto it = m_readers.find(fd);
        if (it != m_readers.end()) {
            // The notifier goes later: this may be running inside its own signal.
            it->second->setEnabled(false);
            it->second.release()->deleteLater();
            m_readers.erase(it);
        }
        m_clients.Remove(fd);
        ::close(fd);
    }

    std::function<void()> m_onActivate;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::map<int, std::unique_ptr<QSocketNotifier>> m_readers;
    CLocalClients m_clients;
    QTimer m_expiry;
};

CVexSingleInst::CVexSingleInst(const QString& name, const QString& folder)
{
    std::string dir, problem;
    const bool usable = folder.isEmpty() ? PrivateRuntimeFolder(dir, problem)
                                         : CheckPrivateFolder(QFile::encodeName(folder).toStdString(), true, problem);
    if (!usable) {
        // Never a shared folder instead: another user could answer there or hold the lock.
        std::fprintf(stderr, "Tallix: runs on its own, without single instance: %s\n", problem.c_str());
        return;
    }
    // Bytes as the system gave them: a folder name that is no UTF-8 must
    // not turn into the name of another folder.
    const std::string base = folder.isEmpty() ? dir : QFile::encodeName(folder).toStdString();
    const std::string file = name.toStdString();
    m_socketFile = base + "/CVexSingleInst_MMF_" + file;
    m_lockFile = base + "/" + file + ".lock";
}

CVexSingleInst::~CVexSingleInst()
{
    ReleaseLock();
    if (m_client >= 0) ::close(m_client);
}

void CVexSingleInst::LockStartup()
{
    if (m_lock >= 0 || m_lockFile.empty()) return;
    m_lock = ::open(m_lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // No time-out: a live holder is registering; a dead one holds nothing.
    // Without a lock file (an unwritable folder) starts are not serialised.
    if (m_lock < 0) return;
    while (::flock(m_lock, LOCK_EX) != 0 && errno == EINTR) {
    }
}

void CVexSingleInst::ReleaseLock()
{
    if (m_lock < 0) return;
    ::close(m_lock); // drops the lock
    m_lock = -1;
}

bool CVexSingleInst::AnotherInstanceExists()
{
    if (m_client >= 0) ::close(m_client);
    m_client = ConnectLocal(m_socketFile, kConnectTimeoutMs);
    return m_client >= 0;
}

bool CVexSingleInst::Register(std::function<void()> onActivate)
{
    m_listener = std::make_unique<Listener>(std::move(onActivate));
    const bool listening = !m_socketFile.empty() && m_listener->Listen(m_socketFile);
    ReleaseLock();
    return listening;
}

bool CVexSingleInst::ActivateOther(int answerTimeoutMs)
{
    if (m_client < 0) m_client = ConnectLocal(m_socketFile, kConnectTimeoutMs);
    if (m_client < 0) return false;
    // The request fits the socket's buffer: the write does not wait for the reader.
    const size_t length = sizeof kRestoreRequest - 1;
    ssize_t sent;
    do {
        sent = ::send(m_client, kRestoreRequest, length, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    const bool answered = sent == static_cast<ssize_t>(length) && AwaitAnswer(m_client, answerTimeoutMs);
    ::close(m_client);
    m_client = -1;
    // Unanswered, this start may become the running instance: the lock stays.
    if (answered) ReleaseLock();
    return answered;
}

bool CVexSingleInst::AwaitAnswer(int fd, int timeoutMs)
{
    const int64_t deadline = SteadyMs() + timeoutMs;
    std::string received;
    for (;;) {
        const int64_t left = deadline - SteadyMs();
        pollfd ready{fd, POLLIN, 0};
        const int polled = left > 0 ? ::poll(&ready, 1, static_cast<int>(left)) : 0;
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return false;
        char buffer[16];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;
        received.append(buffer, static_cast<size_t>(n));
        if (received.find(kRestoreAnswer) != std::string::npos) return true;
        if (received.size() > 64) return false;
    }
}
