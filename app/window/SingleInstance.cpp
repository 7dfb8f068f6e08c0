#include "app/window/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const char kRestoreRequest[] = "32771\n";

bool MakeAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray name = QFile::encodeName(path);
    address = sockaddr_un{};
    if (name.size() >= static_cast<int>(sizeof address.sun_path)) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    return true;
}

// A connection to the listening instance at path; -1 when none answers.
int ConnectTo(const QString& path)
{
    sockaddr_un address;
    if (!MakeAddress(path, address)) return -1;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
}  // namespace

// The running instance's address: a listening local socket watched by the
// event loop. A plain socket and two notifiers do what a QLocalServer would,
// without loading the network module and its libraries at every start.
class CVexSingleInst::Listener {
public:
    explicit Listener(std::function<void()> onActivate) : m_onActivate(std::move(onActivate)) {}
    ~Listener()
    {
        for (auto& [fd, client] : m_clients) ::close(fd);
        m_notifier.reset();
        if (m_fd >= 0) ::close(m_fd);
    }

    bool Listen(const QString& path)
    {
        sockaddr_un address;
        if (!MakeAddress(path, address)) return false;
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) return false;
        // Nobody answered at the address, so a socket file there is stale.
        ::unlink(address.sun_path);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_fd, 32) != 0) {
            ::close(m_fd);
            m_fd = -1;
            return false;
        }
        // Only this user may hand over to us.
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR);
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Accept(); });
        return true;
    }

private:
    struct Client {
        std::unique_ptr<QSocketNotifier> notifier;
        std::string received;
    };

    void Accept()
    {
        for (;;) {
            const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EINTR) continue;
                return; // EAGAIN: all taken; anything else: try at the next wake-up
            }
            Client& client = m_clients[fd];
            client.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            QObject::connect(client.notifier.get(), &QSocketNotifier::activated, [this, fd] { Read(fd); });
        }
    }

    // A request is a line naming the command; a client that sends anything
    // else, or too much, is dropped.
    void Read(int fd)
    {
        auto it = m_clients.find(fd);
        if (it == m_clients.end()) return;
        char buffer[64];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n > 0) it->second.received.append(buffer, static_cast<size_t>(n));
        const bool asked = it->second.received.find("32771") != std::string::npos;
        if (asked || n <= 0 || it->second.received.size() > 256) Drop(it);
        // Last: the restore may run an event loop of its own.
        if (asked && m_onActivate) m_onActivate();
    }

    void Drop(std::map<int, Client>::iterator it)
    {
        // The notifier goes later: this may be running inside its own signal.
        it->second.notifier->setEnabled(false);
        it->second.notifier.release()->deleteLater();
        ::close(it->first);
        m_clients.erase(it);
    }

    std::function<void()> m_onActivate;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::map<int, Client> m_clients;
};

CVexSingleInst::CVexSingleInst(const QString& name, const QString& folder)
{
    QString dir = folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : folder;
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    m_socketPath = dir + "/CVexSingleInst_MMF_" + name;
    m_lockPath = dir + "/" + name + ".lock";
}

CVexSingleInst::~CVexSingleInst()
{
    ReleaseLock();
    if (m_client >= 0) ::close(m_client);
}

void CVexSingleInst::LockStartup()
{
    if (m_lock >= 0) return;
    m_lock = ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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
    m_client = ConnectTo(m_socketPath);
    return m_client >= 0;
}

bool CVexSingleInst::Register(std::function<void()> onActivate)
{
    m_listener = std::make_unique<Listener>(std::move(onActivate));
    const bool listening = m_listener->Listen(m_socketPath);
    ReleaseLock();
    return listening;
}

void CVexSingleInst::ActivateOther()
{
    if (m_client < 0) m_client = ConnectTo(m_socketPath);
    if (m_client >= 0) {
        // The request fits the socket's buffer: the write does not wait for the reader.
        const size_t length = sizeof kRestoreRequest - 1;
        ssize_t sent;
        do {
            sent = ::send(m_client, kRestoreRequest, length, MSG_NOSIGNAL);
        } while (sent < 0 && errno == EINTR);
        ::close(m_client);
        m_client = -1;
    }
    ReleaseLock();
}
