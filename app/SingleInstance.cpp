#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {
const char kRestoreRequest[] = "32771\n";
const int kConnectMs = 1000;
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
    delete m_server;
}

void CVexSingleInst::LockStartup()
{
    if (m_lock) return;
    m_lock = new QLockFile(m_lockPath);
    // No time-out: a live holder is registering; a dead one's lock is stale
    // (QLockFile sees that its process is gone) and removed.
    m_lock->setStaleLockTime(0);
    m_lock->lock();
}

void CVexSingleInst::ReleaseLock()
{
    if (!m_lock) return;
    m_lock->unlock();
    delete m_lock;
    m_lock = nullptr;
}

bool CVexSingleInst::AnotherInstanceExists()
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    const bool found = socket.waitForConnected(kConnectMs);
    socket.abort();
    return found;
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
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (socket.waitForConnected(kConnectMs)) {
        socket.write(kRestoreRequest);
        socket.waitForBytesWritten(kConnectMs);
        socket.disconnectFromServer();
    }
    ReleaseLock();
}
