#pragma once
// One running Tallix per user. A start takes the start-up lock (a lock held
// on a file in the user's runtime folder, which the system drops when its
// process ends, killed or not), then looks for the running instance's address
// (a local socket beside it). If one answers, the start hands over: it asks
// that window to come to the front and exits once the window said it heard. Otherwise it becomes the
// running instance: it listens on the address and releases the lock, so
// concurrent starts find it. A socket left by a killed instance does not
// answer and is replaced. Locking, looking and handing over need no
// QApplication, so a start that hands over costs little.
//
// Lock and socket live only in a folder private to this user (see
// platform/LocalInstance.h); without one, the start runs on its own. Both
// ends check that the other runs as this user. A start waits at most a
// second for an answer; the running instance serves a few clients at once
// and drops any that stay silent for a second.

#include <QFile>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class CVexSingleInst {
public:
    // name: "Tallix Application"; folder: where lock and socket live (empty:
    // the user's private runtime folder); one that is not private to this
    // user leaves single instance off.
    explicit CVexSingleInst(const QString& name, const QString& folder = QString());
    ~CVexSingleInst();

    // Waits until no other start holds the start-up lock.
    void LockStartup();
    // True when a running instance answers at the address.
    bool AnotherInstanceExists();
    // Becomes the running instance (needs a QCoreApplication); onActivate runs
    // (on this thread, from the event loop) when a later start hands over. Releases the lock on every path; false when
    // the address could not be taken (the instance then runs unfindable).
    bool Register(std::function<void()> onActivate);
    // Asks the running instance to restore its window and waits up to
    // answerTimeoutMs for it to take the request. True when it did (the lock
    // is released); false when it did not answer in time (an instance stuck
    // before its event loop runs): the lock is kept, so this start may
    // Register in its place.
    static constexpr int kAnswerTimeoutMs = 10000;
    bool ActivateOther(int answerTimeoutMs = kAnswerTimeoutMs);

    QString SocketPath() const { return QFile::decodeName(m_socketFile.c_str()); }
    QString LockPath() const { return QFile::decodeName(m_lockFile.c_str()); }

private:
    void ReleaseLock();
    static bool AwaitAnswer(int fd, int timeoutMs);

    std::string m_socketFile; // file names as bytes
    std::string m_lockFile;
    int m_lock = -1;   // the locked file
    int m_client = -1; // the connection to the running instance
    class Listener;
    std::unique_ptr<Listener> m_listener;
};
