#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const char kRestoreRequest[] = "32771\n";

// A connection to the listening instance at path; -1 when none answers.
int ConnectTo(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.size() >= static_cast<int>(sizeof address.sun_path)) return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
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
    delete m_server;
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
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered at the address, so a socket file there is stale.
    QLocalServer::removeServer(m_socketPath);
    const bool listening = m_server->listen(m_socketPath);
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [this, onActivate] {
        while (QLocalSocket* client = m_server->nextPendingConnection()) {
            QObject::connect(client, &QLocalSocket::readyRead, client, [client, onActivate] {
                if (client->readAll().contains("32771") && onActivate) onActivate();
                client->disconnectFromServer();
            });
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
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
